#include "profiles/ProfileList.h"

#include <algorithm>
#include <stdexcept>

ProfileList::Change::Change(const ProfileList& list) : m_list(list)
{
    for (ProfileListObserver* observer : m_list.m_observers)
        observer->RowsAboutToChange();
}

ProfileList::Change::~Change()
{
    for (ProfileListObserver* observer : m_list.m_observers)
        observer->RowsChanged();
}

void ProfileList::addObserver(ProfileListObserver* observer)
{
    m_observers.push_back(observer);
}

void ProfileList::removeObserver(ProfileListObserver* observer)
{
    std::erase(m_observers, observer);
}

int ProfileList::AddToProfile(TProfile profile)
{
    const Change change(*this);
    m_rows.push_back({m_nextId++, std::make_unique<TProfile>(std::move(profile))});
    return count() - 1;
}

TProfile& ProfileList::at(int row)
{
    return *m_rows.at(static_cast<std::size_t>(row)).profile;
}

const TProfile& ProfileList::at(int row) const
{
    return *m_rows.at(static_cast<std::size_t>(row)).profile;
}

ProfileId ProfileList::idAt(int row) const
{
    return m_rows.at(static_cast<std::size_t>(row)).id;
}

std::optional<int> ProfileList::rowOf(ProfileId id) const
{
    for (std::size_t i = 0; i < m_rows.size(); ++i)
        if (m_rows[i].id == id)
            return static_cast<int>(i);
    return std::nullopt;
}

TProfile* ProfileList::find(ProfileId id)
{
    const auto row = rowOf(id);
    return row ? &at(*row) : nullptr;
}

void ProfileList::moveBefore(int from, int before)
{
    if (from < 0 || from >= count() || before < 0 || before > count())
        throw std::out_of_range("ProfileList::moveBefore");
    const Change change(*this);
    Row moving = std::move(m_rows[static_cast<std::size_t>(from)]);
    m_rows.erase(m_rows.begin() + from);
    if (before > from)
        --before;
    m_rows.insert(m_rows.begin() + before, std::move(moving));
}

void ProfileList::removeRow(int row)
{
    if (row < 0 || row >= count())
        throw std::out_of_range("ProfileList::removeRow");
    const Change change(*this);
    m_rows.erase(m_rows.begin() + row);
}

void ProfileList::sortRows(const std::function<bool(const TProfile&, const TProfile&)>& less)
{
    const Change change(*this);
    std::stable_sort(m_rows.begin(), m_rows.end(),
                     [&less](const Row& a, const Row& b) { return less(*a.profile, *b.profile); });
}
