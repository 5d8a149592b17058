// The profile wizard driven with keys and clicks over a real program: new profiles of every kind,
// their round trip through the profile file into the properties, the refusals, and the profile
// commands of the main window.

#include "UserInput.h"
#include "WindowFixture.h"
#include "app/DataFolder.h"
#include "components/EEditDate.h"
#include "platform/DesktopLauncher.h"
#include "profiles/ProfileFile.h"
#include "scheduler/NextRun.h"
#include "ui/Help.h"
#include "ui/MainActions.h"
#include "ui/MainWindow.h"
#include "ui/MessageBoxes.h"
#include "ui/ProfileCommands.h"
#include "ui/ProfileListModel.h"
#include "ui/wizard/ProfileWizard.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>
#include <QSpinBox>
#include <QStackedWidget>
#include <QTabWidget>
#include <QTest>
#include <QTime>
#include <QToolButton>
#include <fstream>

namespace {

/// Lines into a memo, one per line.
void TypeLines(QPlainTextEdit* memo, const QStringList& lines)
{
    memo->setFocus();
    QTest::keyClick(memo, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(memo, Qt::Key_Delete);
    for (int n = 0; n < lines.size(); ++n) {
        if (n > 0)
            QTest::keyClick(memo, Qt::Key_Return);
        KeyClicks(memo, lines[n]);
    }
}

/// The text the profile file keeps for a profile: a difference shows the field by its key.
std::string FileText(const TProfile& profile)
{
    ProfileList list;
    list.AddToProfile(profile);
    std::mt19937 random(7);
    std::string content;
    ProfileFile::FormatProfiles(list, random, content);
    return content;
}

} // namespace

class WizardTest : public WindowFixture
{
protected:
    void SetUp() override
    {
        std::filesystem::create_directories(m_temp / "src/a");
        std::filesystem::create_directories(m_temp / "src/b");
        std::filesystem::create_directories(m_temp / "dest");
        std::ofstream(m_temp / "src/a/eins.txt") << "eins";
        ProfileWizard::folderPicker() = nullptr;
    }
    void TearDown() override
    {
        ProfileCommands::beforeWizard() = nullptr;
        WindowFixture::TearDown();
    }

public:
    std::string src() const { return (m_temp / "src").string() + "/"; }
    std::string dest() const { return (m_temp / "dest").string() + "/"; }
    std::string top() const { return m_temp.path().string(); }

    /// Runs a command whose wizard drive() works through; the pages it showed, in order.
    std::vector<int> withWizard(QAction* command, const std::function<void(ProfileWizard&)>& drive)
    {
        std::vector<int> pages;
        ProfileCommands::beforeWizard() = [&](ProfileWizard& wizard) {
            wizard.show();
            QApplication::setActiveWindow(&wizard);
            pages.push_back(wizard.page());
            QObject::connect(wizard.NBWizard, &QStackedWidget::currentChanged,
                             [&pages](int page) { pages.push_back(page); });
            drive(wizard);
        };
        command->trigger();
        ProfileCommands::beforeWizard() = nullptr;
        return pages;
    }

    /// The profiles as the file on disk holds them.
    std::vector<TProfile> stored()
    {
        ProfileList list;
        ProfileFile(m_data / ProfileFileName)
            .LoadProfiles(list, ProfileDefaultsFrom(program().settings()), [](TProfile&) {});
        std::vector<TProfile> profiles;
        for (int row = 0; row < list.count(); ++row)
            profiles.push_back(list.at(row));
        return profiles;
    }

public:
    /// The start of every new profile: its name and the source folder ticked in the tree.
    void nameAndSource(ProfileWizard& w, const QString& name, bool advanced = false)
    {
        Type(w.EDProfilename, name);
        if (advanced)
            Click(w.CHBAdvanced);
        Click(w.BTForward);
        Click(w.BTForward);
        ASSERT_EQ(w.page(), PageSource);
        tickInTree(w, src());
        Click(w.BTForward);
    }

    /// Ticks a folder with the space bar in the tree (the levels on the way are opened first).
    static void tickInTree(ProfileWizard& w, const std::string& folder)
    {
        EDirTree& tree = *w.EDirTreeWidget;
        tree.setSelectedDirs({folder});
        tree.setSelectedDirs({});
        QTreeWidgetItem* item = nullptr;
        for (QTreeWidgetItemIterator it(&tree); *it; ++it)
            if (tree.tree().NodePath(tree.nodeOf(*it)) == folder)
                item = *it;
        ASSERT_NE(item, nullptr) << folder;
        tree.scrollToItem(item);
        tree.setCurrentItem(item);
        QTest::keyClick(tree.viewport(), Qt::Key_Space);
        ASSERT_EQ(tree.SelectedDirs(), std::vector<std::string>{folder});
    }

    void typeDestination(ProfileWizard& w, const std::string& destination)
    {
        ASSERT_EQ(w.page(), PageDest);
        Type(w.EDDest, QString::fromStdString(destination));
    }

protected:
    /// What the wizard stores for a profile whose every other control kept its start value.
    TProfile expectedBasic(const std::string& name) const
    {
        TProfile p;
        p.Name = name;
        p.SourceListTree = true;
        p.Source = {src()};
        p.Withsub = true;
        p.Withempty = true;
        p.Destination = dest();
        p.Period = PeriodDaily;
        p.Hours = 2;
        p.RunTime = "12:00";
        p.DayOfWeek = {true, true, true, true, true, false, false};
        p.Weeks = 1;
        p.Day = 6;
        p.Weektime = "12:00";
        p.MonthDay = 1;
        p.Monthtime = "12:00";
        p.DateTimeFrom = 1.0;
        p.DateTimeTo = 100000.0;
        p.MissedBackup = true;
        p.Backuptype = BackupFull;
        p.Archive = true;
        p.FTPMode = 2; // a new profile sends its files byte for byte
        p.CompLevel = 5;
        p.Generations = 1;
        p.Priority = -2;
        p.LastRun = NoRun;
        return p;
    }
};

// One row per backup type and schedule kind: the pages "Weiter >" and "< Zurück" visit, the stored
// profile field by field, and the same profile shown again by "Eigenschaften" after the round trip
// through the profile file.
TEST_F(WizardTest, EveryKindOfProfileIsStoredAsEnteredAndShownAgain)
{
    struct Case
    {
        const char* name;
        std::function<void(WizardTest&, ProfileWizard&)> drive;
        std::vector<int> pages;
        std::function<void(WizardTest&, TProfile&)> expect;
    };
    const std::vector<Case> cases = {
        {"Voll täglich",
         [](WizardTest& t, ProfileWizard& w) {
             t.nameAndSource(w, "Voll täglich");
             t.typeDestination(w, t.dest());
             Click(w.BTForward); // compression
             Click(w.BTForward); // schedule
             Type(w.EDTime, "8:30; 17");
             Click(w.CHBWeekdays[5]);
             Click(w.BTReady);
         },
         {0, 1, 2, 3, 4, 5},
         [](WizardTest&, TProfile& p) {
             p.Name = "Voll täglich";
             p.RunTime = "08:30; 17:00";
             p.DayOfWeek[5] = true;
             p.Zipfile = "Voll täglich.zip";
         }},
        {"Inkrementell stündlich, ZIP",
         [](WizardTest& t, ProfileWizard& w) {
             Type(w.EDProfilename, "Inkr.alt");
             Click(w.BTForward);
             Click(w.RBIncrement);
             Click(w.BTForward);
             tickInTree(w, t.src());
             Click(w.BTForward);
             t.typeDestination(w, t.dest());
             Click(w.BTForward);
             Click(w.CHBCompress);
             Click(w.CHBEncrypt);
             Type(w.EDPassword, "geheim");
             Type(w.EDPassword2, "geheim");
             Click(w.CHBDiskspan);
             Type(w.EDMaxVolumeSize, "5000");
             Click(w.BTBack); // back to the destination, and on again
             Click(w.BTForward);
             Click(w.BTForward);
             Click(w.RBHour);
             Type(w.SPEHour, "0");
             Type(w.SPEMin, "2");
             Click(w.BTReady);
         },
         {0, 1, 2, 3, 4, 3, 4, 5},
         [](WizardTest&, TProfile& p) {
             p.Name = "Inkr.alt";
             p.Backuptype = BackupIncremental;
             p.Compress = true;
             p.Zipfile = "Inkr.zip";
             p.Encrypt = true;
             p.Password = "geheim";
             p.DiskSpan = true;
             p.MaxVolumeSize = 100000;
             p.Period = PeriodInterval;
             p.Hours = 0;
             p.Minutes = 5;
         }},
        {"Differenziell wöchentlich, finished from the middle",
         [](WizardTest& t, ProfileWizard& w) {
             Type(w.EDProfilename, "Diff");
             Click(w.BTForward);
             Click(w.RBDifferential);
             Click(w.BTForward);
             tickInTree(w, t.src());
             TypeLines(w.MEFilterIncl, {"*.doc", "", "*.xls"});
             TypeLines(w.MEFilterExcl, {"/privat"});
             Click(w.BTForward);
             t.typeDestination(w, t.dest());
             Click(w.BTReady);
         },
         {0, 1, 2, 3},
         [](WizardTest&, TProfile& p) {
             p.Name = "Diff";
             p.Backuptype = BackupDifferential;
             p.Addfiles = "*.doc;*.xls;";
             p.Exclfiles = "/privat;";
         }},
        {"Synchronisation monatlich skips the compression page",
         [](WizardTest& t, ProfileWizard& w) {
             Type(w.EDProfilename, "Spiegel");
             Click(w.BTForward);
             Click(w.RBSync);
             Click(w.BTForward);
             tickInTree(w, t.src());
             Click(w.BTForward);
             t.typeDestination(w, t.dest());
             Click(w.BTForward);
             EXPECT_EQ(w.page(), PageWhen);
             EXPECT_FALSE(w.BTForward->isEnabled());
             Click(w.RBMonth);
             Type(w.SPEMonthDay, "31");
             Type(w.EDMonthtime, "25:70");
             Click(w.BTBack);
             EXPECT_EQ(w.page(), PageDest);
             Click(w.BTReady);
         },
         {0, 1, 2, 3, 5, 3},
         [](WizardTest&, TProfile& p) {
             p.Name = "Spiegel";
             p.Backuptype = BackupSynchronise;
             p.Period = PeriodMonthly;
             p.MonthDay = 31;
             p.Monthtime = "23:59";
         }},
        {"Verschieben nicht periodisch",
         [](WizardTest& t, ProfileWizard& w) {
             Type(w.EDProfilename, "Weg");
             Click(w.BTForward);
             Click(w.RBMove);
             Click(w.BTForward);
             tickInTree(w, t.src());
             Click(w.BTForward);
             t.typeDestination(w, t.dest());
             Click(w.BTForward);
             Click(w.RBNot);
             MessageBoxes::setNextAnswer(QMessageBox::Ok); // the warning about moving
             Click(w.BTReady);
         },
         {0, 1, 2, 3, 5},
         [](WizardTest&, TProfile& p) {
             p.Name = "Weg";
             p.Backuptype = BackupMove;
             p.Period = PeriodNotPeriodic;
         }},
        {"Löschen in den Papierkorb skips destination and compression",
         [](WizardTest& t, ProfileWizard& w) {
             Type(w.EDProfilename, "Aufräumen");
             Click(w.BTForward);
             Click(w.RBDelete);
             Click(w.RBDeleteRecycle);
             Click(w.BTForward);
             tickInTree(w, t.src());
             Click(w.BTForward);
             EXPECT_EQ(w.page(), PageWhen);
             Click(w.BTBack);
             EXPECT_EQ(w.page(), PageSource);
             Click(w.BTForward);
             Click(w.RBweek);
             Type(w.SPEweek, "3");
             w.CBDay->setFocus();
             QTest::keyClick(w.CBDay, Qt::Key_Up);         // Sonntag → Samstag
             MessageBoxes::setNextAnswer(QMessageBox::Ok); // the warning about deleting
             Click(w.BTReady);
         },
         {0, 1, 2, 5, 2, 5},
         [](WizardTest&, TProfile& p) {
             p.Name = "Aufräumen";
             p.Backuptype = BackupDelete;
             p.RecycleBin = true;
             p.Destination = "";
             p.Period = PeriodWeekly;
             p.Weeks = 3;
             p.Day = 5;
         }},
        {"Voll per FTP, advanced, free moments and options",
         [](WizardTest& t, ProfileWizard& w) {
             t.nameAndSource(w, "Server", true);
             Type(w.EDDest, "/sicherung/");
             Click(w.CHBFTP);
             EXPECT_EQ(w.LBDestination->text().toStdString(), "Startverzeichnis:");
             Type(w.EDFTPServer, "127.0.0.1:2121");
             Click(w.CHBSecurity);
             Type(w.EDNetUser, "anna");
             Type(w.EDNetPasswd, "pw");
             Click(w.CHBFTPPassive);
             Click(w.BTForward);
             EXPECT_EQ(w.page(), PageWhen);
             Click(w.RBFree);
             Type(w.EDFree, "1.3.2030-12:35; 10.4.2030-11:00");
             Type(w.EDBeginDate, "1.1.2030");
             Type(w.EDBeginTime, "7:5");
             Click(w.BTForward);
             EXPECT_EQ(w.page(), PageOption);
             EXPECT_FALSE(w.BTForward->isEnabled());
             Click(w.CHBPriority);
             w.TRBPriority->setFocus();
             QTest::keyClick(w.TRBPriority, Qt::Key_End);
             Type(w.EDVor, "/usr/bin/true");
             Click(w.CHBVor);
             Click(w.BTReady);
         },
         {0, 1, 2, 3, 5, 6},
         [](WizardTest&, TProfile& p) {
             p.Name = "Server";
             p.Advanced = true;
             p.Destination = "/sicherung/";
             p.FTP = true;
             p.FTPServer = "127.0.0.1:2121";
             p.FTPPassive = true;
             p.NetLogon = true;
             p.NetUser = "anna";
             p.NetPasswd = "pw";
             p.Period = PeriodFree;
             p.FreeTime = "01.03.2030-12:35; 10.04.2030-11:00";
             p.DateTimeFrom = At(2030, 1, 1, 7, 5);
             p.Prior = true;
             p.Priority = 2;
             p.SFileAtt = p.HFileAtt = p.RFileAtt = true;
             p.RunBefore = "/usr/bin/true";
             p.RunBeforeWait = true;
         }},
    };

    start({});
    showActive();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const int before = program().profiles().count();
        const std::vector<int> pages = withWizard(window().actions().New, [&](ProfileWizard& w) { c.drive(*this, w); });
        EXPECT_EQ(pages, c.pages);
        ASSERT_EQ(program().profiles().count(), before + 1);
        TProfile made = program().profiles().at(before);
        TProfile expected = expectedBasic("");
        c.expect(*this, expected);
        // The next run is the scheduler's business; it is checked to be computed, not its value.
        TProfile scheduled = expected;
        CalcNextBackup(scheduled, program().platform().Now());
        expected.NextRun = made.NextRun;
        EXPECT_EQ(FileText(made), FileText(expected));
        EXPECT_EQ(made.NextRun, scheduled.NextRun);
        ASSERT_EQ(stored().size(), static_cast<std::size_t>(before + 1));
        EXPECT_EQ(FileText(stored().back()), FileText(made));

        // Shown again and finished untouched: every control gave back what it was given.
        ASSERT_EQ(window().selectedRow(), before);
        withWizard(window().actions().Properties, [&](ProfileWizard& w) {
            EXPECT_EQ(w.EDProfilename->text().toStdString(), made.Name);
            EXPECT_EQ(w.windowTitle().toStdString(), "Tresorio Profil Assistent - " + made.Name);
            if (made.Encrypt) {
                EXPECT_EQ(w.EDPassword2->text().toStdString(), made.Password);
            }
            if (!made.NetPasswd.empty()) {
                EXPECT_EQ(w.EDNetPasswd->text(), QString(15, QLatin1Char('*')));
            }
            if (made.Backuptype == BackupDelete || made.Backuptype == BackupMove)
                MessageBoxes::setNextAnswer(QMessageBox::Ok);
            Click(w.BTReady);
            EXPECT_FALSE(w.isVisible());
        });
        TProfile again = program().profiles().at(before);
        again.NextRun = made.NextRun;
        EXPECT_EQ(FileText(again), FileText(made));
    }
}

TEST_F(WizardTest, WrongEntriesAreRefusedWithTheirMessageAndNothingIsStored)
{
    struct Case
    {
        const char* name;
        std::function<void(WizardTest&, ProfileWizard&)> drive;
        const char* message;
        int page;
    };
    const std::vector<Case> cases = {
        {"empty name", [](WizardTest&, ProfileWizard& w) { Type(w.EDProfilename, "   "); },
         "Bitte geben Sie einen Namen für das Sicherungsprofil ein.", PageIntro},
        {"name taken, other case", [](WizardTest&, ProfileWizard& w) { Type(w.EDProfilename, "VORHANDEN"); },
         "Ein Sicherungsprofil mit dem Namen \"VORHANDEN\" gibt es schon. Bitte wählen Sie einen anderen Namen.",
         PageIntro},
        {"no source",
         [](WizardTest& t, ProfileWizard& w) {
             Type(w.EDProfilename, "Neu");
             w.EDDest->setText(QString::fromStdString(t.dest()));
         },
         "Bitte wählen Sie mindestens ein Quellverzeichnis.", PageSource},
        {"destination inside the source",
         [](WizardTest& t, ProfileWizard& w) {
             t.nameAndSource(w, "Neu");
             Type(w.EDDest, QString::fromStdString(t.src() + "a/../b/$date/"));
         },
         "Zielverzeichnis und Quellverzeichnis gleich! Dies kann zu Datenverlust führen!\nBitte korrigieren Sie das "
         "Zielverzeichnis.",
         PageDest},
        {"source inside the destination",
         [](WizardTest& t, ProfileWizard& w) {
             t.nameAndSource(w, "Neu");
             Type(w.EDDest, QString::fromStdString(t.top()));
         },
         "Zielverzeichnis und Quellverzeichnis gleich! Dies kann zu Datenverlust führen!\nBitte korrigieren Sie das "
         "Zielverzeichnis.",
         PageDest},
        {"relative destination",
         [](WizardTest& t, ProfileWizard& w) {
             t.nameAndSource(w, "Neu");
             Type(w.EDDest, "sicherung");
         },
         "Bitte geben Sie das Zielverzeichnis als vollständigen Pfad ein, z.B. /media/anna/Sicherung/.", PageDest},
        {"time list without a time",
         [](WizardTest& t, ProfileWizard& w) {
             t.nameAndSource(w, "Neu");
             Type(w.EDDest, QString::fromStdString(t.dest()));
             Click(w.BTForward);
             Click(w.BTForward);
             Type(w.EDTime, "mittags");
         },
         "Bitte geben Sie mindestens eine Uhrzeit ein, z.B. 12:00; 16:30.", PageWhen},
        {"unreadable free moment",
         [](WizardTest& t, ProfileWizard& w) {
             t.nameAndSource(w, "Neu", true);
             Type(w.EDDest, QString::fromStdString(t.dest()));
             Click(w.BTForward);
             Click(w.BTForward);
             Click(w.RBFree);
             Type(w.EDFree, "1.3.2030 12:35");
         },
         "Die Zeitpunkte sind nicht lesbar. Bitte geben Sie sie in der Form 24.12.2026-18:00; 31.12.2026-12:00 ein.",
         PageWhen},
        {"passwords differ",
         [](WizardTest& t, ProfileWizard& w) {
             t.nameAndSource(w, "Neu");
             Type(w.EDDest, QString::fromStdString(t.dest()));
             Click(w.BTForward);
             Click(w.CHBCompress);
             Click(w.CHBEncrypt);
             Type(w.EDPassword, "eins");
             w.EDPassword2->setFocus();
             QTest::keyClicks(w.EDPassword2, "zwei");
         },
         "Passwort-Wiederholung war nicht gleich. Bitte wiederholen Sie die Eingabe.", PageCompress},
    };

    TProfile existing = copyProfile("Vorhanden");
    start({existing});
    showActive();
    const std::string fileBefore = [this] {
        std::ifstream in(m_data / ProfileFileName, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    }();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::string message;
        int page = -1;
        withWizard(window().actions().New, [&](ProfileWizard& w) {
            c.drive(*this, w);
            MessageBoxes::answeredTexts().clear();
            MessageBoxes::setNextAnswer(QMessageBox::Ok);
            Click(w.BTReady);
            EXPECT_EQ(MessageBoxes::answeredTexts().size(), 1u);
            message = MessageBoxes::answeredTexts().empty() ? "" : MessageBoxes::answeredTexts().front();
            page = w.page();
            EXPECT_TRUE(w.isVisible());
            MessageBoxes::clearAnswers();
            Click(w.BTCancel);
        });
        EXPECT_EQ(message, c.message);
        EXPECT_EQ(page, c.page);
        EXPECT_EQ(program().profiles().count(), 1);
    }
    std::ifstream in(m_data / ProfileFileName, std::ios::binary);
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), {}), fileBefore);
}

TEST_F(WizardTest, RulesBetweenTheControls)
{
    start({});
    showActive();
    withWizard(window().actions().New, [&](ProfileWizard& w) {
        Type(w.EDProfilename, "Daten.alt");
        EXPECT_EQ(w.windowTitle().toStdString(), "Tresorio Profil Assistent - Daten.alt");
        Click(w.CHBAdvanced);
        Click(w.BTForward);
        // Deleting: no archive/date choice, no verification, no FTP; the trash can be chosen here.
        Click(w.CHBverify);
        Click(w.RBDelete);
        EXPECT_FALSE(w.RBArchive->isEnabled());
        EXPECT_FALSE(w.CHBverify->isEnabled());
        EXPECT_TRUE(w.RBDeleteRecycle->isEnabled());
        EXPECT_EQ(w.LBSource->text().toStdString(), "Diese Verzeichnissinhalte löschen: ");
        Click(w.RBIncrement);
        Click(w.RBDate);
        EXPECT_TRUE(w.CBIncrFull->isEnabled());
        Click(w.BTForward);
        Click(w.BTForward);
        // No destination proposed: the field waits for it.
        EXPECT_EQ(QApplication::focusWidget(), w.EDDest);
        // FTP unticks compression and the medium name and renames the destination label.
        Type(w.EDDest, QString::fromStdString(dest() + "$date/"));
        Click(w.CHBDiskname);
        Click(w.CHBFTP);
        EXPECT_FALSE(w.CHBDiskname->isChecked());
        EXPECT_FALSE(w.CHBDelete->isEnabled());
        EXPECT_EQ(w.LBDestination->text().toStdString(), "Startverzeichnis:");
        Click(w.CHBFTP);
        // A picked folder keeps the placeholders the destination ended with.
        ProfileWizard::folderPicker() = [](const QString&) { return QStringLiteral("/media/usb"); };
        Click(w.BBDestDr);
        EXPECT_EQ(w.EDDest->text().toStdString(), "/media/usb/$date/");
        Click(w.BTForward);
        EXPECT_EQ(w.page(), PageCompress);
        EXPECT_EQ(w.EDFilename->text().toStdString(), "Daten.zip");
        // Compression: no generations, no verification; deleting the ZIP first only when incremental.
        Click(w.CHBCompress);
        EXPECT_FALSE(w.CHBOverwrite->isEnabled());
        EXPECT_FALSE(w.CHBverify->isEnabled());
        EXPECT_TRUE(w.CHBDelZip->isEnabled());
        Click(w.CHBDiskspan);
        Type(w.EDMaxVolumeSize, "5000");
        EXPECT_EQ(w.EDMaxVolumeSize->value(), 100000);
        Click(w.CHBDiskspan);
        EXPECT_EQ(w.EDMaxVolumeSize->value(), 0);
        Click(w.BTForward);
        Click(w.RBHour);
        Type(w.SPEHour, "0");
        Type(w.SPEMin, "2");
        EXPECT_EQ(w.SPEMin->value(), 5);
        Click(w.RBDay);
        Type(w.EDTime, "8:30, 17");
        EXPECT_EQ(w.EDTime->text().toStdString(), "08:59");
        Click(w.BTForward);
        Click(w.CHBshutdown);
        Click(w.CHBshutdownForce);
        Click(w.CHBshutdown);
        EXPECT_FALSE(w.CHBshutdownForce->isChecked());
        // Back to the start: advanced mode off puts the advanced settings back and hides them.
        while (w.page() != PageIntro)
            Click(w.BTBack);
        Click(w.CHBAdvanced);
        EXPECT_TRUE(w.RBArchive->isChecked());
        EXPECT_FALSE(w.RBArchive->isVisibleTo(&w));
        EXPECT_FALSE(w.PageControl1->isTabVisible(1));
        Click(w.CHBAdvanced);
        EXPECT_TRUE(w.RBArchive->isChecked());
        Click(w.BTCancel);
    });
    EXPECT_EQ(program().profiles().count(), 0);
}

TEST_F(WizardTest, EditingKeepsWhatTheWizardCannotShowOrWasNotTouched)
{
    TProfile offline = copyProfile("Offline");
    offline.Source = {src(), "/media/nicht-eingesteckt/Fotos/"};
    offline.NetLogon = true;
    offline.NetUser = "anna";
    offline.NetPasswd = "alt-geheim";
    offline.FTP = true;
    offline.FTPServer = "ftp.example.org";
    offline.Advanced = true;
    offline.SourceListTree = true;
    offline.Errors = 2;
    offline.FilesCount = 7;
    offline.LastRun = At(2026, 12, 1, 8, 0);
    start({offline});
    showActive();
    window().selectRow(0);
    withWizard(window().actions().Properties, [&](ProfileWizard& w) {
        EXPECT_EQ(w.offlineSources(), std::vector<std::string>{"/media/nicht-eingesteckt/Fotos/"});
        Click(w.BTForward);
        Click(w.BTForward);
        EXPECT_TRUE(w.LBOffline->isVisible());
        // The tree is open down to the chosen folder.
        for (QTreeWidgetItemIterator it(w.EDirTreeWidget); *it; ++it)
            if (w.EDirTreeWidget->tree().NodePath(w.EDirTreeWidget->nodeOf(*it)) == src()) {
                EXPECT_EQ((*it)->checkState(0), Qt::Checked);
                EXPECT_TRUE((*it)->parent()->isExpanded());
            }
        // The list tab shows them too, and the tree takes them back.
        w.PageControl1->setCurrentIndex(1);
        EXPECT_EQ(w.MESelectedDirs->toPlainText().toStdString(), src() + "\n/media/nicht-eingesteckt/Fotos/");
        w.PageControl1->setCurrentIndex(0);
        Click(w.BTReady);
    });
    TProfile kept = program().profiles().at(0);
    EXPECT_EQ(kept.Source, offline.Source);
    EXPECT_EQ(kept.NetPasswd, "alt-geheim");
    EXPECT_EQ(kept.Errors, 2);
    EXPECT_EQ(kept.FilesCount, 7);
    EXPECT_EQ(kept.LastRun, offline.LastRun);
    EXPECT_EQ(stored().at(0).NetPasswd, "alt-geheim");

    // A cleared password field stores an empty password; a forgotten source is gone.
    withWizard(window().actions().Properties, [&](ProfileWizard& w) {
        Click(w.BTForward);
        Click(w.BTForward);
        Click(w.BTForgetOffline);
        Click(w.BTForward);
        EXPECT_EQ(w.page(), PageDest);
        EXPECT_TRUE(w.CHBFTP->isChecked());
        EXPECT_TRUE(w.CHBSecurity->isChecked());
        EXPECT_TRUE(w.CHBSecurity->isEnabled());
        EXPECT_TRUE(w.EDNetPasswd->isEnabled());
        Type(w.EDNetPasswd, "");
        EXPECT_EQ(w.EDNetPasswd->text(), QString());
        Click(w.BTReady);
    });
    EXPECT_EQ(program().profiles().at(0).Source, std::vector<std::string>{src()});
    EXPECT_EQ(program().profiles().at(0).NetPasswd, "");

    // Cancelled: nothing changes, the file included.
    withWizard(window().actions().Properties, [&](ProfileWizard& w) {
        Type(w.EDProfilename, "Anders");
        Click(w.BTCancel);
    });
    EXPECT_EQ(names(), std::vector<std::string>{"Offline"});
    EXPECT_EQ(stored().at(0).Name, "Offline");
}

TEST_F(WizardTest, DuplicateDeleteAndRenameFromTheMainWindow)
{
    TProfile daily = copyProfile("Täglich");
    daily.Errors = 3;
    daily.FilesCount = 10;
    daily.LastRun = At(2026, 12, 1, 8, 0);
    start({daily, copyProfile("Zweites")});
    showActive();

    window().iconView()->selectionModel()->clearSelection();
    EXPECT_EQ(messageOf([&] { window().actions().CopyProfile->trigger(); }), "Kein Profil ausgewählt.");
    EXPECT_EQ(messageOf([&] { window().actions().Properties->trigger(); }), "Kein Profil ausgewählt.");
    EXPECT_EQ(messageOf([&] { window().actions().Rename->trigger(); }), "Kein Profil ausgewählt.");
    window().selectRow(0);
    window().actions().CopyProfile->trigger();
    EXPECT_EQ(names(), (std::vector<std::string>{"Täglich", "Zweites", "Täglich Kopie"}));
    EXPECT_EQ(window().selectedRow(), 2);
    const TProfile copy = program().profiles().at(2);
    EXPECT_EQ(copy.Source, daily.Source);
    EXPECT_EQ(copy.LastRun, daily.LastRun);
    EXPECT_EQ(copy.Errors, 0);
    EXPECT_EQ(copy.FilesCount, 0);
    EXPECT_EQ(stored().size(), 3u);

    // Renamed in place: a taken name is refused, a new one saved at once.
    window().setViewStyle(3);
    window().selectRow(2);
    window().actions().Rename->trigger();
    QWidget* editor = QApplication::focusWidget();
    ASSERT_TRUE(qobject_cast<QLineEdit*>(editor));
    MessageBoxes::answeredTexts().clear();
    MessageBoxes::setNextAnswer(QMessageBox::Ok);
    Type(editor, "zweites");
    QTest::keyClick(editor, Qt::Key_Return);
    EXPECT_EQ(MessageBoxes::answeredTexts().size(), 1u);
    EXPECT_EQ(program().profiles().at(2).Name, "Täglich Kopie");
    window().actions().Rename->trigger();
    editor = QApplication::focusWidget();
    ASSERT_TRUE(qobject_cast<QLineEdit*>(editor));
    static_cast<QLineEdit*>(editor)->selectAll();
    KeyClicks(editor, QStringLiteral("Wöchentlich"));
    QTest::keyClick(editor, Qt::Key_Return);
    ASSERT_TRUE(waitFor([&] { return stored().size() == 3 && stored().at(2).Name == "Wöchentlich"; }));
    EXPECT_EQ(names().at(2), "Wöchentlich");

    // Deleting asks; No keeps the profile (the file is written all the same), Yes removes it.
    window().selectRow(1);
    MessageBoxes::answeredTexts().clear();
    MessageBoxes::setNextAnswer(QMessageBox::No);
    QTest::keyClick(window().detailView(), Qt::Key_Delete);
    ASSERT_EQ(MessageBoxes::answeredTexts().size(), 1u);
    EXPECT_EQ(MessageBoxes::answeredTexts().front(), "Sicherungsprofil \"Zweites\" löschen?");
    EXPECT_EQ(names().size(), 3u);
    MessageBoxes::setNextAnswer(QMessageBox::Yes);
    QTest::keyClick(window().detailView(), Qt::Key_Delete);
    EXPECT_EQ(names(), (std::vector<std::string>{"Täglich", "Wöchentlich"}));
    EXPECT_EQ(stored().size(), 2u);
}

TEST_F(WizardTest, ALinkOnTheDesktopStartsTheProgramWithTheProfileName)
{
    const std::string name = "Foto \"Urlaub\" $HOME %f";
    start({copyProfile(name)});
    showActive();
    window().selectRow(0);
    window().actions().Link->trigger();
    const std::filesystem::path desktop = program().platform().SpecialFolderPath(SpecialFolder::Desktop);
    const std::filesystem::path launcher = desktop / DesktopLauncherFileName(name);
    ASSERT_TRUE(std::filesystem::exists(launcher)) << launcher;
    std::ifstream in(launcher, std::ios::binary);
    const std::string text((std::istreambuf_iterator<char>(in)), {});
    // The test's data folder is not the one a plain start finds, so the launcher names it.
    EXPECT_EQ(text, DesktopLauncherText(program().platform().ExecutablePath(), m_data.string(), name));
}

// The whole way: a profile made in the wizard of a running program is due at the next minute, the
// scheduler starts it by itself, its files arrive and its report lands in the log.
TEST_F(WizardTest, AProfileMadeInTheWizardRunsByItself)
{
    start({}, GuiFrontEnd::Tray::Always, 500);
    showActive();
    const QTime next = QTime::currentTime().addSecs(60);
    withWizard(window().actions().New, [&](ProfileWizard& w) {
        nameAndSource(w, "Von selbst");
        Type(w.EDDest, QString::fromStdString(dest()));
        Click(w.BTForward);
        Click(w.BTForward);
        Type(w.EDTime, next.toString(QStringLiteral("HH:mm")));
        for (QCheckBox* day : w.CHBWeekdays)
            if (!day->isChecked())
                Click(day);
        Click(w.BTReady);
    });
    ASSERT_EQ(program().profiles().count(), 1);
    EXPECT_GT(program().profiles().at(0).NextRun, program().platform().Now());
    const std::filesystem::path copied = m_temp / "dest" / "a" / "eins.txt";
    ASSERT_TRUE(waitFor([&] { return std::filesystem::exists(copied) && !program().RunActive(); }, 150000));
    std::ifstream log(program().logPath(), std::ios::binary);
    const std::string report((std::istreambuf_iterator<char>(log)), {});
    EXPECT_NE(report.find("Von selbst"), std::string::npos) << report;
    EXPECT_GT(program().profiles().at(0).LastRun, 2.0);
    EXPECT_EQ(program().profiles().at(0).Errors, 0);
}

TEST_F(WizardTest, HelpOpensTheManualAtThePageShown)
{
    start({});
    showActive();
    QStringList opened;
    const auto previous = Help::opener();
    Help::opener() = [&](const QString& url) {
        opened << url.section(QLatin1Char('/'), -2);
        return true;
    };
    withWizard(window().actions().New, [&](ProfileWizard& w) {
        Click(w.BTHelp);
        Click(w.BTForward);
        Click(w.BTForward);
        Click(w.BTForward);
        Click(w.BTForward);
        QTest::keyClick(w.BTForward, Qt::Key_F1);
        Click(w.BTCancel);
    });
    Help::opener() = previous;
    EXPECT_EQ(opened, (QStringList{"de/profiles.html#wizard", "de/profiles.html#zip"}));
}
