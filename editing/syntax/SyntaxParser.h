#pragma once

#include "editing/SyntaxLineParser.h"

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <unordered_set>
#include <vector>

// Colour classes of the runs that the parsers produce (the views, the HTML export and the comment
// rule of the text comparison read them).
enum SyntaxColorClass : int
{
    SYNTAX_NORMAL = 3,
    SYNTAX_KEYWORD = 9,
    SYNTAX_FUNCNAME = 10,
    SYNTAX_COMMENT = 11,
    SYNTAX_NUMBER = 12,
    SYNTAX_OPERATOR = 13,
    SYNTAX_STRING = 14,
    SYNTAX_PREPROCESSOR = 15,
    SYNTAX_KEYWORD2 = 18,
    SYNTAX_KEYWORD3 = 19,
};

// One fixed list of words of a syntax and the class a match gives. `anyCase` compares without
// regard to case, otherwise byte for byte.
struct SKeywordSet
{
    std::span<const std::string_view> words;
    int colorClass = SYNTAX_KEYWORD;
    bool anyCase = false;
};

// The data part of every parser; all fields fixed-size.
struct CSyntaxDefinition
{
    std::int32_t type = 0;   // 0 to 27
    char name[256] = {};     // shown in the "&Syntax Type" menu
    char extensions[256] = {}; // ","-separated, without dots; items may be wildcard patterns
    std::int32_t options = 0; // the editor's option bits for this syntax
    char blockCommentOpen[8] = {};
    char blockCommentClose[8] = {};
    char lineComment[8] = {};
    std::int32_t encoding = -1; // code page of sources of this syntax, -1 for none
};

// What word wrapping needs of a view: its tab size. Text is measured in columns of a fixed-width
// font, a double-width character taking two.
struct SSyntaxWrapView
{
    int tabSize = 4;
};

// The plain-text parser and the base of all others: splits one line into coloured runs, starting
// from the state ("cookie") the previous line ended in, and returns the state for the next line.
// Parsers are stateless apart from their definition. Lines are UTF-8: a character is one valid
// UTF-8 sequence, and a byte that starts none is a character of its own.
class CSyntaxParser : public ISyntaxLineParser, public CSyntaxDefinition
{
public:
    CSyntaxParser();
    ~CSyntaxParser() override;
    CSyntaxParser(const CSyntaxParser&) = delete;
    CSyntaxParser& operator=(const CSyntaxParser&) = delete;

    // No highlighting: no block, cookie 0.
    std::uint32_t ParseLine(std::uint32_t cookie, std::string_view line,
                            std::vector<SSyntaxBlock>* blocks) const override;
    // A parse that only needs to find comments (class 11); this one is the full parse.
    std::uint32_t ParseLineComments(std::uint32_t cookie, std::string_view line,
                                    std::vector<SSyntaxBlock>* blocks) const override;
    // Word-wrap positions of a line: each break is the byte offset where a display row starts.
    // Returns the number of breaks.
    virtual int WrapLine(const SSyntaxWrapView& view, std::string_view line, int width,
                         std::vector<int>* breaks) const;
    // True when the byte at `position` does not start a character (it continues a UTF-8 sequence).
    virtual bool IsInvalidCharAt(std::string_view line, int position) const;
    virtual int GetLineLength(std::string_view line) const { return static_cast<int>(line.size()); }
    virtual std::string_view GetLineText(std::string_view line) const { return line; }
    // Appends a block at `position`; ignored (-1) without an array or when the position lies before
    // the last block's start. Returns the new block's index.
    int AddBlock(std::string_view line, int position, int colorClass, std::vector<SSyntaxBlock>* blocks) const;

    int GetSourceEncoding() const override { return encoding; }

    std::string_view GetName() const { return name; }
    std::string_view GetExtensions() const { return extensions; }
    std::string_view GetBlockCommentOpen() const { return blockCommentOpen; }
    std::string_view GetBlockCommentClose() const { return blockCommentClose; }
    std::string_view GetLineComment() const { return lineComment; }

    // The keyword sets in the order the parser consults them.
    std::span<const SKeywordSet> GetKeywordSets() const { return m_sets; }
    // True when the word equals an entry of set `index` (comparison as the set says).
    bool IsKeyword(int index, std::string_view word) const;
    // The class of the first set that holds the word, or -1.
    int FindKeyword(std::string_view word) const;

    // "0x" and at least one more character, all hexadecimal digits; or a digit followed only by
    // digits, "+", "-", ".", "E" and "e".
    static bool IsNumber(std::string_view word);
    // Letters, digits, "_" and every byte of 128 and above (the bytes of non-ASCII characters).
    static bool IsIdentChar(unsigned char c) { return c >= 0x80 || c == '_' || IsAsciiAlnum(c); }
    static bool IsLetterLike(unsigned char c) { return c >= 0x80 || c == '_' || IsAsciiAlpha(c); }
    static bool IsBlank(unsigned char c) { return c == ' ' || (c >= '\t' && c <= '\r'); }
    static bool IsAsciiAlpha(unsigned char c) { return (c | 0x20) >= 'a' && (c | 0x20) <= 'z'; }
    static bool IsAsciiAlnum(unsigned char c) { return IsAsciiAlpha(c) || (c >= '0' && c <= '9'); }
    // The position after the character at `position`.
    static int NextCharPos(std::string_view line, int position);
    // The first character at or after `position` that is not a blank is "(".
    static bool IsFunctionNameAt(std::string_view line, int position);
    // Escape rule of closing quotes: the quote at `position` closes unless the character before it
    // is a backslash and the one before that is not; a quote at the line's start always closes.
    static bool QuoteCloses(std::string_view line, int position);
    // Word characters: identifier characters, and a "." that is not the line's first character and
    // has no letter-like character right before or after it (any "." with `everyDot`).
    static bool IsWordCharAt(std::string_view line, int position, bool everyDot);

protected:
    void SetDefinition(int syntaxType, const char* syntaxName, const char* syntaxExtensions, int optionBits,
                       const char* commentOpen, const char* commentClose, const char* commentLine);
    void SetKeywordSets(std::span<const SKeywordSet> sets);

    // The walk over one line that the parsers share. A block starts at the first character and
    // wherever a run ends; `redefine` asks for one at the next step, `decIndex` puts it at the
    // character just passed (the one that ended a word, an operator) instead of the current one.
    struct SWalker
    {
        SWalker(const CSyntaxParser& parser, std::string_view text, std::vector<SSyntaxBlock>* out,
                bool byteSteps = false)
            : p(parser), line(text), n(static_cast<int>(text.size())), blocks(out), bytes(byteSteps)
        {
        }
        const CSyntaxParser& p;
        std::string_view line;
        int n;
        std::vector<SSyntaxBlock>* blocks;
        bool bytes;
        int i = 0;
        int prev = -1;
        bool redefine = true;
        bool decIndex = false;
        int identBegin = -1;

        unsigned char At(int k) const { return k >= 0 && k < n ? static_cast<unsigned char>(line[k]) : 0; }
        unsigned char Prev() const { return At(prev); }
        void Advance()
        {
            prev = i;
            i = bytes ? i + 1 : NextCharPos(line, i);
        }
        // A block whose class holds until the state changes: no other block is pending.
        void Block(int position, int colorClass)
        {
            p.AddBlock(line, position, colorClass, blocks);
            redefine = false;
            decIndex = false;
        }
        // Starts the pending block: of `stateClass` when the state gives one (>= 0), else normal for a
        // word character and operator otherwise (an operator character is a block of its own).
        void StartPending(int stateClass, bool everyDot)
        {
            if (!redefine)
                return;
            const int pos = decIndex ? prev : i;
            if (pos >= n)
                return;
            if (stateClass >= 0)
                p.AddBlock(line, pos, stateClass, blocks);
            else if (IsWordCharAt(line, pos, everyDot))
                p.AddBlock(line, pos, SYNTAX_NORMAL, blocks);
            else
            {
                p.AddBlock(line, pos, SYNTAX_OPERATOR, blocks);
                redefine = true;
                decIndex = true;
                return;
            }
            redefine = false;
            decIndex = false;
        }
        // A new block at the character that ended the word or run (at the next step).
        void RestartAtCurrent()
        {
            redefine = true;
            decIndex = true;
        }
        // A new block after the current character (at the next step).
        void RestartAfterCurrent()
        {
            redefine = true;
            decIndex = false;
        }
        std::string_view Word(int end) const { return line.substr(identBegin, end - identBegin); }
    };

private:
    struct SSetIndex
    {
        std::vector<std::string> folded; // owned folded entries for sets compared in any case
        std::unordered_set<std::string_view> words;
        bool anyCase = false;
    };

    std::span<const SKeywordSet> m_sets;
    std::vector<SSetIndex> m_index;
};
