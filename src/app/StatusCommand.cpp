#include "app/StatusCommand.h"

#include "app/DataFolder.h"
#include "app/DataFolderContents.h"
#include "app/ProfileStatus.h"

#include <iostream>

namespace {

constexpr int ExitAttention = 1;
constexpr int ExitUnusable = 2;

} // namespace

int RunStatusCommand(const std::filesystem::path& dataFolder, bool json, Platform& platform)
{
    // A missing folder is no empty one: a monitor pointed at the wrong place must not hear "all well".
    std::error_code error;
    if (!std::filesystem::is_directory(dataFolder, error)) {
        std::cerr << "tresorio: Datenordner " << dataFolder.string() << " nicht gefunden.\n";
        return ExitUnusable;
    }
    const DateTime now = platform.Now();
    const DataFolderContents contents = ReadDataFolder(dataFolder, now);
    if (!contents.readable) {
        std::cerr << "tresorio: " << (dataFolder / ProfileFileName).string() << " ist keine lesbare Profildatei.\n";
        return ExitUnusable;
    }
    std::vector<ProfileStatus> statuses;
    bool attention = false;
    for (int row = 0; row < contents.profiles.count(); ++row) {
        statuses.push_back(StatusOf(contents.profiles.at(row), now, contents.settings.OverdueDays));
        attention = attention || NeedsAttention(statuses.back());
    }
    std::cout << (json ? StatusJson(statuses) : StatusLines(statuses));
    return attention ? ExitAttention : 0;
}
