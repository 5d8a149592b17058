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
    const CommandLine run = ParseCommandLine({"--headless", "Daten", "Zweites"});
    EXPECT_EQ(run.profileName, "Daten"); // at most one profile name is used
    EXPECT_EQ(ParseCommandLine({"--send", "TRSROPause"}).send, "TRSROPause");
    // After "--" a name that looks like an option is the profile's name.
    for (const std::string name : {"-n", "--help", "--", "--data-dir"}) {
        const CommandLine named = ParseCommandLine({"--data-dir", "/d", "--", name});
        EXPECT_TRUE(named.error.empty()) << name;
        EXPECT_FALSE(named.help);
        EXPECT_EQ(named.profileName, name);
    }
    EXPECT_EQ(ParseCommandLine({"--tick-ms", "200"}).tickMs, 200);
    EXPECT_EQ(ParseCommandLine({}).tickMs, 10000);
    EXPECT_EQ(ParseCommandLine({"--end-wait", "0"}).endWaitSeconds, 0);
    EXPECT_EQ(ParseCommandLine({}).endWaitSeconds, 30);
    EXPECT_TRUE(ParseCommandLine({"--end-session"}).endSession);
    EXPECT_FALSE(ParseCommandLine({}).endSession);
    EXPECT_EQ(ParseCommandLine({"--command-limit", "1"}).commandLimitSeconds, 1);
    EXPECT_EQ(ParseCommandLine({}).commandLimitSeconds, 60);
    const CommandLine status = ParseCommandLine({"--json", "--data-dir", "/d", "--status"});
    EXPECT_TRUE(status.error.empty()) << status.error;
    EXPECT_TRUE(status.status && status.json);
    for (const std::vector<std::string>& bad : {std::vector<std::string>{"--data-dir"},
                                                {"--data-dir", ""},
                                                {"--frobnicate"},
                                                {"--send"},
                                                {"--tick-ms", "5"},
                                                {"--end-wait", "-1"},
                                                {"--end-wait", "3601"},
                                                {"--end-wait"},
                                                {"--command-limit", "0"},
                                                {"--json"},
                                                {"--status", "Daten"},
                                                {"--status", "--list"},
                                                {"--status", "--check", "Daten"}})
        EXPECT_FALSE(ParseCommandLine(bad).error.empty()) << bad[0];
}

TEST(CommandLineTest, RestoreTakesPathsWhereARunTakesAName)
{
    const CommandLine restore = ParseCommandLine({"--restore", "Daten", "/home/a/x.txt", "--at", "01.02.2026", "--to",
                                                  "/tmp/z", "--conflict", "keep", "--", "-b"});
    EXPECT_TRUE(restore.error.empty()) << restore.error;
    EXPECT_EQ(restore.restoreProfile, "Daten");
    EXPECT_EQ(restore.paths, (std::vector<std::string>{"/home/a/x.txt", "-b"}));
    EXPECT_FALSE(restore.profileName);
    EXPECT_EQ(restore.at, "01.02.2026");
    EXPECT_EQ(restore.to, "/tmp/z");
    EXPECT_EQ(restore.conflict, "keep");
    EXPECT_EQ(ParseCommandLine({"--list-backup", "Daten", "--at", "2026-02-01"}).listBackupProfile, "Daten");
    EXPECT_EQ(ParseCommandLine({"--check", "Daten"}).checkProfile, "Daten");
    for (const std::vector<std::string>& bad : {std::vector<std::string>{"--restore"},
                                                {"--restore", "A", "--conflict", "overwrite"},
                                                {"--restore", "A", "--check", "B"},
                                                {"--list-backup", "A", "/pfad"},
                                                {"--list-backup", "A", "--to", "/x"},
                                                {"--check", "A", "--conflict", "skip"},
                                                {"Profil", "--at", "01.01.2026"}})
        EXPECT_FALSE(ParseCommandLine(bad).error.empty()) << testing::PrintToString(bad);
}

} // namespace
