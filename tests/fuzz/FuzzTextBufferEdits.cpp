// libFuzzer target: bytes as a sequence of edits, undos and redos on two text buffers, one with
// default blocks and one with every block size forced down to 1. Both must stay identical, every
// line but the last must end with a line end, no line text may hold CR or LF, and undoing the whole
// history must give back the empty starting text, unmodified.
#include "editing/SyntaxEditContext.h"

#include <cstdint>
#include <cstdlib>
#include <string>

namespace
{

class CFuzzContext : public CSyntaxEditContext
{
public:
    explicit CFuzzContext(const STuning& tuning) : CSyntaxEditContext(tuning) {}
    std::string All() const
    {
        std::string out;
        for (int i = 0; i < GetLineCount(); ++i)
            out += LineAt(i).Chars();
        return out;
    }
    void Check() const
    {
        if (GetLineCount() < 1)
            std::abort();
        for (int i = 0; i < GetLineCount(); ++i)
        {
            if (GetLineText(i).find_first_of("\r\n") != std::string_view::npos)
                std::abort();
            if ((i + 1 < GetLineCount()) != !GetLineEol(i).empty())
                std::abort();
        }
    }
};

struct SReader
{
    const std::uint8_t* p;
    std::size_t n;
    unsigned Next() { return n ? (--n, *p++) : 0; }
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    SSyntaxBufferTuning tiny;
    tiny.lineGranularity = 1;
    tiny.minLoadBlock = 1;
    tiny.maxLoadBlock = 1;
    tiny.initialLines = 1;
    CFuzzContext a({}), b(tiny);
    CFuzzContext* both[] = {&a, &b};
    for (CFuzzContext* c : both)
    {
        c->InitNew(1);
        c->SetMaxUndoRecords(1 << 20); // no group is dropped, so undo reaches the start
        int el = 0, ec = 0;
        c->InsertText(nullptr, 0, 0, "alpha\r\nbeta\ngamma\rdelta", el, ec, UNDO_UNKNOWN, true);
        c->SetTrackRevisions(true);
    }
    static const char* const kTexts[] = {"x", "\r", "\n", "\r\n", "ab\ncd", "q\r\n\r", "\n\n", "long piece"};
    SReader in{data, size};
    while (in.n > 0)
    {
        const unsigned op = in.Next() % 8;
        const int line = static_cast<int>(in.Next() % static_cast<unsigned>(a.GetLineCount()));
        const int column = static_cast<int>(in.Next() % static_cast<unsigned>(a.GetLineLength(line) + 1));
        const unsigned arg = in.Next();
        for (CFuzzContext* c : both)
        {
            int el = 0, ec = 0;
            CTextPosition p;
            switch (op)
            {
            case 0:
            case 1:
                c->InsertText(nullptr, line, column, kTexts[arg % 8], el, ec, UNDO_TYPING);
                break;
            case 2:
            {
                const int endLine = std::min(c->GetLineCount() - 1, line + static_cast<int>(arg % 3));
                int endColumn =
                    static_cast<int>((arg / 3) % static_cast<unsigned>(c->GetLineLength(endLine) + 1));
                if (endLine == line && endColumn < column)
                    endColumn = column;
                c->DeleteText(nullptr, line, column, endLine, endColumn, UNDO_DELETE);
                break;
            }
            case 3:
                c->Undo(nullptr, p);
                break;
            case 4:
                c->Redo(nullptr, p);
                break;
            case 5:
                c->BeginUndoGroup((arg & 1) != 0);
                break;
            case 6:
                c->FlushUndoGroup(nullptr);
                break;
            default:
                c->TrimRedoHistory();
                break;
            }
            c->Check();
        }
        if (a.DumpState() != b.DumpState())
            std::abort();
    }
    a.FlushUndoGroup(nullptr);
    CTextPosition p;
    while (a.CanUndo())
        if (!a.Undo(nullptr, p))
            std::abort();
    if (a.All() != "" || a.IsModified())
        std::abort();
    return 0;
}
