// The profile wizard and the profile commands attacked where a mistake costs the user's data:
// destinations that reach a source by another path, folder names the profile file cannot carry,
// lists lost on the way between the tabs, names that collide once stored, the running profile,
// synchronisation with more than one folder, advanced settings hidden but still stored,
// cancelling, the schedule's bounds, passwords and desktop links of awkward names.

#include "UserInput.h"
#include "WindowFixture.h"
#include "app/DataFolder.h"
#include "components/EEditDate.h"
#include "platform/DesktopLauncher.h"
#include "profiles/ProfileFile.h"
#include "ui/MainActions.h"
#include "ui/MainWindow.h"
#include "ui/MessageBoxes.h"
#include "ui/ProfileCommands.h"
#include "ui/wizard/ProfileWizard.h"

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QStyle>
#include <QStyleOptionViewItem>
#include <QTabWidget>
#include <QTest>
#include <algorithm>
#include <fstream>
#include <iterator>
#include <set>

namespace fs = std::filesystem;

namespace {

/// Replaces a field's text by pasting it, as a name copied from elsewhere arrives.
void Paste(QLineEdit* field, const QString& text)
{
    field->setFocus();
    field->selectAll();
    QApplication::clipboard()->setText(text);
    QTest::keyClick(field, Qt::Key_V, Qt::ControlModifier);
}

std::string ReadAll(const fs::path& file)
{
    std::ifstream in(file, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

/// The text the profile file keeps for a profile.
std::string FileText(TProfile profile)
{
    ProfileList list;
    list.AddToProfile(std::move(profile));
    std::mt19937 random(7);
    std::string content;
    ProfileFile::FormatProfiles(list, random, content);
    return content;
}

/// Every message box the action shows, answered with answer; their texts.
std::vector<std::string> BoxesOf(const std::function<void()>& action,
                                 QMessageBox::StandardButton answer = QMessageBox::Ok)
{
    MessageBoxes::clearAnswers();
    MessageBoxes::answeredTexts().clear();
    for (int n = 0; n < 8; ++n)
        MessageBoxes::setNextAnswer(answer);
    action();
    MessageBoxes::clearAnswers();
    std::vector<std::string> texts(MessageBoxes::answeredTexts().begin(), MessageBoxes::answeredTexts().end());
    MessageBoxes::answeredTexts().clear();
    return texts;
}

/// Return in the list's name editor: the view takes the name in once the key has been handled.
void CommitName(QLineEdit* editor)
{
    QTest::keyClick(editor, Qt::Key_Return);
    QCoreApplication::processEvents();
}

QTreeWidgetItem* ItemOf(EDirTree& tree, const std::string& folder)
{
    for (QTreeWidgetItemIterator it(&tree); *it; ++it)
        if (tree.tree().NodePath(tree.nodeOf(*it)) == folder)
            return *it;
    return nullptr;
}

/// Shows a folder in the tree (its levels opened) without ticking anything.
QTreeWidgetItem* ShowFolder(EDirTree& tree, const std::string& folder)
{
    const std::vector<std::string> before = tree.SelectedDirs();
    tree.setSelectedDirs({folder});
    tree.setSelectedDirs(before);
    QTreeWidgetItem* item = ItemOf(tree, folder);
    if (item) {
        for (QTreeWidgetItem* up = item->parent(); up; up = up->parent())
            up->setExpanded(true);
        tree.scrollToItem(item);
    }
    return item;
}

/// The check box of a folder's row, where the style draws it.
QRect CheckBoxOf(EDirTree& tree, QTreeWidgetItem* item)
{
    QStyleOptionViewItem option;
    option.initFrom(tree.viewport());
    option.rect = tree.visualItemRect(item);
    option.features = QStyleOptionViewItem::HasCheckIndicator | QStyleOptionViewItem::HasDisplay |
                      QStyleOptionViewItem::HasDecoration;
    option.text = item->text(0);
    option.icon = item->icon(0);
    option.decorationSize = tree.iconSize().isValid() ? tree.iconSize() : QSize(16, 16);
    return tree.style()->subElementRect(QStyle::SE_ItemViewItemCheckIndicator, &option, &tree);
}

enum class Spot
{
    CheckBox, // ticks or unticks
    Name,     // selects the row
    Expander, // opens the folder
};

void ClickFolder(EDirTree& tree, const std::string& folder, Spot spot)
{
    QTreeWidgetItem* item = ShowFolder(tree, folder);
    ASSERT_NE(item, nullptr) << folder;
    const QRect row = tree.visualItemRect(item);
    const QPoint at = spot == Spot::CheckBox ? CheckBoxOf(tree, item).center()
                      : spot == Spot::Name   ? QPoint(row.right() - 4, row.center().y())
                                             : QPoint(row.left() - tree.indentation() / 2, row.center().y());
    QTest::mouseClick(tree.viewport(), Qt::LeftButton, {}, at);
}

} // namespace

class WizardAttackTest : public WindowFixture
{
protected:
    void SetUp() override
    {
        for (const char* folder : {"src/a/tief", "src/b", "dest"})
            fs::create_directories(m_temp / folder);
        std::ofstream(m_temp / "src/a/eins.txt") << "eins";
        ProfileWizard::folderPicker() = nullptr;
        MessageBoxes::clearAnswers();
    }
    void TearDown() override
    {
        ProfileCommands::beforeWizard() = nullptr;
        MessageBoxes::clearAnswers();
        WindowFixture::TearDown();
    }

    /// A folder of the temporary tree, as the profile names folders (with a final "/").
    std::string at(const std::string& relative) const { return (m_temp / relative).string() + "/"; }
    std::string src() const { return at("src"); }
    std::string dest() const { return at("dest"); }

    /// Runs a command; its wizard is shown and handed to drive instead of being run modally.
    void withWizard(QAction* command, const std::function<void(ProfileWizard&)>& drive)
    {
        ProfileCommands::beforeWizard() = [&](ProfileWizard& wizard) {
            wizard.show();
            QApplication::setActiveWindow(&wizard);
            drive(wizard);
        };
        command->trigger();
        ProfileCommands::beforeWizard() = nullptr;
    }

    std::string fileBytes() const { return ReadAll(m_data / ProfileFileName); }

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

    /// Pages on with "Weiter >" until page is shown.
    static void forwardTo(ProfileWizard& w, int page)
    {
        for (int n = 0; n < 7 && w.page() != page; ++n)
            Click(w.BTForward);
        ASSERT_EQ(w.page(), page);
    }

    /// Ticks one folder with the space bar, as the only one.
    static void tick(ProfileWizard& w, const std::string& folder)
    {
        EDirTree& tree = *w.EDirTreeWidget;
        tree.setSelectedDirs({});
        QTreeWidgetItem* item = ShowFolder(tree, folder);
        ASSERT_NE(item, nullptr) << folder;
        tree.setCurrentItem(item);
        QTest::keyClick(tree.viewport(), Qt::Key_Space);
        ASSERT_EQ(tree.SelectedDirs(), std::vector<std::string>{folder});
    }

    /// Types the source list on the "Liste" tab (advanced mode).
    static void typeList(ProfileWizard& w, const QStringList& lines)
    {
        w.PageControl1->setCurrentIndex(1);
        Type(w.MESelectedDirs, lines.join(QLatin1Char('\n')));
    }

    /// A new profile up to its destination page: name, kind and one folder ticked.
    void newUpToDestination(ProfileWizard& w, const QString& name, QRadioButton* type, const std::string& source)
    {
        Type(w.EDProfilename, name);
        Click(w.CHBAdvanced);
        Click(w.BTForward);
        Click(type);
        Click(w.BTForward);
        tick(w, source);
        Click(w.BTForward);
    }

    /// Finishes; the texts of the boxes shown (a refusal leaves the wizard open).
    static std::vector<std::string> finish(ProfileWizard& w)
    {
        return BoxesOf([&] { Click(w.BTReady); });
    }

    /// Runs a command's wizard through drive and finishes it (a refused one is cancelled then);
    /// the texts of the boxes the finish showed.
    std::vector<std::string> finished(QAction* command, const std::function<void(ProfileWizard&)>& drive)
    {
        std::vector<std::string> boxes;
        withWizard(command, [&](ProfileWizard& w) {
            drive(w);
            boxes = finish(w);
            if (w.isVisible())
                Click(w.BTCancel);
        });
        return boxes;
    }

    /// A new profile's finish: refused with its message (nothing stored, the file as it was), or,
    /// without a refusal, stored without any message. Whether it was stored.
    bool storedUnlessRefused(const std::vector<std::string>& boxes, const std::string& refusal, int countBefore,
                             const std::string& fileBefore)
    {
        if (!refusal.empty()) {
            EXPECT_EQ(boxes, std::vector<std::string>{refusal});
            EXPECT_EQ(program().profiles().count(), countBefore);
            EXPECT_TRUE(fileBytes() == fileBefore) << "the profile file changed";
            return false;
        }
        EXPECT_EQ(boxes, std::vector<std::string>{});
        EXPECT_EQ(program().profiles().count(), countBefore + 1);
        return program().profiles().count() == countBefore + 1;
    }
};

// A backup into its own source copies itself over and over, and a cleaning destination that
// holds a source empties it. Links and spellings must not hide that; an FTP start folder and a
// deletion's unused destination are no place on this disk.
TEST_F(WizardAttackTest, DestinationsReachingASourceByAnotherPathAreRefused)
{
    fs::create_directory_symlink(m_temp / "src", m_temp / "zur-quelle");
    fs::create_directory_symlink(m_temp.path(), m_temp / "oben");
    fs::create_directory_symlink(m_temp / "dest", m_temp / "quelle-als-link");
    struct Case
    {
        const char* name;
        std::string source;
        std::string destination;
        bool ftp;
        QRadioButton* ProfileWizard::*type;
        bool refused;
    };
    const std::vector<Case> cases = {
        {"a link to the source", src(), at("zur-quelle"), false, &ProfileWizard::RBFull, true},
        {"inside the source through a link", src(), at("zur-quelle") + "a/neu/", false, &ProfileWizard::RBFull, true},
        {"through a link, with placeholders", src(), at("zur-quelle") + "$date/", false, &ProfileWizard::RBIncrement,
         true},
        {"a link to a folder that holds the source", src(), at("oben"), false, &ProfileWizard::RBDifferential, true},
        {"the source itself, spelt with spaces and dots", src(), "  " + src() + "a/../  ", false,
         &ProfileWizard::RBSync, true},
        {"a source that is a link to the destination", at("quelle-als-link"), dest(), false, &ProfileWizard::RBFull,
         true},
        {"a sibling folder", at("src/a"), at("src/b"), false, &ProfileWizard::RBFull, false},
        {"the same path on an FTP server", src(), at("zur-quelle"), true, &ProfileWizard::RBFull, false},
    };
    start({copyProfile("Vorhanden")});
    showActive();
    const std::string before = fileBytes();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::vector<std::string> leaving;
        std::vector<std::string> finishing;
        bool open = false;
        withWizard(window().actions().New, [&](ProfileWizard& w) {
            newUpToDestination(w, QString::fromUtf8(c.name), w.*c.type, c.source);
            ASSERT_EQ(w.page(), PageDest);
            Type(w.EDDest, QString::fromStdString(c.destination));
            if (c.ftp) {
                Click(w.CHBFTP);
                Type(w.EDFTPServer, QStringLiteral("ftp.example.org"));
            }
            leaving = BoxesOf([&] { Click(w.BTForward); });
            finishing = finish(w);
            open = w.isVisible();
            if (open)
                Click(w.BTCancel);
        });
        const std::string clash = "Zielverzeichnis und Quellverzeichnis gleich! Dies kann zu Datenverlust führen!\n"
                                  "Bitte korrigieren Sie das Zielverzeichnis.";
        if (c.refused) {
            EXPECT_EQ(leaving, std::vector<std::string>{clash});
            EXPECT_EQ(finishing, std::vector<std::string>{clash});
            EXPECT_TRUE(open);
            EXPECT_EQ(program().profiles().count(), 1);
            EXPECT_TRUE(fileBytes() == before) << "the profile file changed";
        } else {
            EXPECT_EQ(leaving, std::vector<std::string>{});
            EXPECT_FALSE(open);
            ASSERT_EQ(program().profiles().count(), 2);
            EXPECT_EQ(stored().back().Destination, c.destination);
            window().selectRow(1);
            BoxesOf([&] { window().actions().Delete->trigger(); }, QMessageBox::Yes);
            ASSERT_EQ(program().profiles().count(), 1);
        }
    }

    // Deleting has no destination: a leftover one that names the source is no reason to refuse.
    withWizard(window().actions().New, [&](ProfileWizard& w) {
        w.EDDest->setText(QString::fromStdString(src()));
        newUpToDestination(w, QStringLiteral("Aufräumen"), w.RBDelete, at("src/b"));
        EXPECT_EQ(w.page(), PageWhen);
        EXPECT_EQ(finish(w).size(), 1u); // the warning about deleting
    });
    ASSERT_EQ(stored().size(), 2u);
    EXPECT_EQ(stored().back().Source, std::vector<std::string>{at("src/b")});
}

// What the wizard stores is what a run reads: no spaces around a destination or a typed source
// (a run would take " /media/usb/" for a relative path, "/media/usb/ " for a folder named " "),
// no relative source (a run would read it wherever the program was started), and no folder
// whose name the profile file cannot carry (it would be cut at the line break and back up
// another folder).
TEST_F(WizardAttackTest, StoredPathsAreTheOnesARunReads)
{
    fs::create_directories(m_temp / "src/zeile");
    fs::create_directories(m_temp / "src/zeile\nbruch");
    struct Case
    {
        const char* name;
        QStringList typed;       // the "Liste" tab; empty: the tree's folder below
        std::string ticked;      // a folder ticked in the tree
        std::string destination; // as typed
        std::vector<std::string> sources;
        std::string storedDestination;
        std::string refusal;
    };
    const std::string relative = "Bitte geben Sie die Quellverzeichnisse als vollständige Pfade ein, z.B. "
                                 "/home/anna/Dokumente/.";
    const std::vector<Case> cases = {
        {"spaces around the destination", {}, at("src/a"), "  " + dest() + " \t", {at("src/a")}, dest(), ""},
        {"spaces around typed sources",
         {QString::fromStdString("  " + at("src/a") + "  "), QString::fromStdString(at("src/b") + "\t")},
         "",
         dest(),
         {at("src/a"), at("src/b")},
         dest(),
         ""},
        {"a relative source", {QStringLiteral("Dokumente/")}, "", dest(), {}, "", relative},
        {"a source starting with a placeholder",
         {QStringLiteral("$personalfolder/Dokumente/")},
         "",
         dest(),
         {},
         "",
         relative},
        {"a folder with a line break in its name",
         {},
         at("src/zeile\nbruch"),
         dest(),
         {},
         "",
         "Der Name des Quellverzeichnisses \"" + at("src/zeile\nbruch") +
             "\" enthält einen Zeilenumbruch oder ist kein gültiger UTF-8-Text; so kann es nicht im Profil "
             "gespeichert werden. Bitte benennen Sie das Verzeichnis um."},
    };
    start({});
    showActive();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string before = fileBytes();
        const std::vector<std::string> boxes = finished(window().actions().New, [&](ProfileWizard& w) {
            Type(w.EDProfilename, QString::fromUtf8(c.name));
            Click(w.CHBAdvanced);
            forwardTo(w, PageSource);
            if (c.typed.isEmpty())
                tick(w, c.ticked);
            else
                typeList(w, c.typed);
            Click(w.BTForward);
            Type(w.EDDest, QString::fromStdString(c.destination));
        });
        if (!storedUnlessRefused(boxes, c.refusal, 0, before))
            continue;
        EXPECT_EQ(program().profiles().at(0).Source, c.sources);
        EXPECT_EQ(program().profiles().at(0).Destination, c.storedDestination);
        ASSERT_EQ(stored().size(), 1u);
        EXPECT_EQ(stored().at(0).Source, c.sources);
        EXPECT_EQ(stored().at(0).Destination, c.storedDestination);
        window().selectRow(0);
        BoxesOf([&] { window().actions().Delete->trigger(); }, QMessageBox::Yes);
    }
}

// Folder names that are legal on Linux reach the profile byte for byte, ticked in the tree and
// after the way through the "Liste" tab and back; one the profile file cannot carry is refused.
TEST_F(WizardAttackTest, OddFolderNamesAreStoredByteForByte)
{
    const std::vector<std::string> names = {"-rf", "Grüße", "zwei  ", "a*b?[c]", "'\"\\", "$date"};
    start({});
    showActive();
    for (const std::string& name : names) {
        SCOPED_TRACE(name);
        fs::create_directories(m_temp / "src" / name);
        const std::string folder = at("src/" + name);
        const int row = program().profiles().count();
        withWizard(window().actions().New, [&](ProfileWizard& w) {
            newUpToDestination(w, QStringLiteral("Ordner %1").arg(row), w.RBFull, folder);
            Type(w.EDDest, QString::fromStdString(dest()));
            EXPECT_EQ(finish(w), std::vector<std::string>{});
        });
        ASSERT_EQ(program().profiles().count(), row + 1);
        EXPECT_EQ(stored().at(row).Source, std::vector<std::string>{folder});
        // Through the list and back to the tree, then finished on the list.
        window().selectRow(row);
        withWizard(window().actions().Properties, [&](ProfileWizard& w) {
            forwardTo(w, PageSource);
            w.PageControl1->setCurrentIndex(1);
            w.PageControl1->setCurrentIndex(0);
            EXPECT_EQ(w.EDirTreeWidget->SelectedDirs(), std::vector<std::string>{folder});
            EXPECT_TRUE(w.offlineSources().empty());
            w.PageControl1->setCurrentIndex(1);
            EXPECT_EQ(finish(w), std::vector<std::string>{});
        });
        EXPECT_EQ(program().profiles().at(row).Source, std::vector<std::string>{folder});
        EXPECT_EQ(stored().at(row).Source, std::vector<std::string>{folder});
        // Shown from the list it was stored with, and finished on the tree.
        withWizard(window().actions().Properties, [&](ProfileWizard& w) {
            forwardTo(w, PageSource);
            EXPECT_EQ(w.PageControl1->currentIndex(), 1);
            w.PageControl1->setCurrentIndex(0);
            EXPECT_TRUE(w.offlineSources().empty());
            EXPECT_EQ(finish(w), std::vector<std::string>{});
        });
        EXPECT_EQ(stored().at(row).Source, std::vector<std::string>{folder});
    }

    // A name that is not UTF-8 would be read back from the file as Windows-1252, another folder:
    // refused, whether finished on the tree or after the way through the list, which keeps the
    // folder's own bytes.
    const std::string latin1 = at("src/\xff\xfe-latin1-\xe4");
    fs::create_directories(latin1);
    const std::string refusal = "Der Name des Quellverzeichnisses \"" + QString::fromStdString(latin1).toStdString() +
                                "\" enthält einen Zeilenumbruch oder ist kein gültiger UTF-8-Text; so kann es nicht "
                                "im Profil gespeichert werden. Bitte benennen Sie das Verzeichnis um.";
    const int count = program().profiles().count();
    for (const bool throughList : {false, true}) {
        SCOPED_TRACE(throughList ? "through the list" : "on the tree");
        withWizard(window().actions().New, [&](ProfileWizard& w) {
            newUpToDestination(w, QStringLiteral("Latin-1"), w.RBFull, latin1);
            Type(w.EDDest, QString::fromStdString(dest()));
            if (throughList) {
                w.PageControl1->setCurrentIndex(1);
                w.PageControl1->setCurrentIndex(0);
                EXPECT_EQ(w.EDirTreeWidget->SelectedDirs(), std::vector<std::string>{latin1});
                w.PageControl1->setCurrentIndex(1);
            }
            EXPECT_EQ(finish(w), std::vector<std::string>{refusal});
            EXPECT_EQ(w.page(), PageSource);
            Click(w.BTCancel);
        });
        EXPECT_EQ(program().profiles().count(), count);
    }
}

// A name is what the file keeps of it: the file reads a name without the spaces around it and
// with its line breaks as spaces, so a name that becomes another profile's name once stored is
// taken, and the profile is stored under the name the file gives back.
TEST_F(WizardAttackTest, NamesAreCheckedAsTheFileWillKeepThem)
{
    struct Case
    {
        const char* name;
        QString typed;
        bool pasted;
        std::string refusal; // empty: stored
        std::string storedName;
    };
    const std::string taken = "\" gibt es schon. Bitte wählen Sie einen anderen Namen.";
    const std::string empty = "Bitte geben Sie einen Namen für das Sicherungsprofil ein.";
    const QString longName = QString(400, QLatin1Char('x')) + QStringLiteral("ä");
    const std::vector<Case> cases = {
        {"only spaces", QStringLiteral("   "), false, empty, ""},
        {"only a line break", QStringLiteral("\n"), true, empty, ""},
        {"another's name in capitals with spaces", QStringLiteral("  foto URLAUB "), false,
         "Ein Sicherungsprofil mit dem Namen \"foto URLAUB" + taken, ""},
        {"another's name with a line break", QStringLiteral("Foto\nUrlaub"), true,
         "Ein Sicherungsprofil mit dem Namen \"Foto Urlaub" + taken, ""},
        {"a line break pasted", QStringLiteral("Neu\r\nZeile"), true, "", "Neu  Zeile"},
        {"spaces around", QStringLiteral("  Mitte "), false, "", "Mitte"},
        {"a very long name", longName, true, "", longName.toStdString()},
    };
    start({copyProfile("Foto Urlaub")});
    showActive();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string before = fileBytes();
        const int count = program().profiles().count();
        const std::vector<std::string> boxes = finished(window().actions().New, [&](ProfileWizard& w) {
            if (c.pasted)
                Paste(w.EDProfilename, c.typed);
            else
                Type(w.EDProfilename, c.typed);
            forwardTo(w, PageSource);
            tick(w, src());
            Click(w.BTForward);
            Type(w.EDDest, QString::fromStdString(dest()));
        });
        if (!storedUnlessRefused(boxes, c.refusal, count, before))
            continue;
        EXPECT_EQ(program().profiles().at(count).Name, c.storedName);
        EXPECT_EQ(stored().at(count).Name, c.storedName);
    }

    // Renamed in place: the same rules, and a refusal leaves name and file as they were.
    struct Rename
    {
        QString typed;
        std::string refusal;
        std::string storedName;
    };
    const std::vector<Rename> renames = {
        {QString(), empty, ""},
        {QStringLiteral("   "), empty, ""},
        {QStringLiteral("MITTE "), "Ein Sicherungsprofil mit dem Namen \"MITTE" + taken, ""},
        {QStringLiteral("Foto\nUrlaub"), "Ein Sicherungsprofil mit dem Namen \"Foto Urlaub" + taken, ""},
        {QStringLiteral(" Anders\n"), "", "Anders"},
    };
    showActive();
    window().setViewStyle(3);
    // The profile "Neu  Zeile" of the second row is renamed.
    for (const Rename& r : renames) {
        SCOPED_TRACE(r.typed.toStdString());
        window().selectRow(1);
        const std::string before = fileBytes();
        const std::string oldName = program().profiles().at(1).Name;
        window().actions().Rename->trigger();
        auto* editor = qobject_cast<QLineEdit*>(QApplication::focusWidget());
        ASSERT_NE(editor, nullptr);
        Paste(editor, r.typed);
        const std::vector<std::string> boxes = BoxesOf([&] { CommitName(editor); });
        if (!r.refusal.empty()) {
            EXPECT_EQ(boxes, std::vector<std::string>{r.refusal});
            EXPECT_EQ(program().profiles().at(1).Name, oldName);
            EXPECT_TRUE(fileBytes() == before) << "the profile file changed";
            continue;
        }
        EXPECT_EQ(boxes, std::vector<std::string>{});
        ASSERT_TRUE(waitFor([&] { return stored().at(1).Name == r.storedName; }));
        EXPECT_EQ(program().profiles().at(1).Name, r.storedName);
    }
}

// The running profile: deleting and duplicating it are refused, renaming and editing it are
// not, and the statistics of a run that ends while its properties are open land in the edited
// record.
TEST_F(WizardAttackTest, TheRunningProfileIsEditedButNeitherDeletedNorCopied)
{
    for (int i = 0; i < 20; ++i)
        std::ofstream(m_temp / "src" / ("datei" + std::to_string(i) + ".txt")) << std::string(1500, 'x');
    start({copyProfile("Lauf"), copyProfile("Andere")});
    showActive();
    window().actions().Pause->trigger();
    window().selectRow(0);
    window().actions().Run->trigger();
    ASSERT_TRUE(program().RunActive());
    ASSERT_EQ(program().ActiveProfileIndex(), 0);

    EXPECT_EQ(BoxesOf([&] { window().actions().Delete->trigger(); }),
              std::vector<std::string>{"Profil ist gerade aktiv. Kann jetzt nicht gelöscht werden!"});
    EXPECT_EQ(BoxesOf([&] { window().actions().CopyProfile->trigger(); }),
              std::vector<std::string>{"Kein Profil ausgewählt."});
    EXPECT_EQ(names(), (std::vector<std::string>{"Lauf", "Andere"}));
    EXPECT_EQ(stored().size(), 2u);

    window().setViewStyle(3);
    window().selectRow(0);
    window().actions().Rename->trigger();
    auto* editor = qobject_cast<QLineEdit*>(QApplication::focusWidget());
    ASSERT_NE(editor, nullptr);
    Paste(editor, QStringLiteral("Lauf neu"));
    EXPECT_EQ(BoxesOf([&] { CommitName(editor); }), std::vector<std::string>{});
    ASSERT_TRUE(waitFor([&] { return stored().at(0).Name == "Lauf neu"; }));

    // The run goes on and ends while the properties are open; the edit is finished after it.
    window().selectRow(0);
    withWizard(window().actions().Properties, [&](ProfileWizard& w) {
        Click(w.CHBAdvanced);
        forwardTo(w, PageWhen);
        Click(w.RBHour);
        Type(w.SPEHour, QStringLiteral("6"));
        window().actions().Pause->trigger();
        ASSERT_TRUE(waitFor([&] { return !program().RunActive(); }));
        EXPECT_EQ(program().profiles().at(0).FilesCount, 21);
        EXPECT_EQ(finish(w), std::vector<std::string>{});
    });
    const TProfile edited = program().profiles().at(0);
    EXPECT_EQ(edited.Name, "Lauf neu");
    EXPECT_EQ(edited.Period, PeriodInterval);
    EXPECT_EQ(edited.Hours, 6);
    EXPECT_EQ(edited.FilesCount, 21);
    EXPECT_EQ(edited.Errors, 0);
    EXPECT_GT(edited.LastRun, 2.0);
    EXPECT_EQ(FileText(stored().at(0)), FileText(edited));
    EXPECT_EQ(ReadAll(m_temp / "dest/Lauf/datei7.txt"), std::string(1500, 'x'));
}

// A synchronisation mirrors one folder: a tick on another folder's box leaves only that one, a
// click on a name or an expander leaves the tick alone, and what the tree shows is what is
// stored, also when several folders were chosen before the kind became synchronisation.
TEST_F(WizardAttackTest, SynchronisationShowsAndStoresOneFolder)
{
    start({});
    showActive();
    withWizard(window().actions().New, [&](ProfileWizard& w) {
        Type(w.EDProfilename, QStringLiteral("Spiegel"));
        Click(w.BTForward);
        Click(w.RBSync);
        Click(w.BTForward);
        EDirTree& tree = *w.EDirTreeWidget;
        ClickFolder(tree, at("src/a"), Spot::CheckBox);
        EXPECT_EQ(tree.SelectedDirs(), std::vector<std::string>{at("src/a")});
        ClickFolder(tree, at("src/b"), Spot::CheckBox);
        EXPECT_EQ(tree.SelectedDirs(), std::vector<std::string>{at("src/b")});
        ClickFolder(tree, at("src/a"), Spot::Name);
        EXPECT_EQ(tree.SelectedDirs(), std::vector<std::string>{at("src/b")});
        ClickFolder(tree, at("src/a"), Spot::Expander);
        EXPECT_EQ(tree.SelectedDirs(), std::vector<std::string>{at("src/b")});
        Click(w.BTForward);
        Type(w.EDDest, QString::fromStdString(dest()));
        EXPECT_EQ(finish(w), std::vector<std::string>{});
    });
    ASSERT_EQ(stored().size(), 1u);
    EXPECT_EQ(stored().at(0).Source, std::vector<std::string>{at("src/b")});

    // Several folders first, by ticks or typed, then the kind changes.
    struct Case
    {
        const char* name;
        bool typed;
    };
    for (const Case& c : {Case{"ticked", false}, Case{"typed", true}}) {
        SCOPED_TRACE(c.name);
        std::vector<std::string> shown;
        withWizard(window().actions().New, [&](ProfileWizard& w) {
            Type(w.EDProfilename, QString::fromUtf8(c.name));
            Click(w.CHBAdvanced);
            forwardTo(w, PageSource);
            if (c.typed) {
                typeList(w, {QString::fromStdString(at("src/b")), QString::fromStdString(at("src/a")),
                             QStringLiteral("/media/nicht-da/")});
            } else {
                ClickFolder(*w.EDirTreeWidget, at("src/a"), Spot::CheckBox);
                ClickFolder(*w.EDirTreeWidget, at("src/b"), Spot::CheckBox);
                EXPECT_EQ(w.EDirTreeWidget->SelectedDirs().size(), 2u);
            }
            Click(w.BTBack);
            Click(w.RBSync);
            Click(w.BTForward);
            EXPECT_EQ(w.PageControl1->currentIndex(), 0);
            shown = w.chosenSources();
            Click(w.BTForward);
            Type(w.EDDest, QString::fromStdString(dest()));
            EXPECT_EQ(finish(w), std::vector<std::string>{});
        });
        EXPECT_EQ(shown.size(), 1u);
        EXPECT_EQ(stored().back().Source, shown);
    }
}

// Advanced mode switched off puts every advanced setting back to what a profile made without it
// has: hidden, nothing of it may stay in force (least of all emptying the destination or
// switching the computer off).
TEST_F(WizardAttackTest, AdvancedSettingsSwitchedOffAreNotStored)
{
    start({});
    showActive();
    const auto basics = [&](ProfileWizard& w) {
        forwardTo(w, PageSource);
        tick(w, src());
        Click(w.BTForward);
        Type(w.EDDest, QString::fromStdString(dest()));
    };
    withWizard(window().actions().New, [&](ProfileWizard& w) {
        Type(w.EDProfilename, QStringLiteral("Profil"));
        basics(w);
        EXPECT_EQ(finish(w), std::vector<std::string>{});
    });
    withWizard(window().actions().New, [&](ProfileWizard& w) {
        Type(w.EDProfilename, QStringLiteral("Umweg"));
        Click(w.CHBAdvanced);
        Click(w.BTForward);
        Click(w.RBDate);
        Click(w.CHBverify);
        Click(w.CHBbit);
        basics(w);
        Click(w.CHBDelete);
        Click(w.CHBDiskname);
        Click(w.BTForward);
        Click(w.CHBCompress);
        Click(w.CHBTemp);
        Type(w.EDTemp, QStringLiteral("/tmp/"));
        Click(w.CHBKompLevel);
        Click(w.CHBCompress);
        Click(w.BTForward);
        Type(w.EDBeginDate, QStringLiteral("1.1.2030"));
        Type(w.EDEndDate, QStringLiteral("1.1.2031"));
        Click(w.BTForward);
        ASSERT_EQ(w.page(), PageOption);
        Click(w.CHBPriority);
        Click(w.CHBFileTypes);
        Click(w.CHBHidden);
        Type(w.EDVor, QStringLiteral("/usr/bin/false"));
        Click(w.CHBVor);
        Type(w.EDNach, QStringLiteral("/usr/bin/false"));
        Click(w.CHBNach);
        Click(w.CHBshutdown);
        Click(w.CHBshutdownForce);
        while (w.page() != PageIntro)
            Click(w.BTBack);
        Click(w.CHBAdvanced);
        Type(w.EDProfilename, QStringLiteral("Profil 2"));
        EXPECT_EQ(finish(w), std::vector<std::string>{});
    });
    ASSERT_EQ(stored().size(), 2u);
    TProfile plain = stored().at(0);
    TProfile back = stored().at(1);
    back.Name = plain.Name;
    back.NextRun = plain.NextRun;
    back.Zipfile = plain.Zipfile; // proposed when the compression page was shown
    // Priority and file types count only while their own box is ticked.
    ASSERT_FALSE(back.Prior);
    ASSERT_FALSE(back.XFileAtt);
    back.Priority = plain.Priority;
    back.SFileAtt = plain.SFileAtt;
    back.HFileAtt = plain.HFileAtt;
    back.RFileAtt = plain.RFileAtt;
    EXPECT_EQ(FileText(back), FileText(plain));
    // Turned on again, the settings start afresh.
    window().selectRow(1);
    withWizard(window().actions().Properties, [&](ProfileWizard& w) {
        Click(w.CHBAdvanced);
        EXPECT_FALSE(w.CHBDelete->isChecked());
        EXPECT_FALSE(w.CHBshutdown->isChecked());
        Click(w.BTCancel);
    });
}

// The "Liste" tab keeps what the tree cannot show, whatever the switching; cancelling by the
// button, the Escape key or closing the window changes nothing, in memory or in the file.
TEST_F(WizardAttackTest, TabSwitchesLoseNothingAndCancellingChangesNothing)
{
    std::ofstream(m_temp / "src/keine-mappe") << "eine Datei, kein Ordner";
    TProfile listed = copyProfile("Liste");
    listed.Advanced = true;
    listed.SourceListTree = false;
    listed.Source = {at("src/b"), "/media/nicht-da/Fotos/", at("src/keine-mappe"), at("src/a")};
    TProfile basic = copyProfile("Einfach");
    basic.Advanced = false;
    basic.SourceListTree = false;
    start({listed, basic});
    showActive();
    window().selectRow(0);
    withWizard(window().actions().Properties, [&](ProfileWizard& w) {
        forwardTo(w, PageSource);
        for (int n = 0; n < 3; ++n) {
            w.PageControl1->setCurrentIndex(0);
            w.PageControl1->setCurrentIndex(1);
        }
        w.PageControl1->setCurrentIndex(0);
        EXPECT_TRUE(w.LBOffline->isVisible());
        EXPECT_EQ(finish(w), std::vector<std::string>{});
    });
    std::vector<std::string> sources = program().profiles().at(0).Source;
    std::sort(sources.begin(), sources.end());
    std::vector<std::string> expected = listed.Source;
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(sources, expected);

    const std::string before = fileBytes();
    const std::vector<std::function<void(ProfileWizard&)>> cancels = {
        [](ProfileWizard& w) { Click(w.BTCancel); },
        [](ProfileWizard& w) { QTest::keyClick(&w, Qt::Key_Escape); },
        [](ProfileWizard& w) { w.close(); },
    };
    for (int row = 0; row < 2; ++row)
        for (const auto& cancel : cancels) {
            window().selectRow(row);
            const std::string record = FileText(program().profiles().at(row));
            withWizard(window().actions().Properties, [&](ProfileWizard& w) {
                Type(w.EDProfilename, QStringLiteral("Anders"));
                forwardTo(w, PageSource);
                tick(w, at("src/a/tief"));
                Click(w.BTForward);
                Type(w.EDDest, QStringLiteral("/anderswo/"));
                cancel(w);
                EXPECT_FALSE(w.isVisible());
            });
            EXPECT_EQ(FileText(program().profiles().at(row)), record);
            EXPECT_TRUE(fileBytes() == before) << "the profile file changed";
        }
    for (const auto& cancel : cancels) {
        withWizard(window().actions().New, [&](ProfileWizard& w) {
            Type(w.EDProfilename, QStringLiteral("Nie"));
            cancel(w);
        });
        EXPECT_EQ(program().profiles().count(), 2);
        EXPECT_TRUE(fileBytes() == before) << "the profile file changed";
    }
}

// The schedule: the fields hold nothing a run cannot use, and a last backup before the first
// (the profile would never run) is refused.
TEST_F(WizardAttackTest, ScheduleEntriesBeyondTheirBounds)
{
    struct Case
    {
        const char* name;
        std::function<void(ProfileWizard&)> drive;
        std::string refusal;
        std::function<void(const TProfile&)> check;
    };
    // The first and the last backup, each a date and a time.
    const auto dates = [](const char* firstDate, const char* firstTime, const char* lastDate, const char* lastTime) {
        return [=](ProfileWizard& w) {
            Type(w.EDBeginDate, QString::fromUtf8(firstDate));
            Type(w.EDBeginTime, QString::fromUtf8(firstTime));
            Type(w.EDEndDate, QString::fromUtf8(lastDate));
            Type(w.EDEndTime, QString::fromUtf8(lastTime));
        };
    };
    const std::string never = "Die letzte Sicherung liegt vor der ersten; so würde das Profil nie ausgeführt. Bitte "
                              "korrigieren Sie die Daten.";
    const std::string unreadable =
        "Die Zeitpunkte sind nicht lesbar. Bitte geben Sie sie in der Form 24.12.2026-18:00; 31.12.2026-12:00 ein.";
    const std::vector<Case> cases = {
        {"every 99 hours and 99 minutes",
         [](ProfileWizard& w) {
             Click(w.RBHour);
             Type(w.SPEHour, QStringLiteral("99"));
             Type(w.SPEMin, QStringLiteral("99"));
         },
         "",
         [](const TProfile& p) {
             EXPECT_EQ(p.Period, PeriodInterval);
             EXPECT_LE(p.Hours, 24);
             EXPECT_LE(p.Minutes, 59);
             EXPECT_GE(p.Hours * 60 + p.Minutes, 5);
         }},
        {"every 0 hours and 0 minutes",
         [](ProfileWizard& w) {
             Click(w.RBHour);
             Type(w.SPEHour, QStringLiteral("0"));
             Type(w.SPEMin, QStringLiteral("0"));
         },
         "", [](const TProfile& p) { EXPECT_GE(p.Hours * 60 + p.Minutes, 5); }},
        {"day 45 of the month, every 99 weeks",
         [](ProfileWizard& w) {
             Click(w.RBMonth);
             Type(w.SPEMonthDay, QStringLiteral("45"));
             Click(w.RBweek);
             Type(w.SPEweek, QStringLiteral("99"));
         },
         "",
         [](const TProfile& p) {
             EXPECT_LE(p.MonthDay, 31);
             EXPECT_GE(p.MonthDay, 1);
             EXPECT_LE(p.Weeks, 20);
             EXPECT_GE(p.Weeks, 1);
         }},
        {"free moments of garbage",
         [](ProfileWizard& w) {
             Click(w.RBFree);
             Type(w.EDFree, QStringLiteral("morgen; 32.13.2030-25:00"));
         },
         unreadable, nullptr},
        {"free moments emptied",
         [](ProfileWizard& w) {
             Click(w.RBFree);
             Type(w.EDFree, QString());
         },
         unreadable, nullptr},
        {"the last backup before the first", dates("1.6.2031", "", "1.6.2030", ""), never, nullptr},
        {"the last backup before the first on the same day", dates("1.6.2030", "18:00", "1.6.2030", "8:00"), never,
         nullptr},
        {"first and last the same moment", dates("1.6.2030", "", "1.6.2030", "25:70"), "",
         [](const TProfile& p) { EXPECT_EQ(p.DateTimeTo, At(2030, 6, 1, 23, 59)); }},
    };
    start({});
    showActive();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const int count = program().profiles().count();
        const std::string before = fileBytes();
        const std::vector<std::string> boxes = finished(window().actions().New, [&](ProfileWizard& w) {
            Type(w.EDProfilename, QStringLiteral("Plan %1").arg(count));
            Click(w.CHBAdvanced);
            forwardTo(w, PageSource);
            tick(w, src());
            Click(w.BTForward);
            Type(w.EDDest, QString::fromStdString(dest()));
            forwardTo(w, PageWhen);
            c.drive(w);
        });
        if (storedUnlessRefused(boxes, c.refusal, count, before))
            c.check(stored().at(count));
    }
}

// Passwords come back from the file as they were typed; an untouched network password stays,
// a typed one replaces it, and one longer than the file can carry is refused, not lost.
TEST_F(WizardAttackTest, PasswordsRoundTripThroughTheFile)
{
    TProfile ftp = copyProfile("Server");
    ftp.Advanced = true;
    ftp.FTP = true;
    ftp.FTPServer = "ftp.example.org";
    ftp.NetLogon = true;
    ftp.NetUser = "anna";
    ftp.NetPasswd = "alt \"geheim\" ä";
    start({ftp});
    showActive();
    const QString zip = QStringLiteral("Grüße \"zitiert\" 'einfach' ;=[x]\\ €");
    withWizard(window().actions().New, [&](ProfileWizard& w) {
        Type(w.EDProfilename, QStringLiteral("Verschlüsselt"));
        forwardTo(w, PageSource);
        tick(w, src());
        Click(w.BTForward);
        Type(w.EDDest, QString::fromStdString(dest()));
        Click(w.BTForward);
        Click(w.CHBCompress);
        Click(w.CHBEncrypt);
        Type(w.EDPassword, zip);
        Type(w.EDPassword2, zip);
        EXPECT_EQ(finish(w), std::vector<std::string>{});
    });
    ASSERT_EQ(stored().size(), 2u);
    EXPECT_EQ(stored().at(1).Password, zip.toStdString());
    window().selectRow(1);
    withWizard(window().actions().Properties, [&](ProfileWizard& w) {
        EXPECT_EQ(w.EDPassword->text(), zip);
        EXPECT_EQ(w.EDPassword2->text(), zip);
        EXPECT_EQ(finish(w), std::vector<std::string>{});
    });
    EXPECT_EQ(stored().at(1).Password, zip.toStdString());

    // Network password: untouched, typed anew, too long for the file.
    window().selectRow(0);
    withWizard(window().actions().Properties, [&](ProfileWizard& w) {
        forwardTo(w, PageDest);
        Type(w.EDNetUser, QStringLiteral("anna"));
        EXPECT_EQ(finish(w), std::vector<std::string>{});
    });
    EXPECT_EQ(stored().at(0).NetPasswd, ftp.NetPasswd);
    withWizard(window().actions().Properties, [&](ProfileWizard& w) {
        forwardTo(w, PageDest);
        Type(w.EDNetPasswd, QStringLiteral("neu ü"));
        EXPECT_EQ(finish(w), std::vector<std::string>{});
    });
    EXPECT_EQ(stored().at(0).NetPasswd, "neu ü");

    struct TooLong
    {
        const char* name;
        std::function<void(ProfileWizard&)> drive;
        std::string refusal;
    };
    const QString umlauts(60, QChar(0xE4));      // 120 bytes
    const QString manyUmlauts(751, QChar(0xE4)); // 1502 bytes
    const std::vector<TooLong> cases = {
        {"ZIP password",
         [&](ProfileWizard& w) {
             forwardTo(w, PageDest);
             Click(w.CHBFTP);
             Click(w.BTForward);
             Click(w.CHBCompress);
             Click(w.CHBEncrypt);
             Type(w.EDPassword, manyUmlauts);
             Type(w.EDPassword2, manyUmlauts);
         },
         "Das Passwort ist zu lang: höchstens 1500 Byte (ein Umlaut zählt zwei). Bitte geben Sie ein kürzeres ein."},
        {"network password",
         [&](ProfileWizard& w) {
             forwardTo(w, PageDest);
             Type(w.EDNetPasswd, umlauts);
         },
         "Das Passwort ist zu lang: höchstens 90 Byte (ein Umlaut zählt zwei). Bitte geben Sie ein kürzeres ein."},
        {"network user",
         [&](ProfileWizard& w) {
             forwardTo(w, PageDest);
             Type(w.EDNetUser, umlauts);
         },
         "Der Benutzername ist zu lang: höchstens 92 Byte (ein Umlaut zählt zwei). Bitte geben Sie einen kürzeren "
         "ein."},
    };
    for (const TooLong& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string before = fileBytes();
        EXPECT_EQ(finished(window().actions().Properties, c.drive), std::vector<std::string>{c.refusal});
        EXPECT_TRUE(fileBytes() == before) << "the profile file changed";
        EXPECT_EQ(program().profiles().at(0).NetPasswd, "neu ü");
    }
}

// Whatever the name, the launcher lands in the desktop folder and nowhere else.
TEST_F(WizardAttackTest, DesktopLinksOfAwkwardNamesStayOnTheDesktop)
{
    const std::vector<std::string> awkward = {
        "../x", ".", "..", "../../etc/profile.d/boese", "-n", std::string(200, 'l') + "/..", ".versteckt"};
    std::vector<TProfile> profiles;
    for (const std::string& name : awkward)
        profiles.push_back(copyProfile(name));
    start(profiles);
    showActive();
    const fs::path desktop = program().platform().SpecialFolderPath(SpecialFolder::Desktop);
    // The desktop of the tests' own home, emptied of the launchers of earlier tests.
    ASSERT_NE(desktop.string().find("/tresorio-ui-"), std::string::npos) << desktop;
    fs::remove_all(desktop);
    // The tests' home holds the desktop; what a name could reach with ".." lies below the folder
    // above it.
    const fs::path home = desktop.parent_path();
    const auto everything = [&] {
        std::set<fs::path> files;
        for (const auto& entry : fs::recursive_directory_iterator(home))
            files.insert(entry.path());
        for (const char* outside : {"x.desktop", "etc", "..desktop"})
            if (fs::exists(home.parent_path() / outside))
                files.insert(home.parent_path() / outside);
        return files;
    };
    for (int row = 0; row < static_cast<int>(awkward.size()); ++row) {
        SCOPED_TRACE(awkward[static_cast<std::size_t>(row)]);
        const std::set<fs::path> before = everything();
        window().selectRow(row);
        EXPECT_EQ(BoxesOf([&] { window().actions().Link->trigger(); }), std::vector<std::string>{});
        const std::set<fs::path> after = everything();
        std::vector<fs::path> added;
        std::set_difference(after.begin(), after.end(), before.begin(), before.end(), std::back_inserter(added));
        // The desktop folder itself may be made by the first link.
        std::erase(added, desktop);
        ASSERT_EQ(added.size(), 1u);
        EXPECT_EQ(added.front().parent_path(), desktop);
        EXPECT_NE(added.front().filename().string().front(), '.');
        const std::string text = ReadAll(added.front());
        EXPECT_EQ(text, DesktopLauncherText(program().platform().ExecutablePath(), m_data.string(),
                                            awkward[static_cast<std::size_t>(row)]));
    }
}

// A folder the listing cannot read (as for a user without the right to it) hides the folders
// below it: a profile's source there is kept, shown as not reachable, and stored unchanged.
TEST_F(WizardAttackTest, SourcesBelowAnUnreadableFolderAreKept)
{
    fs::create_directories(m_temp / "gesperrt/innen");
    const std::string locked = at("gesperrt");
    WizardContext context;
    context.roots = {TreeRoot{QStringLiteral("Temp"), m_temp.path().string() + "/", MediumKind::Fixed}};
    context.lister = [&](const std::string& path) -> std::optional<std::vector<FolderEntry>> {
        if (path == locked)
            return std::nullopt;
        return EDirTree::ListFolders(path);
    };
    ProfileWizard wizard(context);
    TProfile profile = copyProfile("Gesperrt");
    profile.Advanced = true;
    profile.SourceListTree = true;
    profile.Source = {at("gesperrt/innen"), at("src/a")};
    wizard.ShowProfile(profile);
    EXPECT_EQ(wizard.offlineSources(), std::vector<std::string>{at("gesperrt/innen")});
    EXPECT_EQ(wizard.EDirTreeWidget->SelectedDirs(), std::vector<std::string>{at("src/a")});
    TProfile read = profile;
    wizard.ReadProfile(read, true);
    std::vector<std::string> sources = read.Source;
    std::sort(sources.begin(), sources.end());
    EXPECT_EQ(sources, (std::vector<std::string>{at("gesperrt/innen"), at("src/a")}));
}
