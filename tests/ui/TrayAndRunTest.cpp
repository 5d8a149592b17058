#include "WindowFixture.h"
#include "app/ProgramProcess.h"
#include "support/TreeBuilder.h"
#include "ui/MainActions.h"
#include "ui/MainWindow.h"
#include "ui/ProfileListModel.h"
#include "ui/TopPanel.h"
#include "ui/TrayIcon.h"

#include <QApplication>
#include <QLabel>
#include <QListView>
#include <QProcess>
#include <QProgressBar>
#include <QTest>
#include <thread>

namespace {

class TrayAndRunTest : public WindowFixture
{
protected:
    QString panelText(const char* label) { return window().topPanel()->findChild<QLabel*>(label)->text(); }
    void makeSource(int files)
    {
        std::filesystem::create_directories(m_temp / "src");
        for (int i = 0; i < files; ++i)
            WriteFileBytes(m_temp / "src" / ("datei" + std::to_string(i) + ".txt"), std::string(1500, 'x'));
    }
};

TEST_F(TrayAndRunTest, TrayTopPanelAndRowFollowARunThroughPauseAndContinue)
{
    makeSource(20);
    start({copyProfile("Lauf"), copyProfile("Andere")});
    showActive();
    TrayIcon& tray = *frontEnd().tray();
    EXPECT_EQ(tray.image(), 0);
    EXPECT_EQ(tray.toolTip(), "Kestrova Tresorio (Aktiv)");

    // Paused, the run waits before its first file: every state can be looked at.
    window().actions().Pause->trigger();
    EXPECT_EQ(tray.image(), 3);
    EXPECT_EQ(tray.toolTip(), "Kestrova Tresorio (Pausiert...)");
    EXPECT_EQ(window().statusTexts().back(), "Pausiert...");
    window().selectRow(0);
    window().actions().Run->trigger();
    ASSERT_TRUE(program().RunActive());
    EXPECT_EQ(panelText("LBTitle"), "Laufendes Profil:");
    EXPECT_EQ(panelText("LBProfile"), "Lauf (Vollsicherung)");
    EXPECT_TRUE(window().topPanel()->findChild<QProgressBar*>("PAProgress")->isVisibleTo(window().topPanel()));
    EXPECT_EQ(window().model().index(0, 1).data().toString(), "läuft...");
    EXPECT_EQ(window().model().index(0, 0).data(ProfileListModel::ImageRole).toInt(), 3);
    EXPECT_FALSE(tray.animating());

    // Ctrl+C remembers no running profile, but any other.
    QTest::keyClick(window().iconView(), Qt::Key_C, Qt::ControlModifier);
    EXPECT_FALSE(window().copySource());
    window().selectRow(1);
    QTest::keyClick(window().iconView(), Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(window().copySource(), program().profiles().idAt(1));

    window().actions().Pause->trigger();
    EXPECT_TRUE(tray.animating());
    EXPECT_EQ(tray.toolTip(), "Kestrova Tresorio (Aktiv)");
    ASSERT_TRUE(waitFor([&] { return !program().RunActive(); }));
    EXPECT_FALSE(tray.animating());
    EXPECT_EQ(tray.image(), 0);
    EXPECT_EQ(tray.toolTip(), "Kestrova Tresorio (Aktiv)");
    EXPECT_EQ(panelText("LBTitle"), "Nächste Sicherung:");
    EXPECT_EQ(window().model().index(0, 0).data(ProfileListModel::ImageRole).toInt(), 0);
    EXPECT_EQ(ReadFileBytes(m_temp / "dest/Lauf/datei7.txt"), std::string(1500, 'x'))
        << ReadFileBytes(m_data / "Backup.log");
    // The run's statistics went to the profile that ran.
    EXPECT_EQ(program().profiles().at(0).FilesCount, 20);
}

TEST_F(TrayAndRunTest, ProgressFromTheWorkerThreadReachesThePanel)
{
    start({copyProfile("Lauf")});
    window().show();
    frontEnd().ShowActive(true, "Lauf (Vollsicherung)");
    EXPECT_EQ(panelText("LBFolder"), "Durchsuche Verzeichnisse...");
    std::thread worker([this] {
        frontEnd().ShowScanStatus(ScanPhase::Processing, "/home/anna/fotos/2026");
        frontEnd().SetFilesToDo(10);
        frontEnd().ShowProgress(5, 2048);
    });
    worker.join();
    ASSERT_TRUE(waitFor([&] { return panelText("LBFiles") == "5"; }));
    EXPECT_EQ(panelText("LBFolder"), "Verarbeiten: ");
    EXPECT_EQ(panelText("LBSize"), "2 kB");
    EXPECT_EQ(window().topPanel()->findChild<QLabel*>("LBFolder2")->toolTip(), "/home/anna/fotos/2026");
    EXPECT_EQ(window().topPanel()->findChild<QProgressBar*>("PAProgress")->value(), 500);
    frontEnd().ShowScanStatus(ScanPhase::ZipList, "/home/anna/fotos/2026");
    ASSERT_TRUE(waitFor([&] { return panelText("LBFolder") == "Zip-Liste: 10 Datei(en)"; }));
    frontEnd().ShowActive(false, {});
    EXPECT_EQ(panelText("LBFolder"), "Modus:");
}

TEST_F(TrayAndRunTest, TrayClicksAndTheCutTooltip)
{
    start({copyProfile("Lauf")});
    TrayIcon& tray = *frontEnd().tray();
    ASSERT_TRUE(window().isHidden());
    // With the window open, a right click shows no menu.
    tray.Activate(QSystemTrayIcon::Trigger);
    EXPECT_TRUE(window().isVisible());
    tray.Activate(QSystemTrayIcon::Context);
    EXPECT_EQ(QApplication::activePopupWidget(), nullptr);
    window().close();
    EXPECT_TRUE(window().isHidden());
    tray.Activate(QSystemTrayIcon::Context);
    ASSERT_NE(QApplication::activePopupWidget(), nullptr);
    QApplication::activePopupWidget()->close();

    frontEnd().ShowPaused(true, std::string(80, 'x'));
    EXPECT_EQ(tray.toolTip().size(), TrayIcon::TooltipLength);
    frontEnd().ShowPaused(false, "Aktiv");
}

TEST_F(TrayAndRunTest, WithoutANotificationAreaTheWindowShowsAndClosingMinimisesIt)
{
    start({copyProfile("Lauf")}, GuiFrontEnd::Tray::Never);
    EXPECT_EQ(frontEnd().tray(), nullptr);
    EXPECT_TRUE(window().isVisible());
    window().close();
    EXPECT_FALSE(window().isHidden());
    EXPECT_TRUE(window().isMinimized());
}

// The real program: windows where a display answers, a line saying why where none does.
TEST(ProgramWindows, TheProgramChoosesWindowsWhenADisplayAnswers)
{
    struct Case
    {
        bool display;
        bool headlessLine;
    };
    for (const Case c : {Case{true, false}, Case{false, true}}) {
        SCOPED_TRACE(c.display);
        TempDir home;
        std::filesystem::create_directories(home / "run");
        std::filesystem::permissions(home / "run", std::filesystem::perms::owner_all);
        QProcessEnvironment environment = environmentFor(home.path());
        if (c.display)
            environment.insert("QT_QPA_PLATFORM", "offscreen");
        QProcess copy;
        copy.setProcessEnvironment(environment);
        copy.start(TRESORIO_EXECUTABLE, {"--data-dir", q(home / "data")});
        ASSERT_TRUE(copy.waitForStarted());
        ASSERT_TRUE(WindowFixture::waitForChannel(home.path()));
        const Outcome stop = runTresorio({"--data-dir", q(home / "data"), "--send", "TRSROStop"}, home.path());
        EXPECT_EQ(stop.exitCode, 0) << stop.err;
        ASSERT_TRUE(copy.waitForFinished(20000));
        EXPECT_EQ(copy.exitCode(), 0);
        const std::string err = copy.readAllStandardError().toStdString();
        EXPECT_EQ(err.find("läuft ohne Fenster") != std::string::npos, c.headlessLine) << err;
    }
}

} // namespace
