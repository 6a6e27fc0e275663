#include "builder/writers/KSwriterArgs.h"

#include <gtest/gtest.h>

namespace ks {
namespace {

TEST(ArgumentList, SplitsAtCommasOutsideQuotesAndKeepsTheQuotes) {
    TKSargumentList args("index,\"a, b\", c ");
    ASSERT_TRUE(args.HasNext());
    EXPECT_EQ("index", args.Next());
    EXPECT_EQ("\"a, b\"", args.Next());
    ASSERT_TRUE(args.HasNext());
    EXPECT_EQ(" c ", args.Next());
    EXPECT_FALSE(args.HasNext());
    EXPECT_EQ("", args.Next());
}

TEST(ArgumentList, TellsAnEmptyLastArgumentFromNone) {
    TKSargumentList trailing("a,");
    EXPECT_EQ("a", trailing.Next());
    EXPECT_TRUE(trailing.HasNext());
    EXPECT_EQ("", trailing.Next());
    EXPECT_FALSE(trailing.HasNext());

    TKSargumentList none("");
    EXPECT_FALSE(none.HasNext());
}

TEST(ArgumentList, RestTakesEverythingLeft) {
    TKSargumentList args("index,VIindex, next, please");
    args.Next();
    args.Next();
    EXPECT_EQ(" next, please", args.Rest());
    EXPECT_FALSE(args.HasNext());
    EXPECT_EQ("", args.Rest());
}

} // namespace
} // namespace ks
