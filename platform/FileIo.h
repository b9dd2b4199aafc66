#pragma once

#include <string>
#include <string_view>
#include <sys/types.h>
#include <vector>

namespace platform {

// Small POSIX file helpers shared by the settings store, the file operations and the Trash.

// Writes all of `data`, going on after short writes and interrupts.
bool WriteAll(int fd, std::string_view data);

// Creates a folder and its missing parents with `mode`; true when a folder (or a link to one) is
// there afterwards, else false with errno set (ENOTDIR when something else stands there).
bool MakeFolders(const std::string& path, mode_t mode);

// Renames without replacing an entry that appeared since it was looked at. 0, or -1 with errno.
int RenameNoReplace(const std::string& from, const std::string& to);

// Puts `data` in place of the file at `path` through a temporary file in the same folder, synced and
// renamed over it, so the old contents stay whole until the new ones are complete. A symbolic link
// keeps pointing at its (replaced) target; an existing file keeps its permission bits, a new one gets
// `newMode` less the umask. Returns 0, or the errno of the step that failed (nothing is changed).
int ReplaceFileContents(const std::string& path, std::string_view data, mode_t newMode = 0666);

// The names in a folder, without "." and "..". Returns 0 or the errno of opening or reading it;
// after a read error the names read before it are kept. `opened` tells the two failures apart.
int ReadFolderNames(const std::string& path, std::vector<std::string>& names, bool* opened = nullptr);

} // namespace platform
