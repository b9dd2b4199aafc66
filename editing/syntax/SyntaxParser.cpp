#include "editing/syntax/SyntaxParser.h"

#include "filesystem/Wildcard.h"
#include "platform/Utf8.h"

#include <cstring>
#include <cwchar>

namespace {

void CopyField(char* field, std::size_t size, const char* text)
{
    std::strncpy(field, text != nullptr ? text : "", size - 1);
    field[size - 1] = '\0';
}

// Words longer than this are never keywords (the longest entry has 40 bytes); they skip the lookup.
constexpr std::size_t kMaxKeywordLength = 64;

bool IsAscii(std::string_view word)
{
    for (const char c : word)
        if (static_cast<unsigned char>(c) >= 0x80)
            return false;
    return true;
}

// Decodes the character at `i` (a valid UTF-8 sequence, else one byte as U+FFFD) and its length.
char32_t DecodeAt(std::string_view line, std::size_t i, std::size_t& length)
{
    const auto b0 = static_cast<unsigned char>(line[i]);
    if (b0 < 0x80)
    {
        length = 1;
        return b0;
    }
    length = platform::ValidUtf8SequenceLength(line.substr(i));
    if (length == 0)
    {
        length = 1;
        return 0xFFFD;
    }
    char32_t c = length == 2 ? (b0 & 0x1F) : length == 3 ? (b0 & 0x0F) : (b0 & 0x07);
    for (std::size_t k = 1; k < length; ++k)
        c = (c << 6) | (static_cast<unsigned char>(line[i + k]) & 0x3F);
    return c;
}

// Characters after which a line may break besides blanks: the Japanese kana and the CJK ideographs.
bool IsKanaOrIdeograph(char32_t c)
{
    return (c >= 0x3040 && c <= 0x30FF) ||   // hiragana, katakana
           (c >= 0x31F0 && c <= 0x31FF) ||   // katakana phonetic extensions
           (c >= 0xFF66 && c <= 0xFF9F) ||   // half-width katakana
           (c >= 0x3400 && c <= 0x4DBF) ||   // CJK extension A
           (c >= 0x4E00 && c <= 0x9FFF) ||   // CJK unified ideographs
           (c >= 0xF900 && c <= 0xFAFF) ||   // CJK compatibility ideographs
           (c >= 0x20000 && c <= 0x3FFFF) || // CJK extensions B and later
           c == 0x3005 || c == 0x3006 || c == 0x3007;
}

int DisplayWidth(char32_t c)
{
    const int w = ::wcwidth(static_cast<wchar_t>(c));
    if (w >= 0)
        return w == 0 ? 1 : w; // a combining mark still takes a column here, as in the views
    // Without a wide-character locale wcwidth knows nothing beyond ASCII: fall back to the East Asian
    // wide ranges.
    return (c >= 0x1100 && c <= 0x115F) || (c >= 0x2E80 && c <= 0xA4CF) || (c >= 0xAC00 && c <= 0xD7A3) ||
                   (c >= 0xF900 && c <= 0xFAFF) || (c >= 0xFE30 && c <= 0xFE4F) || (c >= 0xFF00 && c <= 0xFF60) ||
                   (c >= 0xFFE0 && c <= 0xFFE6) || (c >= 0x1F300 && c <= 0x1F64F) || (c >= 0x20000 && c <= 0x3FFFD)
               ? 2
               : 1;
}

} // namespace

CSyntaxParser::CSyntaxParser()
{
    SetDefinition(0, "Text", "txt,diz", 0x10, "", "", ";");
}

CSyntaxParser::~CSyntaxParser() = default;

void CSyntaxParser::SetDefinition(int syntaxType, const char* syntaxName, const char* syntaxExtensions,
                                  int optionBits, const char* commentOpen, const char* commentClose,
                                  const char* commentLine)
{
    type = syntaxType;
    CopyField(name, sizeof name, syntaxName);
    CopyField(extensions, sizeof extensions, syntaxExtensions);
    options = optionBits;
    CopyField(blockCommentOpen, sizeof blockCommentOpen, commentOpen);
    CopyField(blockCommentClose, sizeof blockCommentClose, commentClose);
    CopyField(lineComment, sizeof lineComment, commentLine);
    encoding = -1;
}

void CSyntaxParser::SetKeywordSets(std::span<const SKeywordSet> sets)
{
    m_sets = sets;
    m_index.clear();
    m_index.resize(sets.size());
    for (std::size_t s = 0; s < sets.size(); ++s)
    {
        SSetIndex& index = m_index[s];
        index.anyCase = sets[s].anyCase;
        if (index.anyCase)
        {
            index.folded.reserve(sets[s].words.size());
            for (const std::string_view word : sets[s].words)
                index.folded.push_back(FoldCase(word));
            for (const std::string& word : index.folded)
                index.words.insert(word);
        }
        else
            index.words.insert(sets[s].words.begin(), sets[s].words.end());
    }
}

bool CSyntaxParser::IsKeyword(int index, std::string_view word) const
{
    if (index < 0 || static_cast<std::size_t>(index) >= m_index.size() || word.empty() ||
        word.size() > kMaxKeywordLength)
        return false;
    const SSetIndex& set = m_index[static_cast<std::size_t>(index)];
    if (!set.anyCase)
        return set.words.contains(word);
    if (IsAscii(word))
    {
        char folded[kMaxKeywordLength];
        for (std::size_t k = 0; k < word.size(); ++k)
        {
            const char c = word[k];
            folded[k] = c >= 'A' && c <= 'Z' ? static_cast<char>(c + ('a' - 'A')) : c;
        }
        return set.words.contains(std::string_view(folded, word.size()));
    }
    return set.words.contains(FoldCase(word));
}

int CSyntaxParser::FindKeyword(std::string_view word) const
{
    for (std::size_t s = 0; s < m_sets.size(); ++s)
        if (IsKeyword(static_cast<int>(s), word))
            return m_sets[s].colorClass;
    return -1;
}

std::uint32_t CSyntaxParser::ParseLine(std::uint32_t, std::string_view, std::vector<SSyntaxBlock>*) const
{
    return 0;
}

std::uint32_t CSyntaxParser::ParseLineComments(std::uint32_t cookie, std::string_view line,
                                               std::vector<SSyntaxBlock>* blocks) const
{
    return ParseLine(cookie, line, blocks);
}

int CSyntaxParser::AddBlock(std::string_view, int position, int colorClass, std::vector<SSyntaxBlock>* blocks) const
{
    if (blocks == nullptr || (!blocks->empty() && position < blocks->back().position))
        return -1;
    blocks->push_back(SSyntaxBlock{position, colorClass, 2});
    return static_cast<int>(blocks->size()) - 1;
}

bool CSyntaxParser::IsInvalidCharAt(std::string_view line, int position) const
{
    if (position < 0 || static_cast<std::size_t>(position) >= line.size())
        return false;
    if ((static_cast<unsigned char>(line[static_cast<std::size_t>(position)]) & 0xC0) != 0x80)
        return false;
    // A continuation byte is inside a character only when a valid sequence that starts before it
    // covers it; otherwise it is a stray byte, a character of its own.
    for (int back = 1; back <= 3 && position - back >= 0; ++back)
    {
        const auto start = static_cast<std::size_t>(position - back);
        const auto b = static_cast<unsigned char>(line[start]);
        if ((b & 0xC0) == 0x80)
            continue;
        const std::size_t length = platform::ValidUtf8SequenceLength(line.substr(start));
        return length > static_cast<std::size_t>(back);
    }
    return false;
}

int CSyntaxParser::NextCharPos(std::string_view line, int position)
{
    const auto i = static_cast<std::size_t>(position);
    if (i >= line.size())
        return position + 1;
    if (static_cast<unsigned char>(line[i]) < 0x80)
        return position + 1;
    const std::size_t length = platform::ValidUtf8SequenceLength(line.substr(i));
    return position + static_cast<int>(length == 0 ? 1 : length);
}

bool CSyntaxParser::IsNumber(std::string_view word)
{
    if (word.size() > 2 && word[0] == '0' && word[1] == 'x')
    {
        for (std::size_t k = 2; k < word.size(); ++k)
        {
            const auto c = static_cast<unsigned char>(word[k]);
            if (!((c >= '0' && c <= '9') || ((c | 0x20) >= 'a' && (c | 0x20) <= 'f')))
                return false;
        }
        return true;
    }
    if (word.empty() || word[0] < '0' || word[0] > '9')
        return false;
    for (std::size_t k = 1; k < word.size(); ++k)
    {
        const char c = word[k];
        if (!((c >= '0' && c <= '9') || c == '+' || c == '-' || c == '.' || c == 'e' || c == 'E'))
            return false;
    }
    return true;
}

bool CSyntaxParser::IsFunctionNameAt(std::string_view line, int position)
{
    for (auto k = static_cast<std::size_t>(position); k < line.size(); ++k)
        if (!IsBlank(static_cast<unsigned char>(line[k])))
            return line[k] == '(';
    return false;
}

bool CSyntaxParser::QuoteCloses(std::string_view line, int position)
{
    if (position == 0)
        return true;
    if (line[static_cast<std::size_t>(position) - 1] != '\\')
        return true;
    return position >= 2 && line[static_cast<std::size_t>(position) - 2] == '\\';
}

bool CSyntaxParser::IsWordCharAt(std::string_view line, int position, bool everyDot)
{
    const auto i = static_cast<std::size_t>(position);
    if (i >= line.size())
        return false;
    const auto c = static_cast<unsigned char>(line[i]);
    if (IsIdentChar(c))
        return true;
    if (c != '.')
        return false;
    if (everyDot)
        return true;
    const auto before = i > 0 ? static_cast<unsigned char>(line[i - 1]) : 0;
    const auto after = i + 1 < line.size() ? static_cast<unsigned char>(line[i + 1]) : 0;
    return i > 0 && !IsLetterLike(before) && !IsLetterLike(after);
}

int CSyntaxParser::WrapLine(const SSyntaxWrapView& view, std::string_view line, int width,
                            std::vector<int>* breaks) const
{
    if (breaks != nullptr)
        breaks->clear();
    if (width <= 0)
        return 0;
    const int tabSize = view.tabSize > 0 ? view.tabSize : 1;
    int count = 0;
    int column = 0;       // columns since the last break (tab stops count from the line's start)
    int lineColumn = 0;   // columns since the line's start
    int breakAfter = -1;  // byte offset after the last possible break point
    int columnAtBreak = 0;
    for (std::size_t i = 0; i < line.size();)
    {
        std::size_t length = 1;
        const char32_t c = DecodeAt(line, i, length);
        const int w = c == '\t' ? tabSize - lineColumn % tabSize : DisplayWidth(c);
        if (column + w > width && column > 0)
        {
            // Break at the last possible point, or before this character when there was none.
            const int at = breakAfter > 0 ? breakAfter : static_cast<int>(i);
            if (breaks != nullptr)
                breaks->push_back(at);
            ++count;
            column = breakAfter > 0 ? column - columnAtBreak : 0;
            breakAfter = -1;
        }
        column += w;
        lineColumn += w;
        i += length;
        if (c == ' ' || c == '\t' || IsKanaOrIdeograph(c))
        {
            breakAfter = static_cast<int>(i);
            columnAtBreak = column;
        }
    }
    return count;
}
