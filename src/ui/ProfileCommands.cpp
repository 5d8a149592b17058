#include "ui/ProfileCommands.h"

#include "app/DataFolder.h"
#include "app/Program.h"
#include "base/Text.h"
#include "engine/FileHelpers.h"
#include "platform/DesktopLauncher.h"
#include "platform/Native.h"
#include "profiles/ProfileRules.h"
#include "scheduler/NextRun.h"
#include "ui/Help.h"
#include "ui/MainActions.h"
#include "ui/MainWindow.h"
#include "ui/MessageBoxes.h"
#include "ui/Presentation.h"
#include "ui/ProfileListModel.h"
#include "ui/wizard/ProfileWizard.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QListView>
#include <QTimer>
#include <QTreeView>

ProfileCommands::ProfileCommands(Program& program, MainWindow& window, MessageBoxes& boxes, Presentation& presentation)
    : QObject(&window), m_program(program), m_window(window), m_boxes(boxes), m_presentation(presentation)
{
    MainActions& a = window.actions();
    for (QAction* action : {a.New, a.Delete, a.Rename, a.Properties, a.CopyProfile, a.Link})
        action->setEnabled(true);
    connect(a.New, &QAction::triggered, this, &ProfileCommands::New);
    connect(a.Properties, &QAction::triggered, this, &ProfileCommands::Properties);
    connect(a.CopyProfile, &QAction::triggered, this, &ProfileCommands::Duplicate);
    connect(a.Delete, &QAction::triggered, this, &ProfileCommands::Delete);
    connect(a.Rename, &QAction::triggered, this, &ProfileCommands::Rename);
    connect(a.Link, &QAction::triggered, this, &ProfileCommands::Link);
    window.model().setRenamer([this](int row, const QString& name) { renamed(row, name); });
}

std::function<void(ProfileWizard&)>& ProfileCommands::beforeWizard()
{
    static std::function<void(ProfileWizard&)> hook;
    return hook;
}

WizardContext ProfileCommands::context(std::optional<int> editedRow)
{
    WizardContext c;
    c.dialogs = &m_boxes;
    c.settings = m_program.settings();
    const ProfileList& profiles = m_program.profiles();
    const std::optional<ProfileId> edited = editedRow ? std::optional(profiles.idAt(*editedRow)) : std::nullopt;
    for (int row = 0; row < profiles.count(); ++row)
        if (profiles.at(row).Backuptype == BackupFull)
            c.fullBackupNames.push_back(profiles.at(row).Name);
    c.nameTaken = nameTaken(edited);
    c.folderHolds = [fs = std::shared_ptr<FileSystem>(MakeNativeFileSystem())](
                        const std::string& folder, const std::string& path) { return FolderHolds(*fs, folder, path); };
    c.roots = EDirTree::MachineRoots();
    c.treeStyle = m_presentation.menuLayout() == 0 ? TreeStyle::style95 : TreeStyle::styleXP;
    for (const TreeRoot& root : c.roots) {
        if (root.kind == MediumKind::Removable && c.defaultDestination.empty())
            c.defaultDestination = root.path;
        if (root.kind == MediumKind::Network)
            c.networkMounts.push_back(root);
    }
    Platform& platform = m_program.platform();
    c.volumeLabel = [&platform](const std::string& path) { return platform.VolumeOf(path).label; };
    c.today = DateOf(platform.Now());
    const int language = m_presentation.language();
    c.help = [this, language](const QString& page) {
        if (!Help::Open(language, page))
            m_boxes.ShowError(Help::FailureText(language).toStdString());
    };
    return c;
}

std::function<bool(const std::string&)> ProfileCommands::nameTaken(std::optional<ProfileId> except) const
{
    const ProfileList& profiles = m_program.profiles();
    return [&profiles, except](const std::string& name) {
        for (int row = 0; row < profiles.count(); ++row)
            if (profiles.idAt(row) != except && SameText(Trim(profiles.at(row).Name), Trim(name)))
                return true;
        return false;
    };
}

bool ProfileCommands::run(ProfileWizard& wizard)
{
    if (beforeWizard()) {
        beforeWizard()(wizard);
        return wizard.result() == QDialog::Accepted;
    }
    return wizard.exec() == QDialog::Accepted;
}

std::optional<int> ProfileCommands::selectedOrTell()
{
    const std::optional<int> row = m_window.selectedRow();
    if (!row)
        m_boxes.ShowInfo(tr("Kein Profil ausgewählt.").toStdString());
    return row;
}

void ProfileCommands::New()
{
    QApplication::setOverrideCursor(Qt::WaitCursor);
    ProfileWizard wizard(context(std::nullopt), &m_window);
    wizard.CHBAdvancedCheck();
    QApplication::restoreOverrideCursor();
    if (!run(wizard))
        return;
    TProfile profile;
    wizard.ReadProfile(profile, false);
    // A new record has no statistics; it has not run yet.
    profile.LastRun = NoRun;
    profile.NextRun = NoRun;
    CalcNextBackup(profile, m_program.platform().Now());
    const int row = m_program.profiles().AddToProfile(std::move(profile));
    m_program.ProfilesChanged();
    m_window.selectRow(row);
}

void ProfileCommands::Properties()
{
    const std::optional<int> row = selectedOrTell();
    if (!row)
        return;
    ProfileList& profiles = m_program.profiles();
    const ProfileId id = profiles.idAt(*row);
    QApplication::setOverrideCursor(Qt::WaitCursor);
    ProfileWizard wizard(context(row), &m_window);
    // Shown from a copy: a cancelled wizard leaves the record as it was.
    TProfile shown = profiles.at(*row);
    wizard.ShowProfile(shown);
    QApplication::restoreOverrideCursor();
    if (!run(wizard))
        return;
    // The record as it is now: a run that ended meanwhile has written its statistics into it.
    TProfile* profile = profiles.find(id);
    if (!profile)
        return;
    const std::string oldName = profile->Name;
    wizard.ReadProfile(*profile, true);
    CalcNextBackup(*profile, m_program.platform().Now());
    const std::string newName = profile->Name;
    m_program.ProfilesChanged();
    followLauncher(oldName, newName);
}

void ProfileCommands::followLauncher(const std::string& oldName, const std::string& newName)
{
    // A launcher starts a profile by its name: under the old one it would start nothing.
    if (oldName == newName || !m_program.LauncherOf(oldName))
        return;
    if (!m_boxes.AskConfirmation(tr("Der Link \"%1\" auf dem Desktop startet das Profil unter seinem alten Namen "
                                    "und damit nichts mehr. Soll er das Profil \"%2\" starten?")
                                     .arg(QString::fromStdString(oldName), QString::fromStdString(newName))
                                     .toStdString()))
        return;
    if (const Status moved = m_program.MoveLauncher(oldName, newName); !moved.ok())
        m_boxes.ShowError(moved.message);
}

void ProfileCommands::Duplicate()
{
    const std::optional<int> row = m_window.selectedRow();
    if (!row || row == m_program.ActiveProfileIndex()) {
        m_boxes.ShowInfo(tr("Kein Profil ausgewählt.").toStdString());
        return;
    }
    ProfileList& profiles = m_program.profiles();
    TProfile copy = DuplicateOf(profiles.at(*row), nameTaken(std::nullopt));
    const int added = profiles.AddToProfile(std::move(copy));
    m_program.ProfilesChanged();
    m_window.selectRow(added);
}

void ProfileCommands::Delete()
{
    const std::optional<int> row = selectedOrTell();
    if (row) {
        if (row == m_program.ActiveProfileIndex()) {
            m_boxes.ShowInfo(tr("Profil ist gerade aktiv. Kann jetzt nicht gelöscht werden!").toStdString());
        } else if (m_boxes.AskConfirmation(tr("Sicherungsprofil \"%1\" löschen?")
                                               .arg(QString::fromStdString(m_program.profiles().at(*row).Name))
                                               .toStdString())) {
            const std::string name = m_program.profiles().at(*row).Name;
            m_program.profiles().removeRow(*row);
            // Its launcher would start nothing any more.
            if (m_program.LauncherOf(name) &&
                m_boxes.AskConfirmation(tr("Der Link \"%1\" auf dem Desktop startet dieses Profil. Soll er auch "
                                           "gelöscht werden?")
                                            .arg(QString::fromStdString(name))
                                            .toStdString()))
                if (const Status removed = m_program.RemoveLauncher(name); !removed.ok())
                    m_boxes.ShowError(removed.message);
        }
    }
    m_program.ProfilesChanged();
}

void ProfileCommands::Rename()
{
    const std::optional<int> row = selectedOrTell();
    if (!row)
        return;
    QAbstractItemView* view = m_window.viewStyle() == 3 ? static_cast<QAbstractItemView*>(m_window.detailView())
                                                        : static_cast<QAbstractItemView*>(m_window.iconView());
    view->setFocus();
    view->edit(m_window.model().index(*row, 0));
}

void ProfileCommands::renamed(int row, const QString& name)
{
    ProfileList& profiles = m_program.profiles();
    if (row < 0 || row >= profiles.count())
        return;
    const std::string text = StoredProfileName(name.toStdString());
    if (text == profiles.at(row).Name)
        return;
    if (const auto refusal = ProfileWizard::NameRefusal(name, nameTaken(profiles.idAt(row)))) {
        m_boxes.ShowError(*refusal);
        return;
    }
    const std::string oldName = profiles.at(row).Name;
    profiles.at(row).Name = text;
    // Saved at once, not at the next save point: a crash must not take the new name back. The
    // rows are refreshed, and a launcher of the old name offered the new one, once the editor
    // that committed the name has closed.
    QTimer::singleShot(0, &m_program, [this, oldName, text] {
        m_program.ProfilesChanged();
        followLauncher(oldName, text);
    });
}

void ProfileCommands::Link()
{
    const std::optional<int> row = selectedOrTell();
    if (!row)
        return;
    const DesktopLauncherResult result = m_program.MakeLauncher(m_program.profiles().at(*row).Name);
    if (!result.status.ok())
        m_boxes.ShowError(result.status.message);
}
