// tresorio --status, started as a process on a data folder written by hand.

#include "ProgramProcess.h"
#include "RunningProgramTest.h"
#include "support/Shell.h"

#include <QDateTime>
#include <gtest/gtest.h>
#include <map>
#include <sys/stat.h>

namespace {

// A moment hours from now, as the profile file stores it.
std::string hoursFromNow(double hours)
{
    return QDateTime::currentDateTime()
        .addSecs(static_cast<qint64>(hours * 3600))
        .toString("dd.MM.yyyy hh:mm:ss")
        .toStdString();
}

std::string dailyProfile(const std::string& name, double lastRunHours, int errors, double lastSuccessHours)
{
    return "[" + name + "]\r\nSource=/nirgends/\r\nDestination=/nirgendwo/\r\nBackuptype=1\r\nPeriod=3\r\n" +
           "RunTime=03:00\r\nDayOfWeek=1111111\r\nLastRun=" + hoursFromNow(lastRunHours) +
           "\r\nErrors=" + std::to_string(errors) + "\r\nLastSuccess=" + hoursFromNow(lastSuccessHours) +
           "\r\nNextRun=" + hoursFromNow(20) + "\r\n";
}

// Every entry below the folder (the folder too) with its bytes and its modification time.
std::map<std::string, std::string> filesAndTimes(const std::filesystem::path& folder)
{
    std::map<std::string, std::string> seen;
    const auto note = [&seen](const std::filesystem::path& path) {
        struct stat st
        {
        };
        ::lstat(path.c_str(), &st);
        seen[path.string()] = std::to_string(st.st_mtim.tv_sec) + "." + std::to_string(st.st_mtim.tv_nsec) + " " +
                              std::to_string(st.st_mode) + " " +
                              (S_ISREG(st.st_mode) ? ReadFileBytes(path) : std::string("<folder>"));
    };
    note(folder);
    for (const auto& entry : std::filesystem::recursive_directory_iterator(folder))
        note(entry.path());
    return seen;
}

class StatusTest : public RunningProgramTest
{
protected:
    const std::string good = dailyProfile("Gut", -2, 0, -2);
    const std::string failed = dailyProfile("Kaputt \"neu\"", -1, 2, -50);
    const std::string overdue = dailyProfile("-Vergessen", -240, 0, -240); // ten days silent

    void writeProfiles(const std::string& profiles)
    {
        WriteFileBytes(data / "Backup.bpf", "[Signature]\r\n\r\n\r\n" + profiles);
    }
};

TEST_F(StatusTest, AFailedAndAnOverdueProfileMakeTheStatusNonZeroAndNothingIsWritten)
{
    writeProfiles(good + failed + overdue);
    WriteFileBytes(data / "settings.ini", "[General]\nOverdueDays=3\n");
    const auto before = filesAndTimes(data);

    const Outcome lines = runTresorio({"--data-dir", q(data), "--status"}, home.path());
    EXPECT_EQ(lines.exitCode, 1) << lines.err;
    const std::string day = hoursFromNow(-50).substr(0, 10);
    EXPECT_EQ(lines.out.substr(0, lines.out.find('\n') + 1).find("Gut\t"), 0u) << lines.out;
    EXPECT_NE(lines.out.find("\t0\t" + hoursFromNow(20).substr(0, 16) + "\t-\n"), std::string::npos) << lines.out;
    EXPECT_NE(lines.out.find("Kaputt \"neu\"\t" + hoursFromNow(-1).substr(0, 10)), std::string::npos) << lines.out;
    EXPECT_NE(lines.out.find("\t" + day), std::string::npos) << lines.out; // its last error-free run
    EXPECT_NE(lines.out.find("\t2\t"), std::string::npos) << lines.out;
    EXPECT_NE(lines.out.find("-Vergessen\t"), std::string::npos) << lines.out;
    EXPECT_NE(lines.out.find("\tüberfällig\n"), std::string::npos) << lines.out;
    EXPECT_EQ(std::count(lines.out.begin(), lines.out.end(), '\n'), 3) << lines.out;

    const Outcome json = runTresorio({"--data-dir", q(data), "--status", "--json"}, home.path());
    EXPECT_EQ(json.exitCode, 1) << json.err;
    // What a monitor reads: python's own parser, not a search in the text.
    const std::string check = "import json,sys; a=json.load(open(sys.argv[1])); "
                              "print([(p['name'], p['errors'], p['failed'], p['overdue'], p['daysSinceErrorFreeRun'], "
                              "p['lastRun'] is not None, p['nextRun'] is not None) for p in a])";
    WriteFileBytes(home / "status.json", json.out);
    const auto [ok, parsed] = RunShell("python3 -c \"" + check + "\" " + (home / "status.json").string());
    EXPECT_TRUE(ok) << json.out;
    EXPECT_EQ(parsed, "[('Gut', 0, False, False, 0, True, True), ('Kaputt \"neu\"', 2, True, False, 2, True, True), "
                      "('-Vergessen', 0, False, True, 10, True, True)]\n")
        << json.out;

    EXPECT_EQ(filesAndTimes(data), before);

    // A running copy holds the folder: the answer is the same.
    RunningCopy copy(home.path(), data);
    ASSERT_TRUE(channelReady(home.path()));
    const Outcome meanwhile = runTresorio({"--data-dir", q(data), "--status", "--json"}, home.path());
    EXPECT_EQ(meanwhile.exitCode, 1) << meanwhile.err;
    EXPECT_EQ(meanwhile.out, json.out);
    EXPECT_EQ(runTresorio({"--data-dir", q(data), "--send", "TRSROStop"}, home.path()).exitCode, 0);
    EXPECT_EQ(copy.waitForExit(), 0);
}

TEST_F(StatusTest, GoodProfilesOnlyExitZeroAndTheMarginIsTheSetting)
{
    writeProfiles(good);
    Outcome o = runTresorio({"--data-dir", q(data), "--status"}, home.path());
    EXPECT_EQ(o.exitCode, 0) << o.err << o.out;
    // Ten days of silence are no alarm with a margin of thirty.
    writeProfiles(good + overdue);
    WriteFileBytes(data / "settings.ini", "[General]\nOverdueDays=30\n");
    o = runTresorio({"--data-dir", q(data), "--status", "--json"}, home.path());
    EXPECT_EQ(o.exitCode, 0) << o.err << o.out;
    EXPECT_EQ(o.out.find("\"overdue\": true"), std::string::npos) << o.out;
    // No profiles at all: nothing to be worried about, and an empty array.
    std::filesystem::remove(data / "Backup.bpf");
    o = runTresorio({"--data-dir", q(data), "--status", "--json"}, home.path());
    EXPECT_EQ(o.exitCode, 0) << o.err;
    EXPECT_EQ(o.out, "[]\n");
}

TEST_F(StatusTest, AFolderThatCannotBeReadIsStatusTwoAndIsNotMade)
{
    const Outcome missing = runTresorio({"--data-dir", q(home / "fehlt"), "--status"}, home.path());
    EXPECT_EQ(missing.exitCode, 2);
    EXPECT_NE(missing.err.find("fehlt"), std::string::npos) << missing.err;
    EXPECT_FALSE(std::filesystem::exists(home / "fehlt"));

    WriteFileBytes(data / "Backup.bpf", "kaputt\r\n[A]\r\n");
    const Outcome damaged = runTresorio({"--data-dir", q(data), "--status", "--json"}, home.path());
    EXPECT_EQ(damaged.exitCode, 2);
    EXPECT_EQ(damaged.out, "");
    EXPECT_NE(damaged.err.find("keine lesbare Profildatei"), std::string::npos) << damaged.err;

    // A profile file its user may not read (root would read it anyway).
    writeProfiles(good);
    ASSERT_TRUE(
        RunShell("chown -R 65534:65534 " + home.path().string() + " && chmod 0000 " + (data / "Backup.bpf").string())
            .first);
    const Outcome locked = runTresorio({"--data-dir", q(data), "--status"}, home.path(), true);
    EXPECT_EQ(locked.exitCode, 2) << locked.out << locked.err;
}

} // namespace
