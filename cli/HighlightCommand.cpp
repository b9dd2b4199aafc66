#include "cli/Commands.h"

#include "editing/SyntaxTextExport.h"
#include "editing/syntax/SyntaxParserFactory.h"
#include "textcompare/DefaultCodePage.h"
#include "textcompare/UniMemFile.h"

#include <cstdio>
#include <string>
#include <vector>

namespace {

constexpr const char* kHighlightUsage = "usage: quorvane-cli highlight FILE [-o OUT.html]";

// The lines of a file read the way the editors read it (a byte-order mark decides the encoding,
// else the default code page), kept in one block of text.
class CFileLines : public ISyntaxExportView
{
public:
    explicit CFileLines(const ISyntaxLineParser* parser) : m_pParser(parser) {}

    bool Read(const std::string& path, std::string& why)
    {
        UniMemFile file;
        if (!file.OpenRead(path))
        {
            why = file.GetLastError().GetMessage();
            return false;
        }
        if (!file.ReadBom())
            file.SetCodePage(GetDefaultCodePageSetting());
        m_strText.reserve(file.GetContent().size());
        std::string piece, eol;
        bool open = false; // the last line has text but no line end yet
        while (file.ReadLine(piece, eol))
        {
            if (!open)
                m_aStarts.push_back(m_strText.size());
            m_strText += piece;
            // The reader stops a piece at a NUL without handing it over: put it back, so the page
            // shows where it was.
            const std::int32_t zeros = file.GetStats().zeroCount;
            if (eol.empty() && zeros > m_nZeros)
                m_strText += '\0';
            m_nZeros = zeros;
            open = eol.empty();
        }
        // A final line end ends the last line; it does not start another.
        if (open && m_aStarts.back() == m_strText.size())
            m_aStarts.pop_back();
        m_aStarts.push_back(m_strText.size());
        return true;
    }

    int GetLineCount() const override { return static_cast<int>(m_aStarts.size()) - 1; }
    std::string_view GetLineText(int line) const override
    {
        const std::size_t start = m_aStarts[static_cast<std::size_t>(line)];
        return std::string_view(m_strText).substr(start, m_aStarts[static_cast<std::size_t>(line) + 1] - start);
    }
    int GetTabSize() const override { return 4; }
    const ISyntaxLineParser* GetParser() const override { return m_pParser; }

private:
    const ISyntaxLineParser* m_pParser;
    std::string m_strText;
    std::vector<std::size_t> m_aStarts;
    std::int32_t m_nZeros = 0;
};

} // namespace

int RunHighlightCommand(const std::vector<std::string>& args)
{
    std::string input;
    std::string output;
    bool haveOutput = false;
    bool optionsDone = false;
    for (std::size_t i = 0; i < args.size(); ++i)
    {
        const std::string& arg = args[i];
        if (!optionsDone && arg == "-o")
        {
            if (i + 1 >= args.size() || args[i + 1].empty())
            {
                ReportProblem(arg, std::string("no output file given (") + kHighlightUsage + ")");
                return 2;
            }
            output = args[++i];
            haveOutput = true;
        }
        else if (!optionsDone && arg == "--")
            optionsDone = true;
        else if (!optionsDone && arg.size() > 1 && arg[0] == '-')
        {
            ReportProblem(arg, std::string("unknown option of highlight (") + kHighlightUsage + ")");
            return 2;
        }
        else if (input.empty())
            input = arg;
        else
        {
            ReportProblem(arg, std::string("only one file can be highlighted (") + kHighlightUsage + ")");
            return 2;
        }
    }
    if (input.empty())
    {
        ReportProblem("highlight", std::string("no file given (") + kHighlightUsage + ")");
        return 2;
    }

    CSyntaxParserFactory factory;
    factory.CreateParsers();
    CFileLines lines(factory.FindParserForFile(input));
    std::string why;
    if (!lines.Read(input, why))
    {
        ReportProblem(input, why);
        return 2;
    }
    CSyntaxTextExport exporter;
    if (haveOutput)
    {
        if (!exporter.Export(lines, output, nullptr))
        {
            ReportProblem(output, exporter.GetLastError());
            return 2;
        }
        return 0;
    }
    const std::string page = exporter.ExportToString(lines, input, nullptr);
    if (std::fwrite(page.data(), 1, page.size(), stdout) != page.size() || std::fflush(stdout) != 0)
    {
        ReportProblem("standard output", "cannot be written");
        return 2;
    }
    return 0;
}
