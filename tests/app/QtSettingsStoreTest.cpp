#include "app/QtSettingsStore.h"

#include "base/ProgramSettings.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

namespace {

TEST(QtSettingsStoreTest, SettingsSurviveTheFile)
{
    TempDir dir;
    ProgramSettings settings;
    settings.Suspend = true;
    settings.LogAll = true;
    settings.AutoUpdateProxy = "http://proxy:3128";
    settings.FTPTransferEXT = "*.txt,*.md,\"quoted\";" + std::string(300, 'x');
    {
        QtSettingsStore store(dir / "settings.ini");
        SaveRegistry(settings, store);
        store.sync();
    }
    QtSettingsStore store(dir / "settings.ini");
    EXPECT_EQ(ReadProgramSettings(store), settings);
    store.DeleteSetting("Suspend");
    EXPECT_EQ(store.ReadSetting("Suspend"), "");
    EXPECT_EQ(store.ReadSetting("Unbekannt"), "");
    // The owner's alone, also after the file was written anew.
    store.WriteSetting("LogAll", "0");
    store.sync();
    EXPECT_EQ(std::filesystem::status(dir / "settings.ini").permissions(),
              std::filesystem::perms::owner_read | std::filesystem::perms::owner_write);
}

TEST(QtSettingsStoreTest, HandWrittenValues)
{
    TempDir dir;
    WriteFileBytes(dir / "settings.ini", "[General]\nFTPTransferEXT=*.txt,*.html\nLanguage=2\nPriority=-1\n");
    QtSettingsStore store(dir / "settings.ini");
    const ProgramSettings settings = ReadProgramSettings(store);
    EXPECT_EQ(settings.FTPTransferEXT, "*.txt,*.html");
    EXPECT_EQ(settings.Language, 1);
    EXPECT_EQ(settings.Priority, -1);
}

} // namespace
