// What makes a file the user's file on Linux besides its bytes: modes (private folders, setuid),
// owners, times of files and folders, extended attributes, ACLs, holes of sparse files. A
// backup keeps them as rsync -aAXS does, which compares them here.

#include "engine/KeptMetadata.h"
#include "platform/posix/PosixFileSystem.h"
#include "support/EngineRun.h"
#include "support/Shell.h"
#include "support/TestMount.h"
#include "support/TreeBuilder.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

namespace {

class MetadataTest : public EngineRun
{
protected:
    PosixFileSystem files;

    MetadataTest()
    {
        platform.now = 37626.5;
        MakeFile(src / "privat/schluessel", "geheim");
        MakeFile(src / "privat/tief/notiz.txt", "auch geheim");
        MakeFile(src / "programm", "#!/bin/sh\n");
        MakeFile(src / "attribute.txt", "mit Attributen");
        MakeFile(src / "gemeinsam/liste.txt", "für die Gruppe");
        const std::string s = src.string();
        shell("chmod 0700 " + s + "/privat " + s + "/privat/tief && chmod 0600 " + s + "/privat/schluessel");
        shell("chmod 4755 " + s + "/programm && chmod 2775 " + s + "/gemeinsam");
        shell("chown 65534:65534 " + s + "/gemeinsam/liste.txt");
        shell("setfattr -n user.herkunft -v kamera " + s + "/attribute.txt");
        shell("setfacl -m u:65534:r " + s + "/attribute.txt && setfacl -d -m g:65534:rx " + s + "/gemeinsam");
        // 1 GiB with 4 bytes of data in its middle.
        shell("truncate -s 1G " + s + "/loecher.img && printf abcd | dd of=" + s +
              "/loecher.img bs=1 seek=536870912 conv=notrunc status=none");
        // Links of every kind, stored as links: to a file outside, to a folder, leading nowhere,
        // leading round in a circle; and a FIFO.
        shell("ln -s /etc/hostname " + s + "/rechnername && ln -s ../gemeinsam " + s + "/privat/zur-gruppe");
        shell("ln -s fehlt " + s + "/ins-leere && ln -s kreis " + s + "/kreis && mkfifo " + s + "/rohr");
        shell("touch -h -d '2002-03-04 05:06:07' " + s + "/rechnername");
        // One file with three names, two of them in other folders.
        shell("ln " + s + "/programm " + s + "/privat/programm && ln " + s + "/programm " + s + "/gemeinsam/auch");
        shell("touch -d '2001-02-03 04:05:06' " + s + "/privat/tief " + s + "/privat " + s + "/gemeinsam");
    }

    static void shell(const std::string& command)
    {
        const auto [ok, said] = RunShell(command);
        ASSERT_TRUE(ok) << command << "\n" << said;
    }

    // What rsync would still change at the destination to make it the source's equal; a
    // synchronisation keeps each name of a file as a file of its own.
    std::string differences(bool hardLinks = true)
    {
        return RunShell(std::string("rsync -a") + (hardLinks ? "H" : "") + "AXS --dry-run --itemize-changes " +
                        src.string() + "/ " + dst.string() + "/")
            .second;
    }
};

TEST_F(MetadataTest, ACopyKeepsWhatMakesAFileTheUsersFile)
{
    for (const std::uint8_t type : {BackupFull, BackupIncremental, BackupSynchronise}) {
        // Each kind of run as the profile's first: all files count as changed.
        RunShell("rm -rf " + dst.string() + " " + (dir / "archive-state.db").string());
        const RunResult r = run(files, profile(type));
        EXPECT_EQ(r.errorCount, 0) << int(type) << testing::PrintToString(r.logLines);
        EXPECT_EQ(differences(type != BackupSynchronise), "") << int(type);
        // The holes stayed holes.
        struct stat st
        {
        };
        ASSERT_EQ(::stat((dst / "loecher.img").c_str(), &st), 0);
        EXPECT_LT(st.st_blocks * 512, 1 << 20) << int(type);
    }
}

TEST_F(MetadataTest, AVerifiedCopyOfASparseFileIsComparedWhereItHoldsData)
{
    TProfile p = profile(BackupFull);
    p.Verify = true;
    p.VerifyBit = true;
    const RunResult r = run(files, p);
    EXPECT_EQ(r.errorCount, 0) << testing::PrintToString(r.logLines);
    EXPECT_TRUE(files.CompareFiles((src / "loecher.img").string(), (dst / "loecher.img").string(), true));
    // A copy with other bytes where the source has a hole is not the same.
    shell("printf x | dd of=" + (dst / "loecher.img").string() + " bs=1 seek=4096 conv=notrunc status=none");
    EXPECT_FALSE(files.CompareFiles((src / "loecher.img").string(), (dst / "loecher.img").string(), true));
}

TEST_F(MetadataTest, AnArchiveKeepsModesAndLinksForUnzip)
{
    std::filesystem::remove(src / "loecher.img"); // a GiB of zeros to deflate is no test of modes
    // Times a DOS date cannot hold, and an odd second.
    shell("touch -d '1975-05-06 07:08:09' " + (src / "attribute.txt").string());
    shell("touch -d '2050-01-02 03:04:05' " + (src / "privat/schluessel").string());
    TProfile p = profile(BackupFull);
    p.Compress = true;
    p.Zipfile = "sicherung.zip";
    const RunResult r = run(files, p);
    EXPECT_EQ(r.errorCount, 0) << testing::PrintToString(r.logLines);
    const auto out = dir / "ausgepackt";
    shell("mkdir " + out.string() + " && cd " + out.string() + " && unzip -q " + (dst / "sicherung.zip").string());
    EXPECT_EQ(std::filesystem::read_symlink(out / "rechnername"), "/etc/hostname");
    EXPECT_EQ(std::filesystem::read_symlink(out / "privat/zur-gruppe"), "../gemeinsam");
    EXPECT_EQ(std::filesystem::read_symlink(out / "kreis"), "kreis");
    struct stat st
    {
    };
    ASSERT_EQ(::stat((out / "privat/schluessel").c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0600u);
    ASSERT_EQ(::stat((out / "programm").c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0755u);
    EXPECT_EQ(ModifiedOf(out / "attribute.txt"), ModifiedOf(src / "attribute.txt"));
    EXPECT_EQ(ModifiedOf(out / "privat/schluessel"), ModifiedOf(src / "privat/schluessel"));
}

TEST_F(MetadataTest, AMediumThatKeepsNoneOfItGetsItInAFileBesideTheCopies)
{
    std::filesystem::remove(src / "loecher.img"); // 1 GiB does not fit the stick
    for (const auto& [kind, type] :
         {std::pair{TestMount::Stick::Fat, BackupFull}, std::pair{TestMount::Stick::Exfat, BackupFull},
          std::pair{TestMount::Stick::Exfat, BackupSynchronise}}) {
        SCOPED_TRACE(kind == TestMount::Stick::Fat ? "FAT" : "exFAT");
        // A folder on the stick: fusefat ends when asked to set the times of the FAT root.
        auto stick = TestMount::StickImage(kind, dir / "stick.img", dir / "stick");
        if (!stick)
            GTEST_SKIP() << "no FAT or exFAT through FUSE here";
        dst = dir / "stick/ziel";
        std::filesystem::create_directory(dst);
        const RunResult r = run(files, profile(type));
        EXPECT_EQ(r.errorCount, 0) << int(type) << testing::PrintToString(r.logLines);
        // What the file keeps is not reported missing.
        for (const std::string& line : r.logLines)
            EXPECT_TRUE(line.find("nicht übernommen") == std::string::npos &&
                        line.find("fehlen in der Kopie") == std::string::npos)
                << line;
        const auto kept = KeptMetadata::Parse(ReadFileBytes(dst / KeptMetadata::FileName));
        auto at = [&](const std::string& path) {
            const auto it = kept.find(path);
            return it == kept.end() ? KeptMetadata::Entry{} : it->second;
        };
        // Links and the FIFO live only there; modes, owners, times and attributes of the rest too.
        EXPECT_EQ(at("rechnername").kind, EntryKind::Link) << int(type);
        EXPECT_EQ(at("rechnername").linkTarget, "/etc/hostname");
        EXPECT_EQ(at("privat/zur-gruppe").linkTarget, "../gemeinsam");
        EXPECT_EQ(at("kreis").linkTarget, "kreis");
        EXPECT_EQ(at("rohr").kind, EntryKind::Fifo);
        EXPECT_EQ(at("privat").kind, EntryKind::Folder);
        EXPECT_EQ(at("privat").mode, 0700u);
        EXPECT_EQ(at("programm").mode, 04755u);
        EXPECT_EQ(at("gemeinsam/liste.txt").uid, 65534u);
        EXPECT_EQ(at("attribute.txt").mtimeNs / 1'000'000'000, ModifiedOf(src / "attribute.txt"));
        const auto& attributes = at("attribute.txt").attributes;
        EXPECT_NE(std::find(attributes.begin(), attributes.end(),
                            std::make_pair(std::string("user.herkunft"), std::string("kamera"))),
                  attributes.end());
        // The file itself never travels back into the source.
        EXPECT_FALSE(std::filesystem::exists(src / KeptMetadata::FileName));
        // A later run that copies nothing keeps what is noted.
        EXPECT_EQ(run(files, profile(BackupIncremental)).errorCount, 0);
        EXPECT_EQ(KeptMetadata::Parse(ReadFileBytes(dst / KeptMetadata::FileName)).count("programm"), 1u);
    }
}

TEST(KeptMetadataTest, EveryNameAndValueReadsBackAsItWasAndDamageCostsOnlyItsLine)
{
    const std::map<std::string, KeptMetadata::Entry> entries = {
        {"mit\tTab\nund Zeilenumbruch\\", {EntryKind::File, 04755, 1000, 100, -5'000'000'000, "", {}}},
        {"verweis", {EntryKind::Link, 0777, 0, 0, 42, "../ziel mit\tTab", {}}},
        {"", {EntryKind::Folder, 0700, 1, 2, 3, "", {{"user.roh", std::string("\0\xff=\t", 4)}}}},
    };
    const std::string text = KeptMetadata::Format(entries);
    EXPECT_EQ(KeptMetadata::Parse(text), entries);
    EXPECT_EQ(KeptMetadata::Parse(text + "kaputt\tx\t9\n").size(), entries.size());
    EXPECT_TRUE(KeptMetadata::Parse("etwas anderes\n" + text.substr(text.find('\n') + 1)).empty());
}

} // namespace
