#include "NotificationRecorder.h"
#include "WindowFixture.h"
#include "support/TreeBuilder.h"
#include "ui/CoreTexts.h"
#include "ui/LogViewer.h"
#include "ui/MainActions.h"
#include "ui/MainWindow.h"
#include "ui/MessageBoxes.h"
#include "ui/ProfileListModel.h"
#include "ui/TaskPane.h"
#include "ui/TrayIcon.h"

#include <QApplication>
#include <QDateTime>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTextBlock>
#include <QTimer>

namespace {

// The end of a run reaches the user on the desktop: the tests' session bus, with a recorder as
// the notification service.
class NotificationTest : public WindowFixture
{
protected:
    void SetUp() override
    {
        m_showErrors = true;
        std::filesystem::create_directories(m_temp / "src");
        WriteFileBytes(m_temp / "src" / "a.txt", "a");
    }

    /// A profile whose source has gone: its run ends with an error.
    TProfile failing(const std::string& name)
    {
        TProfile p = copyProfile(name);
        p.Source = {(m_temp / "fehlt").string() + "/"};
        return p;
    }

    /// Runs the profile in row as the scheduler would (the window hidden) and waits for its end.
    void runHidden(int row)
    {
        window().hide();
        window().selectRow(row);
        window().actions().Run->trigger();
        ASSERT_TRUE(waitFor([this] { return !program().RunActive(); }));
    }

    bool arrived(NotificationRecorder& recorder, std::size_t count)
    {
        return waitFor([&] { return recorder.received.size() >= count; });
    }
};

TEST_F(NotificationTest, AFailedRunIsToldWithItsProfileItsFirstErrorAndTheWayToItsReport)
{
    NotificationRecorder recorder;
    ASSERT_TRUE(recorder.Register(qEnvironmentVariable("DBUS_SESSION_BUS_ADDRESS")));
    start({failing("Fotos"), copyProfile("Gut")});
    runHidden(0);
    ASSERT_TRUE(arrived(recorder, 1));
    const NotificationRecorder::Received& n = recorder.received[0];
    EXPECT_EQ(n.appName, "Tresorio");
    EXPECT_EQ(n.summary, "Sicherung „Fotos“ mit Fehlern beendet");
    EXPECT_TRUE(n.body.startsWith("1 Fehler\n")) << n.body.toStdString();
    EXPECT_TRUE(n.body.contains(QString::fromStdString((m_temp / "fehlt").string()))) << n.body.toStdString();
    EXPECT_EQ(n.actions, (QStringList{"default", "Protokoll anzeigen"}));
    EXPECT_EQ(n.urgency, 2);
    EXPECT_EQ(n.expireTimeout, 0); // a failure stays until it is closed

    // Another report follows; the action still opens the log at the failed run's.
    runHidden(1);
    QString caretLine;
    bool found = false;
    // The log window waits for the user in a loop of its own: looked at and closed from there.
    QTimer look;
    QObject::connect(&look, &QTimer::timeout, [&] {
        LogViewer* viewer = window().logViewer();
        if (!viewer || !viewer->loaded())
            return;
        look.stop();
        found = viewer->reportFound();
        caretLine = viewer->text()->textCursor().block().next().text();
        viewer->reject();
    });
    look.start(50);
    recorder.Invoke(n.id, "default");
    ASSERT_TRUE(waitFor([&] { return !look.isActive() && !window().logViewer(); }));
    EXPECT_TRUE(found);
    EXPECT_EQ(caretLine, "Profil                : Fotos");
    EXPECT_TRUE(window().isVisible()); // the window came to the front with it

    // Nothing more was told of the run without errors, nor of one the user cancelled himself.
    EXPECT_EQ(recorder.received.size(), 1u);
}

TEST_F(NotificationTest, SuccessIsToldOnlyWhenAskedAndTheUsersOwnCancelNever)
{
    NotificationRecorder recorder;
    ASSERT_TRUE(recorder.Register(qEnvironmentVariable("DBUS_SESSION_BUS_ADDRESS")));
    for (int i = 0; i < 30; ++i)
        WriteFileBytes(m_temp / "src" / ("b" + std::to_string(i)), std::string(1000, 'b'));
    start({copyProfile("Gut")});
    program().settings().NotifySuccess = true;
    runHidden(0);
    ASSERT_TRUE(arrived(recorder, 1));
    EXPECT_EQ(recorder.received[0].summary, "Sicherung „Gut“ beendet");
    EXPECT_EQ(recorder.received[0].urgency, 1);

    // Cancelled by the user while paused before its first file.
    window().actions().Pause->trigger();
    window().actions().Run->trigger();
    ASSERT_TRUE(program().RunActive());
    window().actions().Stop->trigger();
    window().actions().Pause->trigger();
    ASSERT_TRUE(waitFor([this] { return !program().RunActive(); }));
    EXPECT_NE(program().profiles().at(0).Errors, 0);
    waitFor([] { return false; }, 300);
    EXPECT_EQ(recorder.received.size(), 1u);
}

TEST_F(NotificationTest, TheRunTheUserWatchesIsToldBesideTheWindowAndTheEnglishProgramSpeaksEnglish)
{
    NotificationRecorder recorder;
    ASSERT_TRUE(recorder.Register(qEnvironmentVariable("DBUS_SESSION_BUS_ADDRESS")));
    start({failing("Fotos")});
    frontEnd().SetLanguage(1);
    showActive();
    window().selectRow(0);
    // A box that waits for nobody, with the way to the log.
    MessageBoxes::answeredTexts().clear();
    window().actions().Run->trigger();
    ASSERT_TRUE(waitFor([this] { return !program().RunActive(); }));
    QMessageBox* box = nullptr;
    ASSERT_TRUE(waitFor([&] {
        for (QWidget* w : QApplication::topLevelWidgets())
            if (auto* b = qobject_cast<QMessageBox*>(w); b && b->isVisible())
                box = b;
        return box != nullptr;
    }));
    EXPECT_EQ(box->windowModality(), Qt::NonModal);
    EXPECT_TRUE(box->text().startsWith("Backup \"Fotos\" ended with errors\n\n1 error\n")) << box->text().toStdString();
    auto* showLog = box->findChild<QPushButton*>("actionButton");
    ASSERT_TRUE(showLog);
    EXPECT_EQ(showLog->text(), "Show log");
    box->close();
    EXPECT_TRUE(recorder.received.empty());

    // Hidden, the same run is told on the desktop, in English too.
    runHidden(0);
    ASSERT_TRUE(arrived(recorder, 1));
    EXPECT_EQ(recorder.received[0].summary, "Backup \"Fotos\" ended with errors");
    EXPECT_EQ(recorder.received[0].actions, (QStringList{"default", "Show log"}));
    // A message of the core with a name in it is translated before the name is filled in.
    EXPECT_EQ(CoreMessage(Message("Protokoll %1 kann nicht geschrieben werden.", {"/daten/Protokoll %1.log"})),
              "Log /daten/Protokoll %1.log cannot be written.");
}

TEST_F(NotificationTest, WithoutANotificationServiceTheFailureIsShownInABox)
{
    start({failing("Fotos")}, GuiFrontEnd::Tray::Never);
    MessageBoxes::answeredTexts().clear();
    MessageBoxes::setNextAnswer(QMessageBox::Ok);
    runHidden(0);
    ASSERT_TRUE(waitFor([] { return !MessageBoxes::answeredTexts().empty(); }));
    EXPECT_TRUE(MessageBoxes::answeredTexts().front().starts_with("Sicherung „Fotos“ mit Fehlern beendet\n\n1 Fehler"))
        << MessageBoxes::answeredTexts().front();
}

TEST_F(NotificationTest, AnOverdueProfileShowsInItsRowItsDetailsAndTheTrayAndIsToldOnceADay)
{
    NotificationRecorder recorder;
    ASSERT_TRUE(recorder.Register(qEnvironmentVariable("DBUS_SESSION_BUS_ADDRESS")));
    const QDateTime clock = QDateTime::currentDateTime();
    const DateTime now = QDate(1899, 12, 30).daysTo(clock.date()) + clock.time().msecsSinceStartOfDay() / 86400000.0;
    const auto daily = [&](const std::string& name, double daysAgo) {
        TProfile p = copyProfile(name);
        p.Period = PeriodDaily;
        p.RunTime = "03:00";
        p.DayOfWeek.fill(true);
        p.DateTimeFrom = OpenFrom;
        p.DateTimeTo = OpenTo;
        p.LastRun = now - daysAgo;
        p.LastSuccess = now - daysAgo;
        return p;
    };
    // A short tick: the scheduler looks again and again, and tells the overdue profile once.
    start({daily("Alt", 10.2), daily("Frisch", 0.5)}, GuiFrontEnd::Tray::Always, 200);
    ASSERT_TRUE(arrived(recorder, 1));
    EXPECT_EQ(recorder.received[0].summary, "Sicherung „Alt“ überfällig");
    EXPECT_EQ(recorder.received[0].body, "Letzte erfolgreiche Sicherung vor 10 Tagen");
    EXPECT_EQ(recorder.received[0].urgency, 2);

    ProfileListModel& model = window().model();
    EXPECT_EQ(model.index(0, 0).data(ProfileListModel::ImageRole).toInt(), 1);
    EXPECT_EQ(model.index(0, 1).data(Qt::ToolTipRole).toString(), "Letzte erfolgreiche Sicherung vor 10 Tagen");
    EXPECT_EQ(model.index(1, 0).data(ProfileListModel::ImageRole).toInt(), 0);
    window().selectRow(0);
    EXPECT_EQ(window().taskPane()->detailLines().at(2), "Letzte erfolgreiche Sicherung vor 10 Tagen");
    TrayIcon& tray = *frontEnd().tray();
    EXPECT_EQ(tray.image(), 1);
    EXPECT_TRUE(tray.toolTip().endsWith("\n„Alt“: Letzte erfolgreiche Sicherung vor 10 Tagen"))
        << tray.toolTip().toStdString();

    waitFor([] { return false; }, 1000); // five ticks
    EXPECT_EQ(recorder.received.size(), 1u);

    // A run without errors ends the alarm everywhere.
    runHidden(0);
    ASSERT_TRUE(waitFor([&] { return tray.image() == 0; }));
    EXPECT_EQ(model.index(0, 0).data(ProfileListModel::ImageRole).toInt(), 0);
    EXPECT_EQ(tray.toolTip(), "Kestrova Tresorio (Aktiv)");
    EXPECT_EQ(recorder.received.size(), 1u);
}

} // namespace
