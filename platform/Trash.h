#pragma once

#include <string>

namespace platform {

// Moves a file or folder to the user's Trash the way freedesktop.org desktops share it:
// the home trash ($XDG_DATA_HOME/Trash) for paths on its file system, otherwise the trash at the
// top of the path's own file system ($topdir/.Trash/$uid when the administrator made one, else
// $topdir/.Trash-$uid). Returns 0 with `trashedAs` set to the new path of the item, or errno with
// `message` set; when no Trash can take the path the path is left where it is: it is never
// deleted for good instead.
int MoveToTrash(const std::string& path, std::string* trashedAs = nullptr, std::string* message = nullptr);

// What MoveToTrash does for a path outside the home trash's file system, with the top folder of
// that file system given: `path` must lie below `topdir`. Tests use it to lay out a top folder
// where they can create `.Trash` themselves.
int MoveToTopDirTrash(const std::string& path, const std::string& topdir, std::string* trashedAs = nullptr,
                      std::string* message = nullptr);

} // namespace platform
