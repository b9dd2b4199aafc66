#pragma once

#include "textcompare/TextStats.h"

#include <cstdint>
#include <string>
#include <string_view>

// A text file that knows its encoding. Text handed in and out is internal text (UTF-8 bytes; bytes
// that are not valid UTF-8 are kept as they are); conversion happens only here, at the file.
//
// Close() returns bool rather than nothing: buffered output can fail only when it is flushed, and
// a saver must learn that the disk was full.
class UniFile
{
public:
    virtual ~UniFile() = default;

    virtual bool OpenRead(const std::string& path) = 0;
    virtual bool Close() = 0;
    virtual bool IsOpen() const = 0;
    virtual const std::string& GetPath() const = 0;
    virtual const UniFileError& GetLastError() const = 0;
    // True when a byte-order mark was found; the kind and the text start follow it.
    virtual bool ReadBom() = 0;
    virtual int GetUnicodeKind() const = 0;
    virtual void SetUnicodeKind(int kind) = 0;
    virtual int GetCodePage() const = 0;
    virtual void SetCodePage(int codePage) = 0;
    // One line without its line end in `line`, the line end ("\r\n", "\r", "\n" or "") in `eol`.
    // A false result with a non-empty line is the last line of the file.
    virtual bool ReadLine(std::string& line, std::string& eol) = 0;
    virtual bool ReadLine(std::string& line) = 0;
    virtual int GetLineNumber() const = 0;
    virtual std::int64_t GetPosition() const = 0;
    virtual bool WriteText(std::string_view text) = 0;
    virtual const TextStats& GetStats() const = 0;
};
