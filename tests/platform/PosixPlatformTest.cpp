#include "platform/posix/PosixPlatform.h"

#include "platform/DesktopLauncher.h"
#include "support/TempDir.h"

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <gtest/gtest.h>
#include <thread>

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
    // Nor does one the desktop switched off, or a command outside the entry's group.
    for (const char* text :
         {"[Desktop Entry]\nExec=tresorio\nHidden=true\n",
          "[Desktop Entry]\nX-GNOME-Autostart-enabled=false\nExec=tresorio\n", "[Desktop Action x]\nExec=tresorio\n"}) {
        WriteFileBytes(config / "autostart/tresorio.desktop", text);
        EXPECT_FALSE(AutostartEntry(platform)) << text;
    }
    WriteFileBytes(config / "autostart/tresorio.desktop",
                   "[Desktop Entry]\nHidden=false\nX-GNOME-Autostart-enabled=true\nExec=tresorio\n");
    EXPECT_TRUE(AutostartEntry(platform));
    // Registering again switches it on.
    WriteFileBytes(config / "autostart/tresorio.desktop", "[Desktop Entry]\nExec=tresorio\nHidden=true\n");
    EXPECT_TRUE(AutostartEntry(platform, true));
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
        EXPECT_EQ(DesktopExecArgument(c.argument), c.quoted) << c.argument;
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

TEST(PosixPlatformTest, MountPointsFromMountinfo)
{
    const std::string mountinfo = "22 28 0:21 / /proc rw,relatime - proc proc rw\n"
                                  "28 1 254:0 / / rw,relatime shared:1 - ext4 /dev/vda rw\n"
                                  "40 28 8:17 / /media/anna/Neues\\040Volume rw - vfat /dev/sdb1 rw\n"
                                  "41 28 8:18 / /media/anna/Neues rw - vfat /dev/sdc1 rw\n";
    using Mount = std::pair<std::string, std::string>;
    auto mountOf = [&](const std::string& path) {
        const MountEntry m = PosixPlatform::MountOf(mountinfo, path);
        return Mount{m.mountPoint, m.source};
    };
    EXPECT_EQ(mountOf("/home/anna/"), (Mount{"/", "/dev/vda"}));
    EXPECT_EQ(mountOf("/media/anna/Neues Volume/sich/"), (Mount{"/media/anna/Neues Volume/", "/dev/sdb1"}));
    EXPECT_EQ(mountOf("/media/anna/Neues/"), (Mount{"/media/anna/Neues/", "/dev/sdc1"}));
    EXPECT_EQ(mountOf("/proc/1/"), (Mount{"/proc/", "proc"}));
    EXPECT_EQ(PosixPlatform::MountOf(mountinfo, "/media/anna/Neues/x").device, "8:18");

    PosixPlatform platform("/usr/bin/tresorio", "/tmp");
    const VolumeInfo volume = platform.VolumeOf("/proc/self/");
    EXPECT_EQ(volume.mountPoint, "/proc/");
    EXPECT_EQ(volume.label, "");
}

TEST(PosixPlatformTest, ProgramsRunInTheirFolder)
{
    TempDir dir;
    PosixPlatform platform("/usr/bin/tresorio", "/tmp");
    EXPECT_TRUE(platform.RunProgram("sleep 0.2; echo fertig > marke.txt", dir.path().string(), true).started);
    EXPECT_EQ(ReadFileBytes(dir / "marke.txt"), "fertig\n"); // waited for it
    const Platform::ProgramRun failing = platform.RunProgram("exit 3", dir.path().string(), true);
    EXPECT_TRUE(failing.started);
    EXPECT_EQ(failing.exitStatus, 3);
    EXPECT_FALSE(platform.RunProgram("true", (dir / "fehlt").string(), true).started);
    const Status share = platform.ConnectShare("\\\\srv\\data", "anna", "geheim");
    EXPECT_EQ(share.code, 50);
    EXPECT_NE(share.message.find("nicht unterstützt"), std::string::npos);
}

TEST(PosixPlatformTest, AProgramWaitedForCanBeLeftRunning)
{
    TempDir dir;
    PosixPlatform platform("/usr/bin/tresorio", "/tmp");
    EXPECT_FALSE(platform.StopWaitingForPrograms()); // none waited for
    Platform::ProgramRun slow;
    std::thread waiting([&] { slow = platform.RunProgram("sleep 0.5; touch spaet.txt", dir.path().string(), true); });
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    EXPECT_TRUE(platform.StopWaitingForPrograms());
    waiting.join();
    EXPECT_TRUE(slow.started);
    EXPECT_TRUE(slow.stillRunning);
    EXPECT_FALSE(std::filesystem::exists(dir / "spaet.txt"));
    // It goes on by itself; a program started later is waited for again.
    const Platform::ProgramRun next = platform.RunProgram("sleep 0.6; touch danach.txt", dir.path().string(), true);
    EXPECT_FALSE(next.stillRunning);
    EXPECT_TRUE(std::filesystem::exists(dir / "spaet.txt"));
    EXPECT_TRUE(std::filesystem::exists(dir / "danach.txt"));
}

TEST(PosixPlatformTest, ACommandGetsItsInputAndEnvironmentAndOneThatReadsNothingHarmsNothing)
{
    TempDir dir;
    PosixPlatform platform("/usr/bin/tresorio", "/tmp");
    const std::atomic<bool> stop{false};
    Platform::CommandRequest request;
    const std::string out = (dir / "out").string();
    request.words = {"sh", "-c", "{ printf '%s|' \"$X\" \"$0\"; wc -c; } > " + out, "-n"};
    request.environment = {{"X", "a b\"c"}};
    request.input = std::string(3 << 20, 'x'); // more than a socket holds at once
    Platform::CommandEnd end = platform.RunCommand(request, stop);
    EXPECT_EQ(end.kind, Platform::CommandEnd::Kind::Ended);
    EXPECT_EQ(end.exitStatus, 0);
    EXPECT_EQ(ReadFileBytes(out), "a b\"c|-n|3145728\n");

    // It ends without reading: no SIGPIPE ends this process, and its status is told.
    request.words = {"sh", "-c", "exit 4"};
    end = platform.RunCommand(request, stop);
    EXPECT_EQ(end.kind, Platform::CommandEnd::Kind::Ended);
    EXPECT_EQ(end.exitStatus, 4);
    request.words = {"sh", "-c", "kill -TERM $$"};
    EXPECT_EQ(platform.RunCommand(request, stop).signal, 15);
    request.words = {(dir / "fehlt").string()};
    end = platform.RunCommand(request, stop);
    EXPECT_EQ(end.kind, Platform::CommandEnd::Kind::NotStarted);
    EXPECT_FALSE(end.error.empty());
}

TEST(PosixPlatformTest, ACommandStoppedIsKilledWithWhatItStarted)
{
    TempDir dir;
    PosixPlatform platform("/usr/bin/tresorio", "/tmp");
    std::atomic<bool> stop{false};
    Platform::CommandRequest request;
    request.words = {"sh", "-c", "sleep 300 & echo $! > " + (dir / "pid").string() + "; wait"};
    Platform::CommandEnd end;
    std::thread running([&] { end = platform.RunCommand(request, stop); });
    for (int waited = 0; waited < 1500 && ReadFileBytes(dir / "pid").empty(); ++waited)
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    stop = true;
    running.join();
    EXPECT_EQ(end.kind, Platform::CommandEnd::Kind::Stopped);
    const std::string pid = ReadFileBytes(dir / "pid");
    const std::string stat = ReadFileBytes("/proc/" + pid.substr(0, pid.find('\n')) + "/stat");
    EXPECT_TRUE(stat.empty() || stat.find(") Z ") != std::string::npos) << stat;
}

} // namespace
