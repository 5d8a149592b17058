#pragma once

#include "app/Program.h"
#include "support/TempDir.h"
#include "ui/GuiFrontEnd.h"

#include <functional>
#include <gtest/gtest.h>
#include <memory>

/// A real program with its windows over a temporary data folder holding the given profiles.
class WindowFixture : public ::testing::Test
{
protected:
    /// Writes the profiles, starts the program and opens its windows.
    /// A long scheduler tick by default: the scheduler never starts a run the test did not ask for.
    void start(const std::vector<TProfile>& profiles, GuiFrontEnd::Tray tray = GuiFrontEnd::Tray::Always,
               int tickMs = 3600000);
    void TearDown() override;
    /// Shows the main window as the active window, as shortcuts need.
    void showActive();

    /// Handles events until done() holds or ten seconds passed; whether it held.
    static bool waitFor(const std::function<bool()>& done, int timeoutMs = 10000);

public:
    /// Waits until a program started with home has its channel up.
    static bool waitForChannel(const std::filesystem::path& home);

protected:
    /// A profile that copies src/ of the temporary folder into dest/<name>/.
    TProfile copyProfile(const std::string& name);

    MainWindow& window() { return *m_frontEnd->window(); }
    GuiFrontEnd& frontEnd() { return *m_frontEnd; }
    Program& program() { return *m_program; }
    /// Runs action, answering the one message box it shows with OK; the box's text, or "" when
    /// none or more than one was shown.
    static std::string messageOf(const std::function<void()>& action);
    /// The first-column texts of the list, top to bottom.
    std::vector<std::string> names();

    bool m_showErrors = false; // whether the program tells of failures (the tests that answer them)
    TempDir m_temp;
    std::filesystem::path m_data = m_temp / "data";
    std::unique_ptr<Platform> m_platform;
    std::unique_ptr<FileSystem> m_fs;
    std::unique_ptr<GuiFrontEnd> m_frontEnd;
    std::unique_ptr<Program> m_program;
};

/// A date and time as the profile file keeps it.
DateTime At(int year, int month, int day, int hour = 0, int minute = 0);
