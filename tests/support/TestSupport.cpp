#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <unistd.h>

namespace testsupport {

TempDir::TempDir()
{
    std::string pattern = (std::filesystem::temp_directory_path() / "quorvane-test-XXXXXX").string();
    if (mkdtemp(pattern.data()) == nullptr)
        ADD_FAILURE() << "mkdtemp failed";
    m_strPath = pattern;
}

TempDir::~TempDir()
{
    // Permission bits set by a test must not stop the clean-up.
    std::error_code ec;
    for (auto it = std::filesystem::recursive_directory_iterator(m_strPath, ec);
         it != std::filesystem::recursive_directory_iterator(); it.increment(ec))
    {
        if (it->is_directory(ec) && !it->is_symlink(ec))
            std::filesystem::permissions(it->path(), std::filesystem::perms::owner_all,
                                         std::filesystem::perm_options::add, ec);
    }
    std::filesystem::permissions(m_strPath, std::filesystem::perms::owner_all,
                                 std::filesystem::perm_options::add, ec);
    std::filesystem::remove_all(m_strPath, ec);
}

std::string TempDir::operator/(std::string_view name) const
{
    return m_strPath + "/" + std::string(name);
}

void WriteFile(const std::string& path, std::string_view bytes)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    if (!out)
        ADD_FAILURE() << "cannot write " << path;
}

std::string ReadFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

ScopedEnv::ScopedEnv(const char* name, const std::string& value) : m_strName(name)
{
    const char* old = std::getenv(name);
    m_bHadOld = old != nullptr;
    if (old)
        m_strOld = old;
    setenv(name, value.c_str(), 1);
}

ScopedEnv::~ScopedEnv()
{
    if (m_bHadOld)
        setenv(m_strName.c_str(), m_strOld.c_str(), 1);
    else
        unsetenv(m_strName.c_str());
}

bool RunningAsRoot()
{
    return geteuid() == 0;
}

} // namespace testsupport

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>

extern char** environ;

namespace testsupport {

ProgramRun RunProgram(const std::vector<std::string>& argv, const std::vector<std::string>& extraEnv)
{
    ProgramRun run;
    TempDir dir;
    const std::string out = dir / "stdout";
    const std::string err = dir / "stderr";
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 1, out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    posix_spawn_file_actions_addopen(&actions, 2, err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    std::vector<char*> args;
    for (const std::string& a : argv)
        args.push_back(const_cast<char*>(a.c_str()));
    args.push_back(nullptr);
    std::vector<std::string> envStrings;
    for (char** e = environ; *e != nullptr; ++e)
        envStrings.emplace_back(*e);
    envStrings.insert(envStrings.end(), extraEnv.begin(), extraEnv.end());
    std::vector<char*> env;
    for (const std::string& e : envStrings)
        env.push_back(const_cast<char*>(e.c_str()));
    env.push_back(nullptr);
    pid_t pid = -1;
    const int rc = posix_spawnp(&pid, args[0], &actions, nullptr, args.data(), env.data());
    posix_spawn_file_actions_destroy(&actions);
    if (rc != 0)
    {
        ADD_FAILURE() << "cannot start " << argv[0];
        return run;
    }
    int status = 0;
    waitpid(pid, &status, 0);
    run.m_nExitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    run.m_strOut = ReadFile(out);
    run.m_strErr = ReadFile(err);
    return run;
}

} // namespace testsupport
