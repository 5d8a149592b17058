#include "app/ProgramCommands.h"

#include "app/Program.h"
#include "base/Text.h"
#include "scheduler/NextRun.h"

std::function<bool(const std::string&)> ProgramCommands::NameTaken(std::optional<ProfileId> except) const
{
    const ProfileList& profiles = m_program.profiles();
    return [&profiles, except](const std::string& name) {
        for (int row = 0; row < profiles.count(); ++row)
            if (profiles.idAt(row) != except && SameText(Trim(profiles.at(row).Name), Trim(name)))
                return true;
        return false;
    };
}

int ProgramCommands::AddNew(TProfile profile)
{
    // A new record has no statistics; it has not run yet.
    profile.LastRun = NoRun;
    profile.NextRun = NoRun;
    CalcNextBackup(profile, m_program.platform().Now());
    const int row = m_program.profiles().AddToProfile(std::move(profile));
    Changed();
    return row;
}

std::optional<std::string> ProgramCommands::Edit(ProfileId id, const std::function<void(TProfile&)>& edit)
{
    TProfile* profile = m_program.profiles().find(id);
    if (!profile)
        return std::nullopt;
    std::string oldName = profile->Name;
    edit(*profile);
    CalcNextBackup(*profile, m_program.platform().Now());
    Changed();
    return oldName;
}

std::optional<int> ProgramCommands::Duplicate(std::optional<int> row, ProfileRefusal& refusal)
{
    ProfileList& profiles = m_program.profiles();
    if (!row || *row < 0 || *row >= profiles.count() || row == m_program.ActiveProfileIndex()) {
        refusal = ProfileRefusal::NoneSelected;
        return std::nullopt;
    }
    const int added = profiles.AddToProfile(DuplicateOf(profiles.at(*row), NameTaken(std::nullopt)));
    Changed();
    return added;
}

ProfileDeletion ProgramCommands::Delete(std::optional<int> row)
{
    ProfileList& profiles = m_program.profiles();
    ProfileDeletion deletion;
    if (!row || *row < 0 || *row >= profiles.count())
        deletion.refusal = ProfileRefusal::NoneSelected;
    else if (row == m_program.ActiveProfileIndex())
        deletion.refusal = ProfileRefusal::Active;
    if (deletion.refusal)
        return deletion;
    deletion.name = profiles.at(*row).Name;
    profiles.removeRow(*row);
    deletion.hadLauncher = m_program.LauncherOf(deletion.name).has_value();
    Changed();
    return deletion;
}

ProfileRenaming ProgramCommands::Rename(int row, const std::string& typed)
{
    ProfileList& profiles = m_program.profiles();
    ProfileRenaming renaming;
    if (row < 0 || row >= profiles.count())
        return renaming;
    renaming.oldName = profiles.at(row).Name;
    renaming.newName = StoredProfileName(typed);
    if (renaming.newName == renaming.oldName)
        return renaming;
    renaming.problem = NameProblem(typed, NameTaken(profiles.idAt(row)));
    if (renaming.problem)
        return renaming;
    profiles.at(row).Name = renaming.newName;
    renaming.changed = true;
    return renaming;
}

void ProgramCommands::Changed()
{
    m_program.ProfilesChanged();
}
