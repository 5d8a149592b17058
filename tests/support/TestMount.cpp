#include "support/TestMount.h"

#include "support/Shell.h"

namespace {

std::unique_ptr<TestMount> mounted(bool ok, std::unique_ptr<TestMount> mount)
{
    return ok ? std::move(mount) : nullptr;
}

std::string quoted(const std::filesystem::path& path)
{
    return "'" + path.string() + "'";
}

} // namespace

TestMount::~TestMount()
{
    Unmount();
}

void TestMount::Unmount()
{
    if (m_mounted)
        RunShell("umount " + quoted(m_at) + " || umount -l " + quoted(m_at));
    if (m_mounted && !m_loopDevice.empty())
        RunShell("losetup -d " + m_loopDevice);
    m_mounted = false;
}

std::unique_ptr<TestMount> TestMount::Bind(const std::filesystem::path& from, const std::filesystem::path& at)
{
    std::filesystem::create_directories(at);
    const bool ok = RunShell("mount --bind " + quoted(from) + " " + quoted(at)).first;
    return mounted(ok, std::unique_ptr<TestMount>(new TestMount(at)));
}

std::unique_ptr<TestMount> TestMount::Tmpfs(const std::filesystem::path& at, const std::string& size)
{
    std::filesystem::create_directories(at);
    const bool ok = RunShell("mount -t tmpfs -o size=" + size + ",mode=0777 tmpfs " + quoted(at)).first;
    return mounted(ok, std::unique_ptr<TestMount>(new TestMount(at)));
}

std::unique_ptr<TestMount> TestMount::Ext4Image(const std::filesystem::path& image, const std::filesystem::path& at)
{
    std::filesystem::create_directories(at);
    if (!std::filesystem::exists(image) &&
        !RunShell("truncate -s 16M " + quoted(image) + " && mkfs.ext4 -q -F " + quoted(image)).first)
        return nullptr;
    const bool ok =
        RunShell("mount -o loop " + quoted(image) + " " + quoted(at) + " && chmod 0777 " + quoted(at)).first;
    return mounted(ok, std::unique_ptr<TestMount>(new TestMount(at)));
}

std::unique_ptr<TestMount> TestMount::StickImage(Stick kind, const std::filesystem::path& image,
                                                 const std::filesystem::path& at)
{
    std::filesystem::create_directories(at);
    const std::string make = kind == Stick::Fat ? "mkfs.vfat " : "mkfs.exfat ";
    if (!RunShell("truncate -s 64M " + quoted(image) + " && " + make + quoted(image)).first)
        return nullptr;
    if (kind == Stick::Fat)
        return mounted(RunShell("fusefat -o rw+ " + quoted(image) + " " + quoted(at)).first,
                       std::unique_ptr<TestMount>(new TestMount(at)));
    auto [attached, device] = RunShell("losetup -f --show " + quoted(image));
    while (!device.empty() && device.back() == '\n')
        device.pop_back();
    if (!attached)
        return nullptr;
    if (!RunShell("mount.exfat-fuse " + device + " " + quoted(at)).first) {
        RunShell("losetup -d " + device);
        return nullptr;
    }
    std::unique_ptr<TestMount> mount(new TestMount(at));
    mount->m_loopDevice = device;
    return mount;
}
