#include "editing/SyntaxEditOptions.h"

#include "editing/SyntaxEditContext.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

using platform::Profile;
using platform::Registry;
using testsupport::TempDir;

namespace
{

TEST(SyntaxEditOptionsTest, ValuesSurviveARestartAndBadOnesFallBack)
{
    TempDir dir;
    {
        Registry registry(dir.Path());
        Profile profile(registry);
        CSyntaxEditOptions options;
        ASSERT_TRUE(options.LoadFromRegistry(profile));
        EXPECT_EQ(options.m_nTabSize, 4);
        EXPECT_FALSE(options.m_bTrackRevisions);
        options.m_nTabSize = 8;
        options.m_bTrackRevisions = true;
        ASSERT_TRUE(options.SaveToRegistry(profile));
        ASSERT_TRUE(registry.Flush());
    }
    {
        Registry registry(dir.Path());
        Profile profile(registry);
        CSyntaxEditOptions options;
        ASSERT_TRUE(options.LoadFromRegistry(profile));
        EXPECT_EQ(options.m_nTabSize, 8);
        EXPECT_TRUE(options.m_bTrackRevisions);
        CSyntaxEditContext buffer;
        buffer.InitNew(1);
        options.ApplyTo(buffer);
        EXPECT_EQ(buffer.GetTabSize(), 8);
        EXPECT_TRUE(buffer.IsTrackingRevisions());
        ASSERT_TRUE(profile.WriteProfileInt(CSyntaxEditOptions::kSection, "TabSize", 0));
        ASSERT_TRUE(options.LoadFromRegistry(profile));
        EXPECT_EQ(options.m_nTabSize, 4);
        options.m_nTabSize = 1000;
        ASSERT_TRUE(options.SaveToRegistry(profile));
        EXPECT_EQ(profile.GetProfileInt(CSyntaxEditOptions::kSection, "TabSize", -1), 4);
    }
}

} // namespace
