#pragma once

#include "profiles/TProfile.h"

#include <functional>
#include <optional>
#include <random>
#include <string>
#include <string_view>
#include <vector>

struct ProgramSettings;

/// The values a profile section starts from that come from the program settings.
struct ProfileDefaults
{
    std::uint8_t CompLevel = 5;
    std::int32_t Priority = -2;
    bool SFileAtt = true;
    bool HFileAtt = true;
    bool RFileAtt = true;
};

ProfileDefaults ProfileDefaultsFrom(const ProgramSettings& settings);

/// The record a profile section starts from before its keys are applied.
TProfile DefaultProfile(const ProfileDefaults& defaults);

/// Sets the profile's destination; a new one forgets the medium the old one lay on, so that a
/// destination moved off a disk that is gone for good is not waited for.
void ChangeDestination(TProfile& profile, const std::string& destination);

/// Recomputes a profile's NextRun (the scheduler provides it; the profile file applies it to
/// every profile that does not catch up missed runs).
using NextRunRecalculation = std::function<void(TProfile&)>;

inline constexpr const char* ProfileSignature = "[Signature]";
inline constexpr std::size_t MaxValueChars = 3000;

/// The profiles of a profile file's content (UTF-8, or Windows-1252 from older installations).
/// Never fails: what cannot be read is left at its default or skipped.
std::vector<TProfile> ParseProfileText(std::string_view content, const ProfileDefaults& defaults,
                                       const NextRunRecalculation& recalculate);

/// The same for content already decoded and split into lines.
std::vector<TProfile> ParseProfileLines(const std::vector<std::string>& lines, const ProfileDefaults& defaults,
                                        const NextRunRecalculation& recalculate);

/// The profile as the file can hold it: a value the file cannot store the same (a line break, too
/// long, a logon or password longer than its scrambling takes) is cut or dropped, and warnings
/// name the profile and the field. One such value never keeps the other profiles from being saved.
TProfile StorableProfile(const TProfile& profile, std::vector<std::string>& warnings);

/// The lines of one profile's section (without line ends), with the warnings about what could
/// not be stored as it was; no lines for a profile without a name.
struct ProfileSection
{
    std::vector<std::string> lines;
    std::vector<std::string> warnings;
};
ProfileSection FormatProfileSection(const TProfile& profile, std::mt19937& random);
