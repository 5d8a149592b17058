// The real program as an ordinary user: what a user may keep of the metadata of their own files
// arrives exactly, and what only root may give is said once in the report.

#include "ProgramProcess.h"
#include "support/Shell.h"
#include "support/TempDir.h"
#include "support/TreeBuilder.h"

#include <gtest/gtest.h>

namespace {

TEST(ExactCopyTest, AnOrdinaryUserKeepsEverythingOfTheirOwnFiles)
{
    TempDir home;
    const auto data = home / "daten";
    const auto src = home / "quelle";
    const auto dst = home / "ziel";
    std::filesystem::create_directories(data);
    std::filesystem::create_directories(home / "run");
    MakeFile(src / "privat/schluessel", "geheim");
    MakeFile(src / "notiz.txt", "mit Attribut");
    MakeFile(src / "fremd.txt", "gehört root");
    MakeFile(src / "nurlesen/liste.txt", "1");
    const std::string s = src.string();
    const auto shell = [](const std::string& command) {
        const auto [ok, said] = RunShell(command);
        ASSERT_TRUE(ok) << command << "\n" << said;
    };
    shell("chmod 0700 " + s + "/privat && chmod 0600 " + s + "/privat/schluessel");
    shell("ln -s privat/schluessel " + s + "/verweis && ln " + s + "/notiz.txt " + s + "/privat/notiz.txt");
    shell("truncate -s 100M " + s + "/leer.img && mkfifo " + s + "/rohr");
    shell("chown -R 65534:65534 " + home.path().string());
    shell("chown -h 0:0 " + s + "/fremd.txt && chmod 0644 " + s + "/fremd.txt && chmod 0555 " + s + "/nurlesen");
    shell("setpriv --reuid=65534 --regid=65534 --clear-groups sh -c 'setfattr -n user.farbe -v rot " + s +
          "/notiz.txt && setfacl -m u:0:r " + s + "/notiz.txt'");
    WriteFileBytes(data / "Backup.bpf", "[Signature]\r\n\r\n\r\n[Genau]\r\nSource=" + s +
                                            "/\r\nWithsub=1\r\nDestination=" + dst.string() +
                                            "/\r\nPeriod=1\r\nBackuptype=1\r\n");
    shell("chown -R 65534:65534 " + data.string());
    const Outcome o = runTresorio({"--data-dir", q(data), "Genau"}, home.path(), true);
    const std::string log = ReadFileBytes(data / "Backup.log");
    EXPECT_EQ(o.exitCode, 0) << o.err << log;
    // Only the file of another owner differs, in its owner and group, and the report says why once.
    EXPECT_EQ(RunShell("rsync -aHAXS --dry-run --itemize-changes " + s + "/ " + dst.string() + "/").second,
              ".f....og... fremd.txt\n");
    EXPECT_NE(log.find("Hinweis: Besitzer und Gruppen anderer Benutzer wurden nicht übernommen"), std::string::npos)
        << log;

    // The copy of a folder its owner may not write, closed like its source, still takes the
    // next version of its files.
    shell("chmod u+w " + s + "/nurlesen && echo 2 > " + s + "/nurlesen/liste.txt && chmod 0555 " + s + "/nurlesen");
    EXPECT_EQ(runTresorio({"--data-dir", q(data), "Genau"}, home.path(), true).exitCode, 0)
        << ReadFileBytes(data / "Backup.log");
    EXPECT_EQ(ReadFileBytes(dst / "nurlesen/liste.txt"), "2\n");
}

} // namespace
