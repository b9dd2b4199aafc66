#pragma once

#include "textcompare/UniFile.h"

#include <cstdint>
#include <string>

// A file on a local disk: the state every concrete file shares and its plain accessors.
class UniLocalFile : public UniFile
{
public:
    UniLocalFile(); // code page from the default code page setting

    const std::string& GetPath() const override { return m_strPath; }
    const UniFileError& GetLastError() const override { return m_lastError; }
    int GetUnicodeKind() const override { return m_nUnicodeKind; }
    void SetUnicodeKind(int kind) override;
    int GetCodePage() const override { return m_nCodePage; }
    void SetCodePage(int codePage) override { m_nCodePage = codePage; }
    int GetLineNumber() const override { return m_nLineNumber; }
    const TextStats& GetStats() const override { return m_stats; }

    const std::string& GetFileName() const { return m_strFileName; }
    std::int64_t GetFileSize() const { return m_nFileSize; }
    bool IsStatusFetched() const { return m_bStatusFetched; }
    // The default code page setting this file compares its code page with (taken at construction).
    int GetDefaultCodePage() const { return m_nDefaultCodePage; }
    void SetDefaultCodePage(int codePage) { m_nDefaultCodePage = codePage; }

    // Size from an open descriptor (error "fstat").
    virtual bool FetchStatus(int fd);
    // Size from the path (error "stat").
    virtual bool FetchStatusByPath();
    virtual void SetApiError(const std::string& apiName, int systemError);
    virtual void SetCustomError(const std::string& description);

protected:
    // Stores the path made absolute, and its last component as the file name.
    void SetPath(const std::string& path);
    void ResetForOpen();
    void RecordZero(std::int64_t offset);
    void CountEol(std::string_view eol);

    bool m_bStatusFetched = false;
    std::int64_t m_nFileSize = 0;
    std::string m_strPath;
    std::string m_strFileName;
    int m_nLineNumber = -1; // -1 while closed, 0 after opening, then the number of line ends read
    UniFileError m_lastError;
    bool m_bBomChecked = false;
    int m_nUnicodeKind = UNICODE_NONE;
    int m_nCharSize = 1; // 1, or 2 for UTF-16
    int m_nCodePage;
    int m_nDefaultCodePage;
    TextStats m_stats;
};
