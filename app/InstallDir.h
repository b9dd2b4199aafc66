#pragma once

#include "platform/Profile.h"

#include <string>

// The installation folder holds the program's read-only resources (help, languages). It is the
// folder of the running program; "InstallDir" directly under the application key is written
// whenever it differs, so that the file-manager integration finds the program.
std::string ResolveInstallDir(platform::Profile& profile);

inline constexpr const char* kInstallDirValue = "InstallDir";
