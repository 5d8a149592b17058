#pragma once

#include <array>
#include <string>
#include <string_view>

/// Four version numbers: major, minor, release, build.
using VersionNumbers = std::array<int, 4>;

/// What the maker's version page announces: four fields of three characters (leading blanks
/// allowed; a field that is no number counts 0), then the message to show, at most 5000
/// characters, in which every "#" stands for a line break.
struct VersionPage
{
    VersionNumbers version{};
    std::string message;
};

/// The characters of the page that are ever read: the version and the longest message.
inline constexpr std::size_t VersionPageChars = 12 + 5000;

VersionPage ParseVersionPage(std::string_view text);
/// "1.2.3" or "1.2.3.4" (a missing number counts 0; what is no number counts 0).
VersionNumbers ParseVersion(std::string_view dotted);
/// Whether the first number that differs is greater in candidate.
bool IsNewer(const VersionNumbers& candidate, const VersionNumbers& own);
