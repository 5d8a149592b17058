#pragma once

#include <filesystem>
#include <memory>
#include <string>

/// A file system mounted by a test, taken away again when the object goes (lazily, so a test
/// that failed half way never leaves it behind). The tests run as root; where the sandbox does
/// not allow mounts, Mount gives nothing and the test skips.
class TestMount final
{
public:
    ~TestMount();
    TestMount(const TestMount&) = delete;
    TestMount& operator=(const TestMount&) = delete;

    /// "mount --bind from at".
    static std::unique_ptr<TestMount> Bind(const std::filesystem::path& from, const std::filesystem::path& at);
    /// A tmpfs of size (as mount's size option gives it: "8m") at at.
    static std::unique_ptr<TestMount> Tmpfs(const std::filesystem::path& at, const std::string& size = "8m");
    /// A loop device with an ext4 file system of 16 MiB made in image (a new UUID each time).
    static std::unique_ptr<TestMount> Ext4Image(const std::filesystem::path& image, const std::filesystem::path& at);

    /// A FAT or exFAT file system of 64 MiB made in image, mounted through FUSE (the kernel here
    /// may have neither): a medium as most USB sticks are, which keeps no modes, owners, links or
    /// attributes.
    enum class Stick
    {
        Fat,
        Exfat
    };
    static std::unique_ptr<TestMount> StickImage(Stick kind, const std::filesystem::path& image,
                                                 const std::filesystem::path& at);

    /// Takes the file system away now (mount again with another object).
    void Unmount();

private:
    explicit TestMount(std::filesystem::path at) : m_at(std::move(at)) {}

    std::filesystem::path m_at;
    std::string m_loopDevice; // detached when the file system goes
    bool m_mounted = true;
};
