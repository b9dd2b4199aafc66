#include "definitions/TextCompareParams.h"

#include "definitions/CommandLineText.h"
#include "definitions/CompareDefaults.h"
#include "definitions/DefinitionNames.h"

CTextCompareParams::CTextCompareParams() : m_dwRules(CurrentCompareDefaults().m_dwTextRules)
{
    m_nType = COMPARE_TYPE_TEXT;
}

void CTextCompareParams::CopyFrom(const CCompareParams& other)
{
    CCompareParams::CopyFrom(other);
    if (const auto* text = dynamic_cast<const CTextCompareParams*>(&other))
    {
        m_dwRules = text->m_dwRules;
        m_strLineFilter = text->m_strLineFilter;
    }
}

bool CTextCompareParams::IsEqual(const CCompareParams& other) const
{
    const auto* text = dynamic_cast<const CTextCompareParams*>(&other);
    return text && CCompareParams::IsEqual(other) && m_dwRules == text->m_dwRules &&
           m_strLineFilter == text->m_strLineFilter;
}

std::string CTextCompareParams::GetCommandLine(bool fullPath, bool abbreviated, CommandLineQuoting quoting) const
{
    CCommandLineText text(fullPath, abbreviated, quoting);
    text.AddCommandAndType("t", "text");
    text.AddObjects(*this);
    std::vector<std::string> rules;
    for (const auto& entry : RuleNames())
        if (m_dwRules & entry.m_dwBit)
            rules.emplace_back(text.Pick(entry.m_strShortWord, entry.m_strLongWord));
    text.AddList("r", "rule", rules);
    if (!m_strLineFilter.empty())
        text.AddQuoted(abbreviated ? "/lf:re=" : "/linefilter:regexp=", m_strLineFilter);
    else if (!CurrentCompareDefaults().m_strTextLineFilter.empty())
        text.AddQuoted(abbreviated ? "/lf:" : "/linefilter:", ""); // otherwise the default filter comes back
    return text.Str();
}
