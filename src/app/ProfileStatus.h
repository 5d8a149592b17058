#pragma once

#include "base/DateTime.h"
#include "profiles/TProfile.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

/// What --status tells of one profile: how its last run went and whether it has been silent
/// too long.
struct ProfileStatus
{
    std::string name;
    std::optional<DateTime> lastRun;
    std::optional<DateTime> lastErrorFreeRun;
    std::int32_t errors = 0;
    bool runUnfinished = false; // the last run began and never ended: the program was killed
    std::optional<DateTime> nextRun;
    bool overdue = false;
    std::optional<int> daysSinceErrorFree;
};

/// Whether a profile's last run failed: it counted errors, or it never ended.
bool LastRunFailed(const TProfile& profile);

/// The status of a profile at a moment; marginDays is the OverdueDays setting.
ProfileStatus StatusOf(const TProfile& profile, DateTime now, int marginDays);

/// Whether a monitor must hear of the profile: its last run failed, or it is overdue.
bool NeedsAttention(const ProfileStatus& status);

/// One line per profile, fields separated by tabs: name, last run, last error-free run, errors
/// of the last run ("unterbrochen" for one that never ended), next run, "überfällig" or "-".
/// A moment missing is "-"; the name is written as EscapeField writes a field.
std::string StatusLines(const std::vector<ProfileStatus>& statuses);

/// A JSON array with one object per profile (moments as local "YYYY-MM-DDThh:mm:ss", null when
/// missing), followed by a line end.
std::string StatusJson(const std::vector<ProfileStatus>& statuses);

/// text as a JSON string with its quotes: quote, backslash and control characters escaped, U+2028
/// and U+2029 too; each byte that is not part of valid UTF-8 becomes U+FFFD.
std::string JsonString(std::string_view text);
