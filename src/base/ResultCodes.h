#pragma once

#include <cstdint>
#include <string>

// The codes a file or run operation reports, in one place with their texts. Failures of the
// system are reported with the nearest Windows system error code, so that one table of German
// messages serves every platform; the program's own codes lie above the system's range.

namespace ResultCode {
inline constexpr std::int32_t FileNotFound = 2;
inline constexpr std::int32_t PathNotFound = 3;
inline constexpr std::int32_t AccessDenied = 5;
inline constexpr std::int32_t WriteProtected = 19;
inline constexpr std::int32_t DriveNotReady = 21;
inline constexpr std::int32_t InUse = 32;
inline constexpr std::int32_t DiskFull = 112;
inline constexpr std::int32_t InvalidName = 123;
inline constexpr std::int32_t AlreadyExists = 183;
inline constexpr std::int32_t PathTooLong = 206;
inline constexpr std::int32_t Unexpected = 9999;
inline constexpr std::int32_t VerificationFailed = 10000;
inline constexpr std::int32_t UploadFailed = 10001; // shown with the FTP client's own text
inline constexpr std::int32_t ZipError = 1;         // a ZIP failure, shown with its own text
inline constexpr std::int32_t Cancelled = 99;       // the user cancelled (ZIP lines show it)
} // namespace ResultCode

/// "Abbruch durch Benutzer".
inline constexpr const char* CancelledText = "Abbruch durch Benutzer";

/// The message of a failed operation's code as the report's error lines show it: the program's
/// German text where it has one, else the code and the system's text.
std::string ResultMessage(std::int32_t code, const std::string& message);
