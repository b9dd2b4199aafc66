#pragma once

#include "filesystem/FileInfo.h"

#include <cstdint>
#include <string>

inline constexpr std::uint32_t FILE_CRC_UNKNOWN = 0xFFFFFFFF;

// File information with the expensive values: version, text/binary type and checksum. Each is
// computed on demand and cached until the next load.
class CFileInfoEx : public CFileInfo
{
public:
    using CFileInfo::CFileInfo;

    void Reset() override;

    int GetFileType() const { return m_nFileType; }
    std::uint32_t GetCRC() const { return m_dwCRC; }
    void GetVersion(std::uint32_t& ms, std::uint32_t& ls) const;
    // "major,minor,build,revision"; "0,0,0,0" when no version was read.
    std::string GetVersionString() const;
    // "" when the checksum was not computed; else hexadecimal without leading zeros.
    std::string GetCRCString(bool upper) const;

    void LoadVersion(bool force = false);
    int DetectFileType(bool force = false);
    std::uint32_t ComputeCRC(bool force = false);

    using CFileInfo::CopyFrom;
    virtual void CopyFrom(const CFileInfoEx& other);

protected:
    std::uint32_t m_dwVersionMS = 0;
    std::uint32_t m_dwVersionLS = 0;
    int m_nFileType = -1;
    std::uint32_t m_dwCRC = FILE_CRC_UNKNOWN;
};
