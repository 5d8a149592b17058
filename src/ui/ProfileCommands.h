#pragma once

#include "app/ProgramCommands.h"
#include "profiles/ProfileList.h"

#include <QObject>
#include <functional>
#include <optional>

class MainWindow;
class MessageBoxes;
class Presentation;
class Program;
class ProfileWizard;
struct WizardContext;

/// The commands on profiles: new, properties, duplicate, delete, rename in place and the desktop
/// link. Each change ends in the program's one "profiles changed" operation: saved, the next run
/// chosen again, the views refreshed.
class ProfileCommands final : public QObject
{
    Q_OBJECT

public:
    ProfileCommands(Program& program, MainWindow& window, MessageBoxes& boxes, Presentation& presentation);
    Q_DISABLE_COPY_MOVE(ProfileCommands)

    void New();
    void Properties();
    void Duplicate();
    void Delete();
    void Rename();
    void Link();

    /// When set, called with the wizard instead of showing it; the wizard's result after the call
    /// counts (tests drive it with keys and clicks).
    static std::function<void(ProfileWizard&)>& beforeWizard();

private:
    WizardContext context(std::optional<int> editedRow);
    /// Says why a command was not carried out.
    void tell(ProfileRefusal refusal);
    /// Shows the wizard modally; whether it was finished.
    bool run(ProfileWizard& wizard);
    void renamed(int row, const QString& name);
    /// After a rename: offers to let the launcher of the old name start the new one.
    void followLauncher(const std::string& oldName, const std::string& newName);
    std::optional<int> selectedOrTell();

    Program& m_program;
    ProgramCommands m_commands;
    MainWindow& m_window;
    MessageBoxes& m_boxes;
    Presentation& m_presentation;
};
