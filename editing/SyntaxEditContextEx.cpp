#include "editing/SyntaxEditContextEx.h"

#include "textcompare/DefaultCodePage.h"
#include "textcompare/UniMemFile.h"
#include "textcompare/UniStdioFile.h"
#include "textcompare/UnicodeConversion.h"

#include <cerrno>
#include <climits>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace
{

// Lines are handed to the file in pieces of about this size rather than one call per line.
constexpr std::size_t kWriteChunk = 256u << 10;
// Lines taken from the file per call when loading: enough to make the call's cost vanish, few enough
// to stay in the first-level cache.
constexpr std::size_t kLoadBatch = 256;
// Symbolic links followed when resolving a save target, as the kernel's own limit.
constexpr int kMaxLinkHops = 40;

std::string FolderOf(const std::string& path)
{
    const std::size_t slash = path.rfind('/');
    if (slash == std::string::npos)
        return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

std::string ExtensionOf(const std::string& path)
{
    const std::size_t slash = path.rfind('/');
    const std::size_t dot = path.rfind('.');
    if (dot == std::string::npos || (slash != std::string::npos && dot < slash))
        return {};
    return path.substr(dot + 1);
}

} // namespace

CSyntaxEditContextEx::CSyntaxEditContextEx(const STuning& tuning)
    : CSyntaxEditContext(tuning), m_nCodePage(GetDefaultCodePageSetting())
{
}

CSyntaxEditContextEx::~CSyntaxEditContextEx() = default;

int CSyntaxEditContextEx::LoadFromFile(const std::string& path, int eolStyle, int codePage, bool& outLossy,
                                       std::string& outError)
{
    outLossy = false;
    outError.clear();
    if (m_parserChooser)
        SetParser(m_parserChooser(ExtensionOf(path)));

    UniMemFile file;
    if (!file.OpenRead(path))
    {
        outError = file.GetLastError().GetMessage();
        InitNew(1);
        return kLoadFailed;
    }
    if (!file.ReadBom() && codePage >= 0)
        file.SetCodePage(codePage);

    BeginLoading(static_cast<std::size_t>(file.GetFileSize()));
    // UTF-8 and UTF-16 lines stay in the file's text, which the buffer then takes over: no copy.
    // A file that ends with a line end gets a final empty line; an empty file one empty line.
    bool previousHadEol = true;
    bool binary = false;
    if (file.KeepsText())
    {
        UniLineView lines[kLoadBatch];
        std::size_t n = kLoadBatch;
        while (n == kLoadBatch && !binary)
        {
            n = file.ReadLineViews(lines, kLoadBatch);
            AppendLoadedLinesInPlace(lines, n);
            if (n != 0)
                previousHadEol = lines[n - 1].eolLength != 0;
            binary = file.GetStats().zeroCount > 0;
        }
        const UniTextMemory text = file.TakeText();
        AdoptLoadBlock(text.data, text.size, text.release);
    }
    else
    {
        std::string line, eol;
        while (!binary && file.ReadLine(line, eol))
        {
            AppendLoadedLine(line, eol);
            previousHadEol = !eol.empty();
            binary = file.GetStats().zeroCount > 0;
        }
    }
    if (binary)
    {
        FreeLines();
        InitNew(1);
        return kLoadedBinary;
    }
    if (previousHadEol)
        AppendLoadedLine({}, {});
    EndLoading();

    const TextStats& stats = file.GetStats();
    m_nEolStyle = eolStyle != 0 ? eolStyle : EolStyleFromStats(stats);
    m_bInitialized = true;
    m_bReadOnly = false;
    m_bModified = false;
    ClearUndoHistory();
    m_nSavePoint = 0;
    m_nCurrentRevision = 0;
    m_nRevisionAtSave = 0;
    m_ptLastChange = {-1, -1};
    m_aParseCookies.clear();
    FinishLoading();
    m_nUnicodeKind = file.GetUnicodeKind();
    m_nCodePage = file.GetCodePage();
    outLossy = stats.lossCount > 0;
    UpdateViews(nullptr, nullptr, kUpdateReset, -1);
    return HasMixedEols(stats) ? kLoadedMixedEols : kLoaded;
}

bool CSyntaxEditContextEx::WriteLines(const std::string& path, int eolStyle, std::string& outError)
{
    UniStdioFile file;
    if (!file.OpenCreate(path))
    {
        outError = file.GetLastError().GetMessage();
        return false;
    }
    // A buffer that was never loaded is written like a file without a mark.
    file.SetUnicodeKind(m_nUnicodeKind < 0 ? UNICODE_NONE : m_nUnicodeKind);
    file.SetCodePage(m_nCodePage);
    bool ok = file.WriteBom() >= 0;
    const std::string_view styleEol = EolText(eolStyle);
    std::string chunk;
    chunk.reserve(kWriteChunk + 1024);
    const int count = GetLineCount();
    for (int i = 0; ok && i < count; ++i)
    {
        chunk += GetLineText(i);
        if (i + 1 < count)
            chunk += styleEol;
        if (chunk.size() >= kWriteChunk || i + 1 == count)
        {
            ok = file.WriteText(chunk);
            chunk.clear();
        }
    }
    if (!file.Close())
        ok = false;
    if (!ok)
        outError = file.GetLastError().GetMessage();
    return ok;
}

std::string CSyntaxEditContextEx::ResolveSaveTarget(const std::string& path)
{
    std::string target = path;
    for (int hop = 0; hop < kMaxLinkHops; ++hop)
    {
        struct stat st
        {
        };
        if (lstat(target.c_str(), &st) != 0 || !S_ISLNK(st.st_mode))
            return target;
        std::string link(static_cast<std::size_t>(st.st_size > 0 ? st.st_size : PATH_MAX), '\0');
        const ssize_t n = readlink(target.c_str(), link.data(), link.size());
        if (n < 0)
            return target;
        link.resize(static_cast<std::size_t>(n));
        target = (!link.empty() && link[0] == '/') ? link : FolderOf(target) + "/" + link;
    }
    return target;
}

int CSyntaxEditContextEx::SaveToFile(const std::string& path, bool isTemporary, std::string& outError,
                                     int eolStyle, bool clearModified)
{
    outError.clear();
    if (path.empty())
    {
        outError = std::strerror(ENOENT);
        return 1;
    }
    if (eolStyle == 0)
        eolStyle = m_nEolStyle;

    if (isTemporary)
    {
        if (!WriteLines(path, eolStyle, outError))
            return 1;
        if (clearModified)
            MarkSaved();
        return 0;
    }

    const std::string target = ResolveSaveTarget(path);
    struct stat st
    {
    };
    if (lstat(target.c_str(), &st) == 0 && S_ISLNK(st.st_mode))
    {
        outError = std::strerror(ELOOP); // a cycle of links: never replace one of them by a file
        return 1;
    }
    const bool exists = stat(target.c_str(), &st) == 0;
    if (exists && !S_ISREG(st.st_mode))
    {
        outError = std::strerror(S_ISDIR(st.st_mode) ? EISDIR : EINVAL);
        return 1;
    }
    // Renaming would replace a file that the user may not write to.
    if (exists && access(target.c_str(), W_OK) != 0)
    {
        outError = std::strerror(errno);
        return 1;
    }
    std::string temp = FolderOf(target) + "/.quorvane-save-XXXXXX";
    const int fd = mkstemp(temp.data());
    if (fd < 0)
    {
        outError = std::strerror(errno);
        return 1;
    }
    mode_t mode = 0;
    if (exists)
        mode = st.st_mode & 07777;
    else
    {
        const mode_t mask = umask(0);
        umask(mask);
        mode = 0666 & ~mask;
    }
    bool ok = fchmod(fd, mode) == 0;
    if (!ok)
        outError = std::strerror(errno);
    if (ok && exists && (st.st_uid != geteuid() || st.st_gid != getegid()))
        (void)!fchown(fd, st.st_uid, st.st_gid); // keeps the owner where allowed; not a reason to fail
    close(fd);

    ok = ok && WriteLines(temp, eolStyle, outError);
    if (ok && rename(temp.c_str(), target.c_str()) != 0)
    {
        outError = std::strerror(errno);
        ok = false;
    }
    if (!ok)
    {
        unlink(temp.c_str());
        return 1;
    }
    // The new name must survive a crash too, not only the data.
    const int dir = open(FolderOf(target).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dir >= 0)
    {
        fsync(dir);
        close(dir);
    }
    if (clearModified)
    {
        MarkSaved();
        if (m_bTrackRevisions)
        {
            m_nRevisionAtSave = m_nCurrentRevision;
            UpdateViews(nullptr, nullptr, kUpdateSaved, -1);
        }
    }
    return 0;
}
