#pragma once

#include <string>
#include <vector>

namespace platform {

struct ProcessOptions
{
    std::string m_strWorkingDirectory; // "" keeps ours
    bool m_bWait = false;              // wait for the end and report the exit code
};

struct ProcessResult
{
    bool m_bStarted = false;
    int m_nError = 0; // errno when it could not be started
    int m_nPid = -1;
    int m_nExitCode = -1; // when waited for; -1 when it ended by a signal
};

// Starts a program with an argument vector, never through a shell, so an argument with blanks,
// quotes or "$" reaches the program whole. argv[0] is looked up in PATH when it has no "/".
// A child that is not waited for is reaped in the background and never left a zombie.
ProcessResult StartProcess(const std::vector<std::string>& argv, const ProcessOptions& options = {});

} // namespace platform
