#pragma once

#include "definitions/CompareParams.h"

#include <string>
#include <string_view>
#include <vector>

// Assembles a generated command line piece by piece, each piece starting with a blank, quoting the
// values that need it for the chosen kind of script.
class CCommandLineText
{
public:
    CCommandLineText(bool fullPath, bool abbreviated, CommandLineQuoting quoting);

    bool IsAbbreviated() const { return m_bAbbreviated; }
    // The abbreviated or the long form of a word.
    std::string_view Pick(std::string_view shortForm, std::string_view longForm) const
    {
        return m_bAbbreviated ? shortForm : longForm;
    }

    // " -c /t:x" (abbreviated) or " -compare /type:word".
    void AddCommandAndType(std::string_view shortType, std::string_view longType);
    // The two paths (when not empty) and the read-only list.
    void AddObjects(const CCompareParams& params);
    // " /switch:" and the quoted items joined by "|", when there is any item.
    void AddList(std::string_view shortSwitch, std::string_view longSwitch, const std::vector<std::string>& items);
    // The switch text as is and the quoted value after it.
    void AddQuoted(std::string_view switchText, std::string_view value);

    std::string Str() const { return m_strText; }

    static std::string QuoteText(std::string_view text, CommandLineQuoting quoting);

private:
    bool m_bAbbreviated;
    CommandLineQuoting m_quoting;
    std::string m_strText;
};

// The program's installation folder as generated command lines name it.
std::string CommandLineProgramFolder();
