#include "platform/posix/PosixPlatform.h"

#include "base/Text.h"
#include "platform/AtomicFile.h"

#include <QStandardPaths>
#include <algorithm>
#include <chrono>
#include <ctime>
#include <fstream>
#include <pwd.h>
#include <sys/resource.h>
#include <sys/syscall.h>
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

std::filesystem::path PosixPlatform::AutostartFile()
{
    return std::filesystem::path(standardLocation(QStandardPaths::GenericConfigLocation)) / "autostart" /
           "tresorio.desktop";
}

std::string PosixPlatform::QuoteExecArgument(const std::string& argument)
{
    // Inside double quotes the desktop entry format escapes " ` $ and \ with a backslash; the
    // string value itself then escapes every backslash once more. A field code needs "%%".
    std::string quoted = "\"";
    for (const char c : argument) {
        if (c == '"' || c == '`' || c == '$')
            quoted += "\\\\";
        if (c == '\\')
            quoted += "\\\\\\";
        quoted += c == '%' ? std::string("%%") : std::string(1, c);
    }
    return quoted + "\"";
}

bool PosixPlatform::AutostartRegistered()
{
    std::ifstream in(AutostartFile());
    std::string line;
    while (std::getline(in, line)) {
        const std::string t = Trim(line);
        if (t.rfind("Exec", 0) == 0) {
            const std::size_t equals = t.find('=');
            if (equals != std::string::npos && Trim(t.substr(4, equals - 4)).empty() &&
                !Trim(t.substr(equals + 1)).empty())
                return true;
        }
    }
    return false;
}

bool PosixPlatform::SetAutostart(bool on)
{
    const std::filesystem::path file = AutostartFile();
    std::error_code error;
    if (!on) {
        std::filesystem::remove(file, error);
        return !error;
    }
    std::filesystem::create_directories(file.parent_path(), error);
    const std::string entry = "[Desktop Entry]\n"
                              "Type=Application\n"
                              "Name=Tresorio 2002\n"
                              "Comment=Backup scheduler\n"
                              "Exec=" +
                              QuoteExecArgument(m_executable.string()) + " --data-dir " +
                              QuoteExecArgument(m_dataFolder.string()) +
                              "\n"
                              "Terminal=false\n"
                              "X-GNOME-Autostart-enabled=true\n";
    return !WriteFileAtomically(file, entry, false);
}
