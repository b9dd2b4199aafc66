#pragma once

#include "textcompare/UniLocalFile.h"

#include <cstdint>
#include <string>
#include <string_view>

// Memory holding text, handed over by UniMemFile::TakeText: `release(data, size)` frees it.
struct UniTextMemory
{
    char* data = nullptr;
    std::size_t size = 0;
    void (*release)(char* data, std::size_t size) = nullptr;
};

// One line as UniMemFile::ReadLineViews gives it: the text, then its line end.
struct UniLineView
{
    const char* text = nullptr;
    std::uint32_t length = 0;    // without the line end
    std::uint32_t eolLength = 0; // 0, 1 or 2
};

// Reads a whole text file into memory and splits it into lines. The file is read, not mapped: a
// mapped file that another process truncates would kill the program when touched.
class UniMemFile : public UniLocalFile
{
public:
    UniMemFile() = default;
    ~UniMemFile() override;
    UniMemFile(const UniMemFile&) = delete;
    UniMemFile& operator=(const UniMemFile&) = delete;

    // Files this size or larger are refused.
    static constexpr std::int64_t kMaxFileSize = std::int64_t(1) << 31;

    bool OpenRead(const std::string& path) override;   // read-only, existing file
    bool OpenUpdate(const std::string& path);          // read-write, existing file
    bool Open(const std::string& path, int openFlags); // O_RDONLY or O_RDWR; closes on failure
    bool Close() override;
    bool IsOpen() const override { return m_bOpen; }
    bool ReadBom() override;
    bool ReadLine(std::string& line, std::string& eol) override;
    bool ReadLine(std::string& line) override;
    std::int64_t GetPosition() const override { return static_cast<std::int64_t>(m_nPosition); }
    bool WriteText(std::string_view text) override; // not supported: false

    // ReadLine without copies: `line` and `eol` are views, the line end right after the line. When
    // KeepsText() is true (UTF-8 and UTF-16 files) they stay valid until the file is closed, its text
    // is taken or ReadBom starts reading over, else only until the next read.
    bool ReadLineView(std::string_view& line, std::string_view& eol);
    bool KeepsText() const;
    // Up to `max` lines at once, as that many ReadLineView calls would give them; fewer only at the
    // end of the file. Only while KeepsText() is true (else 0).
    std::size_t ReadLineViews(UniLineView* lines, std::size_t max);
    // Hands over the memory behind every view read so far while KeepsText() was true, followed by a
    // NUL byte; the file reads no further lines. Empty when there is none.
    UniTextMemory TakeText();

    // Line ends are searched with the widest vectors the processor has; this limits them to `bits`
    // (512, 256, 128, or 0 for none), so that tests can run every variant. Returns the width now used.
    static int LimitVectorWidth(int bits);

    using UniLocalFile::FetchStatus;
    bool FetchStatus(); // from the open descriptor

    // The bytes read (mark included; none once TakeText took them) and the offset of the text after
    // the mark.
    std::string_view GetContent() const { return {m_pContent, m_nContentSize}; }
    std::size_t GetTextStart() const { return m_nTextStart; }

protected:
    virtual bool DoOpen(const std::string& path, int openFlags);

private:
    // How the current kind and code page are read.
    enum class EReadWay
    {
        Bytes, // internal text already
        Utf16Le,
        Utf16Be,
        Converted, // a code page
    };
    EReadWay GetReadWay() const;
    bool ReadAll();
    void FreeMemory();
    // Lines as bytes of the content (the line end follows each there).
    std::size_t ReadBytesLines(UniLineView* lines, std::size_t max);
    // UTF-16 lines converted one after the other into the text memory.
    std::size_t ReadUtf16Lines(UniLineView* lines, std::size_t max, bool bigEndian);
    // The units of the next UTF-16 line: their count, and where they stop.
    std::size_t ScanUtf16Line(bool bigEndian) const;
    // Converts `units` units at the position to `out` with the line end or the odd last byte after
    // them and moves on; `out` holds kMaxTextPerUnit bytes per unit + 3. Returns the text's length.
    std::size_t ReadUtf16Line(std::size_t units, bool bigEndian, char* out, std::size_t& eolLength);
    // The end of a UTF-16 line whose text of `length` bytes is at `out`, at the position: the line end
    // after it, a NUL skipped, or the odd last byte; returns the text's length.
    std::size_t EndUtf16Line(bool bigEndian, char* out, std::size_t length, std::size_t& eolLength);
    // The next line of a code page converted into `text` (replaced), its line end after it; returns
    // the length of the line end.
    std::size_t ReadConvertedLine(std::string& text);
    // The line end at the current position (CR, LF or CR LF in units of `unit` bytes), consumed and
    // counted; its length in characters, 0 when none.
    std::size_t TakeEol(std::size_t unit, bool bigEndian);

    int m_nFd = -1;
    bool m_bOpen = false;
    char* m_pContent = nullptr; // the file's bytes, then a NUL
    std::size_t m_nContentSize = 0;
    std::size_t m_nContentCapacity = 0;
    std::size_t m_nTextStart = 0;
    std::size_t m_nPosition = 0;
    // UTF-16 lines read as views, converted one after the other (room for the whole rest of the file).
    char* m_pText = nullptr;
    std::size_t m_nTextSize = 0;
    std::size_t m_nTextCapacity = 0;
    bool m_bContentViewed = false; // views point into the content
    std::string m_strScratch;      // converted lines of a code page, one at a time
};
