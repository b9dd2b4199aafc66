#pragma once

#include "editing/SyntaxLineParser.h"
#include "editing/SyntaxTextBuffer.h"
#include "editing/SyntaxTextView.h"

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

// The user action behind an undoable change; the buffer stores it and passes it on to the views.
enum UndoAction : std::int32_t
{
    UNDO_UNKNOWN = 0, // also undo and redo themselves
    UNDO_PASTE = 1,
    UNDO_DELSEL = 2,
    UNDO_CUT = 3,
    UNDO_TYPING = 4,
    UNDO_BACKSPACE = 5,
    UNDO_INDENT = 6,
    UNDO_DRAGDROP = 7,
    UNDO_REPLACE = 8,
    UNDO_DELETE = 9,
    UNDO_LOWERCASE = 13,
    UNDO_UPPERCASE = 14,
    UNDO_SWAPCASE = 15,
    UNDO_CAPITALIZE = 16,
    UNDO_SENTENCIZE = 17,
    UNDO_MERGE = 100,
};

inline constexpr std::uint32_t UNDO_INSERT = 0x1;
inline constexpr std::uint32_t UNDO_BEGINGROUP = 0x100;

// One change in the undo history. A text of one character with at most one saved revision (typing)
// lives inside the record; anything longer in one heap block, so a record stays 32 bytes.
struct SUndoRecord
{
    std::uint32_t flags = 0; // UNDO_INSERT, UNDO_BEGINGROUP (the bits above 0xffff are the record's own)
    std::int32_t action = UNDO_UNKNOWN;
    CTextPosition start;
    CTextPosition end;

    SUndoRecord() : m_pPayload(nullptr) {}
    // `crSplits`: offsets in the text where a "\r\n" is a CR ending one line and an LF ending the
    // next (empty) line, so that re-inserting the text gives back the same lines.
    SUndoRecord(std::string_view text, std::span<const std::uint32_t> savedRevisions,
                std::span<const std::uint32_t> crSplits = {});
    ~SUndoRecord();
    SUndoRecord(SUndoRecord&& other) noexcept;
    SUndoRecord& operator=(SUndoRecord&& other) noexcept;
    SUndoRecord(const SUndoRecord&) = delete;
    SUndoRecord& operator=(const SUndoRecord&) = delete;

    bool IsInsert() const { return (flags & UNDO_INSERT) != 0; }
    std::string_view Text() const;
    std::span<const std::uint32_t> SavedRevisions() const;
    std::span<const std::uint32_t> CrSplits() const;

private:
    struct SPayload
    {
        std::string text;
        std::vector<std::uint32_t> revisions;
        std::vector<std::uint32_t> crSplits;
    };
    struct SInline
    {
        char ch;
        std::uint32_t revision;
    };
    static constexpr std::uint32_t kInlineText = 0x10000;
    static constexpr std::uint32_t kInlineRevision = 0x20000;

    union
    {
        SInline m_inline;
        SPayload* m_pPayload;
    };
};

// A text buffer with undo and redo, the modified flag and its save point, line-end style,
// revision numbers and the attached views.
class CSyntaxEditContext : public CSyntaxTextBuffer
{
public:
    // An insertion of the range start..end, for moving the views' positions.
    class CInsertContext : public CUpdateContext
    {
    public:
        CInsertContext(CTextPosition start, CTextPosition end) : m_ptStart(start), m_ptEnd(end) {}
        void RecalcPoint(CTextPosition& point) const override;
        CTextPosition m_ptStart;
        CTextPosition m_ptEnd;
    };

    // A deletion of the range start..end.
    class CDeleteContext : public CUpdateContext
    {
    public:
        CDeleteContext(CTextPosition start, CTextPosition end) : m_ptStart(start), m_ptEnd(end) {}
        void RecalcPoint(CTextPosition& point) const override;
        CTextPosition m_ptStart;
        CTextPosition m_ptEnd;
    };

    static constexpr int kMaxUndoRecords = 1024;

    explicit CSyntaxEditContext(const STuning& tuning = {});
    ~CSyntaxEditContext() override;

    virtual void AddUndoRecord(bool isInsert, CTextPosition start, CTextPosition end, std::string_view text,
                               int action, std::span<const std::uint32_t> savedRevisions);
    virtual bool GetActionDescription(int action, std::string& out) const;
    virtual void FreeAll();
    virtual void SetModified(bool modified = true);
    // The text of a range, lines joined with the line end of `eolStyle` (not their own ones).
    virtual bool GetText(int startLine, int startCol, int endLine, int endCol, std::string& out,
                         int eolStyle = 1) const;
    // Gives every line that has a line end the one of the buffer's style.
    virtual bool ApplyEolStyle();
    virtual bool InsertText(ISyntaxTextView* view, int line, int column, std::string_view text,
                            int& outEndLine, int& outEndColumn, int action = UNDO_UNKNOWN,
                            bool recordUndo = true);
    virtual bool DeleteText(ISyntaxTextView* view, int startLine, int startCol, int endLine, int endCol,
                            int action = UNDO_UNKNOWN, bool recordUndo = true);
    virtual bool Undo(ISyntaxTextView* view, CTextPosition& outPosition);
    virtual bool Redo(ISyntaxTextView* view, CTextPosition& outPosition);
    virtual void BeginUndoGroup(bool merge = false);
    virtual void FlushUndoGroup(ISyntaxTextView* view);
    virtual void TrimRedoHistory();
    virtual void UpdateViews(ISyntaxTextView* source, const CUpdateContext* context, unsigned flags,
                             int line = -1);
    // Forward to the syntax parser; 0 without one. ParseLineAttributes starts from the state the
    // previous line ends with (kept per line until a change above makes it unknown).
    virtual std::uint32_t ParseLine(std::uint32_t state, int line, std::vector<SSyntaxBlock>* blocks);
    virtual std::uint32_t ParseLineAttributes(int line, std::vector<SSyntaxBlock>& blocks);
    virtual const CSyntaxTextLine* GetLine(int index) const;
    virtual void SetParser(const ISyntaxLineParser* parser);
    // A single empty line, the style (0 becomes 1), not read-only, not modified, tab size 4, no
    // undo history; the views are reset.
    virtual void InitNew(int eolStyle = 1);

    // Sets or clears a flag; returns the line concerned, or -1 (flag not a single bit where one is
    // needed, no line with the flag for line -1, line out of range).
    int SetLineFlag(int line, std::uint32_t flag, bool set, bool exclusive = false, bool update = true);
    int GetLineWithFlag(std::uint32_t flag) const;
    int FindNextBookmark(int line) const;
    int FindPrevBookmark(int line) const;
    bool SetLineEol(int line, std::string_view eol);

    void AttachView(ISyntaxTextView* view);
    void DetachView(ISyntaxTextView* view);

    bool IsInitialized() const { return m_bInitialized; }
    bool IsReadOnly() const { return m_bReadOnly; }
    void SetReadOnly(bool readOnly) { m_bReadOnly = readOnly; }
    bool IsModified() const { return m_bModified; }
    int GetEolStyle() const { return m_nEolStyle; }
    void SetEolStyle(int style) { m_nEolStyle = style; }
    static std::string_view EolText(int style);
    int GetSourceEncoding() const { return m_nSourceEncoding; }
    int GetTabSize() const { return m_nTabSize; }
    void SetTabSize(int tabSize) { m_nTabSize = tabSize; }
    const ISyntaxLineParser* GetParser() const { return m_pParser; }
    void SetDefaultParser(const ISyntaxLineParser* parser) { m_pDefaultParser = parser; }

    int GetUndoPosition() const { return m_nUndoPosition; }
    int GetUndoRecordCount() const { return static_cast<int>(m_aUndo.size()); }
    const SUndoRecord& GetUndoRecord(int index) const { return m_aUndo[index]; }
    int GetSavePoint() const { return m_nSavePoint; }
    void SetMaxUndoRecords(int count) { m_nMaxUndo = count > 0 ? count : 1; }
    bool CanUndo() const { return m_nUndoPosition > 0; }
    bool CanRedo() const { return m_nUndoPosition < GetUndoRecordCount(); }
    std::string GetUndoMenuText() const;
    std::string GetRedoMenuText() const;

    void SetTrackRevisions(bool track) { m_bTrackRevisions = track; }
    bool IsTrackingRevisions() const { return m_bTrackRevisions; }
    std::uint32_t GetCurrentRevision() const { return m_nCurrentRevision; }
    std::uint32_t GetRevisionAtSave() const { return m_nRevisionAtSave; }
    CTextPosition GetLastChange() const { return m_ptLastChange; }

    // Lines, undo history and flags in a compact text form, for tests.
    std::string DumpState() const;

protected:
    // The text of a range with the lines' own line ends: what undo must find and restore.
    // `crSplits` receives the offsets of "\r\n" pairs that are two line ends (see SUndoRecord).
    bool GetRawText(CTextPosition start, CTextPosition end, std::string& out,
                    std::vector<std::uint32_t>* crSplits = nullptr) const;
    bool InsertTextSplit(ISyntaxTextView* view, CTextPosition at, std::string_view text,
                         std::span<const std::uint32_t> crSplits, CTextPosition& outEnd, int action,
                         bool recordUndo);
    bool IsValidPosition(CTextPosition p) const;
    // The saved state is no longer reachable through the history (a change that was not recorded).
    virtual void InvalidateSavePoint() { m_nSavePoint = -1; }
    // After a save: the save point is the undo position and the buffer is unmodified.
    void MarkSaved();
    void ClearUndoHistory();
    void InvalidateParseCache(int fromLine);

    bool m_bInitialized = false;
    bool m_bReadOnly = false;
    bool m_bModified = false;
    int m_nEolStyle = 1;
    int m_nSourceEncoding = -1;
    int m_nTabSize = 4;

    std::vector<SUndoRecord> m_aUndo;
    int m_nUndoPosition = 0;
    int m_nSavePoint = 0;
    int m_nMaxUndo = kMaxUndoRecords;
    bool m_bStartGroup = true;
    bool m_bGroupOpen = false;
    bool m_bInUndoRedo = false;

    bool m_bTrackRevisions = false;
    std::uint32_t m_nCurrentRevision = 0;
    std::uint32_t m_nRevisionAtSave = 0;
    CTextPosition m_ptLastChange{-1, -1};

    std::vector<std::uint32_t> m_aPendingCrSplits; // for the deletion record being added

    std::vector<ISyntaxTextView*> m_aViews;
    const ISyntaxLineParser* m_pParser = nullptr;
    const ISyntaxLineParser* m_pDefaultParser = nullptr;
    std::vector<std::uint32_t> m_aParseCookies; // state at the end of each line, known for a prefix
};
