#include "platform/posix/PosixPlatform.h"

#include "base/ResultCodes.h"
#include "base/Text.h"
#include "platform/AtomicFile.h"
#include "platform/DesktopLauncher.h"
#include "platform/MountTable.h"

#include <QProcess>
#include <QSocketNotifier>
#include <QStandardPaths>
#include <algorithm>
#include <blkid/blkid.h>
#include <cerrno>
#include <charconv>
#include <chrono>
#include <ctime>
#include <fcntl.h>
#include <fstream>
#include <iterator>
#include <pwd.h>
#include <spawn.h>
#include <sstream>
#include <sys/resource.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace {

std::string withoutTrailingSlash(std::string path)
{
    while (path.size() > 1 && path.back() == '/')
        path.pop_back();
    return path;
}

std::string standardLocation(QStandardPaths::StandardLocation location)
{
    return withoutTrailingSlash(QStandardPaths::writableLocation(location).toStdString());
}

// A tag of a block device as libblkid reads it (from its cache, or from the device where the user
// may read it), else from the links udev makes for everyone; empty when there is none.
// The tag as the device's superblock says it now. libblkid's cache is not asked: it may still
// hold what another medium said under the same device name (a stick plugged in after another,
// a loop device set up anew), and an identity from there would take one medium for another.
std::string probedTag(const char* tag, const std::string& device)
{
    blkid_probe probe = blkid_new_probe_from_filename(device.c_str());
    if (probe == nullptr)
        return {}; // not readable for this user: udev's links tell
    blkid_probe_enable_superblocks(probe, 1);
    blkid_probe_set_superblocks_flags(probe, BLKID_SUBLKS_LABEL | BLKID_SUBLKS_UUID);
    std::string found;
    const char* value = nullptr;
    if (blkid_do_safeprobe(probe) == 0 && blkid_probe_lookup_value(probe, tag, &value, nullptr) == 0 && value)
        found = value;
    blkid_free_probe(probe);
    return found;
}

// udev writes a blank and other unsafe bytes of a name as "\xHH".
std::string unescapedUdevName(const std::string& name)
{
    std::string out;
    for (std::size_t i = 0; i < name.size(); ++i) {
        unsigned byte = 0;
        const char* digits = name.data() + i + 2;
        if (name.compare(i, 2, "\\x") == 0 && i + 4 <= name.size() &&
            std::from_chars(digits, digits + 2, byte, 16).ptr == digits + 2) {
            out += static_cast<char>(byte);
            i += 3;
        } else {
            out += name[i];
        }
    }
    return out;
}

std::string blkidTag(const char* tag, const std::string& device)
{
    if (std::string found = probedTag(tag, device); !found.empty())
        return found;
    // udev keeps these links for the media it sees, whoever may read them.
    const std::string links = std::string("/dev/disk/by-") + (std::string(tag) == "UUID" ? "uuid" : "label");
    std::error_code error;
    const std::filesystem::path real = std::filesystem::canonical(device, error);
    for (const auto& link : std::filesystem::directory_iterator(links, error))
        if (std::filesystem::canonical(link.path(), error) == real && !error)
            return unescapedUdevName(link.path().filename().string());
    return {};
}

} // namespace

PosixPlatform::PosixPlatform(std::filesystem::path executable, std::filesystem::path dataFolder)
    : m_executable(std::move(executable)), m_dataFolder(std::move(dataFolder))
{
}

DateTime PosixPlatform::Now()
{
    const auto now = std::chrono::system_clock::now();
    const std::time_t seconds = std::chrono::system_clock::to_time_t(now);
    const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(now.time_since_epoch()).count() % 1000;
    std::tm local{};
    localtime_r(&seconds, &local);
    const auto date = TryEncodeDate(local.tm_year + 1900, local.tm_mon + 1, local.tm_mday);
    // A leap second reads as 60; the wall clock shows it as the last second of the minute.
    const auto time = TryEncodeTime(local.tm_hour, local.tm_min, std::min(local.tm_sec, 59), static_cast<int>(ms));
    return ComposeDateTime(date.value_or(0.0), time.value_or(0.0));
}

std::string PosixPlatform::UserName()
{
    std::vector<char> buffer(16384);
    passwd entry{};
    passwd* found = nullptr;
    if (getpwuid_r(geteuid(), &entry, buffer.data(), buffer.size(), &found) == 0 && found != nullptr)
        return found->pw_name;
    return {};
}

std::string PosixPlatform::ComputerName()
{
    char name[256] = {};
    if (gethostname(name, sizeof name - 1) != 0)
        return {};
    const std::string host = name;
    return host.substr(0, host.find('.'));
}

std::string PosixPlatform::SpecialFolderPath(SpecialFolder folder)
{
    switch (folder) {
    case SpecialFolder::Programs:
        return standardLocation(QStandardPaths::ApplicationsLocation);
    case SpecialFolder::Personal:
        return standardLocation(QStandardPaths::DocumentsLocation);
    case SpecialFolder::Desktop:
        return standardLocation(QStandardPaths::DesktopLocation);
    case SpecialFolder::Windows:
        return "/etc";
    case SpecialFolder::System:
        return "/usr/lib";
    case SpecialFolder::Home:
        return standardLocation(QStandardPaths::HomeLocation);
    case SpecialFolder::Temporary:
        return standardLocation(QStandardPaths::TempLocation);
    }
    return {};
}

void PosixPlatform::SetCurrentThreadPriority(int level)
{
    // Linux gives every thread its own nice value. The lowest level also yields the disk to
    // everything else (the idle I/O class); raising above normal needs privileges and simply
    // stays at normal without them.
    static constexpr int niceOf[] = {19, 10, 0, -5, -10};
    const int clamped = std::clamp(level, -2, 2);
    const auto thread = static_cast<id_t>(::syscall(SYS_gettid));
    ::setpriority(PRIO_PROCESS, thread, niceOf[clamped + 2]);
    constexpr int IoprioWhoProcess = 1;
    constexpr int IoprioClassShift = 13;
    constexpr int IoprioClassIdle = 3;
    constexpr int IoprioClassBestEffort = 2;
    const int ioClass = clamped == -2 ? IoprioClassIdle : IoprioClassBestEffort;
    ::syscall(SYS_ioprio_set, IoprioWhoProcess, static_cast<int>(thread), (ioClass << IoprioClassShift) | 4);
}

MountEntry PosixPlatform::MountOf(const std::string& mountinfo, const std::string& path)
{
    // The mount point that holds the path most closely (the last of equals: mounted over).
    MountEntry best;
    for (MountEntry& entry : ParseMountInfo(mountinfo)) {
        if (entry.mountPoint.empty() || entry.mountPoint.back() != '/')
            entry.mountPoint += '/';
        if (path.compare(0, entry.mountPoint.size(), entry.mountPoint) == 0 &&
            entry.mountPoint.size() >= best.mountPoint.size())
            best = std::move(entry);
    }
    return best;
}

VolumeInfo PosixPlatform::VolumeOf(const std::string& path)
{
    std::error_code error;
    std::string full = std::filesystem::weakly_canonical(path, error).string();
    if (error)
        full = path;
    if (full.empty() || full.back() != '/')
        full += '/';
    std::ifstream in("/proc/self/mountinfo");
    const std::string mountinfo{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    const MountEntry mount = MountOf(mountinfo, full);
    VolumeInfo volume{mount.mountPoint, {}, {}};
    if (mount.source.rfind("/dev/", 0) == 0) {
        volume.label = blkidTag("LABEL", mount.source);
        const std::string uuid = blkidTag("UUID", mount.source);
        if (!uuid.empty())
            volume.identity = "UUID=" + uuid;
    }
    // A tmpfs, a network file system or a device the user may not read has no UUID to be had:
    // the device number with what was mounted tells it from the disk its mount point lies on.
    if (volume.identity.empty() && !mount.mountPoint.empty())
        volume.identity = mount.device + " " + mount.fsType + " " + mount.source;
    return volume;
}

Platform::ProgramRun PosixPlatform::RunProgram(const std::string& commandLine, const std::string& folder, bool wait)
{
    // As cron does: the shell runs the whole command line.
    if (!wait) {
        const QStringList arguments = {QStringLiteral("-c"), QString::fromStdString(commandLine)};
        return {QProcess::startDetached(QStringLiteral("/bin/sh"), arguments, QString::fromStdString(folder)), 0};
    }
    // Started by hand rather than by QProcess, which kills what it stops waiting for: the end of
    // the program may leave a slow program to finish by itself.
    const unsigned round = m_waitRound.load();
    posix_spawn_file_actions_t actions;
    ::posix_spawn_file_actions_init(&actions);
    ::posix_spawn_file_actions_addchdir_np(&actions, folder.c_str());
    ::posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
    std::string shell = "sh";
    std::string option = "-c";
    std::string line = commandLine;
    char* const arguments[] = {shell.data(), option.data(), line.data(), nullptr};
    pid_t pid = 0;
    const int failed = ::posix_spawn(&pid, "/bin/sh", &actions, nullptr, arguments, environ);
    ::posix_spawn_file_actions_destroy(&actions);
    if (failed != 0)
        return {false, 0};
    ++m_waiting;
    const struct Waited
    {
        std::atomic<int>& count;
        ~Waited() { --count; }
    } waited{m_waiting};
    for (;;) {
        int status = 0;
        const pid_t ended = ::waitpid(pid, &status, WNOHANG);
        if (ended == pid)
            return {true, WIFEXITED(status) ? WEXITSTATUS(status) : -1};
        if (ended < 0 && errno != EINTR)
            return {true, -1};
        if (m_waitRound.load() != round)
            return {true, 0, true};
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
}

bool PosixPlatform::StopWaitingForPrograms()
{
    ++m_waitRound;
    return m_waiting.load() > 0;
}

Status PosixPlatform::ConnectShare(const std::string&, const std::string&, const std::string&)
{
    // ERROR_NOT_SUPPORTED: the run reports the destination as unavailable instead of pretending.
    return {50, "Die Anmeldung an Netzwerkfreigaben wird auf diesem System nicht unterstützt"};
}

void PosixPlatform::DisconnectShare(const std::string&)
{
}

std::int64_t PosixPlatform::UnixTime()
{
    return static_cast<std::int64_t>(std::time(nullptr));
}

std::vector<std::string> PosixPlatform::MediaMountRoots()
{
    // Where udisks, the desktop and the administrator mount what is plugged in.
    return {"/media/", "/run/media/", "/mnt/"};
}

void PosixPlatform::PowerOff(bool force)
{
    QStringList arguments = {QStringLiteral("poweroff")};
    if (force)
        arguments << QStringLiteral("-i");
    QProcess::startDetached(QStringLiteral("systemctl"), arguments);
}

std::filesystem::path PosixPlatform::AutostartFile()
{
    return std::filesystem::path(standardLocation(QStandardPaths::GenericConfigLocation)) / "autostart" /
           "tresorio.desktop";
}

bool PosixPlatform::AutostartRegistered()
{
    // Registered: the entry has a command, and the desktop has not switched it off (Hidden=true
    // deletes it, GNOME's own switch turns it off).
    std::ifstream in(AutostartFile());
    std::string line;
    bool command = false;
    bool inEntry = false;
    while (std::getline(in, line)) {
        const std::string t = Trim(line);
        if (!t.empty() && t.front() == '[') {
            inEntry = t == "[Desktop Entry]";
            continue;
        }
        const std::size_t equals = t.find('=');
        if (!inEntry || equals == std::string::npos)
            continue;
        const std::string key = Trim(t.substr(0, equals));
        const std::string value = Trim(t.substr(equals + 1));
        if (key == "Exec")
            command = !value.empty();
        else if ((key == "Hidden" && value == "true") || (key == "X-GNOME-Autostart-enabled" && value == "false"))
            return false;
    }
    return command;
}

Status PosixPlatform::SetAutostart(bool on)
{
    const std::filesystem::path file = AutostartFile();
    std::error_code error;
    if (!on) {
        std::filesystem::remove(file, error);
        if (error)
            return {ResultCode::AccessDenied,
                    "Der Autostart-Eintrag " + file.string() + " kann nicht entfernt werden: " + error.message()};
        return {};
    }
    // The same quoting as a desktop launcher's: the desktop hands the program exactly its data
    // folder, a line break in it too; what no entry can carry is refused.
    if (const auto refusal = DesktopEntryRefusal(m_executable.string(), m_dataFolder.string()))
        return {ResultCode::InvalidName, *refusal + "; kein Autostart-Eintrag."};
    std::filesystem::create_directories(file.parent_path(), error);
    const std::string entry = "[Desktop Entry]\n"
                              "Type=Application\n"
                              "Name=Tresorio 2002\n"
                              "Comment=Backup scheduler\n"
                              "Exec=" +
                              DesktopExecLine(m_executable.string(), m_dataFolder.string()) +
                              "\n"
                              "Terminal=false\n"
                              "X-GNOME-Autostart-enabled=true\n";
    if (const auto failure = WriteFileAtomically(file, entry, false))
        return {ResultCode::AccessDenied,
                "Der Autostart-Eintrag " + file.string() + " kann nicht geschrieben werden: " + *failure};
    return {};
}
