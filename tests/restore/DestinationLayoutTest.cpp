#include "restore/DestinationLayout.h"

#include <gtest/gtest.h>

namespace {

TProfile profileOf(const std::vector<std::string>& sources, std::uint8_t type = BackupFull)
{
    TProfile p;
    p.Source = sources;
    p.Destination = "/ziel/$year";
    p.Backuptype = type;
    return p;
}

TEST(DestinationLayoutTest, EveryPathGoesBackToTheSourceItCameFrom)
{
    PlaceholderValues values;
    values.now = 45000.0; // 15.03.2023
    struct Case
    {
        std::vector<std::string> sources;
        std::string original;
        std::string sub;
    };
    const std::vector<Case> cases = {
        // One source lies directly in the destination.
        {{"/home/a/Dokumente"}, "/home/a/Dokumente/b/c.txt", "b/c.txt"},
        // Several below their common folder; one that is the common folder itself holds the rest.
        {{"/home/a/Dokumente/", "/home/a/Bilder/"}, "/home/a/Bilder/x.png", "Bilder/x.png"},
        {{"/home/a/", "/home/a/Bilder/"}, "/home/a/Bilder/x.png", "Bilder/x.png"},
        {{"/home/a/", "/home/a/Bilder/"}, "/home/a/notiz", "notiz"},
        // Nothing in common but the root: the whole path.
        {{"/etc/", "/home/a/"}, "/etc/fstab", "etc/fstab"},
        {{"/etc/", "/home/a/"}, "/home/a/", "home/a/"},
        // "Musik" and "musik" are two folders.
        {{"/m/Musik/", "/m/musik/"}, "/m/musik/a.mp3", "musik/a.mp3"},
    };
    for (const Case& c : cases) {
        const DestinationLayout layout(profileOf(c.sources), values);
        EXPECT_EQ(layout.destination(), "/ziel/2023/");
        EXPECT_EQ(layout.SubOf(c.original), c.sub) << c.original;
        EXPECT_EQ(layout.OriginalOf(c.sub), c.original) << c.sub;
    }
    const DestinationLayout layout(profileOf({"/home/a/Dokumente/", "/home/a/Bilder/"}), values);
    EXPECT_EQ(layout.SubOf("/home/a/Musik/x"), std::nullopt);
    EXPECT_EQ(layout.SubOf("/home/a/Dokumente/../Bilder/x.png"), "Bilder/x.png");
    EXPECT_EQ(layout.OriginalOf("Videos/x"), std::nullopt);
    // A synchronisation has its one source at the top.
    EXPECT_EQ(DestinationLayout(profileOf({"/s/"}, BackupSynchronise), values).SubOf("/s/x"), "x");
}

} // namespace
