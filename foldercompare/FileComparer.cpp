#include "foldercompare/FileComparer.h"

#include "platform/Process.h"
#include "platform/Profile.h"

namespace {

std::string ValueName(const char* prefix, int number)
{
    return prefix + std::to_string(number);
}

// Splits like a POSIX shell without expansions: blanks separate words; '...' keeps everything; "..."
// keeps everything but lets a backslash escape '"' and '\'; a backslash outside quotes escapes the next
// character. An unclosed quote runs to the end of the text.
std::vector<std::string> SplitWords(std::string_view text)
{
    std::vector<std::string> words;
    std::string word;
    bool inWord = false;
    for (std::size_t i = 0; i < text.size(); ++i)
    {
        const char c = text[i];
        if (c == ' ' || c == '\t' || c == '\n' || c == '\r')
        {
            if (inWord)
                words.push_back(std::move(word));
            word.clear();
            inWord = false;
            continue;
        }
        inWord = true;
        if (c == '\'')
        {
            const std::size_t end = text.find('\'', i + 1);
            const std::size_t stop = end == std::string_view::npos ? text.size() : end;
            word.append(text.substr(i + 1, stop - i - 1));
            i = stop;
        }
        else if (c == '"')
        {
            for (++i; i < text.size() && text[i] != '"'; ++i)
            {
                if (text[i] == '\\' && i + 1 < text.size() && (text[i + 1] == '"' || text[i + 1] == '\\'))
                    ++i;
                word.push_back(text[i]);
            }
        }
        else if (c == '\\' && i + 1 < text.size())
        {
            word.push_back(text[++i]);
        }
        else
        {
            word.push_back(c);
        }
    }
    if (inWord)
        words.push_back(std::move(word));
    return words;
}

std::string Substitute(std::string_view word, const std::string& left, const std::string& right)
{
    std::string out;
    for (std::size_t i = 0; i < word.size(); ++i)
    {
        if (word[i] == '%' && i + 1 < word.size() && (word[i + 1] == '1' || word[i + 1] == '2'))
        {
            out += word[i + 1] == '1' ? left : right;
            ++i;
        }
        else
        {
            out.push_back(word[i]);
        }
    }
    return out;
}

} // namespace

bool CExternalTool::IsComplete() const
{
    return !m_strName.empty() && !m_strExtensions.empty() && !m_strCommand.empty() && !m_strArguments.empty();
}

void CFileComparer::LoadExternalTools(const platform::Profile& profile)
{
    m_externalTools.clear();
    for (int n = 1;; ++n)
    {
        auto tool = std::make_unique<CExternalTool>();
        tool->m_strName = profile.GetProfileString(kExternalToolsSection, ValueName("Name", n));
        if (tool->m_strName.empty())
            break;
        tool->m_strExtensions = profile.GetProfileString(kExternalToolsSection, ValueName("Extensions", n));
        tool->m_strCommand = profile.GetProfileString(kExternalToolsSection, ValueName("Command", n));
        tool->m_strArguments = profile.GetProfileString(kExternalToolsSection, ValueName("Arguments", n));
        if (tool->IsComplete())
            m_externalTools.push_back(std::move(tool));
    }
}

bool CFileComparer::SaveExternalTools(platform::Profile& profile) const
{
    platform::Registry& registry = profile.GetRegistry();
    registry.DeleteKey(platform::RegistryRoot::CurrentUser, profile.SectionKey(kExternalToolsSection));
    bool ok = true;
    int n = 0;
    for (const auto& tool : m_externalTools)
    {
        ++n;
        ok &= profile.WriteProfileString(kExternalToolsSection, ValueName("Name", n), tool->m_strName);
        ok &= profile.WriteProfileString(kExternalToolsSection, ValueName("Extensions", n),
                                         tool->m_strExtensions);
        ok &= profile.WriteProfileString(kExternalToolsSection, ValueName("Command", n), tool->m_strCommand);
        ok &= profile.WriteProfileString(kExternalToolsSection, ValueName("Arguments", n),
                                         tool->m_strArguments);
    }
    return ok;
}

std::string CFileComparer::LowerCaseExtension(std::string_view path)
{
    const std::size_t slash = path.rfind('/');
    const std::string_view name = slash == std::string_view::npos ? path : path.substr(slash + 1);
    const std::size_t dot = name.rfind('.');
    if (dot == std::string_view::npos)
        return {};
    std::string extension(name.substr(dot));
    for (char& c : extension)
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    return extension;
}

int CFileComparer::FindExternalTool(const std::string& leftPath, const std::string& rightPath) const
{
    const std::string extension = LowerCaseExtension(leftPath);
    if (extension != LowerCaseExtension(rightPath))
        return -1;
    for (std::size_t i = 0; i < m_externalTools.size(); ++i)
        if (m_externalTools[i]->m_strExtensions.find(extension) != std::string::npos)
            return static_cast<int>(i);
    return -1;
}

std::vector<std::string> CFileComparer::BuildToolArguments(const CExternalTool& tool,
                                                           const std::string& leftPath,
                                                           const std::string& rightPath)
{
    std::vector<std::string> argv{tool.m_strCommand};
    for (const std::string& word : SplitWords(tool.m_strArguments))
        argv.push_back(Substitute(word, leftPath, rightPath));
    return argv;
}

int CFileComparer::RunExternalTool(const std::string& leftPath, const std::string& rightPath, int index) const
{
    if (index == -1)
        index = FindExternalTool(leftPath, rightPath);
    if (index < 0 || index >= static_cast<int>(m_externalTools.size()))
        return -1;
    const auto& tool = *m_externalTools[static_cast<std::size_t>(index)];
    return platform::StartProcess(BuildToolArguments(tool, leftPath, rightPath)).m_bStarted ? 0 : -1;
}
