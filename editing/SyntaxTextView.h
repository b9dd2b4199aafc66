#pragma once

#include <cstdint>
#include <string_view>

// A position in a text buffer: zero-based column (in bytes of the internal text) and line.
struct CTextPosition
{
    int column = 0;
    int line = 0;

    friend bool operator==(const CTextPosition&, const CTextPosition&) = default;
    friend bool operator<(const CTextPosition& a, const CTextPosition& b)
    {
        return a.line != b.line ? a.line < b.line : a.column < b.column;
    }
};

// One change of a buffer as the views see it: moves a view's position (caret, selection) across it.
class CUpdateContext
{
public:
    virtual ~CUpdateContext() = default;
    virtual void RecalcPoint(CTextPosition& point) const = 0;
};

// Hint flags passed with every change to the attached views.
inline constexpr unsigned kUpdateSingleLine = 0x101; // text of one line changed
inline constexpr unsigned kUpdateLines = 0x3;        // lines were added, removed or joined
inline constexpr unsigned kUpdateSaved = 0x200;      // saved: redraw revision marks
inline constexpr unsigned kUpdateLineFlags = 0x300;  // only the flags of one line changed
inline constexpr unsigned kUpdateReset = 0x1000;     // everything changed (load, new, free)

// The buffer's observers. Views attach themselves to a buffer and are told of every change; they
// only read the buffer.
class ISyntaxTextView
{
public:
    virtual ~ISyntaxTextView() = default;
    // `source` is the view that made the change (or null), `context` the change (null for resets
    // and flag changes), `line` the first line concerned (-1 when not one line).
    virtual void OnBufferUpdate(ISyntaxTextView* source, const CUpdateContext* context, unsigned flags,
                                int line) = 0;
    // An undo group was closed by this view: the action and text of its last record, for the
    // view's own use (for example, the description of the next Undo command).
    virtual void OnUndoGroupFlushed(int action, std::string_view text)
    {
        (void)action;
        (void)text;
    }
};
