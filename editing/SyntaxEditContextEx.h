#pragma once

#include "editing/SyntaxEditContext.h"

#include <functional>
#include <string>
#include <string_view>

// A text buffer that knows its file's encoding, loads a file through UniMemFile and saves it through
// UniStdioFile.
class CSyntaxEditContextEx : public CSyntaxEditContext
{
public:
    // Results of LoadFromFile.
    static constexpr int kLoadFailed = 0;
    static constexpr int kLoaded = 1;
    static constexpr int kLoadedMixedEols = 2;
    static constexpr int kLoadedBinary = 3;

    // Picks the syntax parser for a file name extension (without the dot); null for none.
    using ParserChooser = std::function<const ISyntaxLineParser*(std::string_view extension)>;

    explicit CSyntaxEditContextEx(const STuning& tuning = {});
    ~CSyntaxEditContextEx() override;

    // `codePage` applies to a file without a byte-order mark (-1: the default code page setting).
    // `eolStyle` 0 takes the style found in the file. Returns one of the kLoad... results; on
    // failure `outError` says why and the buffer is empty (one line).
    virtual int LoadFromFile(const std::string& path, int eolStyle, int codePage, bool& outLossy,
                             std::string& outError);
    // 0 on success, 1 on failure (with `outError`). Unless `isTemporary`, the text goes to a new file
    // in the target's folder that then replaces the target (a link's target, so that the link stays),
    // with the target's permissions; on failure the target is left as it was. `eolStyle` 0 is the
    // buffer's style. `clearModified` makes the saved state the unmodified one.
    virtual int SaveToFile(const std::string& path, bool isTemporary, std::string& outError, int eolStyle = 0,
                           bool clearModified = true);
    virtual void FinishLoading() {}

    int GetUnicodeKind() const { return m_nUnicodeKind; }
    void SetUnicodeKind(int kind) { m_nUnicodeKind = kind; }
    int GetCodePage() const { return m_nCodePage; }
    void SetCodePage(int codePage) { m_nCodePage = codePage; }
    void SetParserChooser(ParserChooser chooser) { m_parserChooser = std::move(chooser); }

    // Where a save through a temporary file writes: the target with symbolic links resolved.
    static std::string ResolveSaveTarget(const std::string& path);

protected:
    int m_nUnicodeKind = -1;
    int m_nCodePage;
    ParserChooser m_parserChooser;

private:
    bool WriteLines(const std::string& path, int eolStyle, std::string& outError);
};
