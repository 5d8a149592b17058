#include "platform/posix/PosixPlatform.h"

#include "support/TempDir.h"

#include <cstdlib>
#include <gtest/gtest.h>

namespace {

TEST(PosixPlatformTest, AutostartEntryFollowsTheDesktopFile)
{
    TempDir config;
    ::setenv("XDG_CONFIG_HOME", config.path().c_str(), 1);
    PosixPlatform platform("/opt/Tresorio 2002/tresorio", "/home/anna/Sicherung $1");

    EXPECT_FALSE(AutostartEntry(platform));
    EXPECT_TRUE(AutostartEntry(platform, true));
    const std::string entry = ReadFileBytes(config / "autostart/tresorio.desktop");
    EXPECT_NE(entry.find("Exec=\"/opt/Tresorio 2002/tresorio\" --data-dir \"/home/anna/Sicherung \\\\$1\"\n"),
              std::string::npos)
        << entry;
    EXPECT_FALSE(AutostartEntry(platform, false));
    EXPECT_FALSE(std::filesystem::exists(config / "autostart/tresorio.desktop"));

    // A file without a command does not count as registered.
    std::filesystem::create_directories(config / "autostart");
    WriteFileBytes(config / "autostart/tresorio.desktop", "[Desktop Entry]\nExec=\n");
    EXPECT_FALSE(AutostartEntry(platform));
    ::unsetenv("XDG_CONFIG_HOME");
}

TEST(PosixPlatformTest, ExecArgumentsAreQuoted)
{
    struct Case
    {
        const char* argument;
        const char* quoted;
    };
    for (const Case c : {Case{"/usr/bin/tresorio", "\"/usr/bin/tresorio\""}, Case{"a\"b", "\"a\\\\\"b\""},
                         Case{"a\\b", "\"a\\\\\\\\b\""}, Case{"100%", "\"100%%\""}, Case{"`x`", "\"\\\\`x\\\\`\""}})
        EXPECT_EQ(PosixPlatform::QuoteExecArgument(c.argument), c.quoted) << c.argument;
}

TEST(PosixPlatformTest, NamesAndFolders)
{
    PosixPlatform platform("/usr/bin/tresorio", "/tmp");
    EXPECT_FALSE(platform.UserName().empty());
    EXPECT_EQ(platform.ComputerName().find('.'), std::string::npos);
    EXPECT_EQ(platform.SpecialFolderPath(SpecialFolder::Windows), "/etc");
    EXPECT_EQ(platform.SpecialFolderPath(SpecialFolder::System), "/usr/lib");
    const std::string personal = platform.SpecialFolderPath(SpecialFolder::Personal);
    EXPECT_FALSE(personal.empty());
    EXPECT_NE(personal.back(), '/');
    EXPECT_GT(platform.Now(), *TryEncodeDate(2020, 1, 1));
}

} // namespace
