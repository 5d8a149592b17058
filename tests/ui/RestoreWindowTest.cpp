// The restore window over a real program: a profile backed up into a temporary folder with
// generations, read back, chosen from, and restored with real files.

#include "ui/restore/RestoreWindow.h"

#include "WindowFixture.h"
#include "app/Program.h"
#include "base/ResultCodes.h"
#include "log/LogFile.h"
#include "restore/Moment.h"
#include "support/TreeBuilder.h"
#include "ui/MainActions.h"
#include "ui/MainWindow.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>
#include <QTreeWidget>

namespace {

constexpr std::int64_t First = 1'600'000'000;
constexpr std::int64_t Second = 1'700'000'000;
constexpr std::int64_t Third = 1'750'000'000;

class RestoreWindowTest : public WindowFixture
{
protected:
    std::filesystem::path src() const { return m_temp / "src"; }

    /// Three backups with three generations: a.txt as "eins", "zwei" and "drei"; b.txt only in
    /// the last.
    void backUpThreeTimes()
    {
        TProfile profile = copyProfile("Versionen");
        profile.Generations = 3;
        MakeFile(src() / "a.txt", "eins", First);
        MakeFile(src() / "sub" / "c.txt", "bleibt", First);
        start({profile});
        backUp();
        MakeFile(src() / "a.txt", "zwei, länger", Second);
        backUp();
        MakeFile(src() / "a.txt", "drei", Third);
        MakeFile(src() / "b.txt", "neu", Third);
        backUp();
    }

    void backUp()
    {
        window().selectRow(0);
        window().actions().Run->trigger();
        ASSERT_TRUE(waitFor([this] { return !program().RunActive(); }));
    }

    /// Opens the window for the first profile through its menu command and waits until it has
    /// read the destination.
    RestoreWindow& open()
    {
        window().selectRow(0);
        window().actions().Restore->trigger();
        RestoreWindow* restore = window().restoreWindow();
        EXPECT_TRUE(restore != nullptr);
        EXPECT_TRUE(waitFor([restore] { return restore->ready(); }));
        return *restore;
    }

    template <typename Widget> static Widget& child(RestoreWindow& restore, const char* name)
    {
        auto* widget = restore.findChild<Widget*>(QString::fromLatin1(name));
        EXPECT_TRUE(widget != nullptr) << name;
        return *widget;
    }

    static void toFolder(RestoreWindow& restore, const std::filesystem::path& folder)
    {
        child<QRadioButton>(restore, "toFolderButton").setChecked(true);
        child<QLineEdit>(restore, "targetFolderEdit").setText(QString::fromStdString(folder.string()));
    }

    QString dateOf(std::int64_t unixSeconds) const
    {
        const std::int64_t offset = LocalOffsetSeconds(*m_platform);
        return QString::fromStdString(FormatStampedDateTime(LocalOf(unixSeconds * 1'000'000'000, offset)));
    }

    /// Starts and waits for the end; the restore's outcome.
    static const RestoreEnd& run(RestoreWindow& restore)
    {
        child<QPushButton>(restore, "startButton").click();
        EXPECT_TRUE(waitFor([&restore] { return !restore.restoring() && restore.lastEnd(); }));
        return *restore.lastEnd();
    }

    std::string log() const { return ReadFileBytes(m_data / "Backup.log"); }
};

TEST_F(RestoreWindowTest, AnOlderVersionOfAFileGoesBackIntoAnotherFolder)
{
    backUpThreeTimes();
    RestoreWindow& restore = open();
    QTreeWidgetItem* a = restore.itemOf((src() / "a.txt").string());
    ASSERT_TRUE(a != nullptr);
    EXPECT_EQ(a->text(2), dateOf(Third));
    // Every version the generations keep, each with its date, newest first.
    ASSERT_EQ(a->childCount(), 3);
    EXPECT_EQ(a->child(0)->text(2), dateOf(Third));
    EXPECT_EQ(a->child(1)->text(2), dateOf(Second));
    EXPECT_EQ(a->child(2)->text(2), dateOf(First));
    // Checking a version checks its file; a second version takes the first one's place.
    a->child(2)->setCheckState(0, Qt::Checked);
    a->child(1)->setCheckState(0, Qt::Checked);
    EXPECT_EQ(a->checkState(0), Qt::Checked);
    EXPECT_EQ(a->child(2)->checkState(0), Qt::Unchecked);
    toFolder(restore, m_temp / "aus");
    const RestoreEnd& end = run(restore);
    EXPECT_EQ(end.stats.errorCount, 0);
    EXPECT_EQ(TreeOf(m_temp / "aus"), (std::vector<std::string>{"a.txt"}));
    EXPECT_EQ(ReadFileBytes(m_temp / "aus" / "a.txt"), "zwei, länger");
    EXPECT_EQ(ModifiedOf(m_temp / "aus" / "a.txt"), Second);
    // The original stays as it is, and the report is in the log.
    EXPECT_EQ(ReadFileBytes(src() / "a.txt"), "drei");
    EXPECT_NE(log().find("Wiederherstellung"), std::string::npos);
    EXPECT_NE(log().find((m_temp / "aus").string() + "/"), std::string::npos);
}

TEST_F(RestoreWindowTest, AnEarlierMomentShowsAndRestoresTheTreeAsItWasThen)
{
    backUpThreeTimes();
    RestoreWindow& restore = open();
    auto& moments = child<QComboBox>(restore, "momentBox");
    ASSERT_GE(moments.count(), 3);
    EXPECT_EQ(moments.itemText(0), "neuester Stand");
    EXPECT_TRUE(restore.itemOf((src() / "b.txt").string()) != nullptr);
    // The oldest moment: b.txt was not yet backed up, a.txt was "eins".
    moments.setCurrentIndex(moments.count() - 1);
    EXPECT_EQ(restore.itemOf((src() / "b.txt").string()), nullptr);
    QTreeWidgetItem* a = restore.itemOf((src() / "a.txt").string());
    ASSERT_TRUE(a != nullptr);
    EXPECT_EQ(a->text(2), dateOf(First));
    QTreeWidgetItem* top = restore.itemOf(src().string());
    ASSERT_TRUE(top != nullptr);
    top->setCheckState(0, Qt::Checked);
    toFolder(restore, m_temp / "damals");
    EXPECT_EQ(run(restore).stats.errorCount, 0);
    EXPECT_EQ(ReadFileBytes(m_temp / "damals" / "a.txt"), "eins");
    EXPECT_EQ(ReadFileBytes(m_temp / "damals" / "sub" / "c.txt"), "bleibt");
    EXPECT_FALSE(std::filesystem::exists(m_temp / "damals" / "b.txt"));
}

TEST_F(RestoreWindowTest, KeepBothForAllPutsTheBackupsVersionsBesideTheChangedFiles)
{
    backUpThreeTimes();
    MakeFile(src() / "a.txt", "danach geändert", Third + 100);
    MakeFile(src() / "b.txt", "auch geändert", Third + 100);
    RestoreWindow& restore = open();
    restore.itemOf(src().string())->setCheckState(0, Qt::Checked);
    // The question comes once: "für alle" answers the second conflict too.
    int asked = 0;
    QTimer answer;
    QObject::connect(&answer, &QTimer::timeout, [&] {
        QWidget* modal = QApplication::activeModalWidget();
        if (modal == nullptr || modal->objectName() != "conflictDialog")
            return;
        ++asked;
        modal->findChild<QCheckBox*>("forAllBox")->setChecked(true);
        modal->findChild<QPushButton*>("keepBothButton")->click();
    });
    answer.start(20);
    const RestoreEnd& end = run(restore);
    answer.stop();
    EXPECT_EQ(asked, 1);
    EXPECT_EQ(end.stats.errorCount, 0);
    EXPECT_EQ(end.skipped, 0);
    EXPECT_EQ(ReadFileBytes(src() / "a.txt"), "danach geändert");
    EXPECT_EQ(ReadFileBytes(src() / "b.txt"), "auch geändert");
    std::vector<std::string> besides;
    for (const std::string& name : TreeOf(src()))
        if (name.find(" (") != std::string::npos)
            besides.push_back(name);
    ASSERT_EQ(besides.size(), 2U);
    EXPECT_EQ(ReadFileBytes(src() / besides[0]), "drei");
    EXPECT_EQ(ReadFileBytes(src() / besides[1]), "neu");
    EXPECT_EQ(ReadFileBytes(src() / "sub" / "c.txt"), "bleibt");
}

TEST_F(RestoreWindowTest, ACancelledRestoreLeavesOnlyWholeFilesAndItsReport)
{
    for (int i = 0; i < 40; ++i)
        MakeFile(src() / ("f" + std::to_string(100 + i)), Noise(20000, static_cast<unsigned>(i)), First);
    start({copyProfile("Viele")});
    backUp();
    RestoreWindow& restore = open();
    restore.itemOf(src().string())->setCheckState(0, Qt::Checked);
    toFolder(restore, m_temp / "aus");
    // Held by the pause before its first file, then let go and cancelled after a few files.
    window().actions().Pause->trigger();
    child<QPushButton>(restore, "startButton").click();
    ASSERT_TRUE(restore.restoring());
    auto& pause = child<QPushButton>(restore, "pauseButton");
    EXPECT_TRUE(pause.isChecked());
    pause.click();
    child<QPushButton>(restore, "cancelButton").click();
    ASSERT_TRUE(waitFor([&restore] { return !restore.restoring(); }));
    window().actions().Pause->trigger();
    const RestoreEnd& end = *restore.lastEnd();
    EXPECT_LT(end.stats.filesDone, 40);
    EXPECT_NE(log().find(CancelledText), std::string::npos);
    // What came back is whole, under its real name; nothing of the restore's own lies beside it.
    int whole = 0;
    for (const std::string& name : TreeOf(m_temp / "aus")) {
        ASSERT_EQ(name.rfind('f', 0), 0U) << name;
        EXPECT_EQ(ReadFileBytes(m_temp / "aus" / name), ReadFileBytes(src() / name)) << name;
        ++whole;
    }
    EXPECT_EQ(whole, end.stats.filesDone);
    // The window can go again: the rest comes back.
    const RestoreEnd& again = run(restore);
    EXPECT_EQ(again.stats.errorCount, 0);
    EXPECT_EQ(TreeOf(m_temp / "aus"), TreeOf(src()));

    // Closing the window stops a restore under way; its report still reaches the log.
    window().actions().Pause->trigger();
    ASSERT_TRUE(restore.Start());
    restore.close();
    window().actions().Pause->trigger();
    EXPECT_FALSE(program().RunActive());
    std::size_t reports = 0;
    const std::string heading = "\r\nWiederherstellung\r\n";
    for (std::size_t at = log().find(heading); at != std::string::npos; at = log().find(heading, at + 1))
        ++reports;
    EXPECT_EQ(reports, 3U);
}

TEST_F(RestoreWindowTest, ARestoreAndABackupNeverRunTogether)
{
    MakeFile(src() / "a.txt", "eins", First);
    TProfile slow = copyProfile("Langsam");
    start({copyProfile("Versionen"), slow});
    backUp();
    RestoreWindow& restore = open();
    restore.itemOf(src().string())->setCheckState(0, Qt::Checked);
    toFolder(restore, m_temp / "aus");

    // A backup held by the pause: the restore is refused, and says why.
    window().actions().Pause->trigger();
    window().selectRow(1);
    window().actions().Run->trigger();
    ASSERT_TRUE(program().RunActive());
    EXPECT_EQ(messageOf([&] { EXPECT_FALSE(restore.Start()); }),
              "Eine Sicherung läuft gerade. Die Wiederherstellung kann erst nach ihrem Ende beginnen.");
    EXPECT_FALSE(restore.restoring());
    window().actions().Pause->trigger();
    ASSERT_TRUE(waitFor([this] { return !program().RunActive(); }));

    // A restore held by the pause: no backup starts, by hand or by the scheduler.
    window().actions().Pause->trigger();
    ASSERT_TRUE(restore.Start());
    EXPECT_TRUE(program().RunActive());
    window().selectRow(1);
    EXPECT_EQ(messageOf([&] { window().actions().Run->trigger(); }),
              "Eine Wiederherstellung läuft gerade. Die Sicherung kann erst nach ihrem Ende beginnen.");
    window().actions().Pause->trigger();
    ASSERT_TRUE(waitFor([&restore] { return !restore.restoring(); }));
    EXPECT_FALSE(program().RunActive());
    EXPECT_EQ(ReadFileBytes(m_temp / "aus" / "a.txt"), "eins");
}

} // namespace
