#include "ui/ProfileCommands.h"

#include "app/DataFolder.h"
#include "app/Program.h"
#include "app/ProgramCommands.h"
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
    : QObject(&window), m_program(program), m_commands(program), m_window(window), m_boxes(boxes),
      m_presentation(presentation)
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
    c.nameTaken = m_commands.NameTaken(edited);
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
    m_window.selectRow(m_commands.AddNew(std::move(profile)));
}

void ProfileCommands::Properties()
{
    const std::optional<int> row = selectedOrTell();
    if (!row)
        return;
    const ProfileList& profiles = m_program.profiles();
    const ProfileId id = profiles.idAt(*row);
    QApplication::setOverrideCursor(Qt::WaitCursor);
    ProfileWizard wizard(context(row), &m_window);
    // Shown from a copy: a cancelled wizard leaves the record as it was.
    TProfile shown = profiles.at(*row);
    wizard.ShowProfile(shown);
    QApplication::restoreOverrideCursor();
    if (!run(wizard))
        return;
    std::string newName;
    const std::optional<std::string> oldName = m_commands.Edit(id, [&wizard, &newName](TProfile& profile) {
        wizard.ReadProfile(profile, true);
        newName = profile.Name;
    });
    if (oldName)
        followLauncher(*oldName, newName);
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
    ProfileRefusal refusal{};
    if (const std::optional<int> added = m_commands.Duplicate(m_window.selectedRow(), refusal))
        m_window.selectRow(*added);
    else
        tell(refusal);
}

void ProfileCommands::Delete()
{
    const std::optional<int> row = selectedOrTell();
    if (!row)
        return;
    if (row == m_program.ActiveProfileIndex())
        return tell(ProfileRefusal::Active);
    if (!m_boxes.AskConfirmation(tr("Sicherungsprofil \"%1\" löschen?")
                                     .arg(QString::fromStdString(m_program.profiles().at(*row).Name))
                                     .toStdString()))
        return;
    const ProfileDeletion deletion = m_commands.Delete(row);
    if (deletion.refusal)
        return tell(*deletion.refusal);
    // Its launcher would start nothing any more.
    if (deletion.hadLauncher &&
        m_boxes.AskConfirmation(tr("Der Link \"%1\" auf dem Desktop startet dieses Profil. Soll er auch "
                                   "gelöscht werden?")
                                    .arg(QString::fromStdString(deletion.name))
                                    .toStdString()))
        if (const Status removed = m_program.RemoveLauncher(deletion.name); !removed.ok())
            m_boxes.ShowError(removed.message);
}

void ProfileCommands::tell(ProfileRefusal refusal)
{
    m_boxes.ShowInfo(refusal == ProfileRefusal::Active
                         ? tr("Profil ist gerade aktiv. Kann jetzt nicht gelöscht werden!").toStdString()
                         : tr("Kein Profil ausgewählt.").toStdString());
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
    const ProfileRenaming renaming = m_commands.Rename(row, name.toStdString());
    if (renaming.problem) {
        m_boxes.ShowError(*ProfileWizard::NameRefusal(name, m_commands.NameTaken(m_program.profiles().idAt(row))));
        return;
    }
    if (!renaming.changed)
        return;
    // Saved at once, not at the next save point: a crash must not take the new name back. The
    // rows are refreshed, and a launcher of the old name offered the new one, once the editor
    // that committed the name has closed.
    QTimer::singleShot(0, &m_program, [this, renaming] {
        m_commands.Changed();
        followLauncher(renaming.oldName, renaming.newName);
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
