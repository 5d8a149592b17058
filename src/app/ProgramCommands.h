#pragma once

#include "profiles/ProfileList.h"
#include "profiles/ProfileRules.h"

#include <functional>
#include <optional>
#include <string>

class Program;

/// Why a command on a profile was not carried out; the view says it in its words.
enum class ProfileRefusal
{
    NoneSelected, // no profile chosen (or, to duplicate, the running one)
    Active,       // the profile runs now
};

/// What deleting a profile came to.
struct ProfileDeletion
{
    std::optional<ProfileRefusal> refusal;
    std::string name;
    bool hadLauncher = false; // a desktop launcher still starts the deleted profile by its name
};

/// What renaming a profile came to.
struct ProfileRenaming
{
    std::optional<ProfileNameProblem> problem; // the name was refused
    bool changed = false;
    std::string oldName;
    std::string newName;
};

/// The commands on profiles, the same for every front end: each changes the profiles and ends in
/// the program's one "profiles changed" operation (saved, the next run chosen again, the views
/// refreshed). Questions to the user and the words of a refusal stay with the view.
class ProgramCommands final
{
public:
    explicit ProgramCommands(Program& program) : m_program(program) {}

    /// Whether a profile other than except has the name (spaces around it and case ignored).
    std::function<bool(const std::string&)> NameTaken(std::optional<ProfileId> except) const;

    /// Adds a profile made by the wizard: it has not run yet, and its next run follows from its
    /// schedule. Its row.
    int AddNew(TProfile profile);
    /// Lets edit change the profile with id as it is now (a run that ended meanwhile has written
    /// its statistics into it); its next run follows from the new schedule. The name it had
    /// before, or nothing when the profile is gone.
    std::optional<std::string> Edit(ProfileId id, const std::function<void(TProfile&)>& edit);
    /// Adds a copy of the profile at row (see DuplicateOf); the copy's row, or why not.
    std::optional<int> Duplicate(std::optional<int> row, ProfileRefusal& refusal);
    /// Deletes the profile at row unless it runs.
    ProfileDeletion Delete(std::optional<int> row);
    /// The profile at row takes the name as typed. The profiles are not saved yet: call
    /// Changed() once the editor that committed the name has closed.
    ProfileRenaming Rename(int row, const std::string& typed);
    /// Saves and refreshes after a change made through these commands or the profile list.
    void Changed();

private:
    Program& m_program;
};
