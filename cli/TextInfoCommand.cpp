#include "cli/Commands.h"
#include "cli/JsonWriter.h"

#include "platform/CodePages.h"
#include "platform/Profile.h"
#include "platform/Registry.h"
#include "textcompare/DefaultCodePage.h"
#include "textcompare/EncodingChoice.h"
#include "textcompare/UniMemFile.h"
#include "textcompare/UnicodeConversion.h"

#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

constexpr const char* kTextInfoUsage = "usage: quorvane-cli textinfo [--json] [--codepage N] FILE...";

const char* EolWord(EolStyle style)
{
    return style == EOL_CR ? "CR" : style == EOL_LF ? "LF" : "CRLF";
}

struct TextInfo
{
    int m_nUnicodeKind = UNICODE_UNKNOWN;
    int m_nCodePage = 0;
    TextStats m_stats;
    long long m_nLines = 0;
};

// Reads the file the way the editors load it: the mark decides the kind, else the code page asked.
bool Examine(const std::string& path, int codePage, TextInfo& info, std::string& why)
{
    UniMemFile file;
    if (!file.OpenRead(path))
    {
        why = file.GetLastError().GetMessage();
        return false;
    }
    if (!file.ReadBom())
        file.SetCodePage(codePage);
    std::string line;
    std::string eol;
    bool lastOpen = false; // the last piece read had text but no line end
    while (file.ReadLine(line, eol))
    {
        if (!eol.empty())
        {
            ++info.m_nLines;
            lastOpen = false;
        }
        else
            lastOpen = !line.empty() || lastOpen;
    }
    if (lastOpen)
        ++info.m_nLines;
    info.m_nUnicodeKind = file.GetUnicodeKind();
    info.m_nCodePage = file.GetCodePage();
    info.m_stats = file.GetStats();
    return true;
}

std::string EncodingWord(const TextInfo& info)
{
    if (info.m_nUnicodeKind == UNICODE_NONE)
        return "cp" + std::to_string(info.m_nCodePage);
    return GetUnicodeKindName(info.m_nUnicodeKind);
}

} // namespace

int RunTextInfoCommand(const std::vector<std::string>& args)
{
    bool json = false;
    int codePage = -1; // from the settings unless given
    std::vector<std::string> paths;
    bool optionsDone = false;
    for (std::size_t i = 0; i < args.size(); ++i)
    {
        const std::string& arg = args[i];
        if (!optionsDone && arg == "--json")
            json = true;
        else if (!optionsDone && arg == "--codepage")
        {
            char* end = nullptr;
            const long value = i + 1 < args.size() ? std::strtol(args[i + 1].c_str(), &end, 10) : -1;
            if (i + 1 >= args.size() || args[i + 1].empty() || *end != '\0' || value < 0 || value > 65535 ||
                !platform::IsCodePageInstalled(platform::ResolveCodePage(static_cast<unsigned>(value))))
            {
                ReportProblem(i + 1 < args.size() ? args[i + 1] : arg,
                              "not a code page that can be converted");
                return 2;
            }
            codePage = static_cast<int>(value);
            ++i;
        }
        else if (!optionsDone && arg == "--")
            optionsDone = true;
        else if (!optionsDone && arg.size() > 1 && arg[0] == '-')
        {
            ReportProblem(arg, std::string("unknown option of textinfo (") + kTextInfoUsage + ")");
            return 2;
        }
        else
            paths.push_back(arg);
    }
    if (paths.empty())
    {
        ReportProblem("textinfo", std::string("no file given (") + kTextInfoUsage + ")");
        return 2;
    }

    if (codePage < 0)
    {
        // Files without a mark are read as the editors read them: in the default code page setting.
        platform::Registry registry(platform::Registry::DefaultDirectory());
        LoadDefaultCodePageSetting(platform::Profile(registry));
        codePage = GetDefaultCodePageSetting();
    }

    int status = 0;
    for (const std::string& path : paths)
    {
        TextInfo info;
        std::string why;
        if (!Examine(path, codePage, info, why))
        {
            ReportProblem(path, why);
            status = 2;
            continue;
        }
        const TextStats& stats = info.m_stats;
        const char* eol = EolWord(EolStyleFromStats(stats));
        const bool mixed = HasMixedEols(stats);
        if (json)
        {
            CJsonObject object;
            object.AddPath("path", path, "pathBytes")
                .Add("unicodeKind", info.m_nUnicodeKind)
                .Add("codePage", info.m_nCodePage)
                .Add("eol", eol)
                .Add("mixedEols", mixed)
                .Add("zeroCount", stats.zeroCount)
                .Add("firstZeroOffset", stats.firstZeroOffset)
                .Add("lastZeroOffset", stats.lastZeroOffset)
                .Add("lines", static_cast<std::int64_t>(info.m_nLines))
                .Add("losses", stats.lossCount);
            std::printf("%s\n", object.Str().c_str());
        }
        else
        {
            std::string nuls = std::to_string(stats.zeroCount);
            if (stats.zeroCount > 0)
                nuls += " (" + std::to_string(stats.firstZeroOffset) + ".." +
                        std::to_string(stats.lastZeroOffset) + ")";
            std::printf("%s\t%s\t%s\tNUL %s\t%lld lines\t%d losses\t%s\n", EncodingWord(info).c_str(), eol,
                        mixed ? "mixed" : "-", nuls.c_str(), info.m_nLines, stats.lossCount, path.c_str());
        }
    }
    return status;
}
