#pragma once

#include "support/TempDir.h"
#include "support/TreeBuilder.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <string>

// A home with a data folder and a source of two files, for a copy of the program to run in.
class RunningProgramTest : public ::testing::Test
{
protected:
    TempDir home;
    std::filesystem::path data = home / "daten";
    std::filesystem::path src = home / "quelle";
    std::filesystem::path dst = home / "ziel";

    RunningProgramTest()
    {
        std::filesystem::create_directories(home / "run");
        std::filesystem::permissions(home / "run", std::filesystem::perms::owner_all);
        std::filesystem::create_directories(data);
        MakeFile(src / "a.txt", "hallo");
        MakeFile(src / "sub/b.txt", "welt");
    }

    // One profile, due long ago when nextRun says so, else only by hand.
    void writeProfile(bool due, const std::string& source = "")
    {
        WriteFileBytes(data / "Backup.bpf",
                       "[Signature]\r\n\r\n\r\n[Daten]\r\nSource=" + (source.empty() ? src.string() : source) +
                           "/\r\nWithsub=1\r\nDestination=" + dst.string() + "/\r\nPeriod=" + (due ? "2" : "1") +
                           "\r\nHours=1\r\nBackuptype=1\r\nGenerations=1\r\nMissedBackup=1\r\n"
                           "NextRun=01.01.2020 00:00:00\r\n");
    }

    bool reported()
    {
        return ReadFileBytes(data / "Backup.log").find("Ende Profil           : Daten") != std::string::npos;
    }
};
