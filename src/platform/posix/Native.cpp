#include "platform/Native.h"

#include "platform/posix/PosixFileSystem.h"
#include "platform/posix/PosixPlatform.h"

#include <cstddef>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

std::unique_ptr<Platform> MakeNativePlatform(const std::filesystem::path& dataFolder)
{
    std::error_code error;
    return std::make_unique<PosixPlatform>(std::filesystem::read_symlink("/proc/self/exe", error), dataFolder);
}

std::unique_ptr<FileSystem> MakeNativeFileSystem()
{
    return std::make_unique<PosixFileSystem>();
}

namespace {

bool socketAnswers(const std::string& path, bool abstract)
{
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    const std::size_t offset = abstract ? 1 : 0;
    if (path.size() + offset >= sizeof address.sun_path)
        return false;
    std::memcpy(address.sun_path + offset, path.data(), path.size());
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0)
        return false;
    const auto length = static_cast<socklen_t>(offsetof(sockaddr_un, sun_path) + offset + path.size());
    const bool answers = ::connect(fd, reinterpret_cast<const sockaddr*>(&address), length) == 0;
    ::close(fd);
    return answers;
}

std::string environment(const char* name)
{
    const char* value = std::getenv(name);
    return value ? value : "";
}

} // namespace

bool DisplayCanBeOpened()
{
    if (!environment("QT_QPA_PLATFORM").empty())
        return true;
    const std::string wayland = environment("WAYLAND_DISPLAY");
    if (!wayland.empty()) {
        const std::string runtime = environment("XDG_RUNTIME_DIR");
        if (wayland.front() == '/' ? socketAnswers(wayland, false) : socketAnswers(runtime + "/" + wayland, false))
            return true;
    }
    const std::string display = environment("DISPLAY");
    if (display.empty())
        return false;
    // ":0" or ":0.0" is the local server's socket; "host:0" goes over the network, which only a
    // real connection attempt by the toolkit can tell.
    if (display.front() != ':')
        return true;
    const std::string number = display.substr(1, display.find('.') - 1);
    const std::string socket = "/tmp/.X11-unix/X" + number;
    return socketAnswers(socket, false) || socketAnswers(socket, true);
}

std::vector<BrowseRoot> MountedBrowseRoots(const std::string& labelOfRoot, const std::string& labelOfHome)
{
    std::ifstream table("/proc/self/mountinfo");
    const std::string text((std::istreambuf_iterator<char>(table)), std::istreambuf_iterator<char>());
    return BrowseRootsOf(ParseMountInfo(text), environment("HOME"), labelOfRoot, labelOfHome);
}
