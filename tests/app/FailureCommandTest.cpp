// The command on failure: its words and notes, and the real program starting it.

#include "app/FailureCommand.h"

#include "ProgramProcess.h"
#include "RunningProgramTest.h"
#include "support/Shell.h"

#include <QSettings>
#include <gtest/gtest.h>
#include <sys/stat.h>

namespace {

using Words = std::vector<std::string>;

TEST(FailureCommandTest, ALineSplitsIntoWordsAsAShellsSimpleQuotingDoes)
{
    const std::pair<std::string, std::optional<Words>> cases[] = {
        {"mail -s Fehler root", Words{"mail", "-s", "Fehler", "root"}},
        {"  a\t b  ", Words{"a", "b"}},
        {"sh -c 'echo \"$TRESORIO_PROFILE\" | mail root'", Words{"sh", "-c", "echo \"$TRESORIO_PROFILE\" | mail root"}},
        {"say \"er sagt \\\"ja\\\" \\$x \\n\"", Words{"say", "er sagt \"ja\" $x \\n"}},
        {"a\\ b c\\'d", Words{"a b", "c'd"}},
        {"x'' \"\" y", Words{"x", "", "y"}},
        {"p'a'\"b\"c", Words{"pabc"}},
        {"$HOME; rm -rf / `id`", Words{"$HOME;", "rm", "-rf", "/", "`id`"}}, // no shell: all words
        {"", Words{}},
        {"'offen", std::nullopt},
        {"\"offen", std::nullopt},
        {"am Ende\\", std::nullopt},
    };
    for (const auto& [line, words] : cases)
        EXPECT_EQ(SplitCommandWords(line), words) << line;
}

TEST(FailureCommandTest, WhatTheCommandIsGivenAndWhatIsNotedOfIt)
{
    RunOutcome overdue{"Büro", RunEnding::Overdue, 0, "Letzte erfolgreiche Sicherung vor 12 Tagen", {}, false, 12};
    Platform::CommandRequest request = FailureCommandRequest({"melden"}, overdue, "/d/Backup.log", 60);
    EXPECT_EQ(request.input, "überfällig: Letzte erfolgreiche Sicherung vor 12 Tagen\n");
    EXPECT_EQ(request.environment, (std::vector<std::pair<std::string, std::string>>{
                                       {"TRESORIO_PROFILE", "Büro"},
                                       {"TRESORIO_ERRORS", "0"},
                                       {"TRESORIO_OUTCOME", "overdue"},
                                       {"TRESORIO_REPORT", "/d/Backup.log"},
                                       {"TRESORIO_FIRST_ERROR", "Letzte erfolgreiche Sicherung vor 12 Tagen"}}));
    const RunOutcome failed{"Büro", RunEnding::Failed, 2, "x", {"Zeile 1", "Zeile 2"}, false, 0};
    EXPECT_EQ(FailureCommandRequest({"melden"}, failed, "/d/Backup.log", 60).input, "Zeile 1\nZeile 2\n");
    for (const RunEnding ending : {RunEnding::Refused, RunEnding::Interrupted})
        EXPECT_TRUE(IsFailure(ending));

    using Kind = Platform::CommandEnd::Kind;
    const std::pair<Platform::CommandEnd, std::optional<std::string>> notes[] = {
        {{Kind::Ended, 0, 0, ""}, std::nullopt},
        {{Kind::Ended, 3, 0, ""}, "Hinweis: Befehl bei Fehlern \"m x\" endete mit Status 3"},
        {{Kind::Ended, 0, 11, ""}, "Hinweis: Befehl bei Fehlern \"m x\" endete durch Signal 11"},
        {{Kind::NotStarted, 0, 0, "No such file or directory"},
         "Hinweis: Befehl bei Fehlern \"m x\" konnte nicht gestartet werden (No such file or directory)"},
        {{Kind::TimedOut, 0, 0, ""}, "Hinweis: Befehl bei Fehlern \"m x\" lief länger als 60 s und wurde beendet"},
        {{Kind::Stopped, 0, 0, ""}, "Hinweis: Befehl bei Fehlern \"m x\" wurde beim Beenden von Tresorio abgebrochen"},
    };
    for (const auto& [end, note] : notes)
        EXPECT_EQ(FailureCommandNote("m x", end, 60), note);
}

// A home whose profile cannot reach its destination (it lies below a file), with a command on
// failure set as the options dialog saves it.
class FailureCommandRunTest : public RunningProgramTest
{
protected:
    const std::string name = "-Büro \"neu\"";

    FailureCommandRunTest()
    {
        MakeFile(home / "datei", "kein Ordner");
        WriteFileBytes(data / "Backup.bpf", "[Signature]\r\n\r\n\r\n[" + name + "]\r\nSource=" + src.string() +
                                                "/\r\nWithsub=1\r\nDestination=" + (home / "datei/ziel").string() +
                                                "/\r\nPeriod=1\r\nBackuptype=1\r\n");
    }

    void setCommand(const std::string& line)
    {
        QSettings settings(q(data / "settings.ini"), QSettings::IniFormat);
        settings.setValue("RunOnFailure", QString::fromStdString(line));
    }

    Outcome runProfile(const QStringList& options = {})
    {
        return runTresorio(QStringList{"--data-dir", q(data), "--headless"} + options +
                               QStringList{"--", QString::fromStdString(name)},
                           home.path());
    }
};

TEST_F(FailureCommandRunTest, TheCommandGetsTheOutcomeInItsEnvironmentAndTheReportOnItsInput)
{
    const auto told = home / "gemeldet.txt";
    MakeFile(home / "melden.sh", "#!/bin/sh\n{ printf '<%s>' \"$@\"; echo; env | grep '^TRESORIO_' | sort; "
                                 "echo ---; cat; } > '" +
                                     told.string() + "'\n");
    ::chmod((home / "melden.sh").c_str(), 0755);
    setCommand((home / "melden.sh").string() + " 'zwei Worte' \"$HOME\" ; -x");

    const Outcome o = runProfile();
    EXPECT_EQ(o.exitCode, 1) << o.err;
    const std::string said = ReadFileBytes(told);
    const std::string log = ReadFileBytes(data / "Backup.log");
    // No shell came between: no variable was expanded, ";" is a word.
    EXPECT_EQ(said.substr(0, said.find('\n')), "<zwei Worte><$HOME><;><-x>") << said;
    EXPECT_NE(said.find("TRESORIO_ERRORS=1\n"), std::string::npos) << said;
    EXPECT_NE(said.find("TRESORIO_FIRST_ERROR=Ziel " + (home / "datei/ziel").string()), std::string::npos) << said;
    EXPECT_NE(said.find("TRESORIO_OUTCOME=refused\n"), std::string::npos) << said;
    EXPECT_NE(said.find("TRESORIO_PROFILE=" + name + "\n"), std::string::npos) << said;
    EXPECT_NE(said.find("TRESORIO_REPORT=" + (data / "Backup.log").string() + "\n"), std::string::npos) << said;
    // Its input is the report as the log holds it, line by line.
    std::string report = said.substr(said.find("---\n") + 4);
    std::string logged = log;
    for (std::size_t at = 0; (at = logged.find("\r\n", at)) != std::string::npos;)
        logged.erase(at, 1);
    EXPECT_FALSE(report.empty());
    EXPECT_NE(logged.find(report), std::string::npos) << report << "\n---\n" << logged;
    EXPECT_NE(report.find("Profil                : " + name + "\n"), std::string::npos) << report;
    EXPECT_EQ(log.find("Befehl bei Fehlern"), std::string::npos) << log; // it ended well
}

TEST_F(FailureCommandRunTest, ACommandThatFailsOrRunsTooLongIsNotedInTheLogAsAReportOfItsOwn)
{
    const auto pidFile = home / "pid";
    const std::string sleeper = "sh -c 'sleep 300 & echo $! > " + pidFile.string() + "; wait'";
    struct Case
    {
        std::string command;
        QStringList options;
        std::string note;
    };
    const Case cases[] = {
        {"/nirgends/melden --x",
         {},
         "Hinweis: Befehl bei Fehlern \"/nirgends/melden --x\" konnte nicht gestartet werden (No such file or "
         "directory)"},
        {"sh -c 'exit 3'", {}, "Hinweis: Befehl bei Fehlern \"sh -c 'exit 3'\" endete mit Status 3"},
        {"'offen", {}, "Hinweis: Befehl bei Fehlern \"'offen\" ist nicht lesbar"},
        {sleeper,
         {"--command-limit", "1"},
         "Hinweis: Befehl bei Fehlern \"" + sleeper + "\" lief länger als 1 s und wurde beendet"},
        // The end of the program waits no longer than its end wait for it.
        {sleeper,
         {"--end-wait", "1"},
         "Hinweis: Befehl bei Fehlern \"" + sleeper + "\" wurde beim Beenden von Tresorio abgebrochen"},
    };
    for (const Case& c : cases) {
        std::filesystem::remove(data / "Backup.log");
        std::filesystem::remove(pidFile);
        setCommand(c.command);
        const Outcome o = runProfile(c.options);
        EXPECT_EQ(o.exitCode, 1) << c.command << o.err;
        const std::string log = ReadFileBytes(data / "Backup.log");
        const std::size_t note = log.find(c.note);
        ASSERT_NE(note, std::string::npos) << c.command << "\n" << log;
        // After the run's report, in one of its own that begins as every report does.
        const std::string begins = std::string(60, '=') + "\r\nProfil                : " + name + "\r\n";
        EXPECT_EQ(log.rfind(begins, note), note - begins.size()) << log;
        EXPECT_NE(log.find("Ende Profil           : " + name, note), std::string::npos) << log;
        EXPECT_NE(log.find(begins), note - begins.size()) << log; // the run's report came first
        if (c.command == sleeper) {
            // What the command started went with it.
            const std::string pid = ReadFileBytes(pidFile);
            ASSERT_FALSE(pid.empty());
            const std::string stat = ReadFileBytes("/proc/" + pid.substr(0, pid.find('\n')) + "/stat");
            EXPECT_TRUE(stat.empty() || stat.find(") Z ") != std::string::npos) << stat;
        }
    }
}

TEST_F(RunningProgramTest, WithoutWindowsEveryRunLeavesOneJournalLineWithItsLevel)
{
    writeProfile(false);
    const Outcome good = runTresorio({"--data-dir", q(data), "--headless", "Daten"}, home.path());
    EXPECT_EQ(good.exitCode, 0) << good.err;
    EXPECT_NE(("\n" + good.err).find("\n<6>tresorio: Profil \"Daten\" ohne Fehler beendet\n"), std::string::npos)
        << good.err;
    writeProfile(false, (home / "fehlt").string());
    const Outcome failed = runTresorio({"--data-dir", q(data), "--headless", "Daten"}, home.path());
    EXPECT_EQ(failed.exitCode, 1);
    EXPECT_NE(("\n" + failed.err).find("\n<3>tresorio: Profil \"Daten\" "), std::string::npos) << failed.err;
    EXPECT_EQ(failed.err.find("<6>"), std::string::npos) << failed.err;
}

} // namespace
