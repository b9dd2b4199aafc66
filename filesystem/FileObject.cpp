#include "filesystem/FileObject.h"

#include "filesystem/FileHelpers.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>

CFileObject::CFileObject(const CFileObject& other)
    : CFileInfoEx(other),
      m_pOperation(other.m_pOperation ? std::make_unique<OPERATION_STATE>(*other.m_pOperation) : nullptr)
{
}

CFileObject& CFileObject::operator=(const CFileObject& other)
{
    if (this != &other)
    {
        CFileInfoEx::operator=(other);
        m_pOperation = other.m_pOperation ? std::make_unique<OPERATION_STATE>(*other.m_pOperation) : nullptr;
    }
    return *this;
}

CFileObject::~CFileObject() = default;

CFileObject::OPERATION_STATE& CFileObject::State()
{
    if (!m_pOperation)
        m_pOperation = std::make_unique<OPERATION_STATE>();
    return *m_pOperation;
}

const std::string& CFileObject::GetLastError() const
{
    static const std::string none;
    return m_pOperation ? m_pOperation->m_strLastError : none;
}

const platform::FileOperationResult& CFileObject::GetLastResult() const
{
    static const platform::FileOperationResult none;
    return m_pOperation ? m_pOperation->m_lastResult : none;
}

int CFileObject::Fail(const std::string& message)
{
    State().m_strLastError = message;
    return -1;
}

int CFileObject::Run(platform::FileOperationKind kind, const std::string& to, std::uint32_t flags,
                     platform::FileOperationObserver* observer)
{
    OPERATION_STATE& state = State();
    state.m_strLastError.clear();
    state.m_lastResult = platform::ShellFileOperation(kind, GetPath(), to, flags, observer);
    if (!state.m_lastResult.m_errors.empty())
        state.m_strLastError = state.m_lastResult.m_errors.front().m_strMessage;
    return state.m_lastResult.m_nCode;
}

int CFileObject::CopyTo(const std::string& destFolder, std::uint32_t flags, platform::FileOperationObserver* observer)
{
    if (!EnsureFolder(destFolder))
        return Fail("Cannot create the folder " + destFolder + ": " + std::strerror(errno));
    return Run(platform::FileOperationKind::Copy, destFolder, flags, observer);
}

int CFileObject::MoveTo(const std::string& destFolder, std::uint32_t flags, platform::FileOperationObserver* observer)
{
    if (!EnsureFolder(destFolder))
        return Fail("Cannot create the folder " + destFolder + ": " + std::strerror(errno));
    return Run(platform::FileOperationKind::Move, destFolder, flags, observer);
}

int CFileObject::Delete(std::uint32_t flags, platform::FileOperationObserver* observer)
{
    return Run(platform::FileOperationKind::Delete, std::string(), flags, observer);
}

int CFileObject::RenameTo(const std::string& newPath, std::uint32_t flags, platform::FileOperationObserver* observer)
{
    return Run(platform::FileOperationKind::Rename, newPath, flags, observer);
}

int CFileObject::CreateSubfolder(const std::string& name)
{
    if (!IsFolder())
        return Fail(GetPath() + " is not a folder.");
    // The name must stay inside this folder.
    if (name.empty() || name == "." || name == ".." || name.find('/') != std::string::npos ||
        name.find('\0') != std::string::npos)
        return Fail("\"" + name + "\" is not a valid folder name.");
    const std::string path = GetPath() + (GetPath().ends_with('/') ? "" : "/") + name;
    struct stat st{};
    if (stat(path.c_str(), &st) == 0)
        return S_ISDIR(st.st_mode) ? 1 : Fail(path + " exists and is not a folder.");
    if (!EnsureFolder(path))
        return Fail("Cannot create the folder " + path + ": " + std::strerror(errno));
    return 0;
}

int CFileObject::SetLastWriteTime(std::time_t time)
{
    struct timespec times[2]{};
    times[0].tv_nsec = UTIME_OMIT;
    times[1].tv_sec = time;
    times[1].tv_nsec = 0;
    if (utimensat(AT_FDCWD, GetPath().c_str(), times, 0) != 0)
        return Fail("Cannot set the time of " + GetPath() + ": " + std::strerror(errno));
    m_ftLastWriteTime = platform::FileTimeFromUnix(time, 0);
    return 0;
}

int CFileObject::SetAttributes(std::uint32_t mask)
{
    struct stat st{};
    if (stat(GetPath().c_str(), &st) != 0)
        return Fail("Cannot read the attributes of " + GetPath() + ": " + std::strerror(errno));
    const std::uint32_t current = platform::AttributesFromMode(st.st_mode, GetName());
    constexpr std::uint32_t kFixed =
        platform::FILE_ATTRIBUTE_HIDDEN | platform::FILE_ATTRIBUTE_SYSTEM | platform::FILE_ATTRIBUTE_ARCHIVE;
    if (((mask ^ current) & kFixed) != 0)
        return Fail("Only the read-only attribute can be changed on this system (hidden means a name that "
                    "starts with a dot).");
    mode_t mode = st.st_mode & 07777;
    if (mask & platform::FILE_ATTRIBUTE_READONLY)
        mode &= static_cast<mode_t>(~(S_IWUSR | S_IWGRP | S_IWOTH));
    else
        mode |= S_IWUSR;
    if (mode != (st.st_mode & 07777) && chmod(GetPath().c_str(), mode) != 0)
        return Fail("Cannot change the attributes of " + GetPath() + ": " + std::strerror(errno));
    m_dwAttributes = (m_dwAttributes & ~platform::FILE_ATTRIBUTE_READONLY) | (mask & platform::FILE_ATTRIBUTE_READONLY);
    return 0;
}
