#include "app/RunController.h"

#include "engine/ReportLines.h"
#include "engine/RunStartRules.h"
#include "log/LogFile.h"
#include "platform/posix/ArchiveStateCatalogue.h"
#include "platform/posix/PosixFileSystem.h"
#include "support/FakePlatform.h"
#include "support/RecordingObserver.h"
#include "support/SmallMediumFileSystem.h"
#include "support/TempDir.h"
#include "support/TreeBuilder.h"

#include <atomic>
#include <chrono>
#include <ctime>
#include <gtest/gtest.h>
#include <mutex>
#include <thread>

namespace {

class RecordingView final : public ProgramView
{
public:
    int updates = 0;
    std::vector<std::string> active;
    void UpdateProfileList() override { ++updates; }
    void ShowActive(bool on, const std::string& text) override { active.push_back(on ? text : "-"); }
    void ShowNextTask(const NextTaskView&) override {}
    void ShowPaused(bool, const std::string&) override {}
    void ComeToFront() override {}
};

class ScriptedDialogs final : public Dialogs
{
public:
    std::vector<std::string> shown;
    std::vector<bool> answers; // "no" when they run out
    void ShowError(const Message& t) override { shown.push_back("Fehler: " + t.German()); }
    void ShowWarning(const Message& t) override { shown.push_back("Warnung: " + t.German()); }
    void ShowInfo(const Message& t) override { shown.push_back("Information: " + t.German()); }
    bool AskConfirmation(const Message& t) override { return answer("Bestätigung: " + t.German()); }
    bool AskOkCancel(const Message& t) override { return answer("Frage: " + t.German()); }

private:
    bool answer(const std::string& question)
    {
        shown.push_back(question);
        if (answers.empty())
            return false;
        const bool a = answers.front();
        answers.erase(answers.begin());
        return a;
    }
};

class RunControllerTest : public ::testing::Test
{
protected:
    TempDir dir;
    std::filesystem::path src = dir / "quelle";
    std::filesystem::path dst = dir / "ziel";
    ProfileList profiles;
    ProfileFile profileFile{dir / "Backup.bpf"};
    LogFile log{dir / "Backup.log"};
    ProgramSettings settings;
    FakePlatform platform;
    SmallMediumFileSystem fs;
    RecordingObserver observer;
    RecordingView view;
    ScriptedDialogs dialogs;
    std::mutex mutex;
    std::vector<std::function<void()>> mainThread; // what the worker handed to the main thread
    int ended = 0;
    std::vector<RunOutcome> outcomes;
    RunController controller{environment()};

    RunEnvironment environment()
    {
        return RunEnvironment{profiles,
                              profileFile,
                              [this](const std::vector<std::string>& r) { log.AppendReport(r, 1'024'000); },
                              settings,
                              platform,
                              fs,
                              [this] { return std::make_unique<ArchiveStateCatalogue>(dir / "archive-state.db"); },
                              observer,
                              view,
                              dialogs,
                              [this](std::function<void()> task) {
                                  const std::lock_guard<std::mutex> lock(mutex);
                                  mainThread.push_back(std::move(task));
                              },
                              (dir / "daten").string()};
    }

    RunControllerTest()
    {
        platform.now = 37626.0 + 14.0 / 24; // Sunday 05.01.2003 14:00
        controller.onRunEnded = [this] { ++ended; };
        controller.onOutcome = [this](const RunOutcome& outcome) { outcomes.push_back(outcome); };
        std::filesystem::create_directories(dir / "daten"); // as the program has it before any run
        MakeFile(src / "a.txt", "1");
        MakeFile(src / "sub/b.txt", "22");
    }

    int add(const char* name, std::uint8_t period = PeriodNotPeriodic)
    {
        TProfile p = DefaultProfile({});
        p.Name = name;
        p.Source = {src.string()};
        p.Destination = dst.string();
        p.Withsub = true;
        p.Backuptype = BackupFull;
        p.Generations = 1;
        p.Period = period;
        p.Hours = 1;
        p.LastRun = NoRun;
        p.NextRun = NoRun;
        return profiles.AddToProfile(p);
    }

    // A program a test holds and a failed assertion left running ends before the controller
    // waits for it.
    void TearDown() override { platform.ReleasePrograms(); }

    std::vector<std::function<void()>> takeTasks()
    {
        std::vector<std::function<void()>> tasks;
        const std::lock_guard<std::mutex> lock(mutex);
        tasks.swap(mainThread);
        return tasks;
    }

    std::size_t tasksWaiting()
    {
        const std::lock_guard<std::mutex> lock(mutex);
        return mainThread.size();
    }

    // Plays the main thread: takes what the worker hands over until the run has ended; before
    // each task, beforeTask.
    void playMainThread(const std::function<void()>& beforeTask = {})
    {
        while (controller.RunActive()) {
            for (auto& task : takeTasks()) {
                if (beforeTask)
                    beforeTask();
                task();
            }
            std::this_thread::yield();
        }
        controller.WaitForWorker();
    }

    // The worker (or a program the run waits for) ends, then the main thread takes what it
    // handed over, until the run has ended.
    void finishRun()
    {
        do {
            controller.WaitForWorker();
            for (auto& task : takeTasks())
                task();
        } while (controller.RunActive());
    }

    // The report of the last run, from the log.
    std::string readLog() { return ReadFileBytes(dir / "Backup.log"); }
};

TEST_F(RunControllerTest, AFullRunLeavesFilesReportAndStatistics)
{
    const int row = add("Daten", PeriodInterval);
    std::filesystem::create_directories(dir / "werkzeug");
    profiles.at(row).RunBefore = (dir / "werkzeug/vorher.sh --jetzt").string();
    profiles.at(row).RunBeforeWait = true;
    platform.programStatus = 3; // the run goes on, its report says so
    profiles.at(row).RunAfter = "nachher.sh";
    add("Andere");
    platform.now += 5.0 / 86400; // 14:00:05, just after the hourly moment

    controller.BackupProfile(row);
    EXPECT_TRUE(controller.RunActive());
    EXPECT_EQ(FormatDateTime(profiles.at(row).LastRun), "05.01.2003 14:00");
    EXPECT_EQ(FormatDateTime(profiles.at(row).NextRun), "05.01.2003 15:00");
    // Saved at the start, with the stamps.
    {
        ProfileList saved;
        ProfileFile(dir / "Backup.bpf").LoadProfiles(saved, {}, {});
        EXPECT_EQ(FormatDateTime(saved.at(0).LastRun), "05.01.2003 14:00");
    }
    controller.BackupProfile(1); // a second run while one is active does nothing
    controller.TBBBackupNowClick(1);
    EXPECT_EQ(dialogs.shown.back(),
              "Information: Ein anderes Profil ist gerade aktiv. Versuchen Sie es etwas später nochmals.");
    // Rows move while the run goes on: the statistics still reach the profile that ran.
    profiles.moveBefore(1, 0);
    EXPECT_EQ(controller.ActiveProfileIndex(), 1);

    finishRun();
    EXPECT_FALSE(controller.RunActive());
    EXPECT_EQ(ended, 1);
    EXPECT_EQ(ReadFileBytes(dst / "sub/b.txt"), "22");
    const TProfile& ran = profiles.at(1);
    EXPECT_EQ(ran.Name, "Daten");
    EXPECT_EQ(ran.FilesCount, 2);
    EXPECT_EQ(ran.FilesSize, 3);
    EXPECT_EQ(ran.Errors, 0);
    EXPECT_EQ(profiles.at(0).FilesCount, 0);
    const std::string logText = ReadFileBytes(dir / "Backup.log");
    EXPECT_EQ(logText.rfind(std::string(60, '=') + "\r\nProfil                : Daten\r\n", 0), 0u);
    const std::string end = "Ende Profil           : Daten\r\n" + std::string(60, '=') + "\r\n\r\n";
    EXPECT_EQ(logText.substr(logText.size() - end.size()), end);
    ProfileList saved;
    ProfileFile(dir / "Backup.bpf").LoadProfiles(saved, {}, {});
    EXPECT_EQ(saved.at(1).FilesCount, 2);
    EXPECT_NE(logText.find("Startzeit             : 14:00:05\r\nHinweis: Programm vor der Sicherung \"" +
                           profiles.at(1).RunBefore + "\" endete mit Status 3\r\n"),
              std::string::npos)
        << logText;
    EXPECT_EQ(platform.programs,
              (std::vector<std::string>{(dir / "werkzeug/").string() + "|" + profiles.at(1).RunBefore + "|wait",
                                        "/home/anna|nachher.sh|nowait"}));
    EXPECT_EQ(view.active, (std::vector<std::string>{"Daten (Vollsicherung)", "-"}));
    EXPECT_TRUE(platform.powerOffs.empty());
    EXPECT_TRUE(dialogs.shown.size() == 1); // no error message without errors
}

TEST_F(RunControllerTest, ARunByDateThatFailedTakesItsFilesAgain)
{
    // The clock of the runs is the real one here: the files' change times are real.
    const std::int64_t now = std::time(nullptr);
    const int row = add("Inkrementell");
    profiles.at(row).Backuptype = BackupIncremental;
    profiles.at(row).Archive = false;
    platform.unixTime = now - 60; // a minute before the files below were made
    controller.BackupProfile(row);
    finishRun();
    ASSERT_EQ(profiles.at(row).Errors, 0);
    EXPECT_EQ(profiles.at(row).LastGoodRun, now - 60);

    // A file that changed since cannot be copied this time (a folder stands in its way).
    MakeFile(src / "neu.txt", "neu");
    std::filesystem::create_directories(dst / "neu.txt");
    platform.unixTime = now + 120;
    controller.BackupProfile(row);
    finishRun();
    ASSERT_EQ(profiles.at(row).Errors, 1);
    EXPECT_EQ(profiles.at(row).LastGoodRun, now - 60); // the failed run does not count

    // The next run still compares with the last clean one and takes the file.
    std::filesystem::remove(dst / "neu.txt");
    platform.unixTime = now + 240;
    controller.BackupProfile(row);
    finishRun();
    EXPECT_EQ(profiles.at(row).Errors, 0);
    EXPECT_EQ(ReadFileBytes(dst / "neu.txt"), "neu");
    ProfileList saved;
    ProfileFile(dir / "Backup.bpf").LoadProfiles(saved, {}, {});
    EXPECT_EQ(saved.at(row).LastGoodRun, now + 240);
}

TEST_F(RunControllerTest, AReferenceAfterTheRunsStartIsNotTrusted)
{
    // A run while the clock was a day ahead left its start as the reference.
    const std::int64_t now = std::time(nullptr);
    for (const std::uint8_t type : {BackupIncremental, BackupDifferential}) {
        std::filesystem::remove_all(dst);
        const int row = add(type == BackupIncremental ? "Inkrementell" : "Differenziell");
        profiles.at(row).Backuptype = type;
        profiles.at(row).Archive = false;
        profiles.at(row).LastGoodRun = now + 86'400;
        platform.unixTime = now + 60;
        controller.BackupProfile(row);
        finishRun();
        EXPECT_EQ(profiles.at(row).Errors, 0);
        EXPECT_EQ(TreeOf(dst), (std::vector<std::string>{"a.txt", "sub/", "sub/b.txt"}));
        EXPECT_NE(ReadFileBytes(dir / "Backup.log")
                      .find("Hinweis: Die letzte fehlerfreie Sicherung liegt nach dem "
                            "Start dieses Laufs"),
                  std::string::npos);
        // The run that took every file is the new reference, for a differential one too.
        EXPECT_EQ(profiles.at(row).LastGoodRun, now + 60);
    }
}

TEST_F(RunControllerTest, AnUnreachableDestinationIsReportedAndRetriedInTenMinutes)
{
    const int row = add("Netz", PeriodInterval);
    TProfile& p = profiles.at(row);
    p.NetLogon = true;
    p.NetUser = "anna";
    p.Destination = "\\\\srv\\daten\\sicherung";
    p.RunBefore = "fehlt";
    p.RunAfter = "/gibt/es/nicht/danach";
    p.ShutDown = true;
    platform.programsStart = false;
    platform.now += 23.5 / 1440;                // 14:23:30
    std::filesystem::remove_all(p.Destination); // left by older builds in the working folder

    controller.BackupProfile(row);
    EXPECT_FALSE(controller.RunActive());
    EXPECT_EQ(platform.shares, (std::vector<std::string>{"+\\\\srv\\daten"}));
    EXPECT_EQ(p.Errors, 1);
    EXPECT_EQ(p.FilesCount, 0);
    EXPECT_EQ(FormatStampedDateTime(p.NextRun), "05.01.2003 14:30:00");
    EXPECT_EQ(FormatDateTime(p.LastRun), "05.01.2003 14:23");
    const std::string logText = ReadFileBytes(dir / "Backup.log");
    EXPECT_NE(logText.find("!!! Fehler    : Ziel \\\\srv\\daten\\sicherung derzeit nicht verfügbar\r\n"
                           "!!! Fehler    : (50 - nicht unterstützt)\r\n"),
              std::string::npos)
        << logText;
    EXPECT_NE(logText.find("                Neuerlicher Start um 10 Minuten verschoben\r\n"), std::string::npos);
    // A path that is not absolute names no place here: nothing is made where the program started.
    EXPECT_NE(logText.find("kein absoluter Pfad"), std::string::npos) << logText;
    EXPECT_FALSE(std::filesystem::exists(p.Destination));
    EXPECT_NE(logText.find("Profil                : Netz\r\n"
                           "Hinweis: Programm vor der Sicherung \"fehlt\" konnte nicht gestartet werden\r\n"),
              std::string::npos);
    EXPECT_EQ(platform.programs,
              (std::vector<std::string>{"/home/anna|fehlt|nowait", "/home/anna|/gibt/es/nicht/danach|nowait"}));
    EXPECT_TRUE(platform.powerOffs.empty()); // never after an unavailable destination
    EXPECT_EQ(ended, 1);
    ASSERT_EQ(outcomes.size(), 1u);
    EXPECT_EQ(outcomes[0].ending, RunEnding::Refused);
    EXPECT_EQ(outcomes[0].firstError, "Ziel \\\\srv\\daten\\sicherung derzeit nicht verfügbar: nicht unterstützt");
    EXPECT_EQ(outcomes[0].report.front(), RuleLine);
}

TEST_F(RunControllerTest, CancelErrorsMessageAndPowerOff)
{
    const int row = add("Daten");
    profiles.at(row).ShutDown = true;
    profiles.at(row).ShutDownForce = true;
    // Cancelled once the first file (sub/b.txt, the subfolder comes first) is done.
    observer.onProgress = [this] { controller.TBBBreakClick(); };
    controller.BackupProfile(row);
    finishRun();
    observer.onProgress = nullptr;
    EXPECT_EQ(profiles.at(row).FilesCount, 1);
    EXPECT_EQ(profiles.at(row).Errors, 1);
    EXPECT_NE(ReadFileBytes(dir / "Backup.log").find("!!! Fehler    : Abbruch durch Benutzer"), std::string::npos);
    EXPECT_EQ(platform.powerOffs, std::vector<bool>{true});

    profiles.at(row).Source = {(dir / "fehlt").string()};
    profiles.at(row).ShutDown = false;
    controller.BackupProfile(row);
    finishRun();
    EXPECT_EQ(profiles.at(row).Errors, 1);
    ASSERT_EQ(outcomes.size(), 2u);
    EXPECT_EQ(outcomes[0].ending, RunEnding::Cancelled);
    EXPECT_EQ(outcomes[1].ending, RunEnding::Failed);
    EXPECT_FALSE(outcomes[1].firstError.empty());
    EXPECT_TRUE(dialogs.shown.empty()); // the end of a run is told, not shown in a box
    controller.TBBBackupNowClick(std::nullopt);
    EXPECT_EQ(dialogs.shown.back(), "Information: Kein Profil ausgewählt.");
}

TEST_F(RunControllerTest, ARunTheEndOfTheProgramCutsShortNeverSwitchesOff)
{
    const int row = add("Daten");
    profiles.at(row).ShutDown = true;
    // Cut short by the end of the program: nothing switches off, and the next run, which the
    // user cancels, keeps its power-off.
    observer.onProgress = [this] { controller.CancelForEnd(); };
    controller.BackupProfile(row);
    finishRun();
    EXPECT_EQ(profiles.at(row).Errors, 1);
    EXPECT_TRUE(platform.powerOffs.empty());
    ASSERT_EQ(outcomes.size(), 1u);
    EXPECT_EQ(outcomes[0].ending, RunEnding::Interrupted);
    observer.onProgress = [this] { controller.TBBBreakClick(); };
    controller.BackupProfile(row);
    finishRun();
    EXPECT_EQ(platform.powerOffs, std::vector<bool>{false});
    // Told to end from outside: not even a run to its end switches off any more.
    observer.onProgress = nullptr;
    controller.NoPowerOffFromNowOn();
    controller.BackupProfile(row);
    finishRun();
    EXPECT_EQ(profiles.at(row).Errors, 0);
    EXPECT_EQ(platform.powerOffs, std::vector<bool>{false});
}

TEST_F(RunControllerTest, TheWorkerAsksForTheMediumOnTheMainThread)
{
    const int row = add("Medium");
    profiles.at(row).CheckDestname = true;
    profiles.at(row).DestName = "SICHERUNG";
    platform.volume = {"/media/anna/", "ANDERS", ""};
    dialogs.answers = {false}; // Cancel
    controller.BackupProfile(row);
    playMainThread();
    EXPECT_EQ(dialogs.shown.front(), "Frage: Bitte Diskette mit dem Namen SICHERUNG in Laufwerk /media/anna/ legen");
    EXPECT_EQ(profiles.at(row).Errors, 1);
    EXPECT_FALSE(std::filesystem::exists(dst / "a.txt"));
    EXPECT_NE(ReadFileBytes(dir / "Backup.log").find("falscher Medienname  oder  Abbruch durch Benutzer"),
              std::string::npos);
}

TEST_F(RunControllerTest, AQuestionNeverLeavesTheWorkerWaiting)
{
    const int row = add("Medium");
    profiles.at(row).CheckDestname = true;
    profiles.at(row).DestName = "SICHERUNG";
    platform.volume = {"/media/anna/", "ANDERS", ""};
    dialogs.answers = {true, true, true}; // would go on asking
    const auto questionWaiting = [this] {
        for (int i = 0; i < 500; ++i) {
            {
                const std::lock_guard<std::mutex> lock(mutex);
                if (!mainThread.empty())
                    return true;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        return false;
    };
    // The question is dropped unasked (the program's queue goes): Cancel.
    controller.BackupProfile(row);
    ASSERT_TRUE(questionWaiting());
    {
        const std::lock_guard<std::mutex> lock(mutex);
        mainThread.clear();
    }
    playMainThread();
    EXPECT_EQ(profiles.at(row).Errors, 1);
    // A cancel before the question is taken: Cancel, without asking.
    controller.BackupProfile(row);
    ASSERT_TRUE(questionWaiting());
    controller.TBBBreakClick();
    playMainThread();
    EXPECT_EQ(profiles.at(row).Errors, 1);
    for (const std::string& shownText : dialogs.shown)
        EXPECT_EQ(shownText.rfind("Frage: ", 0), std::string::npos) << shownText; // nothing was asked
    EXPECT_FALSE(std::filesystem::exists(dst / "a.txt"));
}

TEST_F(RunControllerTest, APausedRunWaitsBeforeItsNextFileAndGoesOnWhenContinued)
{
    const int row = add("Daten");
    std::atomic<int> shown{0};
    observer.onProgress = [this, &shown] {
        if (++shown == 1)
            controller.SetWorkerPaused(true);
    };
    controller.BackupProfile(row);
    std::this_thread::sleep_for(std::chrono::milliseconds(1500));
    EXPECT_TRUE(controller.RunActive());
    EXPECT_EQ(shown, 1); // the second file waits
    controller.SetWorkerPaused(false);
    finishRun();
    EXPECT_EQ(profiles.at(row).Errors, 0);
    EXPECT_EQ(profiles.at(row).FilesCount, 2);
}

TEST_F(RunControllerTest, TheWorkerAsksForTheNextDiskOnTheMainThread)
{
    const int row = add("Geteilt");
    TProfile& p = profiles.at(row);
    p.Compress = true;
    p.Zipfile = "teil.zip";
    p.DiskSpan = true;
    p.TempDir = true;
    p.TempDirName = dir.path().string();
    MakeFile(src / "gross.bin", Noise(100'000));
    std::filesystem::create_directories(dst);
    fs.medium = dst;
    fs.mediumCapacity = 64 * 1024 + 70'000;
    platform.volume = {"/media/anna/", "STICK", ""};
    dialogs.answers = {true};
    controller.TBBBackupNowClick(row);
    // While the question is open, the user swaps the full medium for an empty one.
    playMainThread([this] {
        if (std::filesystem::exists(dst / "teil.z01"))
            std::filesystem::rename(dst / "teil.z01", dir / "teil.z01");
    });
    EXPECT_EQ(dialogs.shown,
              (std::vector<std::string>{"Frage: Bitte Diskette Nr. 2 in Laufwerk /media/anna:\\ einlegen"}));
    EXPECT_EQ(profiles.at(row).Errors, 0) << ReadFileBytes(dir / "Backup.log");
    EXPECT_EQ(TreeOf(dst), (std::vector<std::string>{"teil.zip"}));
    EXPECT_TRUE(std::filesystem::exists(dir / "teil.z01"));
}

TEST_F(RunControllerTest, TheRunWaitsForItsProgramBeforeWithoutHoldingTheMainThread)
{
    // However the program ends, the run goes on only then, and as it always did: the note where
    // it always stood, the files copied, the program's status no error of the run.
    struct Case
    {
        int status;
        std::string note;
    };
    const std::vector<Case> cases = {
        {0, ""},
        {3, "Hinweis: Programm vor der Sicherung \"vorher.sh\" endete mit Status 3\r\n"},
        // Ended by someone else meanwhile.
        {-1, "Hinweis: Programm vor der Sicherung \"vorher.sh\" endete mit Status -1\r\n"},
    };
    const int row = add("Daten");
    const int other = add("Andere");
    profiles.at(row).RunBefore = "vorher.sh";
    profiles.at(row).RunBeforeWait = true;
    std::size_t started = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.status);
        std::filesystem::remove_all(dst);
        std::filesystem::remove(dir / "Backup.log");
        view.active.clear();
        ended = 0;
        platform.programStatus = c.status;
        platform.HoldPrograms();

        controller.BackupProfile(row); // returns while the program runs
        ASSERT_EQ(platform.ProgramsWaitedForOnTestThread(), 0);
        platform.WaitUntilProgramHeld();
        EXPECT_TRUE(controller.RunActive());
        EXPECT_EQ(controller.ActiveProfileIndex(), row);
        controller.BackupProfile(other); // no second run meanwhile
        controller.TBBBackupNowClick(other);
        EXPECT_EQ(dialogs.shown.back(),
                  "Information: Ein anderes Profil ist gerade aktiv. Versuchen Sie es etwas später nochmals.");
        EXPECT_EQ(platform.programs.back(), "/home/anna|vorher.sh|wait");
        // Nothing after the program has begun: no destination, no worker, no report, no end.
        EXPECT_TRUE(view.active.empty());
        EXPECT_FALSE(std::filesystem::exists(dst));
        EXPECT_FALSE(std::filesystem::exists(dir / "Backup.log"));
        EXPECT_EQ(tasksWaiting(), 0u);
        EXPECT_EQ(ended, 0);

        platform.ReleasePrograms();
        finishRun();
        EXPECT_EQ(ended, 1);
        EXPECT_EQ(view.active, (std::vector<std::string>{"Daten (Vollsicherung)", "-"}));
        EXPECT_EQ(ReadFileBytes(dst / "sub/b.txt"), "22");
        EXPECT_EQ(profiles.at(row).FilesCount, 2);
        EXPECT_EQ(profiles.at(row).Errors, 0);
        const std::string report = readLog();
        EXPECT_NE(report.find("Startzeit             : 14:00:00\r\n" + c.note + RuleLine + "\r\n"), std::string::npos)
            << report;
        EXPECT_EQ(report.find("Hinweis"), c.note.empty() ? std::string::npos : report.find(c.note));
        EXPECT_EQ(platform.programs.size(), ++started); // started once
    }
}

TEST_F(RunControllerTest, TheRunEndsOnlyOnceItsProgramAfterHasEnded)
{
    const int row = add("Daten");
    TProfile& p = profiles.at(row);
    p.Source.push_back((dir / "fehlt").string()); // one error: the message follows the run's end
    p.RunAfter = "nachher.sh";
    p.RunAfterWait = true;
    p.ShutDown = true;
    // What has happened when the run's end is told.
    std::vector<std::string> atEnd;
    controller.onRunEnded = [&] {
        ++ended;
        atEnd = {view.active.back(), std::to_string(dialogs.shown.size()), std::to_string(platform.powerOffs.size())};
    };
    platform.HoldPrograms();
    controller.BackupProfile(row);
    // The worker ends and its end is taken, up to the program after the run.
    controller.WaitForWorker();
    for (auto& task : takeTasks())
        task();
    ASSERT_EQ(platform.ProgramsWaitedForOnTestThread(), 0);
    platform.WaitUntilProgramHeld();
    EXPECT_EQ(platform.programs, std::vector<std::string>{"/home/anna|nachher.sh|wait"});
    EXPECT_TRUE(controller.RunActive());
    EXPECT_EQ(ended, 0);
    EXPECT_EQ(view.active, std::vector<std::string>{"Daten (Vollsicherung)"});
    // The report and the statistics come before the program, as they always did; the file is
    // saved with them only at the end.
    EXPECT_NE(readLog().find("Ende Profil           : Daten"), std::string::npos);
    EXPECT_EQ(p.Errors, 1);
    EXPECT_EQ(p.FilesCount, 2);
    {
        ProfileList saved;
        ProfileFile(dir / "Backup.bpf").LoadProfiles(saved, {}, {});
        EXPECT_EQ(saved.at(0).FilesCount, 0);
    }
    EXPECT_TRUE(dialogs.shown.empty());
    EXPECT_TRUE(platform.powerOffs.empty());
    // A cancel or a second start now changes nothing.
    controller.TBBBreakClick();
    controller.BackupProfile(row);
    EXPECT_EQ(platform.programs.size(), 1u);

    platform.ReleasePrograms();
    finishRun();
    EXPECT_EQ(ended, 1);
    EXPECT_EQ(atEnd, (std::vector<std::string>{"-", "0", "0"})); // shown idle first, outcome and power-off after
    EXPECT_EQ(view.active, (std::vector<std::string>{"Daten (Vollsicherung)", "-"}));
    // The run's end is told, never asked: no box waits before the computer is switched off.
    EXPECT_TRUE(dialogs.shown.empty());
    ASSERT_EQ(outcomes.size(), 1u);
    EXPECT_EQ(outcomes[0].ending, RunEnding::Failed);
    EXPECT_EQ(outcomes[0].profile, "Daten");
    EXPECT_EQ(outcomes[0].errors, 1);
    EXPECT_EQ(platform.powerOffs, std::vector<bool>{false});
    ProfileList saved;
    ProfileFile(dir / "Backup.bpf").LoadProfiles(saved, {}, {});
    EXPECT_EQ(saved.at(0).FilesCount, 2);
    EXPECT_EQ(saved.at(0).Errors, 1);
}

TEST_F(RunControllerTest, ACancelWhileTheProgramBeforeRunsEndsTheRunOnceItHasEnded)
{
    const int row = add("Daten");
    TProfile& p = profiles.at(row);
    p.RunBefore = "vorher.sh";
    p.RunBeforeWait = true;
    p.RunAfter = "nachher.sh";
    platform.programStatus = 3;
    const std::int64_t lastGoodRun = p.LastGoodRun;
    platform.HoldPrograms();
    controller.BackupProfile(row);
    ASSERT_EQ(platform.ProgramsWaitedForOnTestThread(), 0);
    platform.WaitUntilProgramHeld();
    controller.TBBBreakClick();
    EXPECT_TRUE(controller.RunActive()); // until the program has ended

    platform.ReleasePrograms();
    finishRun();
    EXPECT_EQ(ended, 1);
    EXPECT_EQ(TreeOf(dst), std::vector<std::string>{}); // nothing copied
    EXPECT_EQ(p.FilesCount, 0);
    EXPECT_EQ(p.Errors, 1);
    EXPECT_EQ(p.LastGoodRun, lastGoodRun); // the cancelled run does not count
    const std::string report = readLog();
    EXPECT_NE(report.find("Startzeit             : 14:00:00\r\n"
                          "Hinweis: Programm vor der Sicherung \"vorher.sh\" endete mit Status 3\r\n"),
              std::string::npos)
        << report;
    // The worker took the cancel before its first file: the report of a run cancelled at once.
    EXPECT_NE(report.find("!!! Fehler    : Abbruch durch Benutzer\r\n"), std::string::npos) << report;
    EXPECT_NE(report.find("Anzahl kopiert        : 0\r\n"), std::string::npos) << report;
    EXPECT_NE(report.find("Fehleranzahl          : 1\r\n"), std::string::npos) << report;
    EXPECT_NE(report.find("Ende Profil           : Daten\r\n"), std::string::npos) << report;
    EXPECT_EQ(platform.programs,
              (std::vector<std::string>{"/home/anna|vorher.sh|wait", "/home/anna|nachher.sh|nowait"}));
    EXPECT_EQ(view.active, (std::vector<std::string>{"Daten (Vollsicherung)", "-"}));
    // The user's own cancel is no failure to tell him of.
    EXPECT_TRUE(dialogs.shown.empty());
    ASSERT_EQ(outcomes.size(), 1u);
    EXPECT_EQ(outcomes[0].ending, RunEnding::Cancelled);
    EXPECT_EQ(outcomes[0].firstError, "Abbruch durch Benutzer");

    // The cancel was that run's: the next one copies.
    controller.BackupProfile(row);
    finishRun();
    EXPECT_EQ(p.Errors, 0);
    ASSERT_EQ(outcomes.size(), 2u);
    EXPECT_EQ(outcomes[1].ending, RunEnding::Succeeded);
    EXPECT_EQ(p.LastSuccess, p.LastRun);
    EXPECT_EQ(ReadFileBytes(dst / "sub/b.txt"), "22");
}

TEST_F(RunControllerTest, WaitingForTheControllerWaitsForTheProgramItsRunWaitsFor)
{
    const int row = add("Daten");
    profiles.at(row).RunBefore = "vorher.sh";
    profiles.at(row).RunBeforeWait = true;
    // WaitForWorker returns once the program has ended, its end waiting on the main thread.
    platform.HoldPrograms();
    controller.BackupProfile(row);
    platform.WaitUntilProgramHeld();
    std::thread user([this] { platform.ReleasePrograms(); });
    controller.WaitForWorker();
    user.join();
    EXPECT_EQ(tasksWaiting(), 1u);
    EXPECT_TRUE(controller.RunActive());
    finishRun();
    EXPECT_EQ(profiles.at(row).Errors, 0);

    // A controller that ends meanwhile waits for the program too (else its helper thread would be
    // left running): the program's end then waits for a controller that is gone, and is dropped.
    auto ending = std::make_unique<RunController>(environment());
    platform.HoldPrograms();
    ending->BackupProfile(row);
    platform.WaitUntilProgramHeld();
    std::thread other([this] { platform.ReleasePrograms(); });
    ending.reset();
    other.join();
    EXPECT_EQ(takeTasks().size(), 1u);
}

TEST_F(RunControllerTest, CheckDestVolumeAsksUntilTheMediumIsRight)
{
    platform.volume = {"/media/anna/", "ANDERS", ""};
    dialogs.answers = {true, false};
    EXPECT_FALSE(controller.CheckDestVolume("/media/anna/x/", "Sicherung"));
    EXPECT_EQ(dialogs.shown, (std::vector<std::string>{
                                 "Frage: Bitte Diskette mit dem Namen Sicherung in Laufwerk /media/anna/ legen",
                                 "Frage: Bitte Diskette mit dem Namen Sicherung in Laufwerk /media/anna/ legen"}));
    platform.volume.label = "SICHERUNG";
    EXPECT_TRUE(controller.CheckDestVolume("/media/anna/x/", "Sicherung"));
}

TEST_F(RunControllerTest, TheNextDiskIsAskedForWithTheMountPointAsDrive)
{
    dialogs.answers = {true, false};
    EXPECT_TRUE(controller.ZipItGetNextDisk(2, 3, "/media/anna/"));
    EXPECT_FALSE(controller.ZipItGetNextDisk(4, 0, "/"));
    EXPECT_EQ(dialogs.shown,
              (std::vector<std::string>{"Frage: Bitte Diskette Nr. 2 von 3 in Laufwerk /media/anna:\\ einlegen",
                                        "Frage: Bitte Diskette Nr. 4 in Laufwerk /:\\ einlegen"}));
}

} // namespace
