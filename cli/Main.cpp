#include "cli/Commands.h"

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

namespace {

constexpr const char* kUsage =
    "usage: quorvane-cli COMMAND [ARGS...]\n"
    "\n"
    "commands:\n"
    "  info [--json] PATH...   kind, size, last write time, attributes, text/binary type,\n"
    "                          CRC-32 and version of each path\n"
    "  definitions [--json] FILE.cmp\n"
    "                          each comparison definition of a comparison file and the\n"
    "                          command line that reopens it\n"
    "  diff [OPTION]... LEFT RIGHT\n"
    "                          line comparison of two text files under the comparison rules,\n"
    "                          printed as GNU diff prints it (-w -b -E -i -B -I RE -u -U N -q,\n"
    "                          --strip-trailing-cr, --ignore-leading-space, --ignore-trailing-space,\n"
    "                          --ignore-comments, --inline)\n"
    "  compare --dry-run [--json] [SWITCHES] LEFT RIGHT\n"
    "                          what the program's command line resolves to: command, type,\n"
    "                          paths, read-only sides and the comparison definition\n"
    "  textinfo [--json] [--codepage N] FILE...\n"
    "                          encoding, line-end style, mixed line ends, NUL bytes, lines\n"
    "                          and conversion losses of each text file\n"
    "  highlight FILE [-o OUT.html]\n"
    "                          the file as an HTML page with syntax colours and line\n"
    "                          numbers (to standard output without -o)\n"
    "\n"
    "Exit status: 0 success, 1 differences, 2 trouble.\n";

} // namespace

void ReportProblem(const std::string& what, const std::string& why)
{
    std::fprintf(stderr, "quorvane-cli: %s: %s\n", what.c_str(), why.c_str());
}

bool ParseListingArgs(const std::vector<std::string>& args, const char* command, const char* usage, bool& json,
                      std::vector<std::string>& operands)
{
    json = false;
    bool optionsDone = false;
    for (const std::string& arg : args)
    {
        if (!optionsDone && arg == "--json")
            json = true;
        else if (!optionsDone && arg == "--")
            optionsDone = true;
        else if (!optionsDone && arg.size() > 1 && arg[0] == '-')
        {
            ReportProblem(arg, std::string("unknown option of ") + command);
            return false;
        }
        else
            operands.push_back(arg);
    }
    if (operands.empty())
    {
        ReportProblem(command, std::string("nothing given (usage: quorvane-cli ") + usage + ")");
        return false;
    }
    return true;
}

int main(int argc, char** argv)
{
    if (argc < 2)
    {
        std::fputs(kUsage, stderr);
        return 2;
    }
    const std::string command = argv[1];
    const std::vector<std::string> args(argv + 2, argv + argc);
    if (command == "--help" || command == "-h" || command == "help")
    {
        std::fputs(kUsage, stdout);
        return 0;
    }
    if (command == "info")
        return RunInfoCommand(args);
    if (command == "diff")
        return RunDiffCommand(args);
    if (command == "compare")
        return RunCompareCommand(args);
    if (command == "definitions")
        return RunDefinitionsCommand(args);
    if (command == "textinfo")
        return RunTextInfoCommand(args);
    if (command == "highlight")
        return RunHighlightCommand(args);
    ReportProblem(command, "unknown command (see quorvane-cli --help)");
    return 2;
}
