#include "profiles/ProfileSort.h"

#include "base/Text.h"
#include "profiles/ProfileRowTexts.h"

namespace {

// The moment a date column shows; NoRun for "-".
DateTime shownMoment(const TProfile& p, ProfileColumn column)
{
    if (column == ProfileColumn::LastRun)
        return p.LastRun;
    return p.Period == PeriodNotPeriodic ? NoRun : p.NextRun;
}

std::string shownText(const TProfile& p, ProfileColumn column)
{
    return LowerCaseAscii(column == ProfileColumn::Name ? p.Name : RefreshedRowTexts(p, false).mode);
}

} // namespace

void SortProfiles(ProfileList& profiles, ProfileColumn column)
{
    if (column == ProfileColumn::LastRun || column == ProfileColumn::NextRun)
        profiles.sortRows(
            [column](const TProfile& a, const TProfile& b) { return shownMoment(a, column) < shownMoment(b, column); });
    else
        profiles.sortRows(
            [column](const TProfile& a, const TProfile& b) { return shownText(a, column) < shownText(b, column); });
}
