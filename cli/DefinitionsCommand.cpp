#include "cli/Commands.h"

int RunDefinitionsCommand(const std::vector<std::string>& args)
{
    ReportProblem(args.empty() ? "definitions" : args.front(), "not built yet");
    return 2;
}
