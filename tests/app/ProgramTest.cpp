// The tresorio executable, started as a process.

#include "support/TempDir.h"

#include <QProcess>
#include <QProcessEnvironment>
#include <gtest/gtest.h>
#include <map>
#include <sys/stat.h>

namespace {

struct Outcome
{
    int exitCode = -1;
    std::string out;
    std::string err;
};

Outcome runTresorio(const QStringList& arguments, const std::filesystem::path& home)
{
    QProcess process;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.remove("TRESORIO_HOME");
    env.insert("HOME", QString::fromStdString(home.string()));
    env.insert("XDG_DATA_HOME", QString::fromStdString((home / "xdg-data").string()));
    env.insert("XDG_CONFIG_HOME", QString::fromStdString((home / "xdg-config").string()));
    process.setProcessEnvironment(env);
    process.start(TRESORIO_EXECUTABLE, arguments);
    process.waitForFinished(30000);
    return {process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1,
            process.readAllStandardOutput().toStdString(), process.readAllStandardError().toStdString()};
}

// Every file below the folder with its content, to see that nothing was written.
std::map<std::string, std::string> snapshot(const std::filesystem::path& folder)
{
    std::map<std::string, std::string> files;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(folder))
        files[entry.path().string()] = entry.is_regular_file() ? ReadFileBytes(entry.path()) : "<dir>";
    return files;
}

QString q(const std::filesystem::path& p)
{
    return QString::fromStdString(p.string());
}

TEST(ProgramTest, ListsAProfileFileOfAnOlderInstallation)
{
    TempDir home;
    const auto data = home / "daten";
    std::filesystem::create_directories(data);
    std::filesystem::copy_file(std::filesystem::path(TRESORIO_FIXTURES) / "legacy-cp1252/Backup.bpf",
                               data / "Backup.bpf");
    const auto before = snapshot(home.path());

    const Outcome o = runTresorio({"--data-dir", q(data), "--list"}, home.path());
    EXPECT_EQ(o.exitCode, 0) << o.err;
    EXPECT_EQ(o.out, "Sicherung Büro\t04.01.2003 16:30 (2 Err)\t06.01.2003 08:00\tVollsicherung, komprimieren\n"
                     "Übersicht Größe\t-\t-\tSynchronisieren\n");
    EXPECT_EQ(snapshot(home.path()), before);
}

TEST(ProgramTest, ListingAnEmptyOrMissingFolderPrintsNothingAndWritesNothing)
{
    TempDir home;
    std::filesystem::create_directories(home / "leer");
    for (const char* folder : {"leer", "fehlt"}) {
        const Outcome o = runTresorio({"--data-dir", q(home / folder), "--list"}, home.path());
        EXPECT_EQ(o.exitCode, 0) << o.err;
        EXPECT_EQ(o.out, "");
    }
    EXPECT_FALSE(std::filesystem::exists(home / "fehlt"));
    EXPECT_TRUE(std::filesystem::is_empty(home / "leer"));
}

TEST(ProgramTest, ADamagedProfileFileIsReportedAndKept)
{
    TempDir home;
    const auto data = home / "daten";
    std::filesystem::create_directories(data);
    WriteFileBytes(data / "Backup.bpf", "kaputt\r\n[A]\r\n");
    const auto before = snapshot(home.path());

    const Outcome list = runTresorio({"--data-dir", q(data), "--list"}, home.path());
    EXPECT_EQ(list.exitCode, 1);
    EXPECT_EQ(list.out, "");
    EXPECT_NE(list.err.find("keine lesbare Profildatei"), std::string::npos) << list.err;
    EXPECT_EQ(snapshot(home.path()), before);

    const Outcome run = runTresorio({"--data-dir", q(data)}, home.path());
    EXPECT_EQ(run.exitCode, 0) << run.err;
    EXPECT_NE(run.err.find("Backup.bpf.bak"), std::string::npos) << run.err;
    EXPECT_EQ(ReadFileBytes(data / "Backup.bpf.bak"), "kaputt\r\n[A]\r\n");
    EXPECT_EQ(ReadFileBytes(data / "Backup.bpf"), "[Signature]\r\n\r\n\r\n");
}

TEST(ProgramTest, FirstStartCreatesTheFilesInTheDefaultDataFolder)
{
    TempDir home;
    const Outcome o = runTresorio({}, home.path());
    EXPECT_EQ(o.exitCode, 0) << o.err;
    const auto data = home / "xdg-data/tresorio";
    EXPECT_EQ(ReadFileBytes(data / "Backup.bpf"), "[Signature]\r\n\r\n\r\n");
    struct stat st
    {
    };
    ::stat((data / "Backup.bpf").c_str(), &st);
    EXPECT_EQ(st.st_mode & 0777, 0600u);
    EXPECT_NE(ReadFileBytes(data / "settings.ini").find("WaitAfterAutostart=10"), std::string::npos);
}

TEST(ProgramTest, HelpVersionAndBadArguments)
{
    TempDir home;
    const Outcome help = runTresorio({"--help"}, home.path());
    EXPECT_EQ(help.exitCode, 0);
    EXPECT_NE(help.out.find("--data-dir"), std::string::npos);
    const Outcome version = runTresorio({"--version"}, home.path());
    EXPECT_EQ(version.exitCode, 0);
    EXPECT_EQ(version.out.rfind("Tresorio ", 0), 0u);
    const Outcome bad = runTresorio({"--frobnicate"}, home.path());
    EXPECT_EQ(bad.exitCode, 2);
    EXPECT_NE(bad.err.find("--frobnicate"), std::string::npos);
    EXPECT_TRUE(std::filesystem::is_empty(home.path()));
}

} // namespace
