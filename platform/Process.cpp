#include "platform/Process.h"

#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <system_error>
#include <thread>
#include <unistd.h>

extern char** environ;

namespace platform {

namespace {

// posix_spawn's attribute and file-action objects, released on every path.
class CSpawnSetup
{
public:
    CSpawnSetup()
    {
        m_nError = posix_spawn_file_actions_init(&m_actions);
        if (m_nError == 0)
            m_nError = posix_spawnattr_init(&m_attributes);
    }
    ~CSpawnSetup()
    {
        posix_spawn_file_actions_destroy(&m_actions);
        posix_spawnattr_destroy(&m_attributes);
    }
    CSpawnSetup(const CSpawnSetup&) = delete;
    CSpawnSetup& operator=(const CSpawnSetup&) = delete;

    // Keeps the first failure so that the caller checks once.
    void Check(int error)
    {
        if (m_nError == 0)
            m_nError = error;
    }

    posix_spawn_file_actions_t m_actions;
    posix_spawnattr_t m_attributes;
    int m_nError = 0;
};

// Fills the setup shared by both entry points: the working folder, a new session on request, and a
// clean signal state (a blocked mask or an ignored SIGPIPE of ours would otherwise be inherited).
void PrepareSpawn(CSpawnSetup& setup, const ProcessOptions& options, bool newSession)
{
    if (!options.m_strWorkingDirectory.empty())
        setup.Check(posix_spawn_file_actions_addchdir_np(&setup.m_actions, options.m_strWorkingDirectory.c_str()));
    sigset_t none;
    sigemptyset(&none);
    setup.Check(posix_spawnattr_setsigmask(&setup.m_attributes, &none));
    sigset_t defaults;
    sigemptyset(&defaults);
    for (int signal : {SIGPIPE, SIGHUP, SIGINT, SIGQUIT, SIGTERM, SIGCHLD, SIGTSTP, SIGTTIN, SIGTTOU})
        sigaddset(&defaults, signal);
    setup.Check(posix_spawnattr_setsigdefault(&setup.m_attributes, &defaults));
    short flags = POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF;
    if (newSession)
        flags |= POSIX_SPAWN_SETSID;
    setup.Check(posix_spawnattr_setflags(&setup.m_attributes, flags));
}

// glibc's posix_spawnp reports a failed chdir or exec of the child as its return value, so a
// missing program is an error here rather than a child exiting 127.
int Spawn(const std::vector<std::string>& argv, CSpawnSetup& setup, pid_t& pid)
{
    if (setup.m_nError != 0)
        return setup.m_nError;
    std::vector<char*> args;
    args.reserve(argv.size() + 1);
    for (const std::string& arg : argv)
        args.push_back(const_cast<char*>(arg.c_str()));
    args.push_back(nullptr);
    return posix_spawnp(&pid, args[0], &setup.m_actions, &setup.m_attributes, args.data(), environ);
}

int WaitForExitCode(pid_t pid)
{
    int status = 0;
    pid_t waited;
    do
        waited = waitpid(pid, &status, 0);
    while (waited < 0 && errno == EINTR);
    if (waited < 0)
        return -1;
    if (WIFEXITED(status))
        return WEXITSTATUS(status);
    if (WIFSIGNALED(status))
        return 128 + WTERMSIG(status);
    return -1;
}

} // namespace

ProcessResult StartProcess(const std::vector<std::string>& argv, const ProcessOptions& options)
{
    ProcessResult result;
    if (argv.empty() || argv[0].empty())
    {
        result.m_nError = EINVAL;
        return result;
    }
    CSpawnSetup setup;
    PrepareSpawn(setup, options, options.m_bDetach);
    pid_t pid = -1;
    const int error = Spawn(argv, setup, pid);
    if (error != 0)
    {
        result.m_nError = error;
        return result;
    }
    result.m_bStarted = true;
    result.m_nPid = pid;
    if (options.m_bWait)
    {
        result.m_nExitCode = WaitForExitCode(pid);
        return result;
    }
    // posix_spawn cannot double-fork, so a thread stays behind to reap the child when it ends.
    try
    {
        std::thread([pid] { WaitForExitCode(pid); }).detach();
    }
    catch (const std::system_error&)
    {
        // No thread to be had: the child runs all the same and stays a zombie after its end until
        // we exit, which is better than blocking the caller for the child's lifetime.
    }
    return result;
}

bool RunAndCapture(const std::vector<std::string>& argv, std::string& out, int& exitCode,
                   const ProcessOptions& options)
{
    out.clear();
    exitCode = -1;
    if (argv.empty() || argv[0].empty())
        return false;
    int pipeEnds[2];
    // Close-on-exec, so that a program started by another thread meanwhile does not hold the write
    // end open and keep us from ever seeing the end of the output.
    if (pipe2(pipeEnds, O_CLOEXEC) != 0)
        return false;
    CSpawnSetup setup;
    PrepareSpawn(setup, options, false);
    setup.Check(posix_spawn_file_actions_addopen(&setup.m_actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0));
    setup.Check(posix_spawn_file_actions_adddup2(&setup.m_actions, pipeEnds[1], STDOUT_FILENO));
    pid_t pid = -1;
    const int error = Spawn(argv, setup, pid);
    close(pipeEnds[1]);
    if (error != 0)
    {
        close(pipeEnds[0]);
        return false;
    }
    // Read to the end before waiting: a child writing more than the pipe holds would never end.
    bool readOk = true;
    char buffer[65536];
    for (;;)
    {
        const ssize_t count = read(pipeEnds[0], buffer, sizeof buffer);
        if (count > 0)
            out.append(buffer, static_cast<std::size_t>(count));
        else if (count == 0)
            break;
        else if (errno != EINTR)
        {
            readOk = false;
            break;
        }
    }
    close(pipeEnds[0]);
    exitCode = WaitForExitCode(pid);
    return readOk;
}

} // namespace platform
