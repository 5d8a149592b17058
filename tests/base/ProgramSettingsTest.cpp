#include "base/ProgramSettings.h"

#include "base/SettingsStore.h"

#include <gtest/gtest.h>
#include <map>
#include <vector>

namespace {

class MemoryStore final : public SettingsStore
{
public:
    std::map<std::string, std::string> values;
    std::vector<std::string> writeOrder;

    std::string ReadSetting(const std::string& name) override
    {
        const auto it = values.find(name);
        return it == values.end() ? std::string() : it->second;
    }
    void WriteSetting(const std::string& name, const std::string& value) override
    {
        values[name] = value;
        writeOrder.push_back(name);
    }
    void DeleteSetting(const std::string& name) override { values.erase(name); }
};

TEST(ProgramSettingsTest, SettingNumberAndKeepDigits)
{
    struct Case
    {
        const char* text;
        int number;
        const char* digits;
    };
    const Case cases[] = {
        {"", 0, ""},    {"12", 12, "12"}, {"1a2", 12, "12"},  {"-5", 0, "-5"},
        {"abc", 0, ""}, {"0", 0, "0"},    {" 30 ", 30, "30"}, {"99999999999", 0, "99999999999"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(SettingNumber(c.text), c.number) << c.text;
        EXPECT_EQ(KeepDigits(c.text), c.digits) << c.text;
    }
}

TEST(ProgramSettingsTest, MissingValuesGiveTheDefaults)
{
    MemoryStore store;
    EXPECT_EQ(ReadProgramSettings(store), ProgramSettings{});
}

TEST(ProgramSettingsTest, ReadRules)
{
    struct Case
    {
        const char* name;
        const char* stored;
        std::function<bool(const ProgramSettings&)> holds;
    };
    const Case cases[] = {
        {"WaitAfterAutostart", "0", [](const ProgramSettings& s) { return s.WaitAfterAutostart == 10; }},
        {"WaitAfterAutostart", "3", [](const ProgramSettings& s) { return s.WaitAfterAutostart == 3; }},
        {"Compression", "0", [](const ProgramSettings& s) { return s.Compression == 5; }},
        {"Compression", "9", [](const ProgramSettings& s) { return s.Compression == 9; }},
        {"Compression", "42", [](const ProgramSettings& s) { return s.Compression == 5; }},
        {"LogSize", "0", [](const ProgramSettings& s) { return s.LogSize == 1000; }},
        {"Priority", "3", [](const ProgramSettings& s) { return s.Priority == -2; }},
        {"Priority", "x", [](const ProgramSettings& s) { return s.Priority == -2; }},
        {"Priority", "-1", [](const ProgramSettings& s) { return s.Priority == -1; }},
        {"Priority", "2", [](const ProgramSettings& s) { return s.Priority == 2; }},
        {"Suspend", "1", [](const ProgramSettings& s) { return s.Suspend; }},
        {"Suspend", "yes", [](const ProgramSettings& s) { return !s.Suspend; }},
        {"LogAll", "2", [](const ProgramSettings& s) { return !s.LogAll; }},
        {"LogError", "0", [](const ProgramSettings& s) { return !s.LogError; }},
        {"Hidden", "nein", [](const ProgramSettings& s) { return s.Hidden; }},
        {"AutoUpdateNext", "x", [](const ProgramSettings& s) { return s.AutoUpdateNext == 14; }},
        {"AutoUpdateNext", "0", [](const ProgramSettings& s) { return s.AutoUpdateNext == 0; }},
        {"AutoUpdateProxy", "-", [](const ProgramSettings& s) { return s.AutoUpdateProxy.empty(); }},
        {"AutoUpdateProxy", "proxy:8080", [](const ProgramSettings& s) { return s.AutoUpdateProxy == "proxy:8080"; }},
        {"AutoUpdateUrl", "", [](const ProgramSettings& s) { return s.AutoUpdateUrl == DefaultAutoUpdateUrl; }},
        {"AutoUpdateUrl", " http://127.0.0.1:8080/v.html ",
         [](const ProgramSettings& s) { return s.AutoUpdateUrl == "http://127.0.0.1:8080/v.html"; }},
        {"Language", "2", [](const ProgramSettings& s) { return s.Language == 1; }},
        {"Language", "0", [](const ProgramSettings& s) { return s.Language == 0; }},
        {"MenuStyle", "0", [](const ProgramSettings& s) { return s.MenuStyle == 1; }},
        {"MenuStyle", "1", [](const ProgramSettings& s) { return s.MenuStyle == 0; }},
        {"MenuColor", "2", [](const ProgramSettings& s) { return s.MenuColor == 1; }},
        {"ListColumns2", "0", [](const ProgramSettings& s) { return s.ListColumns[2] == 100; }},
        {"Viewstyle", "3", [](const ProgramSettings& s) { return s.Viewstyle == 3; }},
        // Out of range, as only a hand-edited file holds them: the default, never a product that
        // overflows (35792 minutes are more milliseconds than an int holds).
        {"WaitAfterAutostart", "35792", [](const ProgramSettings& s) { return s.WaitAfterAutostart == 10; }},
        {"WaitAfterAutostart", "60", [](const ProgramSettings& s) { return s.WaitAfterAutostart == 60; }},
        {"LogSize", "2000001", [](const ProgramSettings& s) { return s.LogSize == 1000; }},
        {"LogSize", "2000000", [](const ProgramSettings& s) { return s.LogSize == 2000000; }},
        {"ListColumns0", "99999999", [](const ProgramSettings& s) { return s.ListColumns[0] == 140; }},
        {"Viewstyle", "4", [](const ProgramSettings& s) { return s.Viewstyle == 0; }},
        {"Language", "3", [](const ProgramSettings& s) { return s.Language == 0; }},
        {"MenuStyle", "4", [](const ProgramSettings& s) { return s.MenuStyle == 1; }},
        {"MenuColor", "3", [](const ProgramSettings& s) { return s.MenuColor == 0; }},
        {"AutoUpdateNext", "-5", [](const ProgramSettings& s) { return s.AutoUpdateNext == 14; }},
        {"AutoUpdateNext", "2147483647", [](const ProgramSettings& s) { return s.AutoUpdateNext == 14; }},
        {"FTPTransferEXT", "\"\"", [](const ProgramSettings& s) { return s.FTPTransferEXT == DefaultFtpTransferExt; }},
        {"FTPTransferEXT", "  *.md,*.txt ", [](const ProgramSettings& s) { return s.FTPTransferEXT == "*.md,*.txt"; }},
        {"OverdueDays", "0", [](const ProgramSettings& s) { return s.OverdueDays == 3; }},
        {"OverdueDays", "99999", [](const ProgramSettings& s) { return s.OverdueDays == 3; }},
        {"OverdueDays", "10", [](const ProgramSettings& s) { return s.OverdueDays == 10; }},
        {"RunOnFailure", " /usr/local/bin/melden --laut ",
         [](const ProgramSettings& s) { return s.RunOnFailure == "/usr/local/bin/melden --laut"; }},
    };
    for (const Case& c : cases) {
        MemoryStore store;
        store.values[c.name] = c.stored;
        EXPECT_TRUE(c.holds(ReadProgramSettings(store))) << c.name << "=" << c.stored;
    }
}

TEST(ProgramSettingsTest, SaveRegistryWritesTheTableInOrderAndReadsBack)
{
    ProgramSettings settings;
    settings.Suspend = true;
    settings.Priority = -1;
    settings.Language = 1;
    settings.MenuStyle = 0;
    settings.AutoUpdateProxy = "";
    settings.FTPTransferEXT = std::string(400, 'x'); // kept whole, no 255-byte cut
    settings.AutoUpdateDate = *TryEncodeDate(2026, 12, 24);
    settings.WindowGeometry = "AdnQywADAAA=";
    MemoryStore store;
    SaveRegistry(settings, store);

    const std::vector<std::string> order = {"Suspend",      "LogSize",        "WaitAfterAutostart", "Priority",
                                            "LogAll",       "LogError",       "LogProfile",         "ShowError",
                                            "System",       "Hidden",         "ReadOnly",           "Compression",
                                            "AutoUpdate",   "AutoUpdateNext", "AutoUpdateProxy",    "AutoUpdateUrl",
                                            "Language",     "ListColumns0",   "ListColumns1",       "ListColumns2",
                                            "ListColumns3", "Viewstyle",      "MenuStyle",          "MenuColor",
                                            "XPTask",       "FTPTransferEXT", "AutoUpdateDate",     "WindowGeometry",
                                            "WindowState",  "NotifySuccess",  "OverdueDays",        "RunOnFailure"};
    EXPECT_EQ(store.writeOrder, order);
    EXPECT_EQ(store.values["AutoUpdateProxy"], "-");
    EXPECT_EQ(store.values["Language"], "2");
    EXPECT_EQ(store.values["MenuStyle"], "1");
    EXPECT_EQ(store.values["AutoUpdateDate"], "24.12.2026 00:00:00");
    EXPECT_EQ(store.values["WindowState"], ""); // never saved: Qt's own layout
    EXPECT_EQ(ReadProgramSettings(store), settings);
}

} // namespace
