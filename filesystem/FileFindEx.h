#pragma once

#include "platform/FileSystemEntry.h"

#include <string>

// Enumerates the entries of one folder ("." and ".." are not reported). Use as
//   CFileFindEx find; if (find.FindFile(folder)) while (find.FindNextFile()) { ... }
class CFileFindEx
{
public:
    // Starts the enumeration of `folder`; false when it cannot be opened (GetLastError()).
    bool FindFile(const std::string& folder, unsigned flags = 0);
    // Moves to the next entry; false at the end or on an error.
    bool FindNextFile();
    void Close();

    const platform::FindData& GetFindData() const { return m_reader.Current(); }
    // The attribute word of the current entry, 0 when there is none.
    std::uint32_t GetFoundAttributes() const { return m_bHaveEntry ? m_reader.Current().m_dwAttributes : 0; }
    std::string GetFileName() const { return m_reader.Current().m_strName; }
    std::string GetFilePath() const;
    bool IsDirectory() const { return m_bHaveEntry && m_reader.Current().IsDirectory(); }
    int GetLastError() const { return m_reader.LastError(); }

private:
    platform::DirectoryReader m_reader;
    std::string m_strFolder;
    bool m_bHaveEntry = false;
};
