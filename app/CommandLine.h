#pragma once

#include "filesystem/ComboFilters.h"

#include <cstdint>
#include <ctime>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

class CCompareParams;

inline constexpr int CMD_NONE = 0;
inline constexpr int CMD_OPEN = 1;
inline constexpr int CMD_HELP = 2;
inline constexpr int CMD_COMPARE = 3;
inline constexpr int CMD_EDIT = 4;

inline constexpr int CMDTYPE_AUTO = 0;
inline constexpr int CMDTYPE_TEXT = 1;
inline constexpr int CMDTYPE_BINARY = 2;
inline constexpr int CMDTYPE_FOLDER = 3;
inline constexpr int CMDTYPE_PROJECT = 4;

// What a command line asks for.
struct CCommandOptions
{
    int m_nCommand = CMD_NONE;
    int m_nType = CMDTYPE_AUTO;
    int m_nPaths = 0;
    std::string m_strPaths[2];
    bool m_bReadOnly[2] = {false, false};
    std::uint32_t m_dwMethods = 0;
    std::uint32_t m_dwOptions = 0;
    CComboFilters m_filters;
    std::uint32_t m_dwRules = 0;
    std::string m_strLineFilter;
};

// The user's current defaults that the command line falls back to for what it does not say.
struct COMMAND_LINE_DEFAULTS
{
    std::uint32_t m_dwMethods = 0x110;
    bool m_bAutoScanSubfolders = false;
    CComboFilters m_filters;
    std::uint32_t m_dwRules = 0x20000;
    std::string m_strLineFilter;
};

// The defaults as the option holders last set them (see CurrentCompareDefaults).
COMMAND_LINE_DEFAULTS CurrentCommandLineDefaults();

// Parses the program's command line: one or two paths and switches. "-" starts a switch; "/" starts
// one only when the argument is one of the switches, since absolute paths begin with "/" here.
class CCommandLine : public CCommandOptions
{
public:
    virtual ~CCommandLine() = default;

    // `argv` includes the program name; with nothing after it, nothing happens at all.
    virtual void ParseCommandLine(const std::vector<std::string>& argv,
                                  const COMMAND_LINE_DEFAULTS& defaults = CurrentCommandLineDefaults());
    virtual void ParseParam(const std::string& text, bool isSwitch, bool isLast);

    void AddPath(const std::string& text);
    void ParseSwitch(std::string_view text);
    void ResolveCommand(bool isLast);
    // Month-day-year as local midnight; false (and `out` unchanged) unless all three parts are there
    // and non-zero.
    static bool ParseDate(std::string_view text, std::int64_t& out);
    // Whether an argument that begins with "/" is one of the switches.
    static bool IsSwitchWord(std::string_view text);

    bool m_bDefaultMethods = true;
    bool m_bDefaultOptions = true;
    bool m_bDefaultRules = true;
    bool m_bDefaultFilters = true;
    bool m_bDefaultLineFilter = true;

private:
    void ParseFileFilterItem(std::string_view item);
    void ParseFolderFilterItem(std::string_view item);
    void ResolveTwoPaths();
    void ResolveOnePath();
};

// The definition a compare command builds for its resolved type; null when it builds none.
std::unique_ptr<CCompareParams> CreateDefinitionFromCommandLine(const CCommandOptions& options);

// Splits a command line written with POSIX quoting (single quotes, and backslash and double quotes
// outside them) into its arguments, as a shell would for a simple command.
std::vector<std::string> SplitPosixCommandLine(std::string_view text);
