#pragma once

#include "profiles/TProfile.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

/// Identity of a profile that stays the same while rows are moved, sorted or deleted.
using ProfileId = std::uint64_t;

/// Told when rows are added, removed or put in another order (a view over the list follows).
/// A change of a row's record is not told: the program refreshes its views after each.
class ProfileListObserver
{
public:
    virtual ~ProfileListObserver() = default;
    virtual void RowsAboutToChange() = 0;
    virtual void RowsChanged() = 0;
};

/// The profiles in row order. Each row owns its record; the row order is the order of the
/// profile file and the scheduler's tie-break. Rows are addressed by number, as the program
/// does everywhere, and each carries a ProfileId for whoever must follow a profile across
/// changes of the rows (a running profile, for example).
class ProfileList final
{
public:
    /// Appends a row that takes over the record; gives the new row's number.
    int AddToProfile(TProfile profile);

    int count() const { return static_cast<int>(m_rows.size()); }
    bool empty() const { return m_rows.empty(); }

    TProfile& at(int row);
    const TProfile& at(int row) const;
    ProfileId idAt(int row) const;

    /// The row that holds the profile, or nothing when it was deleted.
    std::optional<int> rowOf(ProfileId id) const;
    TProfile* find(ProfileId id);

    /// Moves row from so that it stands just before the row that is now at before
    /// (before == count() moves it to the end).
    void moveBefore(int from, int before);
    void removeRow(int row);
    /// Puts the rows in the order of less, keeping the order of rows it holds equal.
    void sortRows(const std::function<bool(const TProfile&, const TProfile&)>& less);

    void addObserver(ProfileListObserver* observer);
    void removeObserver(ProfileListObserver* observer);

private:
    struct Row
    {
        ProfileId id;
        std::unique_ptr<TProfile> profile;
    };

    // Tells the observers around a change of the rows.
    class Change
    {
    public:
        explicit Change(const ProfileList& list);
        ~Change();
        Change(const Change&) = delete;
        Change& operator=(const Change&) = delete;

    private:
        const ProfileList& m_list;
    };

    std::vector<Row> m_rows;
    ProfileId m_nextId = 1;
    std::vector<ProfileListObserver*> m_observers;
};
