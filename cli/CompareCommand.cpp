#include "cli/Commands.h"
#include "cli/DefinitionJson.h"
#include "cli/JsonWriter.h"

#include "app/CommandLine.h"
#include "definitions/CompareParams.h"

#include <cstdio>

namespace {

const char* CommandWord(int command)
{
    switch (command)
    {
    case CMD_OPEN:
        return "open";
    case CMD_HELP:
        return "help";
    case CMD_COMPARE:
        return "compare";
    case CMD_EDIT:
        return "edit";
    default:
        return "none";
    }
}

const char* TypeWord(int type)
{
    switch (type)
    {
    case CMDTYPE_TEXT:
        return "text";
    case CMDTYPE_BINARY:
        return "binary";
    case CMDTYPE_FOLDER:
        return "folder";
    case CMDTYPE_PROJECT:
        return "project";
    default:
        return "auto";
    }
}

} // namespace

int RunCompareCommand(const std::vector<std::string>& args)
{
    bool dryRun = false;
    bool json = false;
    // The program's own command line follows; our options come first.
    std::vector<std::string> argv{"quorvane"};
    std::size_t i = 0;
    for (; i < args.size(); ++i)
    {
        if (args[i] == "--dry-run")
            dryRun = true;
        else if (args[i] == "--json")
            json = true;
        else
            break;
    }
    argv.insert(argv.end(), args.begin() + static_cast<std::ptrdiff_t>(i), args.end());
    if (!dryRun)
    {
        ReportProblem("compare", "running comparisons is not available yet; use --dry-run to see what a command "
                                 "line resolves to");
        return 2;
    }
    CCommandLine line;
    line.ParseCommandLine(argv);
    const auto definition = line.m_nCommand == CMD_COMPARE ? CreateDefinitionFromCommandLine(line) : nullptr;
    if (json)
    {
        CJsonObject object;
        std::vector<std::string> paths;
        for (int p = 0; p < line.m_nPaths; ++p)
            paths.push_back(line.m_strPaths[p]);
        object.Add("command", CommandWord(line.m_nCommand))
            .Add("commandType", TypeWord(line.m_nType))
            .Add("paths", paths);
        std::string flags = "[";
        flags += line.m_bReadOnly[0] ? "true," : "false,";
        flags += line.m_bReadOnly[1] ? "true]" : "false]";
        std::string text = object.Str();
        text.pop_back();
        text += ",\"readOnly\":" + flags + ",\"definition\":" + (definition ? DefinitionJson(*definition).Str() : "null") + "}";
        std::printf("%s\n", text.c_str());
        return 0;
    }
    std::printf("command: %s\ntype: %s\n", CommandWord(line.m_nCommand), TypeWord(line.m_nType));
    for (int p = 0; p < line.m_nPaths; ++p)
        std::printf("path %d: %s%s\n", p + 1, line.m_strPaths[p].c_str(), line.m_bReadOnly[p] ? " (read-only)" : "");
    if (definition)
        std::printf("definition: %s\ncommand line: %s\n", definition->GetTitle().c_str(),
                    definition->GetCommandLine(false, true).c_str());
    return 0;
}
