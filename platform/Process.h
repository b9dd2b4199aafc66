#pragma once

#include <string>
#include <vector>

namespace platform {

struct ProcessOptions
{
    std::string m_strWorkingDirectory; // "" keeps ours
    bool m_bWait = false;              // wait for the end and report the exit code
    bool m_bDetach = true;             // a new session, so the child outlives us and our terminal
};

struct ProcessResult
{
    bool m_bStarted = false;
    int m_nError = 0; // errno when it could not be started (ENOENT, EACCES, a bad working folder...)
    int m_nPid = -1;
    int m_nExitCode = -1; // when waited for: the exit status, or 128 + signal number when killed
};

// Starts a program with an argument vector, never through a shell, so an argument with blanks,
// quotes, "$" or ";" reaches the program whole. argv[0] is looked up in PATH when it has no "/".
// A child that is not waited for is reaped by a background thread and never left a zombie: its
// pid belongs to that thread, so the caller must not wait for it.
ProcessResult StartProcess(const std::vector<std::string>& argv, const ProcessOptions& options = {});

// Runs a program to its end with standard input from /dev/null and captures its standard output.
// False when it could not be started or its output could not be read; m_bDetach and m_bWait of
// `options` are ignored.
bool RunAndCapture(const std::vector<std::string>& argv, std::string& out, int& exitCode,
                   const ProcessOptions& options = {});

} // namespace platform
