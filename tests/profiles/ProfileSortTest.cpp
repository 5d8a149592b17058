#include "profiles/ProfileSort.h"

#include "base/DateTime.h"

#include <gtest/gtest.h>

namespace {

struct Row
{
    const char* name;
    const char* lastRun; // "" for none
    const char* nextRun; // "" for none
    std::uint8_t period;
    std::uint8_t type;
};

class CountingObserver final : public ProfileListObserver
{
public:
    int before = 0;
    int after = 0;
    void RowsAboutToChange() override { ++before; }
    void RowsChanged() override { ++after; }
};

ProfileList listOf(const std::vector<Row>& rows)
{
    ProfileList list;
    for (const Row& r : rows) {
        TProfile p;
        p.Name = r.name;
        p.LastRun = *r.lastRun ? ReadStampedDateTime(r.lastRun) : NoRun;
        p.NextRun = *r.nextRun ? ReadStampedDateTime(r.nextRun) : NoRun;
        p.Period = r.period;
        p.Backuptype = r.type;
        list.AddToProfile(p);
    }
    return list;
}

std::string order(const ProfileList& list)
{
    std::string names;
    for (int row = 0; row < list.count(); ++row)
        names += std::string(names.empty() ? "" : " ") + list.at(row).Name;
    return names;
}

TEST(ProfileSortTest, EachColumnSortsAscendingDatesByTheirMoment)
{
    const std::vector<Row> rows = {
        {"delta", "15.12.2003 08:00:00", "02.01.2004 08:00:00", PeriodDaily, BackupIncremental},
        {"Alpha", "02.01.2004 08:00:00", "15.12.2003 08:00:00", PeriodDaily, BackupFull},
        {"charlie", "", "01.01.2003 00:00:00", PeriodNotPeriodic, BackupSynchronise}, // shows "-" twice
        {"bravo", "02.01.2004 08:00:00", "", PeriodDaily, BackupDelete},
    };
    const struct
    {
        ProfileColumn column;
        const char* expected;
    } cases[] = {
        {ProfileColumn::Name, "Alpha bravo charlie delta"},
        // Equal moments keep their order (Alpha before bravo).
        {ProfileColumn::LastRun, "charlie delta Alpha bravo"},
        {ProfileColumn::NextRun, "charlie bravo Alpha delta"},
        // "Dateien löschen", "Inkrementell", "Synchronisieren", "Vollsicherung".
        {ProfileColumn::Mode, "bravo delta charlie Alpha"},
    };
    for (const auto& c : cases) {
        ProfileList list = listOf(rows);
        CountingObserver observer;
        list.addObserver(&observer);
        SortProfiles(list, c.column);
        EXPECT_EQ(order(list), c.expected) << static_cast<int>(c.column);
        EXPECT_EQ(observer.before, 1);
        EXPECT_EQ(observer.after, 1);
        list.removeObserver(&observer);
        list.moveBefore(0, 2);
        EXPECT_EQ(observer.after, 1); // no longer told
    }
}

} // namespace
