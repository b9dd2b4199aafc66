#include "filesystem/FileInfoEx.h"

#include "filesystem/FileHelpers.h"
#include "filesystem/FileVersion.h"

#include <cstdio>

void CFileInfoEx::Reset()
{
    CFileInfo::Reset();
    m_dwVersionMS = m_dwVersionLS = 0;
    m_nFileType = -1;
    m_dwCRC = FILE_CRC_UNKNOWN;
}

void CFileInfoEx::GetVersion(std::uint32_t& ms, std::uint32_t& ls) const
{
    ms = m_dwVersionMS;
    ls = m_dwVersionLS;
}

std::string CFileInfoEx::GetVersionString() const
{
    char buffer[48];
    std::snprintf(buffer, sizeof buffer, "%u,%u,%u,%u", m_dwVersionMS >> 16, m_dwVersionMS & 0xFFFF,
                  m_dwVersionLS >> 16, m_dwVersionLS & 0xFFFF);
    return buffer;
}

std::string CFileInfoEx::GetCRCString(bool upper) const
{
    if (m_dwCRC == FILE_CRC_UNKNOWN)
        return {};
    char buffer[16];
    std::snprintf(buffer, sizeof buffer, upper ? "%X" : "%x", m_dwCRC);
    return buffer;
}

void CFileInfoEx::LoadVersion(bool force)
{
    if ((m_dwLoaded & FILE_LOADED_VERSION) && !force)
        return;
    m_dwVersionMS = m_dwVersionLS = 0;
    CFileVersion version;
    if (!IsFolder() && version.Read(GetPath()))
    {
        m_dwVersionMS = version.FixedInfo().dwFileVersionMS;
        m_dwVersionLS = version.FixedInfo().dwFileVersionLS;
    }
    m_dwLoaded |= FILE_LOADED_VERSION;
}

int CFileInfoEx::DetectFileType(bool force)
{
    if ((m_dwLoaded & FILE_LOADED_TYPE) && !force)
        return m_nFileType;
    m_nFileType = Exists() ? ::DetectFileType(GetPath()) : -1;
    m_dwLoaded |= FILE_LOADED_TYPE;
    return m_nFileType;
}

std::uint32_t CFileInfoEx::ComputeCRC(bool force)
{
    if ((m_dwLoaded & FILE_LOADED_CRC) && !force)
        return m_dwCRC;
    m_dwCRC = (IsFolder() || !Exists()) ? 0 : ::ComputeFileCRC(GetPath());
    m_dwLoaded |= FILE_LOADED_CRC;
    return m_dwCRC;
}

void CFileInfoEx::CopyFrom(const CFileInfoEx& other)
{
    CFileInfo::CopyFrom(other);
    m_dwVersionMS = other.m_dwVersionMS;
    m_dwVersionLS = other.m_dwVersionLS;
    m_nFileType = other.m_nFileType;
    m_dwCRC = other.m_dwCRC;
}
