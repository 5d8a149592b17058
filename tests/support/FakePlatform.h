#pragma once

#include "platform/Platform.h"

#include <map>

/// A platform with fixed answers that tests set as they need.
class FakePlatform final : public Platform
{
public:
    DateTime now = 0.0;
    DateTime step = 0.0; // how far the clock moves at each reading
    std::string userName = "anna";
    std::string computerName = "werkbank";
    std::map<SpecialFolder, std::string> folders = {{SpecialFolder::Programs, "/home/anna/.local/share/applications"},
                                                    {SpecialFolder::Personal, "/home/anna/Dokumente"},
                                                    {SpecialFolder::Desktop, "/home/anna/Schreibtisch"},
                                                    {SpecialFolder::Windows, "/etc"},
                                                    {SpecialFolder::System, "/usr/lib"},
                                                    {SpecialFolder::Home, "/home/anna"}};
    int threadPriority = 99; // not set
    bool autostart = false;

    DateTime Now() override
    {
        const DateTime reading = now;
        now += step;
        return reading;
    }
    std::string UserName() override { return userName; }
    std::string ComputerName() override { return computerName; }
    std::string SpecialFolderPath(SpecialFolder folder) override { return folders[folder]; }
    void SetCurrentThreadPriority(int level) override { threadPriority = level; }
    bool AutostartRegistered() override { return autostart; }
    bool SetAutostart(bool on) override
    {
        autostart = on;
        return true;
    }
};
