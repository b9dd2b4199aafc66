// The syntax parsers and the HTML export on arbitrary text: the first byte picks the syntax, the
// rest is split into lines at LF. Every parse must keep its blocks inside the line and in order,
// whatever the cookie it starts from, and the page must come out without a raw "<" from the text.
#include "editing/SyntaxTextExport.h"
#include "editing/syntax/SyntaxParserFactory.h"

#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

namespace {

const CSyntaxParserFactory& Factory()
{
    static CSyntaxParserFactory* factory = [] {
        auto* f = new CSyntaxParserFactory;
        f->CreateParsers();
        return f;
    }();
    return *factory;
}

void CheckBlocks(const std::vector<SSyntaxBlock>& blocks, std::string_view line)
{
    for (std::size_t k = 0; k < blocks.size(); ++k)
    {
        if (blocks[k].position < 0 || static_cast<std::size_t>(blocks[k].position) > line.size())
            std::abort();
        if (k > 0 && blocks[k - 1].position > blocks[k].position)
            std::abort();
    }
}

class CView : public ISyntaxExportView
{
public:
    CView(std::vector<std::string_view> lines, const ISyntaxLineParser* parser)
        : m_lines(std::move(lines)), m_pParser(parser)
    {
    }
    int GetLineCount() const override { return static_cast<int>(m_lines.size()); }
    std::string_view GetLineText(int line) const override { return m_lines[static_cast<std::size_t>(line)]; }
    int GetTabSize() const override { return 3; }
    const ISyntaxLineParser* GetParser() const override { return m_pParser; }

private:
    std::vector<std::string_view> m_lines;
    const ISyntaxLineParser* m_pParser;
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size == 0)
        return 0;
    const CSyntaxParser* parser = Factory().GetParser(data[0] % 28);
    const std::string_view text(reinterpret_cast<const char*>(data) + 1, size - 1);
    std::vector<std::string_view> lines;
    for (std::size_t start = 0; start <= text.size();)
    {
        const std::size_t end = text.find('\n', start);
        lines.push_back(
            text.substr(start, end == std::string_view::npos ? std::string_view::npos : end - start));
        if (end == std::string_view::npos)
            break;
        start = end + 1;
    }
    std::uint32_t cookie = 0, comments = 0;
    std::vector<SSyntaxBlock> blocks;
    for (const std::string_view line : lines)
    {
        blocks.clear();
        cookie = parser->ParseLine(cookie, line, &blocks);
        CheckBlocks(blocks, line);
        parser->ParseLine(cookie, line, nullptr);
        blocks.clear();
        comments = parser->ParseLineComments(comments, line, &blocks);
        CheckBlocks(blocks, line);
        for (int p = 0; p < static_cast<int>(line.size()); ++p)
            parser->IsInvalidCharAt(line, p);
        parser->WrapLine({4}, line, 7, nullptr);
    }
    CView view(lines, parser);
    CSyntaxTextExport exporter;
    const std::string page = exporter.ExportToString(view, "fuzz.html", nullptr);
    const std::size_t body = page.find("<pre class=\"hl\">\r\n");
    for (std::size_t at = page.find('<', body + 1); at != std::string::npos; at = page.find('<', at + 1))
    {
        const std::string_view tag = std::string_view(page).substr(at);
        if (!tag.starts_with("<span class=\"") && !tag.starts_with("</span>") && !tag.starts_with("</pre>") &&
            !tag.starts_with("</body>") && !tag.starts_with("</html>"))
            std::abort();
    }
    return 0;
}
