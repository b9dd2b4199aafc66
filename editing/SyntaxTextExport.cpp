#include "editing/SyntaxTextExport.h"

#include "editing/SyntaxEditContext.h"
#include "editing/syntax/SyntaxParser.h"
#include "platform/FileIo.h"
#include "platform/Utf8.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <unistd.h>

namespace {

// The document grows in steps of this size while it is built.
constexpr std::size_t kGrowthStep = 262144;

// The style rules of the coloured classes 9 to 15, in this order, and their span tags.
constexpr int kStyledClasses[] = {SYNTAX_KEYWORD, SYNTAX_FUNCNAME, SYNTAX_COMMENT, SYNTAX_NUMBER,
                                  SYNTAX_OPERATOR, SYNTAX_STRING, SYNTAX_PREPROCESSOR};
constexpr const char* kSelectors[] = {".tk", ".tf", ".tc", ".tn", ".to", ".ts", ".tp"};
constexpr std::string_view kSpanOpen[] = {"<span class=\"tk\">", "<span class=\"tf\">", "<span class=\"tc\">",
                                          "<span class=\"tn\">", "<span class=\"to\">", "<span class=\"ts\">",
                                          "<span class=\"tp\">"};
constexpr std::string_view kSpanClose = "</span>";
constexpr std::string_view kReplacement = "\xEF\xBF\xBD"; // U+FFFD

std::string ColorText(std::uint32_t color)
{
    if (color == 0)
        return "0";
    char text[16];
    std::snprintf(text, sizeof text, "#%02x%02x%02x", color & 0xFF, (color >> 8) & 0xFF, (color >> 16) & 0xFF);
    return text;
}

std::string_view FileNamePart(std::string_view path)
{
    const std::size_t slash = path.rfind('/');
    return slash == std::string_view::npos ? path : path.substr(slash + 1);
}

int DigitCount(int value)
{
    int digits = 1;
    for (; value >= 10; value /= 10)
        ++digits;
    return digits;
}

int SpanIndex(int colorClass)
{
    return colorClass >= SYNTAX_KEYWORD && colorClass <= SYNTAX_PREPROCESSOR ? colorClass - SYNTAX_KEYWORD : -1;
}

} // namespace

// --- view over a buffer ---------------------------------------------------------------------------

int CSyntaxBufferExportView::GetLineCount() const
{
    return m_buffer.GetLineCount();
}

std::string_view CSyntaxBufferExportView::GetLineText(int line) const
{
    return m_buffer.GetLineText(line);
}

int CSyntaxBufferExportView::GetTabSize() const
{
    return m_buffer.GetTabSize();
}

const ISyntaxLineParser* CSyntaxBufferExportView::GetParser() const
{
    return m_buffer.GetParser();
}

// --- export ---------------------------------------------------------------------------------------

CSyntaxTextExport::CSyntaxTextExport() : m_colors(SSyntaxColors::Defaults()) {}

CSyntaxTextExport::~CSyntaxTextExport()
{
    if (!m_strPreviewPath.empty())
        ::unlink(m_strPreviewPath.c_str());
}

std::string CSyntaxTextExport::ExportToString(const ISyntaxExportView& view, const std::string& targetPath,
                                              CProcessCallback* progress)
{
    m_pView = &view;
    m_pProgress = progress;
    m_strPath = targetPath;
    if (progress != nullptr)
    {
        progress->BeginProgress();
        progress->SetProgress(CProcessCallback::kSetRange, view.GetLineCount() - 1);
    }
    std::string document = BuildDocument();
    if (progress != nullptr)
        progress->EndProgress();
    m_pView = nullptr;
    m_pProgress = nullptr;
    return document;
}

bool CSyntaxTextExport::Export(const ISyntaxExportView& view, const std::string& path, CProcessCallback* progress)
{
    m_strError.clear();
    m_pView = &view;
    m_pProgress = progress;
    m_strPath = path;
    if (progress != nullptr)
    {
        progress->BeginProgress();
        progress->SetProgress(CProcessCallback::kSetRange, view.GetLineCount() - 1);
    }
    const std::string document = BuildDocument();
    bool ok = false;
    if (document.empty())
        m_strError = "nothing to export";
    else if (const int error = platform::ReplaceFileContents(path, document); error != 0)
        m_strError = std::strerror(error);
    else
        ok = true;
    if (progress != nullptr)
        progress->EndProgress();
    m_pView = nullptr;
    m_pProgress = nullptr;
    return ok;
}

bool CSyntaxTextExport::Preview(const ISyntaxExportView& view, CProcessCallback* progress)
{
    if (m_strPreviewPath.empty())
    {
        const char* folder = std::getenv("TMPDIR");
        std::string name = std::string(folder != nullptr && *folder != '\0' ? folder : "/tmp") +
                           "/quorvane-preview-XXXXXX.html";
        const int fd = ::mkstemps(name.data(), 5);
        if (fd < 0)
        {
            m_strError = std::strerror(errno);
            return false;
        }
        ::close(fd);
        m_strPreviewPath = name;
    }
    return Export(view, m_strPreviewPath, progress);
}

std::string CSyntaxTextExport::BuildDocument()
{
    std::string document;
    document.reserve(kGrowthStep);
    document += BuildHeader();
    WriteBody(document);
    document += BuildFooter();
    return document;
}

std::string CSyntaxTextExport::BuildHeader()
{
    const std::time_t now = m_clock ? m_clock() : std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    char when[32];
    std::strftime(when, sizeof when, "%Y-%m-%d %H:%M:%S", &local);

    std::string header = "<!DOCTYPE HTML PUBLIC \"-//W3C//DTD HTML 4.0 Transitional//EN\">\r\n";
    header += "<!--Generated by ";
    int column = 0;
    AppendEscaped(header, m_strAppTitle, 0, column);
    header += ", ";
    header += when;
    header += "-->\r\n<html>\r\n<head>\r\n";
    // The page says how it is encoded: the text is UTF-8 throughout.
    header += "<meta http-equiv=\"Content-Type\" content=\"text/html; charset=UTF-8\">\r\n";
    header += "<title>";
    AppendEscaped(header, FileNamePart(m_strPath), 0, column);
    header += "</title>\r\n";
    header += "<style type=\"text/css\">\r\n<!--\r\nbody.hl { background-color:#ffffff; }\r\n"
              "pre.hl { color:#000000; background-color:#ffffff; font-family:courier new, helvetica, "
              "sans-serif; font-size:8pt; }\r\n";
    for (std::size_t k = 0; k < std::size(kStyledClasses); ++k)
    {
        const auto cls = static_cast<std::size_t>(kStyledClasses[k]);
        header += kSelectors[k];
        header += " { color:";
        header += ColorText(m_colors.color[cls]);
        header += m_colors.bold[cls] ? "; font-weight:bold; }\r\n" : "; }\r\n";
    }
    header += ".tl { color:#c0c0c0; }\r\n//-->\r\n</style>\r\n</head>\r\n<body class=\"hl\">\r\n<pre class=\"hl\">\r\n";
    return header;
}

std::string CSyntaxTextExport::BuildFooter()
{
    return "</pre></body>\r\n</html>\r\n";
}

void CSyntaxTextExport::WriteBody(std::string& out)
{
    const int count = m_pView != nullptr ? m_pView->GetLineCount() : 0;
    if (count <= 0)
    {
        out += "Empty";
        return;
    }
    m_nCookie = 0;
    m_nNumberWidth = DigitCount(count);
    for (int line = 0; line < count; ++line)
    {
        if (out.capacity() - out.size() < kGrowthStep / 4)
            out.reserve(out.capacity() + kGrowthStep);
        AppendLine(out, line);
        if (m_pProgress != nullptr)
            m_pProgress->SetProgress(CProcessCallback::kSetPosition, line);
    }
}

std::string CSyntaxTextExport::BuildLine(int line)
{
    std::string out;
    AppendLine(out, line);
    return out;
}

void CSyntaxTextExport::AppendLine(std::string& out, int line)
{
    if (m_bLineNumbers)
    {
        char number[32];
        std::snprintf(number, sizeof number, "%*d ", m_nNumberWidth, line + 1);
        out += "<span class=\"tl\">";
        out += number;
        out += kSpanClose;
    }
    const std::string_view text = m_pView->GetLineText(line);
    m_aBlocks.clear();
    if (const ISyntaxLineParser* parser = m_pView->GetParser(); parser != nullptr)
        m_nCookie = parser->ParseLine(m_nCookie, text, &m_aBlocks);
    if (m_aBlocks.empty())
    {
        int column = 0;
        AppendEscaped(out, text, 0, column);
    }
    else
        AppendBlocks(out, text, m_aBlocks);
    out += "\r\n";
}

void CSyntaxTextExport::AppendBlocks(std::string& out, std::string_view text, const std::vector<SSyntaxBlock>& blocks)
{
    const int tabSize = m_pView != nullptr && m_pView->GetTabSize() > 0 ? m_pView->GetTabSize() : 4;
    const auto length = static_cast<int>(text.size());
    int column = 0;
    // Text before the first block has no class of its own.
    if (blocks.front().position > 0)
        AppendEscaped(out, text.substr(0, static_cast<std::size_t>(std::min(blocks.front().position, length))),
                      tabSize, column);
    for (std::size_t k = 0; k < blocks.size(); ++k)
    {
        const int start = std::max(0, std::min(blocks[k].position, length));
        const int end = k + 1 < blocks.size() ? std::max(start, std::min(blocks[k + 1].position, length)) : length;
        if (end <= start)
            continue; // an empty block writes nothing, not even an empty span
        const int span = SpanIndex(blocks[k].colorClass);
        if (span >= 0)
            out += kSpanOpen[span];
        AppendEscaped(out, text.substr(static_cast<std::size_t>(start), static_cast<std::size_t>(end - start)),
                      tabSize, column);
        if (span >= 0)
            out += kSpanClose;
    }
}

void CSyntaxTextExport::AppendEscaped(std::string& out, std::string_view text, int tabSize, int& column)
{
    std::size_t i = 0;
    while (i < text.size())
    {
        const auto c = static_cast<unsigned char>(text[i]);
        if (c >= 0x80)
        {
            const std::size_t length = platform::ValidUtf8SequenceLength(text.substr(i));
            if (length == 0)
            {
                out += kReplacement;
                ++i;
            }
            else
            {
                out.append(text.substr(i, length));
                i += length;
            }
            ++column;
            continue;
        }
        switch (c)
        {
        case '<':
            out += "&lt;";
            break;
        case '>':
            out += "&gt;";
            break;
        case '&':
            out += "&amp;";
            break;
        case '"':
            out += "&quot;";
            break;
        case '\'':
            out += "&#39;";
            break;
        case '\t':
            if (tabSize > 0)
            {
                const int spaces = tabSize - column % tabSize;
                out.append(static_cast<std::size_t>(spaces), ' ');
                column += spaces;
                ++i;
                continue;
            }
            out += '\t';
            break;
        case '\r':
        case '\n':
            ++i; // line ends are written by the body, not the runs
            continue;
        default:
            if (c < 0x20)
                out += kReplacement;
            else
                out += static_cast<char>(c);
            break;
        }
        ++column;
        ++i;
    }
}
