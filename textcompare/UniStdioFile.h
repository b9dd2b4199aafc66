#pragma once

#include "textcompare/UniLocalFile.h"

#include <cstdint>
#include <cstdio>
#include <string>

// Writes a text file through a C stream: the mark, then internal text converted to the file's
// encoding. Close() flushes and syncs and reports whether everything reached the disk.
class UniStdioFile : public UniLocalFile
{
public:
    UniStdioFile();
    ~UniStdioFile() override;
    UniStdioFile(const UniStdioFile&) = delete;
    UniStdioFile& operator=(const UniStdioFile&) = delete;

    // Files this size or larger are refused when opened.
    static constexpr std::int64_t kMaxFileSize = std::int64_t(1) << 32;

    bool OpenRead(const std::string& path) override; // mode "rb"
    bool Close() override;
    bool IsOpen() const override { return m_pFile != nullptr; }
    bool ReadBom() override;
    bool ReadLine(std::string& line, std::string& eol) override; // reading goes through UniMemFile: false
    bool ReadLine(std::string& line) override;                   // false
    std::int64_t GetPosition() const override;
    bool WriteText(std::string_view text) override;

    bool FetchStatusIfClosed();
    bool OpenCreate(const std::string& path);             // mode "w+b"
    bool OpenCreateUtf8(const std::string& path);         // OpenCreate, then kind 3
    bool Open(const std::string& path, const char* mode); // closes again on failure
    // Writes the mark of the kind at offset 0 and returns its length (0 for kind 0, -1 on failure).
    int WriteBom();
    std::int64_t GetBomLength() const { return m_nBomLength; }

protected:
    virtual bool DoOpen(const std::string& path, const char* mode);

private:
    std::FILE* m_pFile = nullptr;
    bool m_bWriting = false;
    std::int64_t m_nBomLength = 0;
    std::string m_outBuffer;
};
