#include "platform/Process.h"

#include <cerrno>
#include <spawn.h>
#include <sys/wait.h>
#include <thread>

extern char** environ;

namespace platform {

ProcessResult StartProcess(const std::vector<std::string>& argv, const ProcessOptions& options)
{
    ProcessResult result;
    if (argv.empty())
    {
        result.m_nError = EINVAL;
        return result;
    }
    std::vector<char*> args;
    args.reserve(argv.size() + 1);
    for (const std::string& a : argv)
        args.push_back(const_cast<char*>(a.c_str()));
    args.push_back(nullptr);

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    if (!options.m_strWorkingDirectory.empty())
        posix_spawn_file_actions_addchdir_np(&actions, options.m_strWorkingDirectory.c_str());
    posix_spawnattr_t attributes;
    posix_spawnattr_init(&attributes);
    if (!options.m_bWait)
        posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSID); // outlives our terminal session

    pid_t pid = -1;
    const int error = posix_spawnp(&pid, args[0], &actions, &attributes, args.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    posix_spawnattr_destroy(&attributes);
    if (error != 0)
    {
        result.m_nError = error;
        return result;
    }
    result.m_bStarted = true;
    result.m_nPid = pid;
    if (options.m_bWait)
    {
        int status = 0;
        while (waitpid(pid, &status, 0) < 0 && errno == EINTR)
        {
        }
        result.m_nExitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }
    else
        std::thread([pid] {
            int status = 0;
            while (waitpid(pid, &status, 0) < 0 && errno == EINTR)
            {
            }
        }).detach();
    return result;
}

} // namespace platform
