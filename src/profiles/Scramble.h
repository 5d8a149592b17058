#pragma once

#include <cstddef>
#include <optional>
#include <random>
#include <string>
#include <string_view>

// The three secret texts of a profile are stored scrambled with a fixed key table, so that
// they cannot be read at a glance in the profile file. This hides, it does not protect:
// the file itself is kept readable by its owner only.

enum class LogonKind
{
    User,     // NetUser
    Password, // NetPasswd
};

inline constexpr std::size_t KeyTableSize = 146;
inline constexpr std::size_t LogonBlockSize = 100;
inline constexpr std::size_t ZipPasswordKeyStart = 30;

/// Longest texts (in bytes) that the stored forms can carry and give back: a logon's block has
/// room for so much; the ZIP password's form, two digits a byte, has no bound of its own, so a
/// value of the profile file (3000 characters) bounds it.
inline constexpr std::size_t MaxNetUserBytes = 92;
inline constexpr std::size_t MaxNetPasswdBytes = 90;
inline constexpr std::size_t MaxZipPasswordBytes = 1500;

/// Byte i of the result is byte i of bytes XOR key byte start + i (positions past the end of
/// the table wrap around to its beginning). Applying it twice with the same start gives bytes.
std::string ScrambleText(std::string_view bytes, std::size_t start);

/// Two upper-case hexadecimal digits per byte, high digit first.
std::string HexEncode(std::string_view bytes);
/// One byte per pair of digits (upper or lower case); a single digit left over at the end is
/// ignored. Nothing when a pair holds a character that is not a hexadecimal digit.
std::optional<std::string> HexDecode(std::string_view text);

/// The stored form of NetUser or NetPasswd: a 100-byte block of random lead-in, length, the
/// scrambled text and random filler, in hexadecimal.
std::string EncodeLogonField(std::string_view text, LogonKind kind, std::mt19937& random);
/// The text of a stored logon block; the empty text for anything that is not a valid block.
std::string DecodeLogonField(std::string_view value, LogonKind kind);

/// The stored form of the ZIP password (no framing; empty for an empty password).
std::string EncodeZipPassword(std::string_view password);
std::string DecodeZipPassword(std::string_view value);
