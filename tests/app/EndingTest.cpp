// How the program ends, started as a process: whatever asks it to end, it never switches the
// computer off for a run it cut short, no window holds the end, and a slow program before a run
// is waited for only so long.

#include "ProgramProcess.h"
#include "RunningProgramTest.h"
#include "support/Shell.h"
#include "support/TempDir.h"
#include "support/TreeBuilder.h"

#include <QThread>
#include <csignal>
#include <functional>
#include <gtest/gtest.h>

namespace {

class EndingTest : public RunningProgramTest
{
protected:
    std::filesystem::path bin = home / "bin";
    std::filesystem::path powerOffCalls = home / "systemctl-aufrufe";
    std::filesystem::path begunMark = home / "begonnen";

    EndingTest()
    {
        // A systemctl that only notes how it was called: no test ever switches anything off.
        std::filesystem::create_directories(bin);
        WriteFileBytes(bin / "systemctl", "#!/bin/sh\necho \"$@\" >> '" + powerOffCalls.string() + "'\n");
        std::filesystem::permissions(bin / "systemctl", std::filesystem::perms::owner_all);
    }

    // The environment of a copy that finds the stand-in first.
    QProcessEnvironment withStandIn(QProcessEnvironment extra = {}) const
    {
        extra.insert("PATH", q(bin) + ":" + QProcessEnvironment::systemEnvironment().value("PATH"));
        return extra;
    }

    // "Daten", due at once (or only by hand), switching the computer off without asking after its
    // run; its program before the run marks that the run began and then takes its time.
    void writeSlowProfile(const std::string& seconds, bool due = true, const std::string& more = "")
    {
        writeProfile(due);
        WriteFileBytes(data / "Backup.bpf",
                       ReadFileBytes(data / "Backup.bpf") + "ShutDown=1\r\nShutDownForce=1\r\nRunBefore=touch " +
                           begunMark.string() + "; sleep " + seconds + "\r\nRunBeforeWait=1\r\n" + more);
    }

    bool begun()
    {
        return waitFor([this] { return std::filesystem::exists(begunMark); });
    }

    void startAfresh()
    {
        std::filesystem::remove(data / "Backup.log");
        std::filesystem::remove(begunMark);
        std::filesystem::remove(powerOffCalls);
        // Where the copy before listened: a new copy is ready only once it listens itself.
        for (const auto& socket : std::filesystem::directory_iterator(home / "run"))
            std::filesystem::remove_all(socket.path());
    }

    std::string log() { return ReadFileBytes(data / "Backup.log"); }
};

void signal(RunningCopy& copy, int number)
{
    ::kill(static_cast<pid_t>(copy.process().processId()), number);
}

TEST_F(EndingTest, ARunCutShortByTheEndNeverSwitchesTheComputerOff)
{
    FakeLogind logind(home.path());
    ASSERT_TRUE(logind.running());
    const struct
    {
        const char* way;
        std::function<void(RunningCopy&)> end;
    } ways[] = {
        {"SIGTERM", [](RunningCopy& copy) { copy.process().terminate(); }},
        {"SIGINT", [](RunningCopy& copy) { signal(copy, SIGINT); }},
        {"SIGHUP", [](RunningCopy& copy) { signal(copy, SIGHUP); }},
        {"TRSROStop",
         [this](RunningCopy&) {
             runTresorio({"--data-dir", q(data), "--send", "TRSROStop"}, home.path());
         }},
        {"Ende der Sitzung", [&logind](RunningCopy&) { logind.send("shutdown"); }},
    };
    for (const auto& way : ways) {
        startAfresh();
        writeSlowProfile("1.5");
        RunningCopy copy(home.path(), data, withStandIn(logind.asSystemBus()));
        ASSERT_TRUE(begun()) << way.way;
        way.end(copy);
        EXPECT_EQ(copy.waitForExit(), 0) << way.way;
        EXPECT_TRUE(reported()) << way.way << log();
        EXPECT_FALSE(std::filesystem::exists(powerOffCalls)) << way.way << ReadFileBytes(powerOffCalls);
    }

    // A profile that runs at the end runs to its end, and still switches nothing off: the
    // system may be restarting, or only Tresorio was meant to stop.
    startAfresh();
    writeSlowProfile("0", false, "OnShutDown=1\r\n");
    RunningCopy copy(home.path(), data, withStandIn());
    ASSERT_TRUE(channelReady(home.path()));
    copy.process().terminate();
    EXPECT_EQ(copy.waitForExit(), 0);
    EXPECT_TRUE(reported());
    EXPECT_NE(log().find("Fehleranzahl          : 0"), std::string::npos) << log();
    EXPECT_FALSE(std::filesystem::exists(powerOffCalls));

    // A run that ends by itself switches off as its profile says.
    startAfresh();
    RunningCopy run(home.path(), data, withStandIn(), {"--headless", "Daten"});
    EXPECT_EQ(run.waitForExit(), 0);
    EXPECT_EQ(ReadFileBytes(powerOffCalls), "poweroff -i\n");
}

TEST_F(EndingTest, TheEndWaitsForASlowProgramOnlySoLong)
{
    writeSlowProfile("8");
    RunningCopy copy(home.path(), data, withStandIn(), {"--headless", "--end-wait", "1"});
    ASSERT_TRUE(begun());
    copy.process().terminate();
    EXPECT_TRUE(copy.endsWithin(5000)); // the program before the run takes 8 s
    EXPECT_EQ(copy.waitForExit(), 0);
    EXPECT_NE(log().find("Hinweis: Programm vor der Sicherung \"touch " + begunMark.string() +
                         "; sleep 8\" läuft noch; Tresorio endet, ohne länger darauf zu warten"),
              std::string::npos)
        << log();
    const std::string err = copy.process().readAllStandardError().toStdString();
    EXPECT_NE(err.find("läuft nach 1 s noch"), std::string::npos) << err;
    EXPECT_FALSE(std::filesystem::exists(powerOffCalls));
}

TEST_F(EndingTest, ASecondInterruptEndsAtOnceAfterSaving)
{
    writeSlowProfile("8");
    RunningCopy copy(home.path(), data, withStandIn());
    ASSERT_TRUE(begun());
    ASSERT_FALSE(std::filesystem::exists(data / "settings.ini"));
    signal(copy, SIGINT);
    EXPECT_FALSE(copy.endsWithin(500)); // the end waits for the program before the run
    signal(copy, SIGINT);
    EXPECT_TRUE(copy.endsWithin(3000));
    EXPECT_EQ(copy.waitForExit(), 0);
    EXPECT_NE(ReadFileBytes(data / "settings.ini").find("Suspend=0"), std::string::npos);
    // The run it cut off is saved as one that never ended: the next start reports it.
    EXPECT_NE(ReadFileBytes(data / "Backup.bpf").find("RunUnfinished=1\r\n"), std::string::npos);
    EXPECT_FALSE(std::filesystem::exists(powerOffCalls));
}

// The program with its windows on a display of its own.
class EndingWithWindowsTest : public EndingTest
{
protected:
    VirtualDisplay display;

    QProcessEnvironment onDisplay() const
    {
        QProcessEnvironment env = withStandIn(display.environment());
        return env;
    }

    bool shows(const std::string& title)
    {
        return waitFor([this, &title] { return !display.windows(title).empty(); });
    }
};

TEST_F(EndingWithWindowsTest, NoOpenWindowHoldsTheEnd)
{
    ASSERT_TRUE(display.running());
    // What is open when SIGTERM comes; the end takes a few seconds at most.
    const struct
    {
        const char* what;
        std::function<void()> write;
        std::function<bool()> open;
        const char* inLog;
    } cases[] = {
        // A question the run waits for: the medium it wants is not there.
        {"the medium question",
         [this] {
             writeProfile(true);
             WriteFileBytes(data / "Backup.bpf",
                            ReadFileBytes(data / "Backup.bpf") + "CheckDestname=1\r\nDestName=XYZ\r\n");
         },
         [this] { return shows("^Bestätigung"); }, "falscher Medienname"},
        // A run cut short ends with an error, which once asked for an OK before the program ended.
        {"a run with an error at its end", [this] { writeSlowProfile("1.5"); }, [this] { return begun(); },
         "Fehleranzahl          : 1"},
        {"the wizard for a new profile", [this] { writeProfile(false); },
         [this] {
             return shows("^Kestrova Tresorio$") && waitFor([this] {
                        display.type(display.windows("^Kestrova Tresorio$").front(), "Insert");
                        return !display.windows("^Tresorio Profil Assistent").empty();
                    });
         },
         ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        startAfresh();
        c.write();
        RunningCopy copy(home.path(), data, onDisplay(), {});
        ASSERT_TRUE(c.open());
        copy.process().terminate();
        EXPECT_TRUE(copy.endsWithin(10000));
        EXPECT_EQ(copy.waitForExit(), 0);
        EXPECT_NE(log().find(c.inLog), std::string::npos) << log();
    }
    EXPECT_FALSE(std::filesystem::exists(powerOffCalls));
}

TEST_F(EndingWithWindowsTest, AWarningAtStartHoldsNeitherTheScheduleNorAStop)
{
    ASSERT_TRUE(display.running());
    // Without logind the end of the session cannot wait for the profile that runs at the end:
    // the program says so at start.
    writeProfile(false);
    WriteFileBytes(data / "Backup.bpf", ReadFileBytes(data / "Backup.bpf") + "OnStartup=1\r\nOnShutDown=1\r\n");
    RunningCopy copy(home.path(), data, onDisplay(), {});
    ASSERT_TRUE(shows("^Warnung"));
    // The profile that runs at start runs while the warning waits for its OK.
    EXPECT_TRUE(waitFor([this] { return reported(); }));
    EXPECT_FALSE(display.windows("^Warnung").empty());
    EXPECT_EQ(runTresorio({"--data-dir", q(data), "--send", "TRSROStop"}, home.path()).exitCode, 0);
    EXPECT_TRUE(copy.endsWithin(10000));
    EXPECT_EQ(copy.waitForExit(), 0);
    // The data folder is free again, and nothing ran after the stop.
    EXPECT_TRUE(RunShell("flock -n " + (data / "tresorio.lock").string() + " true").first);
    const std::string report = log();
    EXPECT_EQ(report.find("Ende Profil"), report.rfind("Ende Profil")) << report;
}

TEST_F(EndingWithWindowsTest, TheDisplayGoingAwayEndsTheProgramAsCloseAndEndDoes)
{
    ASSERT_TRUE(display.running());
    writeProfile(false);
    WriteFileBytes(data / "Backup.bpf", ReadFileBytes(data / "Backup.bpf") + "OnShutDown=1\r\n");
    RunningCopy copy(home.path(), data, onDisplay(), {});
    ASSERT_TRUE(shows("^Kestrova Tresorio$"));
    ASSERT_TRUE(channelReady(home.path()));
    // Held in memory only, until the settings are written.
    EXPECT_EQ(runTresorio({"--data-dir", q(data), "--send", "TRSROPause"}, home.path()).exitCode, 0);
    ASSERT_FALSE(std::filesystem::exists(data / "settings.ini"));
    // The session ends: its X server goes.
    display.end();
    EXPECT_EQ(copy.waitForExit(), 0);
    EXPECT_TRUE(reported()); // the profile for the end ran
    EXPECT_NE(ReadFileBytes(data / "Backup.bpf").find("FilesCount=2\r\n"), std::string::npos);
    EXPECT_NE(ReadFileBytes(data / "settings.ini").find("Suspend=1"), std::string::npos);
    EXPECT_TRUE(RunShell("flock -n " + (data / "tresorio.lock").string() + " true").first);
}

TEST_F(EndingWithWindowsTest, SettingsConfirmedWithOkOutliveAKill)
{
    ASSERT_TRUE(display.running());
    writeProfile(false);
    WriteFileBytes(data / "settings.ini", "[General]\nSuspend=0\n");
    RunningCopy copy(home.path(), data, onDisplay(), {});
    ASSERT_TRUE(shows("^Kestrova Tresorio$"));
    // Pause through the channel: a setting held in memory, then the options confirmed with OK.
    ASSERT_TRUE(channelReady(home.path()));
    EXPECT_EQ(runTresorio({"--data-dir", q(data), "--send", "TRSROPause"}, home.path()).exitCode, 0);
    ASSERT_TRUE(waitFor([&] {
        display.type(display.windows("^Kestrova Tresorio$").front(), "alt+b");
        display.type(display.windows("^Kestrova Tresorio$").front(), "o");
        return !display.windows("^Optionen").empty();
    }));
    display.type(display.windows("^Optionen").front(), "Return");
    ASSERT_TRUE(waitFor([&] { return display.windows("^Optionen").empty(); }));
    copy.process().kill();
    copy.waitForExit();
    const std::string settings = ReadFileBytes(data / "settings.ini");
    EXPECT_NE(settings.find("Suspend=1"), std::string::npos) << settings;
    EXPECT_NE(settings.find("WaitAfterAutostart=10"), std::string::npos) << settings;
}

TEST_F(EndingWithWindowsTest, ARunKilledOnTheWayShowsAsInterruptedAtTheNextStart)
{
    ASSERT_TRUE(display.running());
    writeSlowProfile("5", false);
    {
        RunningCopy run(home.path(), data, withStandIn(), {"--headless", "Daten"});
        ASSERT_TRUE(begun());
        run.process().kill();
        run.waitForExit();
    }
    const std::string profiles = ReadFileBytes(data / "Backup.bpf");
    const std::size_t at = profiles.find("LastRun=");
    ASSERT_NE(at, std::string::npos);
    const std::string begunAt = profiles.substr(at + 8, 19); // "dd.mm.yyyy hh:nn:ss"
    ASSERT_FALSE(std::filesystem::exists(data / "Backup.log"));

    // The next start, with its windows, says so once: in the log, the row and the profile file.
    for (int start = 0; start < 2; ++start) {
        RunningCopy copy(home.path(), data, onDisplay(), {});
        ASSERT_TRUE(shows("^Kestrova Tresorio$")) << copy.process().readAllStandardError().toStdString();
        ASSERT_TRUE(channelReady(home.path()));
        EXPECT_EQ(runTresorio({"--data-dir", q(data), "--send", "TRSROStop"}, home.path()).exitCode, 0);
        EXPECT_EQ(copy.waitForExit(), 0);
    }
    const std::string report = log();
    EXPECT_NE(report.find("Profil                : Daten\r\n"
                          "!!! Fehler    : Sicherung unterbrochen: Tresorio wurde beendet, bevor sie fertig war\r\n"),
              std::string::npos)
        << report;
    EXPECT_NE(report.find("Datum                 : " + begunAt.substr(0, 10) +
                          "\r\nStartzeit             : " + begunAt.substr(11)),
              std::string::npos)
        << report;
    EXPECT_EQ(report.find("unterbrochen"), report.rfind("unterbrochen")) << report;
    EXPECT_NE(ReadFileBytes(data / "Backup.bpf").find("Errors=1\r\n"), std::string::npos);
    EXPECT_EQ(ReadFileBytes(data / "Backup.bpf").find("RunUnfinished"), std::string::npos);
    const Outcome list = runTresorio({"--data-dir", q(data), "--list"}, home.path());
    EXPECT_NE(list.out.find("Daten\t" + begunAt.substr(0, 16) + " (1 Err)"), std::string::npos) << list.out;
}

} // namespace
