#include "app/DataFolder.h"

#include "support/TempDir.h"

#include <gtest/gtest.h>

namespace {

TEST(DataFolderTest, SourcesInTheirOrder)
{
    TempDir portable;
    TempDir plain;
    WriteFileBytes(portable / "Backup.bpf", "[Signature]\r\n\r\n\r\n");

    struct Case
    {
        DataFolderSources sources;
        std::filesystem::path expected;
    };
    const Case cases[] = {
        {{"/srv/daten", "/opt/home", portable.path(), "/xdg", "/home/anna"}, "/srv/daten"},
        {{std::nullopt, "/opt/home", portable.path(), "/xdg", "/home/anna"}, "/opt/home"},
        {{std::nullopt, "", portable.path(), "/xdg", "/home/anna"}, portable.path()},
        {{std::nullopt, "", plain.path(), "/xdg", "/home/anna"}, "/xdg/tresorio"},
        {{std::nullopt, "", plain.path(), "relative", "/home/anna"}, "/home/anna/.local/share/tresorio"},
        {{std::nullopt, "", plain.path(), "", "/home/anna"}, "/home/anna/.local/share/tresorio"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ResolveDataFolder(c.sources), c.expected);

    // A relative folder on the command line means one below the current folder.
    const auto relative = ResolveDataFolder({"daten", "", {}, "", "/home/anna"});
    EXPECT_TRUE(relative.is_absolute());
    EXPECT_EQ(relative.filename(), "daten");
}

} // namespace
