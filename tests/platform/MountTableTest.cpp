#include "platform/MountTable.h"

#include <gtest/gtest.h>

namespace {

TEST(MountTableTest, TheRootsAreWhatAUserBacksUpFrom)
{
    const std::string table = "22 28 0:21 / /proc rw,relatime - proc proc rw\n"
                              "28 1 8:1 / / rw,relatime shared:1 - ext4 /dev/sda1 rw\n"
                              "30 28 0:25 / /run rw - tmpfs tmpfs rw\n"
                              "31 28 8:2 / /home rw shared:2 - ext4 /dev/sda2 rw\n"
                              "32 28 8:3 / /boot/efi rw - vfat /dev/sda3 rw\n"
                              "40 30 8:17 / /run/media/anna/FOTO\\040STICK rw - exfat /dev/sdb1 rw\n"
                              "41 28 11:0 / /media/anna/DVD rw - iso9660 /dev/sr0 ro\n"
                              "42 28 0:50 / /mnt/nas rw - nfs4 nas:/daten rw\n"
                              "43 28 0:51 / /home/anna/fern rw - fuse.sshfs anna@server: rw\n"
                              "44 28 7:0 / /snap/core/1 ro - squashfs /dev/loop0 ro\n"
                              "45 28 0:52 / /var/lib/docker/overlay2/x/merged rw - overlay overlay rw\n"
                              "46 28 8:4 / /daten rw - xfs /dev/sdc1 rw\n"
                              "kaputte zeile\n";
    const std::vector<MountEntry> mounts = ParseMountInfo(table);
    ASSERT_EQ(mounts.size(), 12u);
    EXPECT_EQ(mounts[5].mountPoint, "/run/media/anna/FOTO STICK");

    struct Root
    {
        std::string path, label;
        MediumKind kind;
    };
    const std::vector<Root> expected = {
        {"/", "Dateisystem", MediumKind::Fixed},
        {"/home/anna/", "Persönlicher Ordner", MediumKind::Fixed},
        {"/home/", "home", MediumKind::Fixed},
        {"/run/media/anna/FOTO STICK/", "FOTO STICK", MediumKind::Removable},
        {"/media/anna/DVD/", "DVD", MediumKind::Optical},
        {"/mnt/nas/", "nas", MediumKind::Network},
        {"/home/anna/fern/", "fern", MediumKind::Network},
        {"/daten/", "daten", MediumKind::Fixed},
    };
    const std::vector<BrowseRoot> roots = BrowseRootsOf(mounts, "/home/anna", "Dateisystem", "Persönlicher Ordner");
    ASSERT_EQ(roots.size(), expected.size());
    for (std::size_t i = 0; i < roots.size(); ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(roots[i].path, expected[i].path);
        EXPECT_EQ(roots[i].label, expected[i].label);
        EXPECT_EQ(roots[i].kind, expected[i].kind);
    }
}

} // namespace
