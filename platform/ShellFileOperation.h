#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace platform {

// Operation codes and flags, with the numeric values that callers and stored settings use.
enum class FileOperationKind : std::uint32_t
{
    Move = 1,
    Copy = 2,
    Delete = 3,
    Rename = 4,
};

inline constexpr std::uint32_t FOF_SILENT = 0x0004;
inline constexpr std::uint32_t FOF_NOCONFIRMATION = 0x0010;
inline constexpr std::uint32_t FOF_ALLOWUNDO = 0x0040; // delete to the Trash
inline constexpr std::uint32_t FOF_NOCONFIRMMKDIR = 0x0200;
inline constexpr std::uint32_t FOF_NOERRORUI = 0x0400;

enum class OverwriteAnswer
{
    Yes,
    YesToAll,
    No,
    Cancel,
};

// One failure of one item: the path it concerns, errno and a sentence for the user.
struct FileOperationError
{
    std::string m_strPath;
    int m_nError = 0;
    std::string m_strMessage;
};

struct FileOperationResult
{
    int m_nCode = 0;       // 0 when every item succeeded
    bool m_bAborted = false; // the observer cancelled
    std::vector<FileOperationError> m_errors;

    bool Succeeded() const { return m_nCode == 0; }
};

// The user's side of a file operation: confirmations and progress. Without an observer, an
// existing destination is never replaced unless FOF_NOCONFIRMATION is given.
class FileOperationObserver
{
public:
    virtual ~FileOperationObserver() = default;
    virtual OverwriteAnswer ConfirmOverwrite(const std::string& source, const std::string& destination) = 0;
    // Called before each item; returning false cancels the rest.
    virtual bool OnItem(const std::string& /*source*/) { return true; }
};

// Runs one operation on one path.
//   Copy, Move: `to` is the destination folder (made when missing); the source keeps its name
//               inside it. Folders are copied with their contents and merge into an existing
//               folder of the same name; times and permissions are kept; links stay links. A
//               replaced file is written under a temporary name and renamed over the old one.
//               Moving or copying a folder into itself, or a file onto itself, is refused.
//               Move renames when it can and copies then deletes across file systems, deleting
//               the source only when all of it was copied.
//               An observer's "No" skips that item without an error.
//   Rename:     `to` is the new full path; an existing `to` is an error unless replacing it is
//               confirmed, and an existing folder is never replaced.
//   Delete:     `to` is ignored; with FOF_ALLOWUNDO the path goes to the Trash, and when there is
//               no Trash for it the operation fails instead of deleting for good.
FileOperationResult ShellFileOperation(FileOperationKind kind, const std::string& from, const std::string& to,
                                       std::uint32_t flags, FileOperationObserver* observer = nullptr);

} // namespace platform
