#include "app/CommandLine.h"

#include <gtest/gtest.h>

namespace {

TEST(CommandLineTest, Options)
{
    const CommandLine list = ParseCommandLine({"--data-dir", "/srv/d", "--list"});
    EXPECT_TRUE(list.error.empty());
    EXPECT_TRUE(list.list);
    EXPECT_EQ(list.dataDir, "/srv/d");
    EXPECT_EQ(ParseCommandLine({"--data-dir=/x"}).dataDir, "/x");
    EXPECT_TRUE(ParseCommandLine({"-h"}).help);
    EXPECT_TRUE(ParseCommandLine({"--version"}).version);
    EXPECT_FALSE(ParseCommandLine({}).list);
    for (const std::vector<std::string>& bad :
         {std::vector<std::string>{"--data-dir"}, {"--data-dir", ""}, {"--frobnicate"}, {"Profilname"}})
        EXPECT_FALSE(ParseCommandLine(bad).error.empty()) << bad[0];
}

} // namespace
