#pragma once

#include "textcompare/UniLocalFile.h"

#include <cstdint>
#include <string>

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

    using UniLocalFile::FetchStatus;
    bool FetchStatus(); // from the open descriptor

    // The bytes read (mark included) and the offset of the text after the mark.
    const std::string& GetContent() const { return m_strContent; }
    std::size_t GetTextStart() const { return m_nTextStart; }

protected:
    virtual bool DoOpen(const std::string& path, int openFlags);

private:
    bool ReadAll();
    bool ReadBytesLine(std::string& line, std::string& eol);
    bool ReadUtf16Line(std::string& line, std::string& eol, bool bigEndian);
    bool ReadConvertedLine(std::string& line, std::string& eol);
    // The line end at the current position (CR, LF or CR LF in units of `unit` bytes), consumed
    // and counted; empty when none.
    std::string TakeEol(std::size_t unit, bool bigEndian);

    int m_nFd = -1;
    bool m_bOpen = false;
    std::string m_strContent;
    std::size_t m_nTextStart = 0;
    std::size_t m_nPosition = 0;
};
