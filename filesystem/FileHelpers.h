#pragma once

#include <cstdint>
#include <string>

// Small path and formatting helpers of the file-information model, shared with other subsystems.

// True at once when `path` exists. Otherwise creates every missing parent folder and then, unless
// `parentsOnly`, the path itself; returns whether the path exists afterwards.
bool EnsureFolder(const std::string& path, bool parentsOnly = false);

// Groups a string of decimal digits (optionally with a leading "-") by the current locale:
// "1234567" becomes "1,234,567" under the C locale. Text that is not such a number is returned as is.
std::string FormatNumber(const std::string& digits);
std::string FormatNumber(std::uint64_t value);

// CRC-32 (the ISO-HDLC / zip checksum) of a file's contents. Folders, missing paths and files that
// are not regular files give 0 without reading; so does a file that cannot be read.
std::uint32_t ComputeFileCRC(const std::string& path);
// The same, telling a failure apart from a real checksum of 0.
bool ComputeFileCRC(const std::string& path, std::uint32_t& crc, int* error = nullptr);

// 1 text, 2 binary, -1 missing, unreadable or not a regular file. A file that starts with a
// UTF-16 or UTF-8 byte-order mark is text; otherwise a zero byte anywhere makes it binary.
int DetectFileType(const std::string& path);
