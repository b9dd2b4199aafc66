#include "editing/SyntaxEditContext.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

namespace
{

// A buffer filled the way a loader fills it: the text split after each line end, unmodified, no history.
class CTestContext : public CSyntaxEditContext
{
public:
    explicit CTestContext(const STuning& tuning = {}) : CSyntaxEditContext(tuning) {}

    void Load(std::string_view text)
    {
        InitNew(1);
        BeginLoading();
        std::size_t pos = 0;
        while (true)
        {
            std::size_t stop = text.find_first_of("\r\n", pos);
            if (stop == std::string_view::npos)
            {
                AppendLoadedLine(text.substr(pos), {});
                break;
            }
            const std::size_t eolLength =
                (text[stop] == '\r' && stop + 1 < text.size() && text[stop + 1] == '\n') ? 2 : 1;
            AppendLoadedLine(text.substr(pos, stop - pos), text.substr(stop, eolLength));
            pos = stop + eolLength;
        }
        EndLoading();
    }

    // The whole text with each line's own line end.
    std::string All() const
    {
        std::string out;
        for (int i = 0; i < GetLineCount(); ++i)
            out += LineAt(i).Chars();
        return out;
    }
};

// Records what the buffer tells its views.
class CRecordingView : public ISyntaxTextView
{
public:
    struct SCall
    {
        unsigned flags;
        int line;
        bool hasContext;
    };
    void OnBufferUpdate(ISyntaxTextView* source, const CUpdateContext* context, unsigned flags,
                        int line) override
    {
        m_aCalls.push_back({flags, line, context != nullptr});
        m_pLastSource = source;
        if (context != nullptr)
            for (CTextPosition& p : m_aPoints)
                context->RecalcPoint(p);
    }
    void OnUndoGroupFlushed(int action, std::string_view text) override
    {
        m_nFlushedAction = action;
        m_strFlushedText = text;
    }
    std::vector<SCall> m_aCalls;
    std::vector<CTextPosition> m_aPoints;
    ISyntaxTextView* m_pLastSource = nullptr;
    int m_nFlushedAction = -1;
    std::string m_strFlushedText;
};

bool Insert(CSyntaxEditContext& b, int line, int column, std::string_view text, CTextPosition* end = nullptr,
            int action = UNDO_TYPING, bool record = true)
{
    int el = -1, ec = -1;
    const bool ok = b.InsertText(nullptr, line, column, text, el, ec, action, record);
    if (end)
        *end = {ec, el};
    return ok;
}

TEST(SyntaxEditContextTest, InsertSplitsAtEveryKindOfLineEnd)
{
    struct Case
    {
        const char* name;
        const char* initial;
        CTextPosition at;
        const char* text;
        const char* expected;
        CTextPosition end;
        int lines;
    };
    const Case cases[] = {
        {"crlf in the middle", "abcd\n", {2, 0}, "x\r\ny", "abx\r\nycd\n", {1, 1}, 3},
        {"eol at end of last line", "ab", {2, 0}, "x\n", "abx\n", {0, 1}, 2},
        {"lone cr and lf", "ab", {1, 0}, "1\r2\n3", "a1\r2\n3b", {1, 2}, 3},
        {"lf before a cr line end", "a\r", {1, 0}, "\n", "a\n\r", {0, 1}, 3},
        {"plain text", "hello\r\nworld", {0, 1}, "big ", "hello\r\nbig world", {4, 1}, 2},
        {"into an empty buffer", "", {0, 0}, "one\r\ntwo\r\n", "one\r\ntwo\r\n", {0, 2}, 3},
        {"cr lf split across two pieces", "ab", {1, 0}, "\r", "a\rb", {0, 1}, 2},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.name);
        CTestContext b;
        b.Load(c.initial);
        CTextPosition end;
        ASSERT_TRUE(Insert(b, c.at.line, c.at.column, c.text, &end));
        EXPECT_EQ(b.All(), c.expected);
        EXPECT_EQ(end, c.end);
        EXPECT_EQ(b.GetLineCount(), c.lines);
        EXPECT_TRUE(b.IsModified());
        EXPECT_EQ(b.GetLastChange(), c.end);
    }
}

TEST(SyntaxEditContextTest, TheThreePartInsertKeepsTheOldLineEndOnTheNewLine)
{
    CTestContext b;
    b.Load("abcd\r\nnext");
    ASSERT_TRUE(Insert(b, 0, 2, "x\r\ny"));
    EXPECT_EQ(b.GetLineText(0), "abx");
    EXPECT_EQ(b.GetLineEol(0), "\r\n");
    EXPECT_EQ(b.GetLineText(1), "ycd");
    EXPECT_EQ(b.GetLineEol(1), "\r\n");
    EXPECT_EQ(b.GetLineText(2), "next");
}

TEST(SyntaxEditContextTest, DeleteWithinAndAcrossLines)
{
    struct Case
    {
        const char* name;
        const char* initial;
        CTextPosition start, end;
        const char* expected;
    };
    const Case cases[] = {
        {"within a line", "abcdef\n", {1, 0}, {4, 0}, "aef\n"},
        {"a line end", "ab\r\ncd", {2, 0}, {0, 1}, "abcd"},
        {"several lines", "one\ntwo\r\nthree\rfour", {1, 0}, {2, 2}, "oree\rfour"},
        {"the whole text", "a\nb\nc", {0, 0}, {1, 2}, ""},
        {"keeps the end line's line end", "ab\ncd\r\n", {1, 0}, {1, 1}, "ad\r\n"},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.name);
        CTestContext b;
        b.Load(c.initial);
        ASSERT_TRUE(b.DeleteText(nullptr, c.start.line, c.start.column, c.end.line, c.end.column));
        EXPECT_EQ(b.All(), c.expected);
        EXPECT_EQ(b.GetLastChange(), c.start);
        ASSERT_TRUE(b.Undo(nullptr, *std::make_unique<CTextPosition>()));
        EXPECT_EQ(b.All(), c.initial);
        EXPECT_FALSE(b.IsModified());
    }
}

TEST(SyntaxEditContextTest, BadPositionsAndReadOnlyChangeNothing)
{
    CTestContext b;
    b.Load("abc\ndef");
    const std::string before = b.DumpState();
    EXPECT_FALSE(Insert(b, 2, 0, "x"));
    EXPECT_FALSE(Insert(b, 0, 4, "x"));
    EXPECT_FALSE(Insert(b, -1, 0, "x"));
    EXPECT_FALSE(b.DeleteText(nullptr, 1, 0, 0, 1)); // end before start
    EXPECT_FALSE(b.DeleteText(nullptr, 0, 0, 1, 4)); // past the line
    EXPECT_FALSE(b.DeleteText(nullptr, 0, 0, 2, 0)); // past the buffer
    b.SetReadOnly(true);
    EXPECT_FALSE(Insert(b, 0, 0, "x"));
    EXPECT_FALSE(b.DeleteText(nullptr, 0, 0, 0, 1));
    EXPECT_EQ(b.DumpState(), before);
    EXPECT_FALSE(b.IsModified());
    EXPECT_EQ(b.GetUndoRecordCount(), 0);
}

TEST(SyntaxEditContextTest, GetTextJoinsWithTheStyleNotTheLinesOwnEnds)
{
    CTestContext b;
    b.Load("ab\rcd\r\nef\ngh");
    std::string out;
    const std::pair<int, const char*> styles[] = {{1, "b\r\ncd\r\nef\r\ng"},
                                                  {2, "b\rcd\ref\rg"},
                                                  {3, "b\ncd\nef\ng"},
                                                  {0, "b\r\ncd\r\nef\r\ng"},
                                                  {7, "b\r\ncd\r\nef\r\ng"}};
    for (const auto& [style, expected] : styles)
    {
        ASSERT_TRUE(b.GetText(0, 1, 3, 1, out, style));
        EXPECT_EQ(out, expected) << "style " << style;
    }
    EXPECT_FALSE(b.GetText(0, 3, 1, 0, out, 1));
}

TEST(SyntaxEditContextTest, ApplyEolStyleReterminatesEveryLineWithALineEnd)
{
    CTestContext b;
    b.Load("a\rb\r\nc\nd");
    b.SetEolStyle(3);
    ASSERT_TRUE(b.ApplyEolStyle());
    EXPECT_EQ(b.All(), "a\nb\nc\nd");
    EXPECT_TRUE(b.IsModified());
    EXPECT_FALSE(b.ApplyEolStyle()); // nothing left to change
    b.SetEolStyle(1);
    ASSERT_TRUE(b.ApplyEolStyle());
    EXPECT_EQ(b.All(), "a\r\nb\r\nc\r\nd");
}

TEST(SyntaxEditContextTest, AChangeOutsideTheHistoryMakesTheSavePointUnreachable)
{
    CTestContext b;
    b.Load("a\nb");
    b.SetEolStyle(1);
    ASSERT_TRUE(b.ApplyEolStyle());
    ASSERT_TRUE(Insert(b, 0, 0, "x"));
    CTextPosition p;
    ASSERT_TRUE(b.Undo(nullptr, p));
    EXPECT_EQ(b.All(), "a\r\nb");
    EXPECT_TRUE(b.IsModified()) << "the text still differs from the file";
}

TEST(SyntaxEditContextTest, UndoAndRedoFollowTheSavePoint)
{
    CTestContext b;
    b.Load("text");
    CTextPosition p;
    ASSERT_TRUE(Insert(b, 0, 4, "1"));
    ASSERT_TRUE(Insert(b, 0, 5, "2"));
    EXPECT_TRUE(b.IsModified());
    ASSERT_TRUE(b.Undo(nullptr, p));
    EXPECT_EQ(p, (CTextPosition{5, 0}));
    ASSERT_TRUE(b.Undo(nullptr, p));
    EXPECT_FALSE(b.IsModified());
    EXPECT_EQ(b.All(), "text");
    EXPECT_FALSE(b.CanUndo());
    EXPECT_FALSE(b.Undo(nullptr, p));
    ASSERT_TRUE(b.Redo(nullptr, p));
    EXPECT_TRUE(b.IsModified());
    EXPECT_EQ(p, (CTextPosition{5, 0}));
    ASSERT_TRUE(b.Redo(nullptr, p));
    EXPECT_EQ(b.All(), "text12");
    EXPECT_FALSE(b.CanRedo());
    EXPECT_FALSE(b.Redo(nullptr, p));
    EXPECT_EQ(b.GetUndoMenuText(), "&Undo \tCtrl+Z");
    EXPECT_EQ(b.GetRedoMenuText(), "&Redo\tCtrl+Y");
}

TEST(SyntaxEditContextTest, TypingAfterUndoPastTheSavePointNeverClearsTheModifiedFlag)
{
    // Saved at position 2; undo to 1; a new record replaces the redo tail. Position 2 again is a
    // different text, so it must not count as the saved state.
    CTestContext b;
    b.Load("");
    CTextPosition p;
    ASSERT_TRUE(Insert(b, 0, 0, "a"));
    ASSERT_TRUE(Insert(b, 0, 1, "b"));
    b.SetModified(false);
    ASSERT_TRUE(b.Undo(nullptr, p));
    ASSERT_TRUE(Insert(b, 0, 1, "c"));
    EXPECT_EQ(b.GetUndoPosition(), 2);
    ASSERT_TRUE(b.Undo(nullptr, p));
    ASSERT_TRUE(b.Redo(nullptr, p));
    EXPECT_EQ(b.All(), "ac");
    EXPECT_TRUE(b.IsModified());
}

TEST(SyntaxEditContextTest, AGroupUndoesAndRedoesInOneStep)
{
    CTestContext b;
    b.Load("x\n");
    CTextPosition p;
    ASSERT_TRUE(Insert(b, 0, 1, "!")); // a group of its own
    b.BeginUndoGroup();
    for (int i = 0; i < 5; ++i)
        ASSERT_TRUE(Insert(b, 1, i, std::string(1, char('a' + i))));
    b.FlushUndoGroup(nullptr);
    b.BeginUndoGroup(true); // typing merged into the previous group
    ASSERT_TRUE(Insert(b, 1, 5, "f"));
    b.FlushUndoGroup(nullptr);
    b.BeginUndoGroup();
    ASSERT_TRUE(b.DeleteText(nullptr, 0, 0, 0, 1, UNDO_DELETE));
    b.FlushUndoGroup(nullptr);
    EXPECT_EQ(b.All(), "!\nabcdef");

    ASSERT_TRUE(b.Undo(nullptr, p));
    EXPECT_EQ(b.All(), "x!\nabcdef");
    EXPECT_EQ(p, (CTextPosition{1, 0}));
    ASSERT_TRUE(b.Undo(nullptr, p));
    EXPECT_EQ(b.All(), "x!\n");
    EXPECT_EQ(p, (CTextPosition{0, 1}));
    ASSERT_TRUE(b.Redo(nullptr, p));
    EXPECT_EQ(b.All(), "x!\nabcdef");
    EXPECT_EQ(p, (CTextPosition{6, 1}));
    EXPECT_EQ(b.GetUndoPosition(), 7);
}

TEST(SyntaxEditContextTest, MergingIntoNothingStartsAGroup)
{
    CTestContext b;
    b.Load("");
    b.BeginUndoGroup(true);
    ASSERT_TRUE(Insert(b, 0, 0, "a"));
    b.FlushUndoGroup(nullptr);
    ASSERT_EQ(b.GetUndoRecordCount(), 1);
    EXPECT_TRUE(b.GetUndoRecord(0).flags & UNDO_BEGINGROUP);
}

TEST(SyntaxEditContextTest, TheFullHistoryDropsTheOldestWholeGroup)
{
    CTestContext b;
    b.Load("");
    b.SetMaxUndoRecords(8);
    CTextPosition p;
    // Group A: 3 records (the save point lies inside it), group B: 5 records.
    b.BeginUndoGroup();
    for (int i = 0; i < 3; ++i)
        ASSERT_TRUE(Insert(b, 0, i, "a"));
    b.FlushUndoGroup(nullptr);
    b.SetModified(false);
    // The save point is a position, and SetModified does not move it: save through the history.
    b.BeginUndoGroup();
    for (int i = 0; i < 5; ++i)
        ASSERT_TRUE(Insert(b, 0, 3 + i, "b"));
    b.FlushUndoGroup(nullptr);
    ASSERT_EQ(b.GetUndoRecordCount(), 8);
    ASSERT_TRUE(Insert(b, 0, 8, "c")); // the 9th record
    EXPECT_EQ(b.GetUndoRecordCount(), 6) << "group A went as a whole";
    EXPECT_TRUE(b.GetUndoRecord(0).flags & UNDO_BEGINGROUP);
    EXPECT_EQ(b.GetUndoRecord(0).Text(), "b");
    EXPECT_LT(b.GetSavePoint(), 0);
    while (b.CanUndo())
        ASSERT_TRUE(b.Undo(nullptr, p));
    EXPECT_EQ(b.All(), "aaa");
    EXPECT_TRUE(b.IsModified());
}

TEST(SyntaxEditContextTest, The1025thRecordDropsAGroupAndTheSavePointMovesBack)
{
    CTestContext b;
    b.Load("");
    CTextPosition p;
    for (int i = 0; i < 1024; ++i)
        ASSERT_TRUE(Insert(b, 0, i, "x")); // each its own group
    ASSERT_EQ(b.GetUndoRecordCount(), 1024);
    ASSERT_TRUE(b.Undo(nullptr, p));
    ASSERT_TRUE(b.Redo(nullptr, p));
    ASSERT_TRUE(Insert(b, 0, 1024, "y"));
    EXPECT_EQ(b.GetUndoRecordCount(), 1024);
    EXPECT_EQ(b.GetUndoPosition(), 1024);
    EXPECT_EQ(b.GetSavePoint(), -1) << "saved at 0, which was dropped";
}

TEST(SyntaxEditContextTest, AGroupLargerThanTheHistoryIsDroppedWhole)
{
    CTestContext b;
    b.Load("");
    b.SetMaxUndoRecords(4);
    b.BeginUndoGroup();
    for (int i = 0; i < 6; ++i)
        ASSERT_TRUE(Insert(b, 0, i, "z"));
    b.FlushUndoGroup(nullptr);
    EXPECT_LE(b.GetUndoRecordCount(), 4);
    EXPECT_TRUE(b.GetUndoRecord(0).flags & UNDO_BEGINGROUP);
    CTextPosition p;
    ASSERT_TRUE(b.Undo(nullptr, p));
    EXPECT_FALSE(b.CanUndo());
}

TEST(SyntaxEditContextTest, UndoOfTextChangedBehindTheHistoryFailsAndClearsIt)
{
    CTestContext b;
    b.Load("abc");
    CTextPosition p;
    ASSERT_TRUE(Insert(b, 0, 3, "def"));
    ASSERT_TRUE(b.DeleteText(nullptr, 0, 4, 0, 5, UNDO_UNKNOWN, false)); // not recorded
    const std::string text = b.All();
    EXPECT_FALSE(b.Undo(nullptr, p));
    EXPECT_EQ(b.All(), text) << "nothing else removed";
    EXPECT_EQ(b.GetUndoRecordCount(), 0);
    EXPECT_TRUE(b.IsModified());
}

TEST(SyntaxEditContextTest, UndoRestoresOwnLineEndsThatDifferFromTheStyle)
{
    CTestContext b;
    b.Load("a\nb\rc");
    b.SetEolStyle(1);
    CTextPosition p;
    ASSERT_TRUE(b.DeleteText(nullptr, 0, 0, 2, 1));
    ASSERT_TRUE(Insert(b, 0, 0, "q\rr\n"));
    ASSERT_TRUE(b.Undo(nullptr, p));
    ASSERT_TRUE(b.Undo(nullptr, p));
    EXPECT_EQ(b.All(), "a\nb\rc");
    EXPECT_FALSE(b.IsModified());
}

TEST(SyntaxEditContextTest, UndoOfADeletionKeepsACrLineApartFromTheEmptyLfLineAfterIt)
{
    CTestContext b;
    b.Load("a\nz");
    ASSERT_TRUE(Insert(b, 0, 1, "\r")); // "a\r", "\n", "z"
    ASSERT_EQ(b.GetLineCount(), 3);
    ASSERT_TRUE(b.DeleteText(nullptr, 0, 0, 2, 0)); // the deleted text reads "a\r\n"
    CTextPosition p;
    ASSERT_TRUE(b.Undo(nullptr, p));
    EXPECT_EQ(b.GetLineCount(), 3);
    EXPECT_EQ(b.GetLineEol(0), "\r");
    EXPECT_EQ(b.GetLineEol(1), "\n");
    EXPECT_EQ(p, (CTextPosition{0, 2}));
    ASSERT_TRUE(b.Undo(nullptr, p));
    EXPECT_EQ(b.All(), "a\nz");
    EXPECT_FALSE(b.IsModified());
}

TEST(SyntaxEditContextTest, TrimRedoHistoryKeepsNoMoreRedoThanUndo)
{
    CTestContext b;
    b.Load("");
    CTextPosition p;
    for (int i = 0; i < 6; ++i)
        ASSERT_TRUE(Insert(b, 0, i, "x"));
    for (int i = 0; i < 4; ++i)
        ASSERT_TRUE(b.Undo(nullptr, p));
    b.TrimRedoHistory(); // 2 undo, 4 redo -> 2 redo
    EXPECT_EQ(b.GetUndoPosition(), 2);
    EXPECT_EQ(b.GetUndoRecordCount(), 4);
    EXPECT_EQ(b.GetSavePoint(), 0);
}

TEST(SyntaxEditContextTest, RevisionsAreStampedAndRestoredByUndo)
{
    CTestContext b;
    b.Load("one\ntwo\nthree\n");
    b.SetTrackRevisions(true);
    CTextPosition p;
    ASSERT_TRUE(Insert(b, 1, 1, "X\nY")); // lines 1 and 2 get revision 1
    EXPECT_EQ(b.GetCurrentRevision(), 1u);
    EXPECT_EQ(b.LineAt(0).revision, 0u);
    EXPECT_EQ(b.LineAt(1).revision, 1u);
    EXPECT_EQ(b.LineAt(2).revision, 1u);
    EXPECT_EQ(b.LineAt(3).revision, 0u);
    ASSERT_TRUE(Insert(b, 0, 0, "new\n")); // ends at column 0: only the start line
    EXPECT_EQ(b.LineAt(0).revision, 2u);
    EXPECT_EQ(b.LineAt(1).revision, 0u);
    ASSERT_TRUE(b.DeleteText(nullptr, 0, 0, 1, 0)); // both columns 0: the start line keeps its own
    EXPECT_EQ(b.GetCurrentRevision(), 3u);
    EXPECT_EQ(b.LineAt(0).revision, 2u);
    ASSERT_TRUE(b.DeleteText(nullptr, 1, 1, 2, 1)); // columns above 0: the start line
    EXPECT_EQ(b.LineAt(1).revision, 4u);
    while (b.CanUndo())
        ASSERT_TRUE(b.Undo(nullptr, p));
    EXPECT_EQ(b.All(), "one\ntwo\nthree\n");
    for (int i = 0; i < b.GetLineCount(); ++i)
        EXPECT_EQ(b.LineAt(i).revision, 0u) << "line " << i;
}

TEST(SyntaxEditContextTest, ViewsAreToldWithTheHintOfEachChange)
{
    CTestContext b;
    b.Load("abc\ndef\n");
    CRecordingView view, other;
    b.AttachView(&view);
    b.AttachView(&other);
    b.AttachView(&view); // once only
    view.m_aPoints = {{2, 0}, {1, 1}};
    ASSERT_TRUE(
        b.InsertText(&view, 0, 1, "xy", *std::make_unique<int>(), *std::make_unique<int>(), UNDO_PASTE));
    ASSERT_EQ(view.m_aCalls.size(), 1u);
    EXPECT_EQ(view.m_aCalls[0].flags, 0x101u);
    EXPECT_EQ(view.m_aCalls[0].line, 0);
    EXPECT_EQ(view.m_pLastSource, &view);
    EXPECT_EQ(view.m_aPoints[0], (CTextPosition{4, 0}));
    EXPECT_EQ(view.m_nFlushedAction, UNDO_PASTE);
    EXPECT_EQ(view.m_strFlushedText, "xy");
    ASSERT_TRUE(b.DeleteText(nullptr, 0, 3, 1, 0));
    EXPECT_EQ(view.m_aCalls.back().flags, 3u);
    EXPECT_EQ(view.m_aPoints[1], (CTextPosition{4, 0}));
    EXPECT_EQ(b.SetLineFlag(0, LF_BOOKMARK, true), 0);
    EXPECT_EQ(view.m_aCalls.back().flags, 0x300u);
    EXPECT_FALSE(view.m_aCalls.back().hasContext);
    b.InitNew(3);
    EXPECT_EQ(view.m_aCalls.back().flags, 0x1000u);
    EXPECT_EQ(other.m_aCalls.size(), view.m_aCalls.size());
    b.DetachView(&view);
    ASSERT_TRUE(Insert(b, 0, 0, "q"));
    EXPECT_EQ(other.m_aCalls.size(), view.m_aCalls.size() + 1);
}

TEST(SyntaxEditContextTest, InsertContextMovesPointsAcrossTheChange)
{
    const CSyntaxEditContext::CInsertContext insert({2, 1}, {3, 3});
    const std::pair<CTextPosition, CTextPosition> cases[] = {
        {{5, 0}, {5, 0}}, // earlier line
        {{1, 1}, {1, 1}}, // before the start column
        {{2, 1}, {2, 1}}, // exactly at the start
        {{4, 1}, {5, 3}}, // after the start column: moves to the end line
        {{0, 2}, {0, 4}}, // later line
    };
    for (const auto& [before, after] : cases)
    {
        CTextPosition p = before;
        insert.RecalcPoint(p);
        EXPECT_EQ(p, after) << before.column << "," << before.line;
    }
}

TEST(SyntaxEditContextTest, DeleteContextMovesPointsAcrossTheChange)
{
    const CSyntaxEditContext::CDeleteContext erase({2, 1}, {3, 3});
    const std::pair<CTextPosition, CTextPosition> cases[] = {
        {{5, 0}, {5, 0}}, // earlier line
        {{1, 1}, {1, 1}}, // before the start
        {{2, 1}, {2, 1}}, // at the start
        {{7, 1}, {2, 1}}, // inside, on the start line
        {{0, 2}, {2, 1}}, // inside, a middle line
        {{1, 3}, {2, 1}}, // inside, on the end line
        {{3, 3}, {2, 1}}, // at the end
        {{6, 3}, {5, 1}}, // after the end on the end line
        {{4, 5}, {4, 3}}, // later line
    };
    for (const auto& [before, after] : cases)
    {
        CTextPosition p = before;
        erase.RecalcPoint(p);
        EXPECT_EQ(p, after) << before.column << "," << before.line;
    }
}

TEST(SyntaxEditContextTest, LineFlagsAndBookmarks)
{
    CTestContext b;
    b.Load("0\n1\n2\n3\n4");
    constexpr std::uint32_t kMark = 0x10;
    EXPECT_EQ(b.SetLineFlag(-1, 0x30, true), -1) << "two bits with line -1";
    EXPECT_EQ(b.SetLineFlag(2, 0x30, true, true), -1) << "two bits, exclusive";
    EXPECT_EQ(b.SetLineFlag(-1, kMark, true), -1) << "no line has it";
    EXPECT_EQ(b.SetLineFlag(1, kMark, true, true), 1);
    EXPECT_EQ(b.SetLineFlag(3, kMark, true, true), 3);
    EXPECT_EQ(b.LineAt(1).flags, 0u) << "exclusive moved it";
    EXPECT_EQ(b.SetLineFlag(-1, kMark, false), 3);
    EXPECT_EQ(b.GetLineWithFlag(kMark), -1);
    EXPECT_EQ(b.SetLineFlag(9, kMark, true), -1);

    EXPECT_EQ(b.FindNextBookmark(0), -1);
    b.SetLineFlag(1, LF_BOOKMARK, true);
    b.SetLineFlag(3, LF_BOOKMARK, true);
    EXPECT_EQ(b.FindNextBookmark(1), 3);
    EXPECT_EQ(b.FindNextBookmark(3), 1) << "wraps";
    EXPECT_EQ(b.FindPrevBookmark(3), 1);
    EXPECT_EQ(b.FindPrevBookmark(1), 3) << "wraps";
    b.SetLineFlag(3, LF_BOOKMARK, false);
    EXPECT_EQ(b.FindNextBookmark(1), 1) << "the only one, found after a full turn";
}

TEST(SyntaxEditContextTest, LineOperations)
{
    CTestContext b;
    b.Load("");
    b.RemoveLines(0, 1);
    ASSERT_TRUE(b.InsertLine("a\r\n", -1, -1, 1));
    ASSERT_TRUE(b.InsertLine("b\r", -1, -1, 2));
    ASSERT_TRUE(b.InsertLine("\n", 1, 0, 1));
    ASSERT_TRUE(b.InsertLine("c", -1, -1, 1));
    EXPECT_FALSE(b.InsertLine("x", -1, 9, 1));
    EXPECT_EQ(b.All(), "\na\r\nb\rb\rc");
    ASSERT_TRUE(b.AppendToLine(4, "d\r\n", 3));
    EXPECT_EQ(b.GetLineEol(4), "\r\n");
    ASSERT_TRUE(b.AppendToLine(1, "z", 1)); // over the line end
    EXPECT_EQ(b.GetLineText(1), "az");
    EXPECT_EQ(b.GetLineEol(1), "");
    ASSERT_TRUE(b.InsertLine("", 0, -1, 2));
    ASSERT_TRUE(b.MoveLines(2, 4, 4)); // b b cd -> rows 4..6
    EXPECT_EQ(b.GetLineCount(), 7);
    EXPECT_EQ(b.GetLineText(2), "");
    EXPECT_EQ(b.GetLineText(3), "");
    EXPECT_EQ(b.GetLineText(6), "cd");
    ASSERT_TRUE(b.ResetLines(4, 1));
    EXPECT_EQ(b.GetLineText(4), "");
    EXPECT_EQ(b.GetLineEol(4), "");
    EXPECT_FALSE(b.MoveLines(2, 4, 5));
    EXPECT_TRUE(b.RemoveLines(0, 7));
    EXPECT_EQ(b.GetLineCount(), 0);
}

TEST(SyntaxEditContextTest, OwnedBlocksAreRoundedTo16)
{
    CTestContext b;
    EXPECT_EQ(b.RoundedCapacity(0), 16u);
    EXPECT_EQ(b.RoundedCapacity(14), 16u);
    EXPECT_EQ(b.RoundedCapacity(15), 32u);
    EXPECT_EQ(b.RoundedCapacity(31), 48u);
    b.Load("abc");
    ASSERT_TRUE(Insert(b, 0, 3, "d"));
    EXPECT_EQ(b.LineAt(0).capacity, 16u);
    EXPECT_EQ(b.LineAt(0).text[4], '\0');
}

// One random edit sequence, checked against a plain string after every step; undo all and redo all
// must give back each intermediate text and modified flag exactly.
std::vector<std::string> RunRandomEdits(CTestContext& b, unsigned seed, std::vector<std::string>* dumps)
{
    std::mt19937 rng(seed);
    const char* pieces[] = {"a",        "bc", "\r\n", "\n", "\r", "x\ny", "long text without end",
                            "\r\n\r\n", "q\r"};
    b.Load("first line\r\nsecond\nthird\rlast");
    b.SetTrackRevisions(true);
    std::vector<std::string> texts{b.All()};
    for (int step = 0; step < 300; ++step)
    {
        const int line = static_cast<int>(rng() % b.GetLineCount());
        const int column = static_cast<int>(rng() % (b.GetLineLength(line) + 1));
        if (rng() % 3 != 0)
        {
            const char* piece = pieces[rng() % std::size(pieces)];
            EXPECT_TRUE(Insert(b, line, column, piece));
        }
        else
        {
            const int endLine = std::min(b.GetLineCount() - 1, line + static_cast<int>(rng() % 3));
            int endColumn = static_cast<int>(rng() % (b.GetLineLength(endLine) + 1));
            if (endLine == line && endColumn < column)
                endColumn = column;
            if (line == endLine && column == endColumn)
                continue;
            EXPECT_TRUE(b.DeleteText(nullptr, line, column, endLine, endColumn));
        }
        texts.push_back(b.All());
        if (dumps)
            dumps->push_back(b.DumpState());
    }
    return texts;
}

TEST(SyntaxEditContextTest, RandomEditsUndoAndRedoExactly)
{
    for (unsigned seed = 1; seed <= 4; ++seed)
    {
        SCOPED_TRACE(seed);
        CTestContext b;
        const std::vector<std::string> texts = RunRandomEdits(b, seed, nullptr);
        ASSERT_EQ(b.GetUndoRecordCount(), static_cast<int>(texts.size()) - 1);
        CTextPosition p;
        for (int i = static_cast<int>(texts.size()) - 2; i >= 0; --i)
        {
            const std::string before = b.DumpState();
            ASSERT_TRUE(b.Undo(nullptr, p)) << before;
            ASSERT_EQ(b.All(), texts[i]) << "after undo to " << i;
            ASSERT_EQ(b.IsModified(), i != 0);
        }
        for (int i = 0; i < b.GetLineCount(); ++i)
            EXPECT_EQ(b.LineAt(i).revision, 0u);
        for (std::size_t i = 1; i < texts.size(); ++i)
        {
            ASSERT_TRUE(b.Redo(nullptr, p));
            ASSERT_EQ(b.All(), texts[i]) << "after redo to " << i;
            ASSERT_TRUE(b.IsModified());
        }
    }
}

TEST(SyntaxEditContextTest, TinyBlocksGiveTheSameStateAsDefaultBlocks)
{
    SSyntaxBufferTuning tiny;
    tiny.lineGranularity = 1;
    tiny.minLoadBlock = 1;
    tiny.maxLoadBlock = 1;
    tiny.initialLines = 1;
    CTestContext normal, small(tiny);
    std::vector<std::string> dumpsNormal, dumpsSmall;
    RunRandomEdits(normal, 7, &dumpsNormal);
    RunRandomEdits(small, 7, &dumpsSmall);
    ASSERT_EQ(dumpsNormal.size(), dumpsSmall.size());
    for (std::size_t i = 0; i < dumpsNormal.size(); ++i)
        ASSERT_EQ(dumpsNormal[i], dumpsSmall[i]) << "step " << i;
    CTextPosition p;
    while (normal.CanUndo())
    {
        ASSERT_TRUE(normal.Undo(nullptr, p));
        ASSERT_TRUE(small.Undo(nullptr, p));
        ASSERT_EQ(normal.DumpState(), small.DumpState());
    }
}

} // namespace
