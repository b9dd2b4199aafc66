#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace testsupport {

// A fresh folder below the system's temporary folder, removed with everything in it at destruction.
class TempDir
{
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::string& Path() const { return m_strPath; }
    // Path of a name inside the folder.
    std::string operator/(std::string_view name) const;

private:
    std::string m_strPath;
};

// Writes bytes to a file, creating or truncating it; aborts the test on failure.
void WriteFile(const std::string& path, std::string_view bytes);
std::string ReadFile(const std::string& path);

// Sets an environment variable for the lifetime of the object and restores the old value after.
class ScopedEnv
{
public:
    ScopedEnv(const char* name, const std::string& value);
    ~ScopedEnv();
    ScopedEnv(const ScopedEnv&) = delete;
    ScopedEnv& operator=(const ScopedEnv&) = delete;

private:
    std::string m_strName;
    std::string m_strOld;
    bool m_bHadOld;
};

// True when the process runs as root, which ignores permission bits (tests of unreadable files skip then).
bool RunningAsRoot();

} // namespace testsupport

namespace testsupport {

struct ProgramRun
{
    int m_nExitCode = -1;
    std::string m_strOut;
    std::string m_strErr;
};

// Runs a program with an argument vector (no shell) and collects its output and exit code.
ProgramRun RunProgram(const std::vector<std::string>& argv, const std::vector<std::string>& extraEnv = {});

} // namespace testsupport
