#include "cli/Commands.h"
#include "cli/DiffText.h"

#include "definitions/CompareParams.h"
#include "editing/syntax/SyntaxParserFactory.h"
#include "platform/Regex.h"
#include "textcompare/ComparisonText.h"
#include "textcompare/StringCompare.h"
#include "textcompare/TextScan.h"
#include "textcompare/TextCompare.h"

#include <cstdio>
#include <ctime>
#include <string>
#include <vector>

namespace {

constexpr const char* kDiffUsage = "usage: quorvane-cli diff [OPTION]... LEFT RIGHT";

struct DIFF_OPTIONS
{
    std::uint32_t m_dwRules = 0;
    std::vector<std::string> m_filters;
    int m_nContext = -1; // unified context lines; -1 for the normal format
    bool m_bBrief = false;
    bool m_bInline = false;
    int m_nTabSize = 8;
    std::vector<std::string> m_paths;
};

bool ParseNumber(const std::string& text, int& value)
{
    if (text.empty() || text.size() > 9 || text.find_first_not_of("0123456789") != std::string::npos)
        return false;
    value = std::stoi(text);
    return true;
}

// GNU diff's spelling of the options that have a rule twin; short options may be grouped.
int ParseOptions(const std::vector<std::string>& args, DIFF_OPTIONS& options)
{
    bool optionsDone = false;
    for (std::size_t i = 0; i < args.size(); ++i)
    {
        const std::string& arg = args[i];
        const auto value = [&](const std::string& name, std::string& out) {
            if (i + 1 >= args.size())
            {
                ReportProblem(name, "option needs a value");
                return false;
            }
            out = args[++i];
            return true;
        };
        if (optionsDone || arg.size() < 2 || arg[0] != '-')
        {
            options.m_paths.push_back(arg);
            continue;
        }
        if (arg == "--")
        {
            optionsDone = true;
            continue;
        }
        if (arg.rfind("--", 0) == 0)
        {
            const std::size_t equals = arg.find('=');
            const std::string name = arg.substr(0, equals);
            const bool hasValue = equals != std::string::npos;
            const std::string attached = hasValue ? arg.substr(equals + 1) : std::string();
            if (name == "--ignore-all-space")
                options.m_dwRules |= RULE_IGNOREALLSPACE;
            else if (name == "--ignore-space-change")
                options.m_dwRules |= RULE_IGNORESPACEDIFFERENCES;
            else if (name == "--ignore-tab-expansion")
                options.m_dwRules |= RULE_IGNORETABEXPANSION;
            else if (name == "--ignore-case")
                options.m_dwRules |= RULE_IGNORECASE;
            else if (name == "--ignore-blank-lines")
                options.m_dwRules |= RULE_IGNOREBLANKLINES;
            else if (name == "--strip-trailing-cr")
                options.m_dwRules |= RULE_IGNOREEOL;
            else if (name == "--ignore-leading-space")
                options.m_dwRules |= RULE_IGNORELEADINGSPACE;
            else if (name == "--ignore-trailing-space")
                options.m_dwRules |= RULE_IGNORETRAILINGSPACE;
            else if (name == "--ignore-comments")
                options.m_dwRules |= RULE_IGNORECOMMENTS;
            else if (name == "--brief")
                options.m_bBrief = true;
            else if (name == "--inline")
                options.m_bInline = true;
            else if (name == "--ignore-matching-lines")
            {
                std::string filter = attached;
                if (!hasValue && !value(name, filter))
                    return 2;
                options.m_filters.push_back(filter);
            }
            else if (name == "--unified")
            {
                options.m_nContext = 3;
                if (hasValue && !ParseNumber(attached, options.m_nContext))
                {
                    ReportProblem(arg, "invalid context length");
                    return 2;
                }
            }
            else if (name == "--tabsize")
            {
                std::string size = attached;
                if ((!hasValue && !value(name, size)) || !ParseNumber(size, options.m_nTabSize) ||
                    options.m_nTabSize == 0)
                {
                    ReportProblem(arg, "invalid tab size");
                    return 2;
                }
            }
            else
            {
                ReportProblem(arg, "unknown option of diff");
                return 2;
            }
            continue;
        }
        for (std::size_t k = 1; k < arg.size(); ++k)
        {
            const char c = arg[k];
            const std::string rest = arg.substr(k + 1);
            switch (c)
            {
            case 'w':
                options.m_dwRules |= RULE_IGNOREALLSPACE;
                continue;
            case 'b':
                options.m_dwRules |= RULE_IGNORESPACEDIFFERENCES;
                continue;
            case 'E':
                options.m_dwRules |= RULE_IGNORETABEXPANSION;
                continue;
            case 'i':
                options.m_dwRules |= RULE_IGNORECASE;
                continue;
            case 'B':
                options.m_dwRules |= RULE_IGNOREBLANKLINES;
                continue;
            case 'q':
                options.m_bBrief = true;
                continue;
            case 'u':
                options.m_nContext = 3;
                continue;
            case 'I': {
                std::string filter = rest;
                if (rest.empty() && !value("-I", filter))
                    return 2;
                options.m_filters.push_back(filter);
                k = arg.size();
                continue;
            }
            case 'U': {
                std::string count = rest;
                if ((rest.empty() && !value("-U", count)) || !ParseNumber(count, options.m_nContext))
                {
                    ReportProblem("-U", "invalid context length");
                    return 2;
                }
                k = arg.size();
                continue;
            }
            default:
                ReportProblem(arg, "unknown option of diff");
                return 2;
            }
        }
    }
    if (options.m_paths.size() != 2)
    {
        ReportProblem("diff", options.m_paths.size() < 2 ? "two files are needed" : "extra operand");
        std::fprintf(stderr, "%s\n", kDiffUsage);
        return 2;
    }
    if (!options.m_filters.empty())
        options.m_dwRules |= RULE_IGNORELINESMATCHINGFILTER;
    return 0;
}

// The line comparison runs on the whole texts unless a rule works on the comparison text.
constexpr std::uint32_t kComparisonTextRules =
    RULE_IGNOREEOL | RULE_IGNORELEADINGSPACE | RULE_IGNORETRAILINGSPACE | RULE_IGNORECOMMENTS;

// The comparison text as GNU diff's twins of the rules see it: line by line, each keeping its "\n"
// (a missing final line end still counts, except when trailing white space is ignored, as there).
std::string ComparisonTextOf(const DIFF_TEXT& text, std::uint32_t rules, const ISyntaxLineParser* parser)
{
    std::string out;
    out.reserve(text.m_text.size() + 1);
    std::uint32_t cookie = 0;
    std::string scratch;
    CDiffLines lines(text.m_text);
    for (int i = 0;; ++i)
    {
        std::string_view line = lines.Line(i);
        if (line.empty())
            break;
        const bool newline = line.back() == '\n';
        if (newline)
            line.remove_suffix(1);
        if ((rules & RULE_IGNOREEOL) && newline && !line.empty() && line.back() == '\r')
            line.remove_suffix(1);
        out.append(ComparisonLineText(line, rules, parser, cookie, scratch));
        if (newline || (rules & RULE_IGNORETRAILINGSPACE))
            out.push_back('\n');
    }
    return out;
}

int CountLines(std::string_view text)
{
    const std::size_t newlines = CountNewlines(text);
    return static_cast<int>(newlines + (!text.empty() && text.back() != '\n' ? 1 : 0));
}

class CDiffOutput
{
public:
    CDiffOutput(const DIFF_TEXT (&sides)[2], std::uint32_t rules, bool inlineMarks)
        : m_sides(sides), m_lines{CDiffLines(sides[0].m_text), CDiffLines(sides[1].m_text)},
          m_bStripCr((rules & RULE_IGNOREEOL) != 0), m_dwRules(rules), m_bInline(inlineMarks)
    {
    }
    ~CDiffOutput() { Flush(); }

    void Normal(const CTextSectionList& sections)
    {
        for (const CTextSection& s : sections.Sections())
        {
            if (s.nKind == SECTION_IGNORED)
                continue;
            const int deleted = s.LeftCount();
            const int inserted = s.RightCount();
            Range(s.nLeftFirst + 1, s.nLeftLast + 1);
            m_out.push_back(deleted && inserted ? 'c' : deleted ? 'd' : 'a');
            Range(s.nRightFirst + 1, s.nRightLast + 1);
            m_out.push_back('\n');
            const auto marks = InlineMarks(s);
            for (int i = s.nLeftFirst; i <= s.nLeftLast; ++i)
                Line("< ", 0, i, marks, i - s.nLeftFirst);
            if (deleted && inserted)
                m_out += "---\n";
            for (int i = s.nRightFirst; i <= s.nRightLast; ++i)
                Line("> ", 1, i, marks, i - s.nRightFirst);
            FlushIfLarge();
        }
    }

    void Unified(const CTextSectionList& sections, int context)
    {
        Header("--- ", 0);
        Header("+++ ", 1);
        m_nLeftLines = CountLines(m_sides[0].m_text);
        const auto& all = sections.Sections();
        std::size_t i = 0;
        while (i < all.size())
        {
            // A hunk gathers changes whose gaps are at most twice the context; it is shown when it
            // holds a change that is not ignored.
            std::size_t last = i;
            while (last + 1 < all.size() &&
                   all[last + 1].nLeftFirst - (all[last].nLeftLast + 1) <= 2 * context)
                ++last;
            bool shown = false;
            for (std::size_t k = i; k <= last; ++k)
                shown = shown || all[k].nKind != SECTION_IGNORED;
            if (shown)
                Hunk(all, i, last, context);
            i = last + 1;
        }
    }

    void Append(const std::string& text) { m_out += text; }

private:
    void Range(int first, int last)
    {
        if (last > first)
            m_out += std::to_string(first) + "," + std::to_string(last);
        else
            m_out += std::to_string(last);
    }

    // The inline differences of the row pairs of a changed section (line k of each side), empty
    // without --inline.
    std::vector<std::vector<STRINGDIFFERENCE>> InlineMarks(const CTextSection& s)
    {
        std::vector<std::vector<STRINGDIFFERENCE>> rows;
        if (!m_bInline)
            return rows;
        const int pairs = std::min(s.LeftCount(), s.RightCount());
        for (int k = 0; k < pairs; ++k)
        {
            std::vector<STRINGDIFFERENCE> differences;
            const std::string left(m_lines[0].Line(s.nLeftFirst + k));
            const std::string right(m_lines[1].Line(s.nRightFirst + k));
            ComputeRowDifferences(left, right, m_dwRules, WORDBREAK_PUNCTUATION, ",;:.", true, differences);
            if (!HasInlineColours(differences, left, right))
                differences.clear();
            rows.push_back(std::move(differences));
        }
        return rows;
    }

    void Line(const char* flag, int side, int index, const std::vector<std::vector<STRINGDIFFERENCE>>& marks = {},
              int row = 0)
    {
        std::string_view line = m_lines[side].Line(index);
        const bool newline = !line.empty() && line.back() == '\n';
        if (newline)
            line.remove_suffix(1);
        if (m_bStripCr && newline && !line.empty() && line.back() == '\r')
            line.remove_suffix(1);
        m_out += flag;
        if (row < static_cast<int>(marks.size()) && !marks[static_cast<std::size_t>(row)].empty())
            AppendMarked(line, side, marks[static_cast<std::size_t>(row)]);
        else
            m_out.append(line);
        m_out += newline ? "\n" : "\n\\ No newline at end of file\n";
    }

    // The line with each differing part between "[-" and "-]" on the left, "{+" and "+}" on the
    // right (as word diffs mark them).
    void AppendMarked(std::string_view line, int side, const std::vector<STRINGDIFFERENCE>& differences)
    {
        const char* open = side == 0 ? "[-" : "{+";
        const char* close = side == 0 ? "-]" : "+}";
        std::size_t at = 0;
        for (const STRINGDIFFERENCE& d : differences)
        {
            const int start = side == 0 ? d.nStart1 : d.nStart2;
            const int end = side == 0 ? d.nEnd1 : d.nEnd2;
            if (start < 0 || end < start || static_cast<std::size_t>(start) >= line.size())
                continue;
            const std::size_t from = std::max(at, static_cast<std::size_t>(start));
            const std::size_t to = std::min(line.size(), static_cast<std::size_t>(end) + 1);
            if (from >= to)
                continue;
            m_out.append(line.substr(at, from - at));
            m_out += open;
            m_out.append(line.substr(from, to - from));
            m_out += close;
            at = to;
        }
        m_out.append(line.substr(at));
    }

    void Header(const char* mark, int side)
    {
        const DIFF_TEXT& text = m_sides[side];
        char stamp[96] = "";
        const std::time_t t = static_cast<std::time_t>(text.m_nMtimeSeconds);
        std::tm tm{};
        if (localtime_r(&t, &tm))
        {
            char date[64];
            char zone[16];
            std::strftime(date, sizeof date, "%Y-%m-%d %H:%M:%S", &tm);
            std::strftime(zone, sizeof zone, "%z", &tm);
            std::snprintf(stamp, sizeof stamp, "%s.%09ld %s", date, text.m_nMtimeNanoseconds, zone);
        }
        m_out += mark + text.m_strPath + "\t" + stamp + "\n";
    }

    static std::string UnifiedRange(int first, int count)
    {
        if (count == 0)
            return std::to_string(first - 1) + ",0";
        if (count == 1)
            return std::to_string(first);
        return std::to_string(first) + "," + std::to_string(count);
    }

    void Hunk(const std::vector<CTextSection>& all, std::size_t first, std::size_t last, int context)
    {
        const int start0 = std::max(0, all[first].nLeftFirst - context);
        const int start1 = all[first].nRightFirst - (all[first].nLeftFirst - start0);
        const int end0 = std::min(m_nLeftLines, all[last].nLeftLast + 1 + context);
        const int end1 = all[last].nRightLast + 1 + (end0 - (all[last].nLeftLast + 1));
        m_out += "@@ -" + UnifiedRange(start0 + 1, end0 - start0) + " +" + UnifiedRange(start1 + 1, end1 - start1) +
                 " @@\n";
        int at0 = start0;
        for (std::size_t k = first; k <= last; ++k)
        {
            for (; at0 < all[k].nLeftFirst; ++at0)
                Line(" ", 0, at0);
            const auto marks = InlineMarks(all[k]);
            for (int i = all[k].nLeftFirst; i <= all[k].nLeftLast; ++i)
                Line("-", 0, i, marks, i - all[k].nLeftFirst);
            for (int i = all[k].nRightFirst; i <= all[k].nRightLast; ++i)
                Line("+", 1, i, marks, i - all[k].nRightFirst);
            at0 = all[k].nLeftLast + 1;
        }
        for (; at0 < end0; ++at0)
            Line(" ", 0, at0);
        FlushIfLarge();
    }

    void FlushIfLarge()
    {
        if (m_out.size() >= (1u << 20))
            Flush();
    }

    void Flush()
    {
        if (!m_out.empty())
            std::fwrite(m_out.data(), 1, m_out.size(), stdout);
        m_out.clear();
    }

    const DIFF_TEXT (&m_sides)[2];
    CDiffLines m_lines[2];
    int m_nLeftLines = 0;
    bool m_bStripCr;
    std::uint32_t m_dwRules;
    bool m_bInline;
    std::string m_out;
};

bool HasShownSection(const CTextSectionList& sections)
{
    for (const CTextSection& s : sections.Sections())
        if (s.nKind != SECTION_IGNORED)
            return true;
    return false;
}

} // namespace

int RunDiffCommand(const std::vector<std::string>& args)
{
    DIFF_OPTIONS options;
    if (const int status = ParseOptions(args, options); status != 0)
        return status;

    DIFF_TEXT sides[2];
    for (int s = 0; s < 2; ++s)
    {
        std::string error;
        if (!LoadDiffText(options.m_paths[static_cast<std::size_t>(s)], sides[s], error))
        {
            ReportProblem(options.m_paths[static_cast<std::size_t>(s)], error);
            return 2;
        }
    }

    platform::CRegex filter;
    if (!options.m_filters.empty())
    {
        // Several filters are alternatives of one expression.
        std::string pattern;
        for (const auto& f : options.m_filters)
            pattern += (pattern.empty() ? "" : "\\|") + f;
        std::string error;
        if (!CompileLineFilter(pattern, filter, &error))
            ReportProblem(pattern, "invalid line filter, compared without it (" + error + ")");
    }

    CTextCompare compare;
    ApplyRules(compare, options.m_dwRules, &filter, options.m_nTabSize);
    // GNU diff's own search settings, so that the same hunks come out.
    compare.m_bHeuristic = false;
    compare.m_nMinimumTooExpensive = 4096;
    compare.m_nHorizonLines = std::max(options.m_nContext, 0);

    std::string comparisonTexts[2];
    std::array<std::string_view, 2> texts{sides[0].m_text, sides[1].m_text};
    if (options.m_dwRules & kComparisonTextRules)
    {
        // Comments are found by each file's own syntax, chosen by its extension.
        CSyntaxParserFactory parsers;
        if (options.m_dwRules & RULE_IGNORECOMMENTS)
            parsers.CreateParsers();
        for (int s = 0; s < 2; ++s)
        {
            const ISyntaxLineParser* parser =
                (options.m_dwRules & RULE_IGNORECOMMENTS) ? parsers.FindParserForFile(sides[s].m_strPath) : nullptr;
            comparisonTexts[s] = ComparisonTextOf(sides[s], options.m_dwRules, parser);
            texts[static_cast<std::size_t>(s)] = comparisonTexts[s];
        }
    }
    int binary = 0;
    CTextSectionList sections;
    compare.Compare(texts, binary, sections);
    if (binary != 0)
    {
        // A NUL byte anywhere: the files are compared as bytes, as diff does.
        if (sides[0].m_text == sides[1].m_text)
            return 0;
        std::printf("Binary files %s and %s differ\n", options.m_paths[0].c_str(), options.m_paths[1].c_str());
        return 1;
    }
    const bool differ = HasShownSection(sections);
    if (options.m_bBrief)
    {
        if (differ)
            std::printf("Files %s and %s differ\n", options.m_paths[0].c_str(), options.m_paths[1].c_str());
        return differ ? 1 : 0;
    }
    CDiffOutput output(sides, options.m_dwRules, options.m_bInline);
    if (options.m_nContext >= 0)
    {
        if (differ)
            output.Unified(sections, options.m_nContext);
    }
    else
    {
        output.Normal(sections);
    }
    return differ ? 1 : 0;
}
