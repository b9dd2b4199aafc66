#pragma once

#include "textcompare/TextStats.h"

#include <cstdio>
#include <string>
#include <string_view>

// A line reader and writer for small text files (project files): files that start with the mark
// FF FE are read as UTF-16 little-endian, others as bytes in the file's code page; lines come out
// as internal text without their line ends.
class CStdioFileEx
{
public:
    enum OpenFlags : unsigned
    {
        modeRead = 0x0000,
        modeWrite = 0x0001,
        modeReadWrite = 0x0002,
        modeCreate = 0x1000,
        typeText = 0x4000,
        typeBinary = 0x8000,
        modeWriteUnicode = 0x20000, // write UTF-16 little-endian with its mark
    };

    CStdioFileEx() = default;
    ~CStdioFileEx();
    CStdioFileEx(const CStdioFileEx&) = delete;
    CStdioFileEx& operator=(const CStdioFileEx&) = delete;

    bool Open(const std::string& path, unsigned flags);
    bool Close(); // false when buffered output could not be written
    bool IsOpen() const { return m_pFile != nullptr; }

    // False at the end of the file when nothing was left to read, or on a read error.
    bool ReadString(std::string& line);
    bool WriteString(std::string_view text);

    bool IsFileUnicode() const { return m_bIsUnicode; }
    // The code page of 8-bit files (default: UTF-8, the ANSI code page).
    void SetCodePage(int codePage) { m_nCodePage = codePage; }
    int GetCodePage() const { return m_nCodePage; }
    const UniFileError& GetLastError() const { return m_lastError; }

private:
    std::FILE* m_pFile = nullptr;
    bool m_bIsUnicode = false;
    bool m_bWriteUnicode = false;
    bool m_bWriting = false;
    int m_nCodePage = 65001;
    UniFileError m_lastError;
};
