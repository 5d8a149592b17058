#pragma once

#include "app/RunOutcome.h"
#include "base/DateTime.h"
#include "profiles/ProfileList.h"

#include <string>
#include <vector>

/// The report of a run that began at begun and never ended: the program was killed during it.
std::vector<std::string> InterruptedRunReport(const std::string& name, DateTime begun);

/// Every profile whose last run never ended shows it now: one error, and the run's outcome with
/// its report for the log (one per such profile, in list order). The profiles are marked as ended.
std::vector<RunOutcome> TakeInterruptedRuns(ProfileList& profiles);
