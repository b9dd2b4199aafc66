#pragma once

#include <string>

namespace platform {

// Folder of the running program (from /proc/self/exe), without a trailing "/"; "" when unknown.
std::string RunningProgramFolder();

} // namespace platform
