#include "WindowFixture.h"

#include "app/DataFolder.h"
#include "platform/Native.h"
#include "profiles/ProfileFile.h"
#include "ui/MainWindow.h"
#include "ui/MessageBoxes.h"
#include "ui/ProfileListModel.h"

#include <QApplication>
#include <QElapsedTimer>

DateTime At(int year, int month, int day, int hour, int minute)
{
    return *TryEncodeDate(year, month, day) + *TryEncodeTime(hour, minute);
}

void WindowFixture::start(const std::vector<TProfile>& profiles, GuiFrontEnd::Tray tray, int tickMs)
{
    std::filesystem::create_directories(m_data);
    ProfileList list;
    for (const TProfile& profile : profiles)
        list.AddToProfile(profile);
    ASSERT_FALSE(ProfileFile(m_data / ProfileFileName).SaveProfiles(list));
    m_platform = MakeNativePlatform(m_data);
    m_fs = MakeNativeFileSystem();
    m_frontEnd = std::make_unique<GuiFrontEnd>();
    m_program =
        std::make_unique<Program>(ProgramOptions{m_data, std::nullopt, tickMs}, *m_platform, *m_fs, *m_frontEnd);
    ASSERT_FALSE(m_program->Start());
    // A run's error count would wait in a message box for a click nobody gives.
    m_program->settings().ShowError = m_showErrors;
    m_frontEnd->Open(*m_program, tray);
}

void WindowFixture::TearDown()
{
    if (m_program) {
        m_program->Stop(true);
        // Stop asks the application to leave its main loop. Here there is none, and a request to
        // leave taken outside it would end every later dialog's loop at once.
        QCoreApplication::removePostedEvents(QCoreApplication::instance(), QEvent::MetaCall);
        m_frontEnd->Close();
        m_program.reset();
    }
    // The language of one test is not the next one's.
    if (m_frontEnd)
        m_frontEnd->presentation().SetLanguage(0);
    m_frontEnd.reset();
}

void WindowFixture::showActive()
{
    window().show();
    window().activateWindow();
    QApplication::setActiveWindow(&window());
    ASSERT_TRUE(waitFor([this] { return window().isActiveWindow(); }));
}

bool WindowFixture::waitFor(const std::function<bool()>& done, int timeoutMs)
{
    QElapsedTimer waited;
    waited.start();
    while (!done()) {
        if (waited.elapsed() > timeoutMs)
            return false;
        QApplication::processEvents(QEventLoop::AllEvents, 20);
    }
    return true;
}

TProfile WindowFixture::copyProfile(const std::string& name)
{
    TProfile profile;
    profile.Name = name;
    profile.Source = {(m_temp / "src").string() + "/"};
    profile.Withsub = true;
    profile.Destination = (m_temp / "dest" / name).string() + "/";
    profile.Backuptype = BackupFull;
    profile.Period = PeriodNotPeriodic;
    profile.LastRun = NoRun;
    profile.NextRun = NoRun;
    return profile;
}

std::string WindowFixture::messageOf(const std::function<void()>& action)
{
    MessageBoxes::answeredTexts().clear();
    MessageBoxes::setNextAnswer(QMessageBox::Ok);
    action();
    const bool one = MessageBoxes::answeredTexts().size() == 1;
    return one ? MessageBoxes::answeredTexts().front() : std::string();
}

std::vector<std::string> WindowFixture::names()
{
    std::vector<std::string> result;
    ProfileListModel& model = window().model();
    for (int row = 0; row < model.rowCount(); ++row)
        result.push_back(model.index(row, 0).data().toString().toStdString());
    return result;
}

bool WindowFixture::waitForChannel(const std::filesystem::path& home)
{
    return waitFor([&home] {
        std::error_code error;
        return std::filesystem::exists(home / "run/tresorio", error) &&
               !std::filesystem::is_empty(home / "run/tresorio", error);
    });
}
