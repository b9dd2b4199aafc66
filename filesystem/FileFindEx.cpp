#include "filesystem/FileFindEx.h"

bool CFileFindEx::FindFile(const std::string& folder, unsigned /*flags*/)
{
    m_strFolder = folder;
    m_bHaveEntry = false;
    return m_reader.Open(folder);
}

bool CFileFindEx::FindNextFile()
{
    m_bHaveEntry = m_reader.Next();
    return m_bHaveEntry;
}

void CFileFindEx::Close()
{
    m_reader.Close();
    m_bHaveEntry = false;
}

std::string CFileFindEx::GetFilePath() const
{
    if (m_strFolder.empty() || m_strFolder.back() == '/')
        return m_strFolder + GetFileName();
    return m_strFolder + "/" + GetFileName();
}
