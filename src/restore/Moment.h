#pragma once

#include "base/DateTime.h"

#include <cstdint>
#include <optional>
#include <string>

class Platform;

/// A point in time as the user writes it: "dd.mm.yyyy", "dd.mm.yyyy hh:nn", "dd.mm.yyyy
/// hh:nn:ss", or "yyyy-mm-dd" with " hh:nn[:ss]" or "Thh:nn[:ss]". A date alone means the end of
/// that day: the state at the end of the day. Nothing for any other text.
std::optional<DateTime> ParseMoment(const std::string& text);

/// Local time minus UTC in seconds, as the platform's clock tells now.
std::int64_t LocalOffsetSeconds(Platform& platform);

/// The local moment as nanoseconds since 1970, and back.
std::int64_t UnixNsOf(DateTime local, std::int64_t offsetSeconds);
DateTime LocalOf(std::int64_t unixNs, std::int64_t offsetSeconds);
