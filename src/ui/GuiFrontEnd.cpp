#include "ui/GuiFrontEnd.h"

#include "app/Program.h"
#include "app/UpdateCheck.h"
#include "profiles/ProfileRowTexts.h"
#include "ui/AboutDialog.h"
#include "ui/CoreTexts.h"
#include "ui/Help.h"
#include "ui/MainActions.h"
#include "ui/MainWindow.h"
#include "ui/OptionsDialog.h"
#include "ui/OutcomeNotices.h"
#include "ui/ProfileCommands.h"
#include "ui/TrayIcon.h"

#include <QCoreApplication>
#include <QDesktopServices>
#include <QEvent>
#include <QSystemTrayIcon>
#include <QUrl>

namespace {

// Ten times a second is as often as a person reads the counters.
constexpr int ProgressIntervalMs = 100;

} // namespace

GuiFrontEnd::GuiFrontEnd()
{
    m_progressTimer.setInterval(ProgressIntervalMs);
    connect(&m_progressTimer, &QTimer::timeout, this, &GuiFrontEnd::showProgressNow);
}

GuiFrontEnd::~GuiFrontEnd()
{
    Close();
}

void GuiFrontEnd::KeepViewSettings()
{
    if (m_window)
        m_window->StoreSettings();
}

void GuiFrontEnd::Close()
{
    // The tray menu belongs to the window: the icon goes first.
    m_progressTimer.stop();
    m_tray.reset();
    m_updateCheck.reset();
    delete m_about;
    m_window.reset();
    m_program = nullptr;
}

void GuiFrontEnd::Open(Program& program, Tray trayChoice)
{
    m_program = &program;
    const ProgramSettings& settings = program.settings();
    m_presentation.SetLanguage(settings.Language);
    m_presentation.SetSkin(settings.MenuStyle, settings.MenuColor);
    m_window = std::make_unique<MainWindow>(program, *this);
    m_boxes.setParent(nullptr);
    MainActions& actions = m_window->actions();
    connect(actions.ShowWindow, &QAction::triggered, m_window.get(), [this] { m_window->ComeToFront(); });
    connect(m_window.get(), &MainWindow::aboutRequested, this, &GuiFrontEnd::showAbout);
    connect(m_window.get(), &MainWindow::helpRequested, this, &GuiFrontEnd::showHelp);
    new ProfileCommands(program, *m_window, m_boxes, m_presentation); // owned by the window
    connect(actions.Options, &QAction::triggered, this, &GuiFrontEnd::showOptions);
    m_updateCheck = std::make_unique<UpdateCheck>(program.settings(), program.settingsStore(), *this,
                                                  [&program] { return DateOf(program.platform().Now()); });
    m_updateCheck->openHomePage = [](const QString& url) { QDesktopServices::openUrl(QUrl(url)); };
    m_updateCheck->Start(program.startedWithProfileName());
    m_window->RestoreSettings();

    const bool tray =
        trayChoice == Tray::Always || (trayChoice == Tray::WhereAvailable && QSystemTrayIcon::isSystemTrayAvailable());
    m_window->setHidesOnClose(tray);
    if (tray) {
        m_tray = std::make_unique<TrayIcon>(actions, *m_window);
        m_tray->beforeMenu = [this] { m_window->actions().Autostart->setChecked(m_program->Autostart()); };
        m_tray->Show();
        connect(&m_tray->icon(), &QSystemTrayIcon::messageClicked, this, [this] {
            if (m_trayMessageAction)
                m_trayMessageAction();
        });
    }
    m_window->ShowNextTask(m_next);
    ShowActive(m_active, m_activeText);
    if (m_paused)
        ShowPaused(true, m_statusWord);
    // Without a notification area the window is the only way to the program.
    if (m_toFront || !tray)
        m_window->ComeToFront();
    m_toFront = false;
    UpdateProfileList();
    // What start-up found (a run the program was killed during, an overdue profile) is told now.
    for (const RunOutcome& outcome : std::exchange(m_toldBeforeOpen, {}))
        TellOutcome(outcome);
}

void GuiFrontEnd::SetLanguage(int index)
{
    if (m_program)
        m_program->settings().Language = index;
    m_presentation.SetLanguage(index);
    // The windows hear of the change through posted events: delivered now, every window speaks
    // the new language before this returns.
    QCoreApplication::sendPostedEvents(nullptr, QEvent::LanguageChange);
    if (m_tray)
        m_tray->ShowPaused(m_paused, CoreText(m_statusWord));
}

void GuiFrontEnd::SetSkin(int menuLayout, int colour)
{
    if (m_program) {
        m_program->settings().MenuStyle = menuLayout;
        m_program->settings().MenuColor = colour;
    }
    m_presentation.SetSkin(menuLayout, colour);
}

void GuiFrontEnd::ShowError(const Message& text)
{
    m_boxes.ShowError(text);
}

void GuiFrontEnd::ShowWarning(const Message& text)
{
    m_boxes.ShowWarning(text);
}

void GuiFrontEnd::ShowInfo(const Message& text)
{
    m_boxes.ShowInfo(text);
}

bool GuiFrontEnd::AskConfirmation(const Message& text)
{
    return m_boxes.AskConfirmation(text);
}

bool GuiFrontEnd::AskOkCancel(const Message& text)
{
    return m_boxes.AskOkCancel(text);
}

void GuiFrontEnd::Notify(Notice kind, const Message& text)
{
    m_boxes.Notify(kind, text);
}

void GuiFrontEnd::TellOutcome(const RunOutcome& outcome)
{
    if (!m_program) {
        m_toldBeforeOpen.push_back(outcome);
        return;
    }
    const ProgramSettings& settings = m_program->settings();
    if (!NoticeWanted(outcome, settings.ShowError, settings.NotifySuccess))
        return;
    const OutcomeNotice notice = NoticeOf(outcome);
    const QString showLogLabel = tr("Protokoll anzeigen");
    std::function<void()> showLog;
    if (!outcome.report.empty())
        showLog = [this, report = outcome.report] {
            if (m_window)
                m_window->OpenLogAt(report);
        };
    // The run the user started in the window he looks at is told in a box beside it, which
    // waits for nobody; every other outcome on the desktop, which reaches him wherever he is.
    const bool watched = outcome.startedByUser && m_window && m_window->isVisible() && !m_window->isMinimized();
    const auto inBox = [this, notice, showLogLabel, showLog] {
        m_boxes.NotifyWithAction(notice.critical ? Notice::Error : Notice::Info,
                                 notice.summary + QStringLiteral("\n\n") + notice.body,
                                 showLog ? showLogLabel : QString(), showLog);
    };
    if (watched) {
        inBox();
        return;
    }
    const auto inTray = [this, notice, showLog, inBox] {
        if (!m_tray || !QSystemTrayIcon::isSystemTrayAvailable()) {
            inBox();
            return;
        }
        m_trayMessageAction = showLog;
        m_tray->icon().showMessage(notice.summary, notice.body,
                                   notice.critical ? QSystemTrayIcon::Critical : QSystemTrayIcon::Information);
    };
    m_notifications.Send({notice.summary, notice.body, notice.critical, showLog ? showLogLabel : QString()}, showLog,
                         inTray);
}

void GuiFrontEnd::ProgramEnding()
{
    m_boxes.SetEnding();
}

void GuiFrontEnd::UpdateProfileList()
{
    if (m_window)
        m_window->UpdateProfileList();
    if (m_tray && m_program) {
        const auto& overdue = m_program->overdueProfiles();
        QString notice;
        if (!overdue.empty())
            notice = tr("„%1“: %2")
                         .arg(QString::fromStdString(overdue.front().first), OverdueNotice(overdue.front().second));
        if (overdue.size() == 2)
            notice += QLatin1Char('\n') + tr("und ein weiteres Profil überfällig");
        else if (overdue.size() > 2)
            notice += QLatin1Char('\n') +
                      tr("und %n weitere Profile überfällig", nullptr, static_cast<int>(overdue.size() - 1));
        m_tray->ShowOverdue(notice);
    }
}

void GuiFrontEnd::ShowActive(bool active, const std::string& profileText)
{
    m_active = active;
    m_activeText = profileText;
    if (active)
        m_progressTimer.start();
    else
        m_progressTimer.stop();
    if (m_window) {
        // The panel names the running profile and translates its mode; the text the run
        // composed stands in when the profile cannot be found.
        QString name = QString::fromStdString(profileText);
        std::string mode;
        const std::optional<int> row = active ? m_program->ActiveProfileIndex() : std::nullopt;
        if (row) {
            const TProfile& profile = m_program->profiles().at(*row);
            name = QString::fromStdString(profile.Name);
            mode = RefreshedRowTexts(profile, true).mode;
        }
        m_window->ShowActive(active, name, mode);
    }
    if (m_tray)
        m_tray->ShowActive(active);
}

void GuiFrontEnd::ShowNextTask(const NextTaskView& next)
{
    m_next = next;
    if (m_window)
        m_window->ShowNextTask(next);
}

void GuiFrontEnd::ShowPaused(bool paused, const std::string& statusWord)
{
    m_paused = paused;
    m_statusWord = statusWord;
    if (m_window)
        m_window->ShowPaused(paused);
    if (m_tray)
        m_tray->ShowPaused(paused, CoreText(statusWord));
}

void GuiFrontEnd::ComeToFront()
{
    if (m_window)
        m_window->ComeToFront();
    else
        m_toFront = true;
}

void GuiFrontEnd::ShowScanStatus(ScanPhase phase, const std::string& folder)
{
    m_progress.ShowScanStatus(phase, folder);
}

void GuiFrontEnd::ResetProgress()
{
    m_progress.ResetProgress();
}

void GuiFrontEnd::SetFilesToDo(std::int64_t filesToDo)
{
    m_progress.SetFilesToDo(filesToDo);
}

void GuiFrontEnd::ShowProgress(std::int64_t filesDone, std::int64_t bytesDone)
{
    m_progress.ShowProgress(filesDone, bytesDone);
}

bool GuiFrontEnd::CheckDest(const std::string& destination, const std::string& expectedName)
{
    return m_boxes.AskOkCancel(tr("Bitte den Datenträger %1 für %2 bereitstellen.")
                                   .arg(QString::fromStdString(expectedName), QString::fromStdString(destination))
                                   .toStdString());
}

bool GuiFrontEnd::NextDisk(int number, int total, const std::string& drive)
{
    return m_boxes.AskOkCancel(tr("Bitte Datenträger Nr. %1 von %2 in %3 bereitstellen.")
                                   .arg(number)
                                   .arg(total)
                                   .arg(QString::fromStdString(drive))
                                   .toStdString());
}

void GuiFrontEnd::showProgressNow()
{
    if (m_window)
        m_window->ShowProgress(m_progress.Snapshot());
}

void GuiFrontEnd::showAbout()
{
    if (!m_about) {
        m_about = new AboutDialog(m_window.get());
        m_about->setAttribute(Qt::WA_DeleteOnClose);
    }
    m_about->show();
    m_about->raise();
    m_about->activateWindow();
}

void GuiFrontEnd::showOptions()
{
    OptionsServices services;
    services.dialogs = this;
    services.autostart = [this] { return m_program->Autostart(); };
    services.setAutostart = [this](bool on) { return m_program->SetAutostart(on); };
    services.setLanguage = [this](int index) { SetLanguage(index); };
    services.setSkin = [this](int layout, int colour) { SetSkin(layout, colour); };
    services.deleteLog = [this] { return m_window->DeleteLog(); };
    OptionsDialog dialog(m_program->settings(), services, m_window.get());
    // What OK confirmed is written at once, not only when the program ends: a kill or a crash
    // later must not cost the choices.
    connect(&dialog, &QDialog::accepted, this, [this] { m_program->SaveSettings(); });
    if (optionsHook())
        optionsHook()(dialog);
    else
        dialog.exec();
}

std::function<void(OptionsDialog&)>& GuiFrontEnd::optionsHook()
{
    static std::function<void(OptionsDialog&)> hook;
    return hook;
}

void GuiFrontEnd::showHelp()
{
    const int language = m_presentation.language();
    if (!Help::Open(language, QStringLiteral("index.html")))
        m_boxes.ShowError(Help::FailureText(language).toStdString());
}
