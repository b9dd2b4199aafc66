#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// One line of a text buffer, kept by value in the buffer's line array. `text` holds the characters,
// then the line end, then a NUL. An owned block has a non-zero `capacity`; a line just loaded from a
// file has capacity 0 and lies in one of the buffer's load blocks until it is first changed, so
// loading does not allocate once per line. A loaded line may also lie in the file's own text (an
// adopted block): there the next line's characters follow its line end instead of a NUL, so read
// lines through Text(), Eol() and Chars() only.
struct CSyntaxTextLine
{
    char* text = nullptr;
    std::int32_t length = 0;         // characters without the line end
    std::uint32_t capacity : 30 = 0; // bytes of the owned block (0: none, or in a load block)
    std::uint32_t eolLength : 2 = 0; // 2 "\r\n", 1 a lone CR or LF, 0 none
    std::uint32_t flags = 0;
    std::uint32_t revision = 0;

    std::string_view Text() const { return {text, static_cast<std::size_t>(length)}; }
    std::string_view Eol() const { return {text ? text + length : text, eolLength}; }
    // The characters with the line end.
    std::string_view Chars() const { return {text, static_cast<std::size_t>(length) + eolLength}; }
};

// Bit 19 of a line's flags marks a bookmark; the other bits belong to the users of the buffer.
inline constexpr std::uint32_t LF_BOOKMARK = 0x80000;

// Block sizes of a text buffer. Tests force them small so that every reallocation and block change runs.
struct SSyntaxBufferTuning
{
    std::size_t lineGranularity = 16;    // owned line blocks are rounded to this
    std::size_t maxLoadBlock = 8u << 20; // load blocks double from minLoadBlock up to this
    std::size_t minLoadBlock = 64u << 10;
    std::size_t initialLines = 500; // line array when loading; doubled when full
};

// The line array of a text buffer with the operations on whole lines.
class CSyntaxTextBuffer
{
public:
    using STuning = SSyntaxBufferTuning;

    // The longest line an edit may produce; longer results are refused.
    static constexpr std::int32_t kMaxLineLength = (1 << 30) - 64;

    explicit CSyntaxTextBuffer(const STuning& tuning = {});
    virtual ~CSyntaxTextBuffer();
    CSyntaxTextBuffer(const CSyntaxTextBuffer&) = delete;
    CSyntaxTextBuffer& operator=(const CSyntaxTextBuffer&) = delete;

    virtual void FreeLines();
    // Inserts `count` copies of one line before `index` (-1 appends). `length` -1 takes the string
    // length; a trailing "\r\n", CR or LF of the text becomes the line end. False for a bad index.
    virtual bool InsertLine(const char* text, int length, int index, int count);
    virtual bool RemoveLines(int index, int count);
    // Appends text after the line's characters, replacing its line end; the line end is then read
    // again from the end of the new text.
    virtual bool AppendToLine(int index, const char* text, int length);
    // Moves lines first..last (inclusive) so that the first lands at `to`; the array must already
    // hold the destination. Lines overwritten by the move are freed; vacated lines become empty.
    virtual bool MoveLines(int first, int last, int to);
    // Makes `count` lines from `index` empty: no text, no line end, no flags, revision 0.
    virtual bool ResetLines(int index, int count);

    int GetLineCount() const { return static_cast<int>(m_nLines); }
    const CSyntaxTextLine& LineAt(int index) const { return m_pLines[index]; }
    std::string_view GetLineText(int index) const { return m_pLines[index].Text(); }
    std::string_view GetLineEol(int index) const { return m_pLines[index].Eol(); }
    int GetLineLength(int index) const { return m_pLines[index].length; }

    // The capacity an owned block gets for `needed` characters.
    std::size_t RoundedCapacity(std::size_t needed) const;

    // A compact dump of the line array (text, line end, flags, revision per line), for tests.
    std::string DumpLines() const;

protected:
    CSyntaxTextLine& MutableLine(int index) { return m_pLines[index]; }
    // Cuts a line after `column` characters and drops its line end.
    void TruncateLine(int index, int column);
    // Replaces the line end; false for a text that is not a line end (or longer than 2).
    bool ReplaceLineEol(int index, std::string_view eol);

    // Loading: lines go into large load blocks instead of one allocation each.
    // `textBytes`, the size of the text when known, pre-sizes the line array.
    void BeginLoading(std::size_t textBytes = 0);
    void AppendLoadedLine(std::string_view text, std::string_view eol);
    // Appends lines that stay where they are, in memory that AdoptLoadBlock hands to the buffer: each
    // view gives `text`, then `length` characters and `eolLength` line-end characters there. Inline,
    // since a big file has a million of them.
    template <class View> void AppendLoadedLinesInPlace(const View* views, std::size_t count)
    {
        if (m_nLines + count > m_nLineCapacity)
            ReserveLines(std::max(m_nLines + count, m_nLineCapacity * 2));
        CSyntaxTextLine* line = m_pLines + m_nLines;
        for (std::size_t i = 0; i < count; ++i)
            line[i] = {const_cast<char*>(views[i].text),
                       static_cast<std::int32_t>(views[i].length),
                       0,
                       static_cast<std::uint32_t>(views[i].eolLength),
                       0,
                       0};
        m_nLines += count;
    }
    // The buffer owns `data` from now on and frees it with `release(data, size)` with its lines.
    void AdoptLoadBlock(char* data, std::size_t size, void (*release)(char*, std::size_t));
    void EndLoading(); // gives back the unused end of the line array

private:
    struct SLoadBlock
    {
        char* data = nullptr;
        std::size_t size = 0;
        bool mapped = false;
        void (*release)(char*, std::size_t) = nullptr; // set for an adopted block
    };

    void ReserveLines(std::size_t count);
    bool OpenGap(std::size_t index, std::size_t count); // inserts `count` empty lines at `index`
    void FreeLineText(CSyntaxTextLine& line);
    // Gives the line an owned block of at least `needed` + 1 bytes, keeping its characters and line end.
    bool EnsureOwned(CSyntaxTextLine& line, std::size_t needed);
    static void SetEolFromText(CSyntaxTextLine& line, std::size_t totalChars);
    char* LoadSpace(std::size_t bytes);
    void FreeLoadBlocks();

    STuning m_tuning;
    CSyntaxTextLine* m_pLines = nullptr;
    std::size_t m_nLines = 0;
    std::size_t m_nLineCapacity = 0;
    std::size_t m_nOwnedLines = 0; // lines with a block of their own
    bool m_bLinesMapped = false;
    std::vector<SLoadBlock> m_aLoadBlocks;
    std::vector<SLoadBlock> m_aAdoptedBlocks;
    char* m_pLoadNext = nullptr;
    std::size_t m_nLoadLeft = 0;
};
