#include "log/EditedLog.h"

#include <fstream>

LogBaseline LogBaseline::Of(std::string_view content)
{
    return {content.size(), std::hash<std::string_view>{}(content)};
}

std::optional<std::string> ReadWholeLog(const std::filesystem::path& log)
{
    std::error_code error;
    if (!std::filesystem::exists(log, error))
        return std::nullopt;
    std::ifstream in(log, std::ios::binary);
    std::string bytes;
    char buffer[1 << 16];
    while (in) {
        in.read(buffer, sizeof buffer);
        bytes.append(buffer, static_cast<std::size_t>(in.gcount()));
    }
    return bytes;
}

LogSince CompareLog(const std::string& now, const LogBaseline& read)
{
    const bool grownOnly =
        now.size() >= read.bytes && LogBaseline::Of(std::string_view(now).substr(0, read.bytes)).hash == read.hash;
    if (!grownOnly)
        return {LogSince::Changed, {}};
    if (now.size() == read.bytes)
        return {LogSince::Unchanged, {}};
    return {LogSince::Grown, now.substr(read.bytes)};
}

std::string WithAppendedReports(std::string edited, const std::string& added)
{
    if (!edited.empty() && !edited.ends_with("\r\n"))
        edited += "\r\n";
    return edited + added;
}
