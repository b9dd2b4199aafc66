#pragma once

#include <string>
#include <vector>

// Each subcommand takes its own arguments (without the subcommand's name) and returns the exit
// status: 0 success, 1 differences, 2 trouble.
int RunInfoCommand(const std::vector<std::string>& args);
int RunDefinitionsCommand(const std::vector<std::string>& args);
int RunDiffCommand(const std::vector<std::string>& args);
int RunCompareCommand(const std::vector<std::string>& args);
int RunTextInfoCommand(const std::vector<std::string>& args);
int RunHighlightCommand(const std::vector<std::string>& args);

// "quorvane-cli: <what>: <why>" on standard error.
void ReportProblem(const std::string& what, const std::string& why);
