#pragma once

#include <string>
#include <vector>

/// One line of the kernel's table of mounted file systems (/proc/self/mountinfo).
struct MountEntry
{
    std::string mountPoint;
    std::string fsType;
    std::string source;
    std::string device; // the device number, "major:minor"
};

/// The mounted file systems of a mountinfo text; "\040" and the other octal escapes of names
/// are decoded, lines that cannot be read are left out.
std::vector<MountEntry> ParseMountInfo(const std::string& text);

/// What kind of medium a place a user browses lies on.
enum class MediumKind
{
    Fixed,
    Removable,
    Optical,
    Network,
};

/// A place a folder tree starts from.
struct BrowseRoot
{
    std::string path; // ending with "/"
    std::string label;
    MediumKind kind = MediumKind::Fixed;
};

/// The places a user can back up from: "/", the home folder, then every other mounted real file
/// system (media, additional disks, network file systems) in table order. The file systems of the
/// system itself (proc, sysfs, cgroups, device and runtime tmpfs, snap images, overlays of
/// containers) are left out. labelOfRoot and labelOfHome name the first two.
std::vector<BrowseRoot> BrowseRootsOf(const std::vector<MountEntry>& mounts, const std::string& home,
                                      const std::string& labelOfRoot, const std::string& labelOfHome);
