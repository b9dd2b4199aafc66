#include "definitions/BinaryCompareParams.h"
#include "definitions/RecentComparisons.h"
#include "definitions/TextCompareParams.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

namespace {

bool AlwaysExists(const std::string&)
{
    return true;
}

CTextCompareParams Text(const std::string& left, const std::string& right, std::uint32_t rules = RULE_IGNOREEOL)
{
    CTextCompareParams params;
    params.m_objects[0].m_strPath = left;
    params.m_objects[1].m_strPath = right;
    params.m_dwRules = rules;
    return params;
}

TEST(RecentComparisons, EnteringTwiceKeepsOneEntryAtTheFrontWithTheLaterTime)
{
    CRecentComparisons recent;
    const RECENT_COMPARISON_OPTIONS options;
    ASSERT_TRUE(recent.Enter(Text("/a", "/b"), options, 100, AlwaysExists));
    ASSERT_TRUE(recent.Enter(Text("/c", "/d"), options, 200, AlwaysExists));
    ASSERT_TRUE(recent.Enter(Text("/a", "/b"), options, 300, AlwaysExists));
    ASSERT_EQ(recent.Entries().size(), 2u);
    EXPECT_EQ(recent.Entries()[0]->m_objects[0].m_strPath, "/a");
    EXPECT_EQ(recent.Entries()[0]->m_tLastCompared, 300);
    EXPECT_EQ(recent.Entries()[1]->m_tLastCompared, 200);
}

TEST(RecentComparisons, EntriesAreOwnCopiesOfTheRightType)
{
    CRecentComparisons recent;
    auto given = Text("/a", "/b", RULE_IGNORECASE);
    given.m_strLineFilter = "x";
    ASSERT_TRUE(recent.Enter(given, {}, 1, AlwaysExists));
    given.m_strLineFilter = "changed later";
    const auto* entry = dynamic_cast<const CTextCompareParams*>(recent.Entries()[0].get());
    ASSERT_NE(entry, nullptr);
    EXPECT_EQ(entry->m_strLineFilter, "x");
    EXPECT_EQ(entry->m_dwRules, RULE_IGNORECASE);
}

TEST(RecentComparisons, MatchingFollowsTheNoDuplicatePairsOption)
{
    RECENT_COMPARISON_OPTIONS options;
    CRecentComparisons exact;
    exact.Enter(Text("/a", "/b"), options, 1, AlwaysExists);
    exact.Enter(Text("/a", "/b", RULE_IGNORECASE), options, 2, AlwaysExists); // other rules: not equal
    exact.Enter(Text("/b", "/a"), options, 3, AlwaysExists);
    EXPECT_EQ(exact.Entries().size(), 3u);

    options.m_bNoDuplicatePairs = true;
    CRecentComparisons pairs;
    pairs.Enter(Text("/a", "/b"), options, 1, AlwaysExists);
    pairs.Enter(Text("/a", "/b", RULE_IGNORECASE), options, 2, AlwaysExists);
    pairs.Enter(Text("/b", "/a"), options, 3, AlwaysExists);
    ASSERT_EQ(pairs.Entries().size(), 1u);
    EXPECT_EQ(pairs.Entries()[0]->m_objects[0].m_strPath, "/b");
    EXPECT_EQ(pairs.Entries()[0]->m_tLastCompared, 3);
}

TEST(RecentComparisons, TypesThatAreNotRememberedAndMissingPathsChangeNothing)
{
    RECENT_COMPARISON_OPTIONS options;
    options.m_bSaveBinaryComparisons = false;
    CRecentComparisons recent;
    CBinaryCompareParams binary;
    binary.m_objects[0].m_strPath = "/a";
    binary.m_objects[1].m_strPath = "/b";
    EXPECT_FALSE(recent.Enter(binary, options, 1, AlwaysExists));
    EXPECT_FALSE(recent.Enter(CCompareParams(), options, 1, AlwaysExists));

    testsupport::TempDir dir;
    testsupport::WriteFile(dir / "left.txt", "x");
    EXPECT_FALSE(recent.Enter(Text(dir / "left.txt", dir / "missing.txt"), options, 1));
    EXPECT_TRUE(recent.Entries().empty());
    testsupport::WriteFile(dir / "right.txt", "y");
    EXPECT_TRUE(recent.Enter(Text(dir / "left.txt", dir / "right.txt"), options, 1));
    EXPECT_EQ(recent.Entries().size(), 1u);
}

} // namespace
