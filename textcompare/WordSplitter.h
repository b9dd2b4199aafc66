#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// Word-break kinds (the setting "WordBreak").
inline constexpr int WORDBREAK_SPACE = 0;       // white space only
inline constexpr int WORDBREAK_PUNCTUATION = 1; // white space and 32 ASCII punctuation characters
inline constexpr int WORDBREAK_CUSTOM = 2;      // white space and the characters of "CustomWordBreak"

inline constexpr std::string_view DEFAULT_CUSTOM_WORD_BREAK = ",;:.";

// One word of a line: byte offsets of its first byte and of its last byte (inclusive), so that a
// word always covers whole UTF-8 characters, and the hash of its characters.
struct CWord
{
    std::int32_t nStart = 0;
    std::int32_t nEnd = -1;
    std::uint32_t nHash = 0;

    std::int32_t Length() const { return nEnd - nStart + 1; }
    bool operator==(const CWord&) const = default;
};

// The white space that separates words: space, tab, line feed, vertical tab, form feed, CR.
inline bool IsWordSpace(unsigned char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

// ASCII upper-casing; bytes of multi-byte characters are left alone, so they never change.
inline unsigned char FoldUpper(unsigned char c)
{
    return (c >= 'a' && c <= 'z') ? static_cast<unsigned char>(c - 'a' + 'A') : c;
}

// The text with its ASCII letters upper-cased (the form words are hashed and compared in when case
// is ignored).
std::string FoldedUpper(std::string_view text);

// The bytes of the character starting at `pos` (which must be inside `text`): a valid UTF-8
// sequence is one character, any other byte is a character of its own.
std::size_t CharacterLength(std::string_view text, std::size_t pos);

// The start of the character that ends just before `pos`, not looking before `floor`. `floor` and
// `pos` must be character boundaries with floor < pos.
std::size_t PreviousCharacterStart(std::string_view text, std::size_t floor, std::size_t pos);

// h = h + rotl(h, 7) + c over the bytes taken as signed values (the caller folds them first when
// case is ignored).
std::uint32_t HashWord(std::string_view bytes);

// Which characters end a word and form a one-character word of their own.
class CWordBreaks
{
public:
    // An unknown kind breaks at white space only. The custom characters are UTF-8 characters;
    // white space among them changes nothing (it separates words anyway).
    CWordBreaks(int breakKind, std::string_view customBreak = DEFAULT_CUSTOM_WORD_BREAK);

    // Whether the character `ch` (one whole character, see CharacterLength) is a break character.
    bool IsBreak(std::string_view ch) const;

private:
    std::array<bool, 128> m_ascii{};
    std::vector<std::string> m_multiByte; // custom break characters outside ASCII, and single invalid bytes
};

// Splits a line into words: white space separates words and belongs to none, a break character is a
// word of its own, every other run of characters is a word. `hashed` is the text whose bytes feed the
// hashes: the line itself, or its folded form when case is ignored (same length).
void SplitWords(std::string_view line, std::string_view hashed, const CWordBreaks& breaks,
                std::vector<CWord>& words);
