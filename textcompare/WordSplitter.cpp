#include "textcompare/WordSplitter.h"

#include "platform/Utf8.h"

#include <algorithm>
#include <bit>

namespace
{

constexpr std::string_view PUNCTUATION_BREAKS = "~`!@#$%^&*()-_=+\\|[]{};:'\",<.>/?";

} // namespace

std::string FoldedUpper(std::string_view text)
{
    std::string folded(text);
    for (char& c : folded)
        c = static_cast<char>(FoldUpper(static_cast<unsigned char>(c)));
    return folded;
}

std::size_t CharacterLength(std::string_view text, std::size_t pos)
{
    if (static_cast<unsigned char>(text[pos]) < 0x80)
        return 1;
    const std::size_t length = platform::ValidUtf8SequenceLength(text.substr(pos, 4));
    return length == 0 ? 1 : length;
}

std::size_t PreviousCharacterStart(std::string_view text, std::size_t floor, std::size_t pos)
{
    if (static_cast<unsigned char>(text[pos - 1]) < 0x80)
        return pos - 1;
    // A valid sequence ending at `pos` starts with its lead byte at most 4 bytes back; sequences are
    // self-synchronising, so at most one such start exists and it agrees with the forward split.
    for (std::size_t length = 2; length <= 4 && length <= pos - floor; ++length)
    {
        const std::size_t start = pos - length;
        if (platform::ValidUtf8SequenceLength(text.substr(start, length)) == length)
            return start;
    }
    return pos - 1;
}

std::uint32_t HashWord(std::string_view bytes)
{
    std::uint32_t h = 0;
    for (char c : bytes)
        h = h + std::rotl(h, 7) +
            static_cast<std::uint32_t>(static_cast<std::int32_t>(static_cast<signed char>(c)));
    return h;
}

CWordBreaks::CWordBreaks(int breakKind, std::string_view customBreak)
{
    std::string_view chars;
    if (breakKind == WORDBREAK_PUNCTUATION)
        chars = PUNCTUATION_BREAKS;
    else if (breakKind == WORDBREAK_CUSTOM)
        chars = customBreak;
    for (std::size_t pos = 0; pos < chars.size();)
    {
        const std::size_t length = CharacterLength(chars, pos);
        const auto first = static_cast<unsigned char>(chars[pos]);
        if (length == 1 && first < 0x80)
            m_ascii[first] = !IsWordSpace(first);
        else if (std::find(m_multiByte.begin(), m_multiByte.end(), chars.substr(pos, length)) ==
                 m_multiByte.end())
            m_multiByte.emplace_back(chars.substr(pos, length));
        pos += length;
    }
}

bool CWordBreaks::IsBreak(std::string_view ch) const
{
    const auto first = static_cast<unsigned char>(ch[0]);
    if (first < 0x80)
        return m_ascii[first];
    return std::find(m_multiByte.begin(), m_multiByte.end(), ch) != m_multiByte.end();
}

void SplitWords(std::string_view line, std::string_view hashed, const CWordBreaks& breaks,
                std::vector<CWord>& words)
{
    words.clear();
    auto add = [&](std::size_t start, std::size_t end)
    {
        CWord word;
        word.nStart = static_cast<std::int32_t>(start);
        word.nEnd = static_cast<std::int32_t>(end - 1);
        word.nHash = HashWord(hashed.substr(start, end - start));
        words.push_back(word);
    };
    std::size_t wordStart = std::string_view::npos;
    std::size_t pos = 0;
    while (pos < line.size())
    {
        const auto c = static_cast<unsigned char>(line[pos]);
        if (IsWordSpace(c))
        {
            if (wordStart != std::string_view::npos)
                add(wordStart, pos);
            wordStart = std::string_view::npos;
            ++pos;
            continue;
        }
        const std::size_t length = CharacterLength(line, pos);
        if (breaks.IsBreak(line.substr(pos, length)))
        {
            if (wordStart != std::string_view::npos)
                add(wordStart, pos);
            wordStart = std::string_view::npos;
            add(pos, pos + length);
        }
        else if (wordStart == std::string_view::npos)
            wordStart = pos;
        pos += length;
    }
    if (wordStart != std::string_view::npos)
        add(wordStart, line.size());
}
