#include "definitions/CommandLineText.h"

#include "platform/ProgramPath.h"

namespace {

constexpr std::string_view kProgramName = "quorvane";

} // namespace

std::string CommandLineProgramFolder()
{
    return platform::RunningProgramFolder();
}

std::string CCommandLineText::QuoteText(std::string_view text, CommandLineQuoting quoting)
{
    if (quoting == CommandLineQuoting::Batch)
        return "\"" + std::string(text) + "\"";
    // Inside single quotes nothing is special; a single quote itself closes, escapes and reopens.
    std::string quoted = "'";
    for (const char c : text)
    {
        if (c == '\'')
            quoted += "'\\''";
        else
            quoted.push_back(c);
    }
    quoted.push_back('\'');
    return quoted;
}

CCommandLineText::CCommandLineText(bool fullPath, bool abbreviated, CommandLineQuoting quoting)
    : m_bAbbreviated(abbreviated), m_quoting(quoting)
{
    if (fullPath)
    {
        std::string program = CommandLineProgramFolder();
        if (program.empty() || program.back() != '/')
            program.push_back('/');
        program.append(kProgramName);
        m_strText = QuoteText(program, quoting);
    }
    else
    {
        m_strText = kProgramName;
    }
}

void CCommandLineText::AddCommandAndType(std::string_view shortType, std::string_view longType)
{
    m_strText += m_bAbbreviated ? " -c /t:" : " -compare /type:";
    m_strText += Pick(shortType, longType);
}

void CCommandLineText::AddObjects(const CCompareParams& params)
{
    for (const auto& object : params.m_objects)
        if (!object.m_strPath.empty())
            m_strText += " " + QuoteText(object.m_strPath, m_quoting);
    std::vector<std::string> readOnly;
    if (params.m_objects[CCompareParams::kLeft].IsReadOnly())
        readOnly.emplace_back("1");
    if (params.m_objects[CCompareParams::kRight].IsReadOnly())
        readOnly.emplace_back("2");
    AddList("ro", "readonly", readOnly);
}

void CCommandLineText::AddList(std::string_view shortSwitch, std::string_view longSwitch,
                               const std::vector<std::string>& items)
{
    if (items.empty())
        return;
    std::string joined;
    for (const auto& item : items)
    {
        if (!joined.empty())
            joined.push_back('|');
        joined += item;
    }
    m_strText += " /";
    m_strText += Pick(shortSwitch, longSwitch);
    m_strText += ":" + QuoteText(joined, m_quoting);
}

void CCommandLineText::AddQuoted(std::string_view switchText, std::string_view value)
{
    m_strText += " ";
    m_strText += switchText;
    m_strText += QuoteText(value, m_quoting);
}
