#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace platform {
class Profile;
}

// A program the user named to compare files of some types instead of the built-in comparisons.
// Usable only when all four texts are non-empty.
struct CExternalTool
{
    std::string m_strName;
    std::string m_strExtensions; // as typed, e.g. ".cpp;.h"
    std::string m_strCommand;    // the program
    std::string m_strArguments;  // "%1" is the left path, "%2" the right one

    bool IsComplete() const;
    bool operator==(const CExternalTool&) const = default;
};

using CExternalToolPtrArray = std::vector<std::unique_ptr<CExternalTool>>;

// The application's file comparison settings: the external comparison tools, in the user's order,
// which decides the tool that wins. (The colours of the comparison views are kept by the views.)
class CFileComparer
{
public:
    static constexpr std::string_view kExternalToolsSection =
        "Comparisons\\FileComparison\\Settings\\ExternalTools";

    CFileComparer() = default;
    CFileComparer(const CFileComparer&) = delete;
    CFileComparer& operator=(const CFileComparer&) = delete;

    // Reads tools 1, 2, ... while a name is stored; an entry with an empty extensions, command or
    // arguments text is skipped and the entries after it still load.
    void LoadExternalTools(const platform::Profile& profile);
    // Replaces the whole stored list by this one.
    bool SaveExternalTools(platform::Profile& profile) const;

    // The first tool whose extensions text contains the pair's common extension (lower case, with its
    // dot; "" when the names have none), or -1 when the extensions differ or no tool lists it.
    int FindExternalTool(const std::string& leftPath, const std::string& rightPath) const;
    // Starts the tool (searched first when `index` is -1) on the two paths without waiting: 0 when the
    // program started, -1 when no tool matches or the start failed.
    int RunExternalTool(const std::string& leftPath, const std::string& rightPath, int index = -1) const;

    // The argument vector the tool is started with: the command, then the arguments text split into
    // words as a POSIX shell would (blanks separate, quotes and backslashes group), each "%1" and "%2"
    // inside a word replaced by the whole path. A path therefore stays one argument whatever it holds.
    static std::vector<std::string> BuildToolArguments(const CExternalTool& tool, const std::string& leftPath,
                                                       const std::string& rightPath);
    // The extension of a path's last element from its last "." (with the dot), lower case; "" without.
    static std::string LowerCaseExtension(std::string_view path);

    CExternalToolPtrArray m_externalTools;
};
