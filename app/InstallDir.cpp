#include "app/InstallDir.h"

#include "platform/ProgramPath.h"

std::string ResolveInstallDir(platform::Profile& profile)
{
    const std::string stored = profile.GetProfileString("", kInstallDirValue);
    const std::string running = platform::RunningProgramFolder();
    if (running.empty())
        return stored; // no better answer than what an earlier start recorded
    if (stored != running)
        profile.WriteProfileString("", kInstallDirValue, running);
    return running;
}
