// The windows under pressure: rows moved and sorted under a running profile, drops from
// anywhere, language and pause switched in the middle of a run, the program ended under it, odd
// names and a settings file that was written by hand or damaged.

#include "WindowFixture.h"
#include "app/DataFolder.h"
#include "app/ProgramProcess.h"
#include "platform/DesktopLauncher.h"
#include "profiles/ProfileFile.h"
#include "support/TreeBuilder.h"
#include "ui/MainActions.h"
#include "ui/MainWindow.h"
#include "ui/MessageBoxes.h"
#include "ui/ProfileListModel.h"
#include "ui/TaskPane.h"
#include "ui/TopPanel.h"
#include "ui/TrayIcon.h"

#include <QApplication>
#include <QHeaderView>
#include <QLabel>
#include <QListView>
#include <QMimeData>
#include <QProcess>
#include <QProgressBar>
#include <QTest>
#include <QTreeView>
#include <atomic>
#include <climits>
#include <thread>

namespace {

class WindowAttackTest : public WindowFixture
{
protected:
    QLabel* panelLabel(const char* name) { return window().topPanel()->findChild<QLabel*>(name); }
    QString panelText(const char* name) { return panelLabel(name)->text(); }
    bool panelShows(const char* name) { return panelLabel(name)->isVisibleTo(window().topPanel()); }
    bool barShown()
    {
        return window().topPanel()->findChild<QProgressBar*>("PAProgress")->isVisibleTo(window().topPanel());
    }

    void makeSource(int files)
    {
        std::filesystem::create_directories(m_temp / "src");
        for (int i = 0; i < files; ++i)
            WriteFileBytes(m_temp / "src" / ("datei" + std::to_string(i) + ".txt"), std::string(1500, 'x'));
    }

    /// Starts the profile at row with the scheduler paused: the run then waits before its first
    /// file, so every state of the windows during a run can be looked at.
    void startWaitingRun(int row)
    {
        if (!program().SchedulerPaused())
            window().actions().Pause->trigger();
        window().selectRow(row);
        window().actions().Run->trigger();
        ASSERT_TRUE(program().RunActive());
    }

    /// The row whose "Letzte Sicherung" column says the profile runs.
    std::vector<int> runningRows()
    {
        std::vector<int> rows;
        for (int row = 0; row < window().model().rowCount(); ++row)
            if (window().model().index(row, 1).data().toString() == "läuft...")
                rows.push_back(row);
        return rows;
    }

    std::string savedName(int row)
    {
        ProfileList saved;
        ProfileFile(m_data / ProfileFileName).LoadProfiles(saved, {}, {});
        return row < saved.count() ? saved.at(row).Name : std::string();
    }

    /// Drops a synthetic drag of mime data at position on a view's viewport, as a drag from
    /// another program (or a forged one) would arrive.
    static void dropAt(QAbstractItemView* view, QMimeData* data, QPoint position)
    {
        QDragEnterEvent enter(position, Qt::MoveAction, data, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(view->viewport(), &enter);
        QDragMoveEvent move(position, Qt::MoveAction, data, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(view->viewport(), &move);
        QDropEvent drop(position, Qt::MoveAction, data, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(view->viewport(), &drop);
    }
};

// Sorting and dragging while a profile runs: the running mark moves with its profile, and the
// statistics of the run land on the profile that ran, wherever it stands at the end.
TEST_F(WindowAttackTest, TheRunningRowFollowsItsProfileThroughSortAndDrag)
{
    makeSource(12);
    start({copyProfile("c-lauf"), copyProfile("b"), copyProfile("a")});
    showActive();
    startWaitingRun(0);
    ASSERT_EQ(runningRows(), std::vector<int>{0});

    struct Step
    {
        const char* what;
        std::function<void()> act;
        std::vector<std::string> order;
        int runningRow;
    };
    ProfileListModel& model = window().model();
    const auto dragRow = [&](int from, int onto) {
        std::unique_ptr<QMimeData> dragged(model.mimeData({model.index(from, 0)}));
        model.dropMimeData(dragged.get(), Qt::MoveAction, -1, -1, model.index(onto, 0));
    };
    const std::vector<Step> steps = {
        {"sorted by name", [&] { program().SortBy(static_cast<ProfileColumn>(0)); }, {"a", "b", "c-lauf"}, 2},
        {"dragged onto the first row", [&] { dragRow(2, 0); }, {"c-lauf", "a", "b"}, 0},
        {"another row dragged over it", [&] { dragRow(2, 0); }, {"b", "c-lauf", "a"}, 1},
        {"dropped on itself", [&] { dragRow(1, 1); }, {"b", "c-lauf", "a"}, 1},
    };
    for (const Step& step : steps) {
        SCOPED_TRACE(step.what);
        step.act();
        EXPECT_EQ(names(), step.order);
        EXPECT_EQ(runningRows(), std::vector<int>{step.runningRow});
        EXPECT_EQ(program().ActiveProfileIndex(), step.runningRow);
        for (int row = 0; row < model.rowCount(); ++row)
            EXPECT_EQ(model.index(row, 0).data(ProfileListModel::ImageRole).toInt(), row == step.runningRow ? 3 : 0)
                << row;
    }

    window().actions().Pause->trigger();
    ASSERT_TRUE(waitFor([&] { return !program().RunActive(); }));
    EXPECT_TRUE(runningRows().empty());
    EXPECT_EQ(program().profiles().at(1).Name, "c-lauf");
    EXPECT_EQ(program().profiles().at(1).FilesCount, 12) << ReadFileBytes(m_data / "Backup.log");
    EXPECT_EQ(program().profiles().at(0).FilesCount, 0);
    EXPECT_EQ(program().profiles().at(2).FilesCount, 0);
    EXPECT_EQ(savedName(1), "c-lauf");
}

// The details pane speaks of the selected profile, or of none when nothing is selected; a sort
// or a drag under a running profile must not leave it describing a row that is gone.
TEST_F(WindowAttackTest, DetailsPaneMatchesTheSelectionAfterASortDuringARun)
{
    makeSource(3);
    start({copyProfile("c-lauf"), copyProfile("b"), copyProfile("a")});
    showActive();
    startWaitingRun(0);
    window().selectRow(1);
    ASSERT_EQ(window().taskPane()->detailLines().front(), "b");

    program().SortBy(static_cast<ProfileColumn>(0));
    const std::optional<int> selected = window().selectedRow();
    const QString shown = window().taskPane()->detailLines().front();
    if (selected)
        EXPECT_EQ(shown.toStdString(), program().profiles().at(*selected).Name);
    else
        EXPECT_TRUE(shown.isEmpty()) << "nothing is selected, yet the pane describes " << shown.toStdString();
    window().actions().Pause->trigger();
    ASSERT_TRUE(waitFor([&] { return !program().RunActive(); }));
}

// Drops as the views deliver them: on a row (just before it), between rows, below the last row,
// on empty space, and on the row itself.
TEST_F(WindowAttackTest, DropsInTheDetailViewMoveRowsWhereTheyLand)
{
    start({copyProfile("eins"), copyProfile("zwei"), copyProfile("drei")});
    window().setViewStyle(3);
    window().resize(820, 520);
    window().show();
    QTreeView* view = window().detailView();
    ASSERT_TRUE(waitFor([&] { return view->isVisible() && view->visualRect(window().model().index(2, 0)).isValid(); }));
    const auto middleOf = [&](int row) { return view->visualRect(window().model().index(row, 0)).center(); };
    const auto lowerEdgeOf = [&](int row) {
        const QRect rect = view->visualRect(window().model().index(row, 0));
        return QPoint(rect.center().x(), rect.bottom() - 1);
    };
    struct Case
    {
        const char* what;
        int from;
        std::function<QPoint()> where;
        std::vector<std::string> order;
    };
    const std::vector<Case> cases = {
        {"on itself", 1, [&] { return middleOf(1); }, {"eins", "zwei", "drei"}},
        {"on the last row", 0, [&] { return middleOf(2); }, {"zwei", "eins", "drei"}},
        {"below the last row's middle", 0, [&] { return lowerEdgeOf(2); }, {"eins", "drei", "zwei"}},
        {"on the empty space under the rows",
         0,
         [&] { return QPoint(middleOf(0).x(), view->viewport()->height() - 3); },
         {"eins", "drei", "zwei"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        std::unique_ptr<QMimeData> dragged(window().model().mimeData({window().model().index(c.from, 0)}));
        dropAt(view, dragged.get(), c.where());
        EXPECT_EQ(names(), c.order);
        EXPECT_EQ(savedName(0), c.order.front());
    }
}

// What arrives as the row number is text anyone can forge: nothing but a real row moves, and
// nothing out of range reaches the list.
TEST_F(WindowAttackTest, ForgedRowNumbersInADropMoveNothing)
{
    start({copyProfile("eins"), copyProfile("zwei"), copyProfile("drei")});
    ProfileListModel& model = window().model();
    const std::vector<QByteArray> forged = {"",    "abc", "-1", "3",       "2147483647", "99999999999999999999",
                                            "0x1", "1e1", " ",  "\xff\xfe"};
    for (const QByteArray& number : forged) {
        SCOPED_TRACE(number.toStdString());
        QMimeData data;
        data.setData(model.mimeTypes().front(), number);
        for (int row : {-1, 0, 2, 3, 4, INT_MAX}) {
            EXPECT_FALSE(model.dropMimeData(&data, Qt::MoveAction, row, 0, {}));
            EXPECT_FALSE(model.dropMimeData(&data, Qt::MoveAction, -1, -1, model.index(row, 0)));
        }
        EXPECT_EQ(names(), (std::vector<std::string>{"eins", "zwei", "drei"}));
    }
    // A row number past the end with a real row: refused, not moved to some end.
    std::unique_ptr<QMimeData> dragged(model.mimeData({model.index(0, 0)}));
    EXPECT_FALSE(model.dropMimeData(dragged.get(), Qt::MoveAction, 4, 0, {}));
    EXPECT_FALSE(model.dropMimeData(dragged.get(), Qt::MoveAction, INT_MAX, 0, {}));
    EXPECT_EQ(names(), (std::vector<std::string>{"eins", "zwei", "drei"}));
    // Foreign mime data is not taken at all.
    QMimeData text;
    text.setText("0");
    EXPECT_FALSE(model.canDropMimeData(&text, Qt::MoveAction, 0, 0, {}));
}

// Ctrl+C remembers a profile; once that profile is gone there is nothing left to duplicate.
TEST_F(WindowAttackTest, ARememberedProfileIsForgottenWhenItIsRemoved)
{
    start({copyProfile("eins"), copyProfile("zwei")});
    showActive();
    window().selectRow(1);
    QTest::keyClick(window().iconView(), Qt::Key_C, Qt::ControlModifier);
    ASSERT_EQ(window().copySource(), program().profiles().idAt(1));
    program().profiles().removeRow(1);
    program().ProfilesChanged();
    EXPECT_EQ(window().copySource(), std::nullopt);
    MessageBoxes::setNextAnswer(QMessageBox::Ok);
    QTest::keyClick(window().iconView(), Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(names(), std::vector<std::string>{"eins"});
    ASSERT_FALSE(MessageBoxes::answeredTexts().empty());
    EXPECT_EQ(MessageBoxes::answeredTexts().back(), "Kein Profil ausgewählt.");
}

TEST_F(WindowAttackTest, ADesktopLinkFollowsItsProfileWhenTheUserSaysSo)
{
    start({copyProfile("Fotos"), copyProfile("Andere")});
    showActive();
    const std::filesystem::path desktop = program().platform().SpecialFolderPath(SpecialFolder::Desktop);
    ASSERT_NE(desktop.string().find("/tresorio-ui-"), std::string::npos) << desktop;
    std::filesystem::remove_all(desktop);
    for (int row : {0, 1}) {
        window().selectRow(row);
        window().actions().Link->trigger();
    }
    ASSERT_TRUE(std::filesystem::exists(desktop / "Fotos.desktop"));
    const auto launcherText = [this](const std::string& name) {
        return DesktopLauncherText(program().platform().ExecutablePath(), m_data.string(), name);
    };
    const auto answer = [](QMessageBox::StandardButton button) {
        MessageBoxes::clearAnswers();
        MessageBoxes::answeredTexts().clear();
        MessageBoxes::setNextAnswer(button);
    };
    const auto rename = [this](int row, const char* name) {
        window().model().setData(window().model().index(row, 0), QString(name), Qt::EditRole);
        waitFor([] { return !MessageBoxes::answeredTexts().empty(); }, 2000);
    };

    // Renamed, the link is offered the new name; a No leaves it as it was.
    answer(QMessageBox::No);
    rename(0, "Reisen");
    ASSERT_EQ(MessageBoxes::answeredTexts().size(), 1u);
    EXPECT_NE(MessageBoxes::answeredTexts().front().find("Der Link \"Fotos\""), std::string::npos);
    EXPECT_EQ(ReadFileBytes(desktop / "Fotos.desktop"), launcherText("Fotos"));
    rename(0, "Fotos"); // back: the link starts it again, nothing to ask
    answer(QMessageBox::Yes);
    rename(0, "Urlaub 2026");
    EXPECT_FALSE(std::filesystem::exists(desktop / "Fotos.desktop"));
    EXPECT_EQ(ReadFileBytes(desktop / "Urlaub 2026.desktop"), launcherText("Urlaub 2026"));

    // Deleted, the link is offered to go with it: the first one goes, the second stays.
    window().selectRow(0);
    answer(QMessageBox::Yes);
    MessageBoxes::setNextAnswer(QMessageBox::Yes);
    window().actions().Delete->trigger();
    EXPECT_EQ(MessageBoxes::answeredTexts().size(), 2u);
    EXPECT_FALSE(std::filesystem::exists(desktop / "Urlaub 2026.desktop"));
    window().selectRow(0);
    answer(QMessageBox::Yes);
    MessageBoxes::setNextAnswer(QMessageBox::No);
    window().actions().Delete->trigger();
    EXPECT_EQ(names(), std::vector<std::string>{});
    EXPECT_EQ(ReadFileBytes(desktop / "Andere.desktop"), launcherText("Andere"));
    MessageBoxes::clearAnswers();
}

// The language changes before or during a run: the top panel keeps its running layout and
// progress, and speaks the new language, the running profile's mode included.
TEST_F(WindowAttackTest, TheTopPanelOfARunSpeaksTheLanguageChosenBeforeOrDuringIt)
{
    makeSource(4);
    for (const bool duringRun : {false, true}) {
        SCOPED_TRACE(duringRun);
        start({copyProfile("Lauf")});
        showActive();
        if (!duringRun)
            frontEnd().SetLanguage(1);
        startWaitingRun(0);
        ASSERT_TRUE(waitFor([&] { return panelText("LBFiles") == "0" && panelText("LBFolder") != "Modus:"; }));
        if (duringRun)
            frontEnd().SetLanguage(1);
        EXPECT_EQ(panelText("LBTitle"), "Running profile:");
        EXPECT_TRUE(barShown());
        EXPECT_TRUE(panelShows("LBFiles"));
        EXPECT_FALSE(panelShows("LBType"));
        EXPECT_FALSE(panelShows("LBDateTime2"));
        EXPECT_EQ(panelText("LBProfile"), "Lauf (Full backup)");
        EXPECT_NE(window().model().index(0, 1).data().toString(), "läuft...");
        EXPECT_EQ(window().model().index(0, 0).data(ProfileListModel::ImageRole).toInt(), 3);
        window().actions().Pause->trigger();
        ASSERT_TRUE(waitFor([&] { return !program().RunActive(); }));
        EXPECT_EQ(panelText("LBTitle"), "Next backup:");
        TearDown();
        m_program.reset();
        m_frontEnd.reset();
    }
}

// The tray's words follow the language also through a run: the run's end must not bring back
// the words of the language the program started in.
TEST_F(WindowAttackTest, TheTrayTooltipKeepsTheChosenLanguageAfterARun)
{
    makeSource(2);
    start({copyProfile("Lauf")});
    showActive();
    TrayIcon& tray = *frontEnd().tray();
    frontEnd().SetLanguage(1);
    const QString idle = tray.toolTip();
    ASSERT_NE(idle, "Kestrova Tresorio (Aktiv)");
    window().selectRow(0);
    window().actions().Run->trigger();
    ASSERT_TRUE(waitFor([&] { return !program().RunActive(); }));
    EXPECT_EQ(tray.image(), 0);
    EXPECT_EQ(tray.toolTip(), idle);
}

// A run cancelled while the scheduler is paused ends paused: the tray, the toolbar and the
// program all still say so.
TEST_F(WindowAttackTest, ARunEndingDuringThePauseLeavesTheTrayPaused)
{
    makeSource(3);
    start({copyProfile("Lauf")});
    showActive();
    TrayIcon& tray = *frontEnd().tray();
    startWaitingRun(0);
    window().actions().Stop->trigger();
    ASSERT_TRUE(waitFor([&] { return !program().RunActive(); }));
    EXPECT_TRUE(program().SchedulerPaused());
    EXPECT_TRUE(window().actions().Pause->isChecked());
    EXPECT_EQ(tray.image(), 3);
    EXPECT_EQ(tray.toolTip(), "Kestrova Tresorio (Pausiert...)");
    EXPECT_FALSE(tray.animating());
    EXPECT_EQ(window().statusTexts().back(), "Pausiert...");
}

// Pause and continue toggled again and again in the middle of a run: after every toggle the tray,
// the toolbar and the running row agree, and after the end everything is idle.
TEST_F(WindowAttackTest, PauseToggledOverAndOverDuringARunLeavesEveryPictureConsistent)
{
    makeSource(30);
    start({copyProfile("Lauf"), copyProfile("Andere")});
    showActive();
    TrayIcon& tray = *frontEnd().tray();
    startWaitingRun(0);
    for (int toggle = 0; toggle < 9; ++toggle) {
        window().actions().Pause->trigger();
        const bool paused = program().SchedulerPaused();
        SCOPED_TRACE(toggle);
        EXPECT_EQ(paused, toggle % 2 == 1);
        EXPECT_EQ(window().actions().Pause->isChecked(), paused);
        if (!program().RunActive())
            break;
        EXPECT_EQ(tray.animating(), !paused);
        if (paused) {
            EXPECT_EQ(tray.image(), 3);
        }
        EXPECT_EQ(window().model().index(0, 0).data(ProfileListModel::ImageRole).toInt(), paused ? 3 : 2);
        EXPECT_EQ(window().model().index(1, 0).data(ProfileListModel::ImageRole).toInt(), 0);
    }
    if (program().SchedulerPaused())
        window().actions().Pause->trigger();
    ASSERT_TRUE(waitFor([&] { return !program().RunActive(); }));
    EXPECT_FALSE(tray.animating());
    EXPECT_EQ(tray.image(), 0);
    EXPECT_EQ(tray.toolTip(), "Kestrova Tresorio (Aktiv)");
    EXPECT_FALSE(window().actions().Stop->isEnabled());
    EXPECT_EQ(program().profiles().at(0).FilesCount, 30);
}

// Closing the window leaves the run alone; ending the program under a run cancels it, waits for
// it and keeps its report, its statistics and the settings.
TEST_F(WindowAttackTest, EndingTheProgramDuringARunWaitsForItAndWritesTheReport)
{
    makeSource(5);
    start({copyProfile("Lauf")});
    showActive();
    startWaitingRun(0);
    window().setViewStyle(2);
    window().close();
    EXPECT_TRUE(window().isHidden());
    EXPECT_TRUE(program().RunActive());

    window().actions().CloseAndEndNoActions->trigger();
    EXPECT_FALSE(program().RunActive());
    const std::string log = ReadFileBytes(m_data / "Backup.log");
    EXPECT_NE(log.find("Lauf"), std::string::npos) << log;
    const std::string settings = ReadFileBytes(m_data / SettingsFileName);
    EXPECT_NE(settings.find("Viewstyle=2"), std::string::npos) << settings;
    EXPECT_NE(settings.find("WindowGeometry="), std::string::npos) << settings;
    ProfileList saved;
    ProfileFile(m_data / ProfileFileName).LoadProfiles(saved, {}, {});
    ASSERT_EQ(saved.count(), 1);
    EXPECT_NE(saved.at(0).LastRun, NoRun);
}

// However the program is ended (its exit commands, the Stop command from another program, the
// end of the session), the window's size and place are kept for the next start.
TEST_F(WindowAttackTest, TheWindowPlacementIsKeptHoweverTheProgramEnds)
{
    struct Case
    {
        const char* how;
        std::function<void()> end;
    };
    const std::vector<Case> cases = {
        {"Schließen und Beenden", [this] { window().actions().CloseAndEndNoActions->trigger(); }},
        {"end of the session", [this] { program().Stop(false); }},
        {"Stop command", [this] { program().Stop(true); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.how);
        std::filesystem::remove(m_data / SettingsFileName);
        start({copyProfile("eins")});
        window().show();
        c.end();
        const std::string settings = ReadFileBytes(m_data / SettingsFileName);
        EXPECT_NE(settings.find("WindowGeometry="), std::string::npos) << settings;
        TearDown();
        m_program.reset();
        m_frontEnd.reset();
    }
}

// Names as a hand-edited or foreign profile file may hold them: the list and the details pane
// show them whole, and nothing breaks.
TEST_F(WindowAttackTest, OddProfileNamesShowInTheListAndTheDetails)
{
    const std::vector<std::string> odd = {"Grüße € 日本", std::string(2000, 'L'), "Zeile\tmit\tTab",
                                          "Müll \xe4\xf6\xfc roh"};
    std::vector<TProfile> profiles;
    for (const std::string& name : odd)
        profiles.push_back(copyProfile(name));
    start(profiles);
    showActive();
    ASSERT_EQ(window().model().rowCount(), static_cast<int>(odd.size()));
    for (int style = 0; style < 4; ++style) {
        window().setViewStyle(style);
        QApplication::processEvents();
        for (int row = 0; row < static_cast<int>(odd.size()); ++row) {
            SCOPED_TRACE(row);
            window().selectRow(row);
            const QString listed = window().model().index(row, 0).data().toString();
            EXPECT_EQ(window().taskPane()->detailLines().front(), listed);
            EXPECT_FALSE(listed.isEmpty());
        }
    }
    EXPECT_EQ(window().model().index(0, 0).data().toString(), QString::fromUtf8("Grüße € 日本"));
    EXPECT_EQ(window().model().index(1, 0).data().toString().size(), 2000);
}

// Without a profile: the status bar counts none, the details pane is empty, and "Sicherung jetzt
// durchführen" says that no profile is selected.
TEST_F(WindowAttackTest, AnEmptyListShowsNothingAndRunsNothing)
{
    start({});
    showActive();
    EXPECT_EQ(window().model().rowCount(), 0);
    EXPECT_EQ(window().statusTexts().front(), "0 Profile");
    EXPECT_EQ(window().selectedRow(), std::nullopt);
    for (const QString& line : window().taskPane()->detailLines())
        EXPECT_TRUE(line.isEmpty()) << line.toStdString();
    EXPECT_EQ(messageOf([this] { window().actions().Run->trigger(); }), "Kein Profil ausgewählt.");
    EXPECT_FALSE(program().RunActive());
    for (int style = 0; style < 4; ++style)
        window().actions().ViewStyles[static_cast<std::size_t>(style)]->trigger();
    window().actions().Stop->trigger();
    EXPECT_FALSE(program().RunActive());
}

// The view as the settings file keeps it is the view the window opens with; values no window
// wrote (out of range, not numbers, no file format at all) give way to usable ones, and the
// window writes usable ones back.
TEST_F(WindowAttackTest, WindowSettingsAreTakenFromTheFileAndBadOnesFallBack)
{
    struct Case
    {
        const char* what;
        std::string ini;
        int style;
    };
    const std::vector<Case> cases = {
        {"as the window wrote them", "[General]\nViewstyle=2\nListColumns1=222\nXPTask=0\n", 2},
        {"details", "[General]\nViewstyle=3\n", 3},
        {"out of range",
         "[General]\nViewstyle=99\nListColumns0=-5\nListColumns1=2147483647\nListColumns2=100000000\n"
         "ListColumns3=-2147483648\nWindowGeometry=%%%kein base64%%%\nWindowState=AAAA\nLanguage=77\n",
         0},
        {"negative",
         "[General]\nViewstyle=-3\nListColumns0=abc\nListColumns1=1e9\nWindowGeometry=" +
             std::string(QByteArray(400, '\x01').toBase64().toStdString()) + "\n",
         0},
        {"damaged", std::string("\x00\xff[Gen\neral\n=\n\x01Viewstyle=\xff\n[[[\n", 32), 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        std::filesystem::create_directories(m_data);
        WriteFileBytes(m_data / SettingsFileName, c.ini);
        start({copyProfile("eins"), copyProfile("zwei")});
        showActive();
        EXPECT_EQ(window().viewStyle(), c.style);
        EXPECT_EQ(program().settings().Viewstyle, c.style);
        QHeaderView* header = window().detailView()->header();
        for (int column = 0; column < 4; ++column) {
            SCOPED_TRACE(column);
            EXPECT_GT(header->sectionSize(column), 0);
            // Wider than any screen, the other columns could never be scrolled to sensibly.
            EXPECT_LT(header->sectionSize(column), 100000);
        }
        EXPECT_GT(header->length(), 0);
        if (c.ini.find("ListColumns1=222") != std::string::npos) {
            EXPECT_EQ(header->sectionSize(1), 222);
            EXPECT_TRUE(window().taskPane()->isHidden());
        }
        window().close();
        const std::string settings = ReadFileBytes(m_data / SettingsFileName);
        EXPECT_NE(settings.find("Viewstyle=" + std::to_string(c.style) + "\n"), std::string::npos) << settings;
        TearDown();
        m_program.reset();
        m_frontEnd.reset();
        std::filesystem::remove_all(m_data);
    }
}

// The worker writes the progress record while the window reads it on its timer: the window
// always gets a whole record (the sanitizer build sees any torn read of the folder text).
TEST_F(WindowAttackTest, ProgressWrittenByAWorkerWhileTheWindowReadsItStaysWhole)
{
    start({copyProfile("Lauf")});
    window().show();
    frontEnd().ShowActive(true, "Lauf (Vollsicherung)");
    std::atomic<bool> done{false};
    constexpr int Steps = 20000;
    std::thread worker([&] {
        frontEnd().ResetProgress();
        frontEnd().SetFilesToDo(Steps);
        for (int i = 1; i <= Steps; ++i) {
            // Folder texts of changing length make the string reallocate under the reader.
            frontEnd().ShowScanStatus(i % 3 == 0 ? ScanPhase::Searching : ScanPhase::Processing,
                                      "/home/anna/" + std::string(static_cast<std::size_t>(i % 300), 'd'));
            frontEnd().ShowProgress(i, static_cast<std::int64_t>(i) * 1024);
        }
        frontEnd().ShowScanStatus(ScanPhase::Processing, "/home/anna/ende");
        done = true;
    });
    ASSERT_TRUE(waitFor([&] { return done.load(); }));
    worker.join();
    ASSERT_TRUE(waitFor([&] { return panelText("LBFiles") == QString::number(Steps); }));
    EXPECT_EQ(panelLabel("LBFolder2")->toolTip(), "/home/anna/ende");
    EXPECT_EQ(window().topPanel()->findChild<QProgressBar*>("PAProgress")->value(), 1000);
    frontEnd().ShowActive(false, {});
}

// The real program: a second start on the same data folder only brings the first one to the
// front and ends by itself; "--send TRSROStop" ends the first one, which writes its settings.
TEST(WindowAttackProcess, ASecondStartEndsQuietlyAndStopEndsTheFirstWithItsSettings)
{
    TempDir home;
    std::filesystem::create_directories(home / "run");
    std::filesystem::permissions(home / "run", std::filesystem::perms::owner_all);
    std::filesystem::create_directories(home / "data");
    WriteFileBytes(home / "data" / SettingsFileName, "[General]\nListColumns1=222\n");
    QProcessEnvironment environment = environmentFor(home.path());
    environment.insert("QT_QPA_PLATFORM", "offscreen");
    QProcess first;
    first.setProcessEnvironment(environment);
    first.start(TRESORIO_EXECUTABLE, {"--data-dir", q(home / "data")});
    ASSERT_TRUE(first.waitForStarted());
    ASSERT_TRUE(WindowFixture::waitForChannel(home.path()));

    QProcess second;
    second.setProcessEnvironment(environment);
    second.start(TRESORIO_EXECUTABLE, {"--data-dir", q(home / "data")});
    ASSERT_TRUE(second.waitForFinished(20000));
    EXPECT_EQ(second.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(second.exitCode(), 0) << second.readAllStandardError().toStdString();
    EXPECT_EQ(first.state(), QProcess::Running);

    const Outcome stop = runTresorio({"--data-dir", q(home / "data"), "--send", "TRSROStop"}, home.path());
    EXPECT_EQ(stop.exitCode, 0) << stop.err;
    ASSERT_TRUE(first.waitForFinished(20000));
    EXPECT_EQ(first.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(first.exitCode(), 0) << first.readAllStandardError().toStdString();
    const std::string settings = ReadFileBytes(home / "data" / SettingsFileName);
    EXPECT_NE(settings.find("ListColumns1=222"), std::string::npos) << settings;
    EXPECT_NE(settings.find("Suspend="), std::string::npos) << settings;
}

} // namespace
