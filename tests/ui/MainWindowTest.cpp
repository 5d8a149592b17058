#include "ui/MainWindow.h"

#include "WindowFixture.h"
#include "app/DataFolder.h"
#include "app/ProgramCommands.h"
#include "profiles/ProfileFile.h"
#include "ui/Help.h"
#include "ui/MainActions.h"
#include "ui/MessageBoxes.h"
#include "ui/ProfileListModel.h"
#include "ui/TaskPane.h"

#include <QAbstractItemModelTester>
#include <QApplication>
#include <QHeaderView>
#include <QListView>
#include <QMenuBar>
#include <QMimeData>
#include <QStackedWidget>
#include <QStyle>
#include <QTest>
#include <QTreeView>

namespace {

TProfile profile(const std::string& name, DateTime lastRun, DateTime nextRun, int errors = 0,
                 std::uint8_t period = PeriodDaily)
{
    TProfile p;
    p.Name = name;
    p.Source = {"/nirgends/"};
    p.Destination = "/nirgends-ziel/";
    p.Backuptype = BackupFull;
    p.Period = period;
    p.RunTime = "08:00";
    p.DayOfWeek.fill(true);
    p.LastRun = lastRun;
    p.NextRun = nextRun;
    p.Errors = errors;
    return p;
}

class MainWindowTest : public WindowFixture
{
protected:
    // Start-up computes every next run from the clock; the tests set them as they need them.
    void keepNextRuns(const std::vector<DateTime>& nextRuns)
    {
        for (std::size_t row = 0; row < nextRuns.size(); ++row)
            program().profiles().at(static_cast<int>(row)).NextRun = nextRuns[row];
        window().UpdateProfileList();
    }
};

TEST_F(MainWindowTest, RowsShowTheirTextsPicturesAndDetails)
{
    TProfile errors = profile("Mit Fehlern", At(2026, 12, 4, 16, 30), At(2099, 12, 11, 8, 0), 3);
    errors.FilesCount = 1200;
    errors.FilesSize = 5000000;
    errors.FilesCompressed = 42;
    errors.Compress = true;
    TProfile never = profile("Nie gelaufen", NoRun, At(2099, 12, 12, 8, 0));
    TProfile once = profile("Einmalig", At(2026, 11, 1, 9, 0), At(2099, 12, 12, 8, 0), 0, PeriodNotPeriodic);
    TProfile ended = profile("Abgelaufen", At(2026, 11, 1, 9, 0), NoRun);
    start({errors, never, once, ended});
    keepNextRuns({At(2099, 12, 11, 8, 0), At(2099, 12, 12, 8, 0), At(2099, 12, 12, 8, 0), NoRun});

    struct Row
    {
        std::string lastRun, nextRun, mode;
        int image;
    };
    const std::vector<Row> expected = {
        {"04.12.2026 16:30 (3 Err)", "11.12.2099 08:00", "Vollsicherung, komprimieren", 1},
        {"-", "12.12.2099 08:00", "Vollsicherung", 0},
        {"01.11.2026 09:00", "-", "Vollsicherung", 0},
        {"01.11.2026 09:00", "-", "Vollsicherung", 0},
    };
    ProfileListModel& model = window().model();
    ASSERT_EQ(model.rowCount(), 4);
    for (int row = 0; row < 4; ++row) {
        const Row& e = expected[static_cast<std::size_t>(row)];
        SCOPED_TRACE(row);
        EXPECT_EQ(model.index(row, 1).data().toString().toStdString(), e.lastRun);
        EXPECT_EQ(model.index(row, 2).data().toString().toStdString(), e.nextRun);
        EXPECT_EQ(model.index(row, 3).data().toString().toStdString(), e.mode);
        EXPECT_EQ(model.index(row, 0).data(ProfileListModel::ImageRole).toInt(), e.image);
    }

    window().selectRow(0);
    EXPECT_EQ(window().taskPane()->detailLines(),
              QStringList({"Mit Fehlern", "Letzte Sicherung: 04.12.2026 16:30", "3 Fehler", "Dateien gesichert: 1200",
                           "Bytes gesichert: 5000000", "Komprimierungsrate: 42%", "Nächste Sicherung: 11.12.2099 08:00",
                           "Vollsicherung, komprimieren"}));
    EXPECT_TRUE(window().taskPane()->errorsShownAsError());
    window().selectRow(1);
    EXPECT_EQ(window().taskPane()->detailLines().mid(1, 5),
              QStringList({"Letzte Sicherung: -", "Fehlerfrei", "Dateien gesichert: -", "Bytes gesichert: -",
                           "Komprimierungsrate: -"}));
    EXPECT_FALSE(window().taskPane()->errorsShownAsError());
}

TEST_F(MainWindowTest, StatusBarCountsProfilesInSingularAndPlural)
{
    start({profile("Einzig", NoRun, NoRun)});
    EXPECT_EQ(window().statusTexts().front(), "1 Profil");
    program().profiles().removeRow(0);
    program().ProfilesChanged();
    EXPECT_EQ(window().statusTexts().front(), "0 Profile");
    EXPECT_EQ(window().statusTexts().back(), "Nächste Sicherung: Kein Profil aktiv");
}

TEST_F(MainWindowTest, ClickingAColumnHeaderSortsByItDatesByTheMoment)
{
    // As text, 02.01.2099 would come before 15.12.2098.
    start({profile("b", At(2003, 12, 15, 10, 0), At(2099, 1, 2, 8, 0)),
           profile("C", At(2004, 1, 2, 10, 0), At(2098, 12, 15, 8, 0)), profile("a", NoRun, At(2100, 1, 1, 8, 0))});
    keepNextRuns({At(2099, 1, 2, 8, 0), At(2098, 12, 15, 8, 0), At(2100, 1, 1, 8, 0)});
    window().setViewStyle(3);
    window().show();
    QHeaderView* header = window().detailView()->header();
    const auto clickColumn = [&](int column) {
        const int x = header->sectionViewportPosition(column) + header->sectionSize(column) / 2;
        QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, QPoint(x, header->height() / 2));
    };
    struct Case
    {
        int column;
        std::vector<std::string> order;
    };
    // By name without regard to case; by a date column earlier moments first and "-" before all.
    const std::vector<Case> cases = {
        {0, {"a", "b", "C"}}, {1, {"a", "b", "C"}}, {2, {"C", "b", "a"}}, {3, {"C", "b", "a"}}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.column);
        clickColumn(c.column);
        EXPECT_EQ(names(), c.order);
    }
    // The new order is the file's order.
    ProfileList saved;
    ProfileFile(m_data / ProfileFileName).LoadProfiles(saved, {}, {});
    ASSERT_EQ(saved.count(), 3);
    EXPECT_EQ(saved.at(0).Name, "C");
}

TEST_F(MainWindowTest, DroppingTheFirstRowOnTheThirdLeavesItSecond)
{
    start({profile("eins", NoRun, NoRun), profile("zwei", NoRun, NoRun), profile("drei", NoRun, NoRun),
           profile("vier", NoRun, NoRun)});
    ProfileListModel& model = window().model();
    std::unique_ptr<QMimeData> dragged(model.mimeData({model.index(0, 0)}));
    model.dropMimeData(dragged.get(), Qt::MoveAction, -1, -1, model.index(2, 0));
    EXPECT_EQ(names(), (std::vector<std::string>{"zwei", "eins", "drei", "vier"}));
    // On empty space nothing moves.
    dragged.reset(model.mimeData({model.index(0, 0)}));
    EXPECT_FALSE(model.canDropMimeData(dragged.get(), Qt::MoveAction, -1, -1, {}));
    ProfileList saved;
    ProfileFile(m_data / ProfileFileName).LoadProfiles(saved, {}, {});
    EXPECT_EQ(saved.at(1).Name, "eins");
}

TEST_F(MainWindowTest, TheListModelKeepsQtsRulesThroughEveryChange)
{
    start({profile("eins", NoRun, NoRun), profile("zwei", NoRun, NoRun, 1)});
    ProfileListModel& model = window().model();
    // Fails the test on any signal or answer a view could trip over.
    QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::Fatal);
    ProgramCommands commands(program());
    commands.AddNew(profile("drei", NoRun, NoRun));
    ProfileRefusal refusal{};
    ASSERT_TRUE(commands.Duplicate(0, refusal));
    ASSERT_TRUE(commands.Rename(1, "zwo").changed);
    commands.Changed();
    EXPECT_FALSE(commands.Delete(2).refusal);
    std::unique_ptr<QMimeData> dragged(model.mimeData({model.index(0, 0)}));
    model.dropMimeData(dragged.get(), Qt::MoveAction, -1, -1, model.index(2, 0));
    window().UpdateProfileList();
    EXPECT_EQ(model.rowCount(), 3);
    for (const int row : {0, 1, 2})
        EXPECT_EQ(model.index(row, 0).data().toString().toStdString(), program().profiles().at(row).Name);
}

TEST_F(MainWindowTest, ViewStylesSwitchTheListAndAreKept)
{
    start({profile("eins", NoRun, NoRun)});
    window().show();
    const std::vector<QListView::ViewMode> modes = {QListView::IconMode, QListView::ListMode, QListView::ListMode};
    for (int style = 0; style < 4; ++style) {
        window().actions().ViewStyles[static_cast<std::size_t>(style)]->trigger();
        EXPECT_EQ(program().settings().Viewstyle, style);
        if (style < 3) {
            EXPECT_EQ(window().iconView()->viewMode(), modes[static_cast<std::size_t>(style)]);
        }
        EXPECT_EQ(window().detailView()->isVisible(), style == 3);
    }
    window().detailView()->setColumnWidth(1, 222);
    window().close();
    EXPECT_TRUE(window().isHidden());
    program().SaveSettings();
    const std::string settings = ReadFileBytes(m_data / SettingsFileName);
    EXPECT_NE(settings.find("Viewstyle=3"), std::string::npos) << settings;
    EXPECT_NE(settings.find("ListColumns1=222"), std::string::npos) << settings;
    EXPECT_NE(settings.find("WindowGeometry="), std::string::npos) << settings;
}

TEST_F(MainWindowTest, TheLanguageSwitchesAtOnceAndBack)
{
    start({profile("eins", NoRun, NoRun)});
    window().show();
    const auto menuTitles = [&] {
        QStringList titles;
        for (QAction* menu : window().menuBar()->actions())
            titles << menu->text();
        return titles;
    };
    EXPECT_EQ(menuTitles(), QStringList({"&Datei", "&Bearbeiten", "&Ansicht", "&?"}));
    // The buttons of message boxes and Qt's own dialogs speak the program's language too.
    const auto yesButton = [] { return QCoreApplication::translate("QPlatformTheme", "&Yes"); };
    EXPECT_EQ(yesButton(), "&Ja");
    frontEnd().SetLanguage(1);
    EXPECT_EQ(menuTitles(), QStringList({"&File", "&Edit", "&View", "&?"}));
    EXPECT_EQ(yesButton(), "&Yes");
    EXPECT_EQ(window().statusTexts().front(), "1 profile");
    EXPECT_EQ(window().model().index(0, 3).data().toString(), "Full backup");
    EXPECT_EQ(program().settings().Language, 1);
    frontEnd().SetLanguage(0);
    EXPECT_EQ(menuTitles(), QStringList({"&Datei", "&Bearbeiten", "&Ansicht", "&?"}));
    EXPECT_EQ(window().model().index(0, 3).data().toString(), "Vollsicherung");
}

TEST_F(MainWindowTest, RunNowWithoutASelectionSaysSo)
{
    start({profile("eins", NoRun, NoRun)});
    window().show();
    window().iconView()->selectionModel()->clearSelection();
    EXPECT_EQ(messageOf([this] { window().actions().Run->trigger(); }), "Kein Profil ausgewählt.");
    EXPECT_FALSE(program().RunActive());
}

TEST_F(MainWindowTest, F1OpensTheManualOrSaysWhereItIs)
{
    start({profile("eins", NoRun, NoRun)});
    showActive();
    QString opened;
    Help::opener() = [&](const QString& url) {
        opened = url;
        return true;
    };
    QTest::keyClick(&window(), Qt::Key_F1);
    EXPECT_TRUE(opened.endsWith("/doc/manual/de/index.html")) << opened.toStdString();

    Help::opener() = [](const QString&) { return false; };
    MessageBoxes::answeredTexts().clear();
    MessageBoxes::setNextAnswer(QMessageBox::Ok);
    QTest::keyClick(&window(), Qt::Key_F1);
    ASSERT_EQ(MessageBoxes::answeredTexts().size(), 1u);
    const std::string message = MessageBoxes::answeredTexts().front();
    EXPECT_EQ(message.rfind("Kann HTML-Hilfe nicht öffnen!\n", 0), 0u) << message;
    EXPECT_NE(message.find("manual/de/index.html"), std::string::npos) << message;
    Help::opener() = [](const QString&) { return true; };
}

} // namespace

namespace {

TEST_F(MainWindowTest, MenuLayoutAndColoursApplyAtOnceAndAreKept)
{
    start({profile("eins", NoRun, NoRun)});
    struct Case
    {
        int layout, colour;
        const char* style;
        bool sheet;
    };
    const QColor before = QApplication::palette().color(QPalette::Highlight);
    for (const Case& c : {Case{0, 1, "windows", false}, Case{2, 0, "fusion", true}, Case{1, 1, "fusion", true}}) {
        SCOPED_TRACE(c.layout);
        frontEnd().SetSkin(c.layout, c.colour);
        // With a style sheet the style is wrapped in Qt's own style-sheet style.
        const QString style = QApplication::style()->metaObject()->className();
        EXPECT_TRUE(style.contains(c.sheet ? "StyleSheet" : c.style, Qt::CaseInsensitive)) << style.toStdString();
        EXPECT_EQ(qApp->styleSheet().isEmpty(), !c.sheet);
        EXPECT_EQ(frontEnd().presentation().menuLayout(), c.layout);
    }
    EXPECT_NE(QApplication::palette().color(QPalette::Highlight), before);
    program().SaveSettings();
    const std::string settings = ReadFileBytes(m_data / SettingsFileName);
    // Stored as index + 1.
    EXPECT_NE(settings.find("MenuStyle=2"), std::string::npos) << settings;
    EXPECT_NE(settings.find("MenuColor=2"), std::string::npos) << settings;
    frontEnd().SetSkin(1, 0);
}

} // namespace
