#pragma once

#include "app/DesktopNotifications.h"
#include "app/FrontEnd.h"
#include "ui/MessageBoxes.h"
#include "ui/Presentation.h"
#include "ui/PublishedProgress.h"

#include <QObject>
#include <QPointer>
#include <QTimer>
#include <functional>
#include <memory>

class AboutDialog;
class OptionsDialog;
class MainWindow;
class Program;
class TrayIcon;
class UpdateCheck;

/// The program with windows: the main window, the tray icon and the message boxes. It exists
/// before the program starts (the program's start-up already shows what it finds); the windows
/// are made by Open once the settings are read, and show what was told meanwhile. The run's
/// progress arrives on the worker thread into a published record that a timer reads ten times a
/// second, so the worker never waits for a window.
class GuiFrontEnd final : public QObject, public FrontEnd
{
    Q_OBJECT

public:
    GuiFrontEnd();
    ~GuiFrontEnd() override;
    Q_DISABLE_COPY_MOVE(GuiFrontEnd)

    enum class Tray
    {
        WhereAvailable, // the desktop's notification area, if it has one
        Always,         // also where none is known (tests drive the icon directly)
        Never,          // as on a desktop without one
    };

    /// Makes the windows over the started program.
    void Open(Program& program, Tray tray = Tray::WhereAvailable);
    /// Takes the windows down; before the program they show goes.
    void Close();
    /// Switches the program's language (the setting and every open window).
    void SetLanguage(int index);
    /// Applies a menu layout and colour scheme (the settings and every open window).
    void SetSkin(int menuLayout, int colour);

    MainWindow* window() const { return m_window.get(); }
    TrayIcon* tray() const { return m_tray.get(); }
    Presentation& presentation() { return m_presentation; }
    QTimer& progressTimer() { return m_progressTimer; }
    const PublishedProgress& progress() const { return m_progress; }

    // Dialogs
    void ShowError(const Message& text) override;
    void ShowWarning(const Message& text) override;
    void ShowInfo(const Message& text) override;
    bool AskConfirmation(const Message& text) override;
    bool AskOkCancel(const Message& text) override;
    void Notify(Notice kind, const Message& text) override;
    void TellOutcome(const RunOutcome& outcome) override;
    void ProgramEnding() override;

    // ProgramView
    void UpdateProfileList() override;
    void ShowActive(bool active, const std::string& profileText) override;
    void ShowNextTask(const NextTaskView& next) override;
    void ShowPaused(bool paused, const std::string& statusWord) override;
    void ComeToFront() override;
    void KeepViewSettings() override;

    // RunObserver: called on the worker thread, except the two questions.
    void ShowScanStatus(ScanPhase phase, const std::string& folder) override;
    void ResetProgress() override;
    void SetFilesToDo(std::int64_t filesToDo) override;
    void ShowProgress(std::int64_t filesDone, std::int64_t bytesDone) override;
    bool CheckDest(const std::string& destination, const std::string& expectedName) override;
    bool NextDisk(int number, int total, const std::string& drive) override;

private:
    void showProgressNow();
    void showAbout();
    void showHelp();
    void showOptions();

public:
    /// When set, called with the options dialog instead of showing it (tests drive it).
    static std::function<void(OptionsDialog&)>& optionsHook();

private:
    Program* m_program = nullptr;
    Presentation m_presentation;
    MessageBoxes m_boxes;
    PublishedProgress m_progress;
    QTimer m_progressTimer;
    std::unique_ptr<MainWindow> m_window;
    std::unique_ptr<TrayIcon> m_tray;
    DesktopNotifications m_notifications;
    std::function<void()> m_trayMessageAction; // what a click on the tray's last message does
    std::vector<RunOutcome> m_toldBeforeOpen;
    std::unique_ptr<UpdateCheck> m_updateCheck;
    QPointer<AboutDialog> m_about;
    // What was told before the windows existed.
    bool m_active = false;
    std::string m_activeText;
    NextTaskView m_next;
    bool m_paused = false;
    std::string m_statusWord = "Aktiv";
    bool m_toFront = false;
};
