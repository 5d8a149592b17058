#include "app/ProfileStatus.h"

#include "base/Text.h"
#include "scheduler/Overdue.h"

#include <cstdio>

namespace {

std::optional<DateTime> momentOf(DateTime value)
{
    return value > NoRun ? std::optional<DateTime>(value) : std::nullopt;
}

std::string listed(const std::optional<DateTime>& moment)
{
    return moment ? FormatDateTime(*moment) : "-";
}

std::string iso(const std::optional<DateTime>& moment)
{
    if (!moment)
        return "null";
    const CivilDate d = DecodeDate(*moment);
    const ClockTime t = DecodeTime(*moment);
    char text[32];
    std::snprintf(text, sizeof text, "\"%04d-%02d-%02dT%02d:%02d:%02d\"", d.year, d.month, d.day, t.hour, t.minute,
                  t.second);
    return text;
}

} // namespace

bool LastRunFailed(const TProfile& profile)
{
    return profile.LastRun > NoRun && (profile.Errors > 0 || profile.RunUnfinished);
}

ProfileStatus StatusOf(const TProfile& profile, DateTime now, int marginDays)
{
    const OverdueState overdue = OverdueOf(profile, now, marginDays);
    ProfileStatus status;
    status.name = profile.Name;
    status.lastRun = momentOf(profile.LastRun);
    status.lastErrorFreeRun = LastErrorFreeRun(profile);
    status.errors = status.lastRun ? profile.Errors : 0;
    status.runUnfinished = status.lastRun && profile.RunUnfinished;
    status.nextRun = momentOf(profile.NextRun);
    status.overdue = overdue.overdue;
    status.daysSinceErrorFree = overdue.daysSinceSuccess;
    return status;
}

bool NeedsAttention(const ProfileStatus& status)
{
    return status.errors > 0 || status.runUnfinished || status.overdue;
}

std::string StatusLines(const std::vector<ProfileStatus>& statuses)
{
    std::string out;
    for (const ProfileStatus& s : statuses) {
        out += EscapeField(s.name) + '\t' + listed(s.lastRun) + '\t' + listed(s.lastErrorFreeRun) + '\t' +
               (s.runUnfinished ? std::string("unterbrochen") : std::to_string(s.errors)) + '\t' + listed(s.nextRun) +
               '\t' + (s.overdue ? "überfällig" : "-") + '\n';
    }
    return out;
}

std::string StatusJson(const std::vector<ProfileStatus>& statuses)
{
    std::string out = "[";
    for (std::size_t i = 0; i < statuses.size(); ++i) {
        const ProfileStatus& s = statuses[i];
        out += i == 0 ? "\n" : ",\n";
        out += "  {\"name\": " + JsonString(s.name) + ", \"lastRun\": " + iso(s.lastRun) +
               ", \"lastErrorFreeRun\": " + iso(s.lastErrorFreeRun) + ", \"errors\": " + std::to_string(s.errors) +
               ", \"runUnfinished\": " + (s.runUnfinished ? "true" : "false") +
               ", \"failed\": " + (s.errors > 0 || s.runUnfinished ? "true" : "false") +
               ", \"nextRun\": " + iso(s.nextRun) + ", \"overdue\": " + (s.overdue ? "true" : "false") +
               ", \"daysSinceErrorFreeRun\": " +
               (s.daysSinceErrorFree ? std::to_string(*s.daysSinceErrorFree) : std::string("null")) + "}";
    }
    out += statuses.empty() ? "]\n" : "\n]\n";
    return out;
}

std::string JsonString(std::string_view text)
{
    std::string out = "\"";
    for (std::size_t i = 0; i < text.size();) {
        const std::size_t length = Utf8SequenceLength(text, i);
        if (length == 0) {
            out += "\xEF\xBF\xBD"; // U+FFFD for the byte, and on with the next one
            ++i;
            continue;
        }
        const std::string_view character = text.substr(i, length);
        i += length;
        const auto c = static_cast<unsigned char>(character.front());
        if (c == '"' || c == '\\') {
            out += '\\';
            out += static_cast<char>(c);
        } else if (c == '\n') {
            out += "\\n";
        } else if (c == '\r') {
            out += "\\r";
        } else if (c == '\t') {
            out += "\\t";
        } else if (c < 0x20 || c == 0x7F) {
            char escaped[8];
            std::snprintf(escaped, sizeof escaped, "\\u%04x", c);
            out += escaped;
        } else if (character == "\xE2\x80\xA8" || character == "\xE2\x80\xA9") {
            // Valid JSON as they are, but they end a line in JavaScript.
            out += character == "\xE2\x80\xA8" ? "\\u2028" : "\\u2029";
        } else {
            out += character;
        }
    }
    return out + "\"";
}
