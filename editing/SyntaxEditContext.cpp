#include "editing/SyntaxEditContext.h"

#include <algorithm>
#include <bit>
#include <cassert>
#include <cstdio>
#include <cstring>
#include <utility>

static_assert(sizeof(CSyntaxTextLine) == 24, "a line is three words");
static_assert(sizeof(SUndoRecord) == 32, "an undo record is four words");

// --- SUndoRecord ---------------------------------------------------------------------------------

SUndoRecord::SUndoRecord(std::string_view text, std::span<const std::uint32_t> savedRevisions,
                         std::span<const std::uint32_t> crSplits)
{
    if (text.size() == 1 && savedRevisions.size() <= 1 && crSplits.empty())
    {
        flags |= kInlineText;
        m_inline.ch = text[0];
        m_inline.revision = 0;
        if (!savedRevisions.empty())
        {
            flags |= kInlineRevision;
            m_inline.revision = savedRevisions[0];
        }
        return;
    }
    m_pPayload = new SPayload{std::string(text),
                              std::vector<std::uint32_t>(savedRevisions.begin(), savedRevisions.end()),
                              std::vector<std::uint32_t>(crSplits.begin(), crSplits.end())};
}

SUndoRecord::~SUndoRecord()
{
    if (!(flags & kInlineText))
        delete m_pPayload;
}

SUndoRecord::SUndoRecord(SUndoRecord&& other) noexcept
    : flags(other.flags), action(other.action), start(other.start), end(other.end)
{
    if (flags & kInlineText)
        m_inline = other.m_inline;
    else
    {
        m_pPayload = other.m_pPayload;
        other.m_pPayload = nullptr;
    }
}

SUndoRecord& SUndoRecord::operator=(SUndoRecord&& other) noexcept
{
    if (this != &other)
    {
        this->~SUndoRecord();
        new (this) SUndoRecord(std::move(other));
    }
    return *this;
}

std::string_view SUndoRecord::Text() const
{
    if (flags & kInlineText)
        return {&m_inline.ch, 1};
    return m_pPayload ? std::string_view(m_pPayload->text) : std::string_view();
}

std::span<const std::uint32_t> SUndoRecord::SavedRevisions() const
{
    if (flags & kInlineText)
        return (flags & kInlineRevision) ? std::span<const std::uint32_t>(&m_inline.revision, 1)
                                         : std::span<const std::uint32_t>();
    return m_pPayload ? std::span<const std::uint32_t>(m_pPayload->revisions)
                      : std::span<const std::uint32_t>();
}

std::span<const std::uint32_t> SUndoRecord::CrSplits() const
{
    if ((flags & kInlineText) || m_pPayload == nullptr)
        return {};
    return m_pPayload->crSplits;
}

// --- update contexts -------------------------------------------------------------------------------

void CSyntaxEditContext::CInsertContext::RecalcPoint(CTextPosition& point) const
{
    if (point.line < m_ptStart.line)
        return;
    if (point.line > m_ptStart.line)
    {
        point.line += m_ptEnd.line - m_ptStart.line;
        return;
    }
    if (point.column <= m_ptStart.column)
        return;
    point.column = m_ptEnd.column + (point.column - m_ptStart.column);
    point.line = m_ptEnd.line;
}

void CSyntaxEditContext::CDeleteContext::RecalcPoint(CTextPosition& point) const
{
    if (point.line < m_ptStart.line)
        return;
    if (point.line > m_ptEnd.line)
    {
        point.line -= m_ptEnd.line - m_ptStart.line;
        return;
    }
    if (point.line == m_ptEnd.line && point.column >= m_ptEnd.column)
    {
        point.column = m_ptStart.column + (point.column - m_ptEnd.column);
        point.line = m_ptStart.line;
        return;
    }
    if (point.line == m_ptStart.line && point.column <= m_ptStart.column)
        return;
    point = m_ptStart; // inside the deleted range
}

// --- the buffer ------------------------------------------------------------------------------------

CSyntaxEditContext::CSyntaxEditContext(const STuning& tuning) : CSyntaxTextBuffer(tuning) {}

CSyntaxEditContext::~CSyntaxEditContext() = default;

std::string_view CSyntaxEditContext::EolText(int style)
{
    switch (style)
    {
    case 2:
        return "\r";
    case 3:
        return "\n";
    default:
        return "\r\n";
    }
}

bool CSyntaxEditContext::GetActionDescription(int action, std::string& out) const
{
    (void)action;
    out.clear();
    return false;
}

void CSyntaxEditContext::ClearUndoHistory()
{
    m_aUndo.clear();
    m_nUndoPosition = 0;
    m_bStartGroup = true;
    m_bGroupOpen = false;
}

void CSyntaxEditContext::FreeAll()
{
    FreeLines();
    ClearUndoHistory();
    m_nSavePoint = 0;
    m_bInitialized = false;
    m_bModified = false;
    m_bReadOnly = false;
    m_aParseCookies.clear();
    m_ptLastChange = {-1, -1};
    UpdateViews(nullptr, nullptr, kUpdateReset, -1);
}

void CSyntaxEditContext::InitNew(int eolStyle)
{
    FreeLines();
    SetParser(m_pDefaultParser);
    InsertLine("", 0, -1, 1);
    m_nEolStyle = eolStyle == 0 ? 1 : eolStyle;
    m_bInitialized = true;
    m_bReadOnly = false;
    m_bModified = false;
    m_nTabSize = 4;
    ClearUndoHistory();
    m_nSavePoint = 0;
    m_nMaxUndo = kMaxUndoRecords;
    m_nCurrentRevision = 0;
    m_nRevisionAtSave = 0;
    m_ptLastChange = {-1, -1};
    UpdateViews(nullptr, nullptr, kUpdateReset, -1);
}

void CSyntaxEditContext::SetModified(bool modified)
{
    m_bModified = modified;
}

void CSyntaxEditContext::MarkSaved()
{
    m_bModified = false;
    m_nSavePoint = m_nUndoPosition;
}

void CSyntaxEditContext::AttachView(ISyntaxTextView* view)
{
    if (view && std::find(m_aViews.begin(), m_aViews.end(), view) == m_aViews.end())
        m_aViews.push_back(view);
}

void CSyntaxEditContext::DetachView(ISyntaxTextView* view)
{
    std::erase(m_aViews, view);
}

void CSyntaxEditContext::UpdateViews(ISyntaxTextView* source, const CUpdateContext* context, unsigned flags,
                                     int line)
{
    // A view may detach itself while being told; walk a copy.
    const std::vector<ISyntaxTextView*> views = m_aViews;
    for (ISyntaxTextView* view : views)
        view->OnBufferUpdate(source, context, flags, line);
}

const CSyntaxTextLine* CSyntaxEditContext::GetLine(int index) const
{
    return index >= 0 && index < GetLineCount() ? &LineAt(index) : nullptr;
}

bool CSyntaxEditContext::IsValidPosition(CTextPosition p) const
{
    return p.line >= 0 && p.line < GetLineCount() && p.column >= 0 && p.column <= GetLineLength(p.line);
}

// --- text -------------------------------------------------------------------------------------------

bool CSyntaxEditContext::GetText(int startLine, int startCol, int endLine, int endCol, std::string& out,
                                 int eolStyle) const
{
    out.clear();
    const CTextPosition start{startCol, startLine}, end{endCol, endLine};
    if (!IsValidPosition(start) || !IsValidPosition(end) || end < start)
        return false;
    const std::string_view eol = EolText(eolStyle);
    if (startLine == endLine)
    {
        out.assign(GetLineText(startLine).substr(startCol, endCol - startCol));
        return true;
    }
    out.append(GetLineText(startLine).substr(startCol));
    out.append(eol);
    for (int i = startLine + 1; i < endLine; ++i)
    {
        out.append(GetLineText(i));
        out.append(eol);
    }
    out.append(GetLineText(endLine).substr(0, endCol));
    return true;
}

bool CSyntaxEditContext::GetRawText(CTextPosition start, CTextPosition end, std::string& out,
                                    std::vector<std::uint32_t>* crSplits) const
{
    out.clear();
    if (crSplits)
        crSplits->clear();
    if (!IsValidPosition(start) || !IsValidPosition(end) || end < start)
        return false;
    if (start.line == end.line)
    {
        out.assign(GetLineText(start.line).substr(start.column, end.column - start.column));
        return true;
    }
    for (int i = start.line; i <= end.line; ++i)
    {
        const std::string_view chars =
            i == end.line ? GetLineText(i).substr(0, end.column) : LineAt(i).Chars();
        if (crSplits && !chars.empty() && chars[0] == '\n' && !out.empty() && out.back() == '\r')
            crSplits->push_back(static_cast<std::uint32_t>(out.size()));
        out.append(i == start.line ? chars.substr(start.column) : chars);
    }
    return true;
}

bool CSyntaxEditContext::ApplyEolStyle()
{
    const std::string_view eol = EolText(m_nEolStyle);
    bool changed = false;
    for (int i = 0; i < GetLineCount(); ++i)
    {
        if (LineAt(i).eolLength == 0 || GetLineEol(i) == eol)
            continue;
        if (ReplaceLineEol(i, eol))
            changed = true;
    }
    if (changed)
    {
        SetModified(true);
        InvalidateSavePoint();
        UpdateViews(nullptr, nullptr, kUpdateReset, -1);
    }
    return changed;
}

bool CSyntaxEditContext::SetLineEol(int line, std::string_view eol)
{
    if (line < 0 || line >= GetLineCount() || GetLineEol(line) == eol)
        return false;
    if (!ReplaceLineEol(line, eol))
        return false;
    UpdateViews(nullptr, nullptr, kUpdateSingleLine, line);
    return true;
}

void CSyntaxEditContext::InvalidateParseCache(int fromLine)
{
    if (fromLine >= 0 && static_cast<std::size_t>(fromLine) < m_aParseCookies.size())
        m_aParseCookies.resize(static_cast<std::size_t>(fromLine));
}

bool CSyntaxEditContext::InsertText(ISyntaxTextView* view, int line, int column, std::string_view text,
                                    int& outEndLine, int& outEndColumn, int action, bool recordUndo)
{
    CTextPosition end;
    if (!InsertTextSplit(view, {column, line}, text, {}, end, action, recordUndo))
        return false;
    outEndLine = end.line;
    outEndColumn = end.column;
    return true;
}

bool CSyntaxEditContext::InsertTextSplit(ISyntaxTextView* view, CTextPosition at, std::string_view text,
                                         std::span<const std::uint32_t> crSplits, CTextPosition& outEnd,
                                         int action, bool recordUndo)
{
    const int line = at.line, column = at.column;
    if (m_bReadOnly || !IsValidPosition(at))
        return false;
    // Refuse what would make a line too long before anything changes.
    if (text.size() + static_cast<std::size_t>(GetLineLength(line)) + 2 >
        static_cast<std::size_t>(kMaxLineLength))
        return false;
    if (text.empty())
    {
        outEnd = at;
        return true;
    }
    std::vector<std::uint32_t> saved;
    if (m_bTrackRevisions)
        saved.push_back(LineAt(line).revision);

    const std::string rest(LineAt(line).Chars().substr(static_cast<std::size_t>(column)));
    TruncateLine(line, column);

    int current = line;
    bool first = true;
    bool endsWithEol = false;
    std::size_t pos = 0;
    while (pos < text.size())
    {
        std::size_t stop = text.find_first_of("\r\n", pos);
        if (stop == std::string_view::npos)
            stop = text.size();
        else if (text[stop] == '\r' && stop + 1 < text.size() && text[stop + 1] == '\n' &&
                 std::find(crSplits.begin(), crSplits.end(), stop + 1) == crSplits.end())
            stop += 2;
        else
            ++stop;
        const std::string_view piece = text.substr(pos, stop - pos);
        endsWithEol = piece.back() == '\r' || piece.back() == '\n';
        if (first)
            AppendToLine(current, piece.data(), static_cast<int>(piece.size()));
        else
            InsertLine(piece.data(), static_cast<int>(piece.size()), ++current, 1);
        first = false;
        pos = stop;
    }
    CTextPosition end;
    if (endsWithEol)
    {
        InsertLine(rest.data(), static_cast<int>(rest.size()), current + 1, 1);
        end = {0, current + 1};
    }
    else
    {
        end = {GetLineLength(current), current};
        AppendToLine(current, rest.data(), static_cast<int>(rest.size()));
    }
    const CTextPosition start{column, line};

    if (m_bTrackRevisions)
    {
        ++m_nCurrentRevision;
        const int last = (start.column > 0 || end.column > 0) ? end.line : end.line - 1;
        for (int i = start.line; i <= last; ++i)
            MutableLine(i).revision = m_nCurrentRevision;
    }
    InvalidateParseCache(line);

    const CInsertContext context(start, end);
    UpdateViews(view, &context, end.line == start.line ? kUpdateSingleLine : kUpdateLines, start.line);
    if (!m_bModified)
        SetModified(true);
    m_ptLastChange = end;
    outEnd = end;

    if (recordUndo)
    {
        const bool opened = !m_bGroupOpen;
        if (opened)
            BeginUndoGroup(false);
        AddUndoRecord(true, start, end, text, action, saved);
        if (opened)
            FlushUndoGroup(view);
    }
    else if (!m_bInUndoRedo)
        InvalidateSavePoint();
    return true;
}

bool CSyntaxEditContext::DeleteText(ISyntaxTextView* view, int startLine, int startCol, int endLine,
                                    int endCol, int action, bool recordUndo)
{
    const CTextPosition start{startCol, startLine}, end{endCol, endLine};
    if (m_bReadOnly || !IsValidPosition(start) || !IsValidPosition(end) || end < start)
        return false;
    if (start == end)
        return true;
    std::string deleted;
    std::vector<std::uint32_t> crSplits;
    if (recordUndo)
        GetRawText(start, end, deleted, &crSplits);
    std::vector<std::uint32_t> saved;
    if (m_bTrackRevisions)
        for (int i = startLine; i <= endLine; ++i)
            saved.push_back(LineAt(i).revision);

    if (startLine == endLine)
    {
        CSyntaxTextLine& line = MutableLine(startLine);
        // The block holds the characters, the line end and a NUL: close the gap in place.
        const std::size_t tail = static_cast<std::size_t>(line.length - endCol) + line.eolLength + 1;
        std::memmove(line.text + startCol, line.text + endCol, tail);
        line.length -= endCol - startCol;
    }
    else
    {
        const std::string rest(LineAt(endLine).Chars().substr(static_cast<std::size_t>(endCol)));
        RemoveLines(startLine + 1, endLine - startLine);
        TruncateLine(startLine, startCol);
        AppendToLine(startLine, rest.data(), static_cast<int>(rest.size()));
    }

    if (m_bTrackRevisions)
    {
        ++m_nCurrentRevision;
        if (startCol > 0 || endCol > 0)
            MutableLine(startLine).revision = m_nCurrentRevision;
    }
    InvalidateParseCache(startLine);

    const CDeleteContext context(start, end);
    UpdateViews(view, &context, startLine == endLine ? kUpdateSingleLine : kUpdateLines, startLine);
    SetModified(true);
    m_ptLastChange = start;

    if (recordUndo)
    {
        const bool opened = !m_bGroupOpen;
        if (opened)
            BeginUndoGroup(false);
        m_aPendingCrSplits = std::move(crSplits);
        AddUndoRecord(false, start, end, deleted, action, saved);
        m_aPendingCrSplits.clear();
        if (opened)
            FlushUndoGroup(view);
    }
    else if (!m_bInUndoRedo)
        InvalidateSavePoint();
    return true;
}

// --- undo history -------------------------------------------------------------------------------------

void CSyntaxEditContext::AddUndoRecord(bool isInsert, CTextPosition start, CTextPosition end,
                                       std::string_view text, int action,
                                       std::span<const std::uint32_t> savedRevisions)
{
    if (m_nUndoPosition < GetUndoRecordCount())
    {
        // The saved state lay in the redo tail that is thrown away: no undo position reaches it.
        if (m_nSavePoint > m_nUndoPosition)
            m_nSavePoint = -1;
        m_aUndo.erase(m_aUndo.begin() + m_nUndoPosition, m_aUndo.end());
    }
    if (GetUndoRecordCount() >= m_nMaxUndo)
    {
        // Drop the oldest whole group, so that undo never stops in the middle of one.
        int cut = GetUndoRecordCount();
        for (int i = 1; i < GetUndoRecordCount(); ++i)
            if (m_aUndo[i].flags & UNDO_BEGINGROUP)
            {
                cut = i;
                break;
            }
        m_aUndo.erase(m_aUndo.begin(), m_aUndo.begin() + cut);
        m_nSavePoint = m_nSavePoint >= cut ? m_nSavePoint - cut : -1;
        if (m_aUndo.empty())
            m_bStartGroup = true;
        else
            m_aUndo.front().flags |= UNDO_BEGINGROUP;
    }
    SUndoRecord record(text, savedRevisions, m_aPendingCrSplits);
    m_aPendingCrSplits.clear();
    record.flags |= isInsert ? UNDO_INSERT : 0;
    if (m_bStartGroup)
    {
        record.flags |= UNDO_BEGINGROUP;
        m_bStartGroup = false;
    }
    record.action = action;
    record.start = start;
    record.end = end;
    m_aUndo.push_back(std::move(record));
    m_nUndoPosition = GetUndoRecordCount();
}

void CSyntaxEditContext::BeginUndoGroup(bool merge)
{
    m_bGroupOpen = true;
    m_bStartGroup = !(merge && m_nUndoPosition > 0);
}

void CSyntaxEditContext::FlushUndoGroup(ISyntaxTextView* view)
{
    if (view != nullptr && m_nUndoPosition > 0)
    {
        m_bStartGroup = true;
        const SUndoRecord& last = m_aUndo[m_nUndoPosition - 1];
        view->OnUndoGroupFlushed(last.action, last.Text());
    }
    m_bGroupOpen = false;
}

bool CSyntaxEditContext::Undo(ISyntaxTextView* view, CTextPosition& outPosition)
{
    if (m_bReadOnly || !CanUndo())
        return false;
    m_bInUndoRedo = true;
    bool ok = true;
    std::string current;
    while (m_nUndoPosition > 0)
    {
        const SUndoRecord& record = m_aUndo[m_nUndoPosition - 1];
        if (record.IsInsert())
        {
            // Only the very text the record inserted may be taken out again.
            if (!GetRawText(record.start, record.end, current) || current != record.Text() ||
                !DeleteText(view, record.start.line, record.start.column, record.end.line, record.end.column,
                            UNDO_UNKNOWN, false))
            {
                ok = false;
                break;
            }
            outPosition = record.start;
        }
        else
        {
            CTextPosition end;
            if (!InsertTextSplit(view, record.start, record.Text(), record.CrSplits(), end, UNDO_UNKNOWN,
                                 false))
            {
                ok = false;
                break;
            }
            outPosition = end;
        }
        if (m_bTrackRevisions)
        {
            const std::span<const std::uint32_t> saved = record.SavedRevisions();
            for (std::size_t i = 0;
                 i < saved.size() && record.start.line + static_cast<int>(i) < GetLineCount(); ++i)
                MutableLine(record.start.line + static_cast<int>(i)).revision = saved[i];
        }
        --m_nUndoPosition;
        if (record.flags & UNDO_BEGINGROUP)
            break;
    }
    m_bInUndoRedo = false;
    if (!ok)
    {
        // The history no longer describes the text: keep nothing that could damage it further.
        ClearUndoHistory();
        m_nSavePoint = -1;
        SetModified(true);
        return false;
    }
    SetModified(m_nUndoPosition != m_nSavePoint);
    return true;
}

bool CSyntaxEditContext::Redo(ISyntaxTextView* view, CTextPosition& outPosition)
{
    if (m_bReadOnly || !CanRedo())
        return false;
    m_bInUndoRedo = true;
    bool ok = true;
    std::string current;
    do
    {
        const SUndoRecord& record = m_aUndo[m_nUndoPosition];
        if (record.IsInsert())
        {
            int endLine = 0, endColumn = 0;
            if (!InsertText(view, record.start.line, record.start.column, record.Text(), endLine, endColumn,
                            UNDO_UNKNOWN, false))
            {
                ok = false;
                break;
            }
            outPosition = {endColumn, endLine};
        }
        else
        {
            if (!GetRawText(record.start, record.end, current) || current != record.Text() ||
                !DeleteText(view, record.start.line, record.start.column, record.end.line, record.end.column,
                            UNDO_UNKNOWN, false))
            {
                ok = false;
                break;
            }
            outPosition = record.start;
        }
        ++m_nUndoPosition;
    } while (m_nUndoPosition < GetUndoRecordCount() && !(m_aUndo[m_nUndoPosition].flags & UNDO_BEGINGROUP));
    m_bInUndoRedo = false;
    if (!ok)
    {
        ClearUndoHistory();
        m_nSavePoint = -1;
        SetModified(true);
        return false;
    }
    SetModified(m_nUndoPosition != m_nSavePoint);
    return true;
}

void CSyntaxEditContext::TrimRedoHistory()
{
    if (m_nUndoPosition < GetUndoRecordCount())
    {
        while (GetUndoRecordCount() - m_nUndoPosition > m_nUndoPosition)
            m_aUndo.pop_back();
    }
    if (m_nUndoPosition > GetUndoRecordCount())
        m_nUndoPosition = GetUndoRecordCount();
    if (m_nSavePoint > GetUndoRecordCount())
        m_nSavePoint = -1;
}

std::string CSyntaxEditContext::GetUndoMenuText() const
{
    std::string description;
    if (!CanUndo())
        return "&Undo\tCtrl+Z";
    GetActionDescription(m_aUndo[m_nUndoPosition - 1].action, description);
    return "&Undo " + description + "\tCtrl+Z";
}

std::string CSyntaxEditContext::GetRedoMenuText() const
{
    std::string description;
    if (!CanRedo())
        return "&Redo\tCtrl+Y";
    GetActionDescription(m_aUndo[m_nUndoPosition].action, description);
    return "&Redo " + description + "\tCtrl+Y";
}

// --- line flags ---------------------------------------------------------------------------------------

int CSyntaxEditContext::GetLineWithFlag(std::uint32_t flag) const
{
    for (int i = 0; i < GetLineCount(); ++i)
        if (LineAt(i).flags & flag)
            return i;
    return -1;
}

int CSyntaxEditContext::SetLineFlag(int line, std::uint32_t flag, bool set, bool exclusive, bool update)
{
    if ((line == -1 || exclusive) && !std::has_single_bit(flag))
        return -1;
    if (line == -1)
        line = GetLineWithFlag(flag);
    if (line < 0 || line >= GetLineCount())
        return -1;
    if (exclusive && set)
    {
        const int previous = GetLineWithFlag(flag);
        if (previous >= 0 && previous != line)
        {
            MutableLine(previous).flags &= ~flag;
            if (update)
                UpdateViews(nullptr, nullptr, kUpdateLineFlags, previous);
        }
    }
    const std::uint32_t old = LineAt(line).flags;
    const std::uint32_t now = set ? old | flag : old & ~flag;
    if (now != old)
    {
        MutableLine(line).flags = now;
        if (update)
            UpdateViews(nullptr, nullptr, kUpdateLineFlags, line);
    }
    return line;
}

int CSyntaxEditContext::FindNextBookmark(int line) const
{
    const int count = GetLineCount();
    if (count == 0)
        return -1;
    line = std::clamp(line, -1, count - 1);
    for (int i = 1; i <= count; ++i)
    {
        const int index = (line + i) % count;
        if (LineAt(index).flags & LF_BOOKMARK)
            return index;
    }
    return -1;
}

int CSyntaxEditContext::FindPrevBookmark(int line) const
{
    const int count = GetLineCount();
    if (count == 0)
        return -1;
    line = std::clamp(line, 0, count);
    for (int i = 1; i <= count; ++i)
    {
        const int index = ((line - i) % count + count) % count;
        if (LineAt(index).flags & LF_BOOKMARK)
            return index;
    }
    return -1;
}

// --- syntax parser ------------------------------------------------------------------------------------

void CSyntaxEditContext::SetParser(const ISyntaxLineParser* parser)
{
    m_pParser = parser;
    m_aParseCookies.clear();
    if (parser != nullptr && parser->GetSourceEncoding() != -1)
        m_nSourceEncoding = parser->GetSourceEncoding();
}

std::uint32_t CSyntaxEditContext::ParseLine(std::uint32_t state, int line, std::vector<SSyntaxBlock>* blocks)
{
    if (m_pParser == nullptr || line < 0 || line >= GetLineCount())
        return 0;
    return m_pParser->ParseLine(state, GetLineText(line), blocks);
}

std::uint32_t CSyntaxEditContext::ParseLineAttributes(int line, std::vector<SSyntaxBlock>& blocks)
{
    blocks.clear();
    if (m_pParser == nullptr || line < 0 || line >= GetLineCount())
        return 0;
    // Cookies are known for a prefix of the lines; extend it up to the line before this one. The
    // lines are parsed with blocks: the markup parsers follow tags only when runs are wanted, so a
    // cookie from a parse without them could differ from the one the painted line ends in.
    std::vector<SSyntaxBlock> scratch;
    while (m_aParseCookies.size() < static_cast<std::size_t>(line))
    {
        const int i = static_cast<int>(m_aParseCookies.size());
        const std::uint32_t before = i == 0 ? 0 : m_aParseCookies.back();
        scratch.clear();
        m_aParseCookies.push_back(m_pParser->ParseLine(before, GetLineText(i), &scratch));
    }
    const std::uint32_t before = line == 0 ? 0 : m_aParseCookies[static_cast<std::size_t>(line) - 1];
    const std::uint32_t after = m_pParser->ParseLine(before, GetLineText(line), &blocks);
    if (m_aParseCookies.size() == static_cast<std::size_t>(line))
        m_aParseCookies.push_back(after);
    return after;
}

// --- dump -----------------------------------------------------------------------------------------------

std::string CSyntaxEditContext::DumpState() const
{
    std::string out = DumpLines();
    char buf[128];
    std::snprintf(buf, sizeof buf, "undo %d/%d save %d modified %d style %d rev %u\n", m_nUndoPosition,
                  GetUndoRecordCount(), m_nSavePoint, m_bModified ? 1 : 0, m_nEolStyle, m_nCurrentRevision);
    out += buf;
    for (const SUndoRecord& r : m_aUndo)
    {
        std::snprintf(buf, sizeof buf, "%c%c a%d (%d,%d)-(%d,%d) ", r.IsInsert() ? '+' : '-',
                      (r.flags & UNDO_BEGINGROUP) ? 'G' : ' ', r.action, r.start.column, r.start.line,
                      r.end.column, r.end.line);
        out += buf;
        for (char c : r.Text())
            out += c == '\r' ? std::string("\\r") : c == '\n' ? std::string("\\n") : std::string(1, c);
        for (std::uint32_t rev : r.SavedRevisions())
            out += " r" + std::to_string(rev);
        out += '\n';
    }
    return out;
}
