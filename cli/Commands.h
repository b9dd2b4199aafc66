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

// The arguments of a listing subcommand: "--json", "--" and the operands. False, after a message, for
// an unknown option or no operand; `usage` completes the message ("info [--json] PATH...").
bool ParseListingArgs(const std::vector<std::string>& args, const char* command, const char* usage, bool& json,
                      std::vector<std::string>& operands);

// "quorvane-cli: <what>: <why>" on standard error.
void ReportProblem(const std::string& what, const std::string& why);
