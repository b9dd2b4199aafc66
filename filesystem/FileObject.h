#pragma once

#include "filesystem/FileInfoEx.h"
#include "platform/ShellFileOperation.h"

#include <cstdint>
#include <ctime>
#include <memory>
#include <string>

// File information with the operations on disk. Each returns 0 on success; on failure the stored
// description is unchanged and GetLastError() tells why.
class CFileObject : public CFileInfoEx
{
public:
    using CFileInfoEx::CFileInfoEx;
    CFileObject(const CFileObject& other);
    CFileObject& operator=(const CFileObject& other);
    ~CFileObject() override;

    // Copies (moves) the object into `destFolder`, which is created first when missing.
    virtual int CopyTo(const std::string& destFolder, std::uint32_t flags,
                       platform::FileOperationObserver* observer = nullptr);
    virtual int MoveTo(const std::string& destFolder, std::uint32_t flags,
                       platform::FileOperationObserver* observer = nullptr);
    // Deletes the object; to the Trash when `flags` has FOF_ALLOWUNDO.
    virtual int Delete(std::uint32_t flags, platform::FileOperationObserver* observer = nullptr);
    virtual int RenameTo(const std::string& newPath, std::uint32_t flags,
                         platform::FileOperationObserver* observer = nullptr);
    // Only for folders: 1 when the subfolder exists already, 0 when created, -1 on failure or for
    // a name that is not a single path element.
    virtual int CreateSubfolder(const std::string& name);
    // Sets the last write time only; access and creation times are left alone.
    virtual int SetLastWriteTime(std::time_t time);
    // Read-only can be set and cleared; hidden, system and archive cannot be changed here, and a
    // request to change them fails without changing anything.
    virtual int SetAttributes(std::uint32_t mask);

    const std::string& GetLastError() const;
    const platform::FileOperationResult& GetLastResult() const;

private:
    int Run(platform::FileOperationKind kind, const std::string& to, std::uint32_t flags,
            platform::FileOperationObserver* observer);
    int Fail(const std::string& message);

    // Only objects that ran an operation need this; a folder tree holds many thousands that never do.
    struct OPERATION_STATE
    {
        std::string m_strLastError;
        platform::FileOperationResult m_lastResult;
    };
    OPERATION_STATE& State();

    std::unique_ptr<OPERATION_STATE> m_pOperation;
};
