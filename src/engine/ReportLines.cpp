#include "engine/ReportLines.h"

#include "base/ResultCodes.h"
#include "base/Text.h"
#include "platform/FileSystem.h"
#include "profiles/ProfileRowTexts.h"

#include <cmath>
#include <cstdio>
#include <optional>

namespace {

std::string line(const std::string& word, const std::string& value)
{
    return ReportLabel(word) + value;
}

std::string ftpModeText(std::uint8_t mode)
{
    return mode == 0 ? "Auto" : mode == 1 ? "Text" : "Binär";
}

// Rounding halves to the even neighbour, as the report has always done.
std::int64_t roundHalfEven(double value)
{
    return static_cast<std::int64_t>(std::nearbyint(value));
}

} // namespace

std::string ReportLabel(const std::string& word)
{
    // Padded by characters, not bytes: "Grösse" has an umlaut.
    std::string label = word;
    for (std::size_t chars = CharCount(word); chars < 22; ++chars)
        label += ' ';
    return label + ": ";
}

std::string FileErrorLine(const std::string& text, std::int32_t code, const std::string& message)
{
    return std::string(ErrorPrefix) + text + " (" + ResultMessage(code, message) + ")";
}

std::vector<std::string> ReportHeaderTop(const ReportHeaderData& d)
{
    const TProfile& p = *d.profile;
    std::vector<std::string> lines = {RuleLine, line("Profil", p.Name), RuleLine};
    for (const std::string& source : d.sources)
        lines.push_back(line("Quelle", source));
    if (p.Withsub)
        lines.push_back(std::string(24, ' ') + "Mit Unterverzeichnissen");
    if (p.FTP) {
        lines.push_back(line("Ziel", "FTP"));
        lines.push_back("  FTP-Server          : " + p.FTPServer);
        lines.push_back("  FTP-Übertragungsart : " + ftpModeText(p.FTPMode));
        if (p.FTPPassive)
            lines.push_back("  FTP-Modus           : Passiv");
    }
    lines.push_back(line("Ziel", d.destination + (p.Compress ? " (Zip: " + d.archiveName + ")" : "")));
    if (p.DiskSpan)
        lines.push_back(std::string(24, ' ') + (p.DiskSpanFormat ? "Über mehrere Medien verteilen, vorher formattieren"
                                                                 : "Über mehrere Medien verteilen"));
    return lines;
}

std::vector<std::string> ReportHeaderBottom(const ReportHeaderData& d)
{
    const TProfile& p = *d.profile;
    return {line("Modus", BackupTypeText(p.Backuptype)), line("Einschliessen", p.Addfiles),
            line("Ausschliessen", p.Exclfiles),          ThinRuleLine,
            line("Datum", FormatDate(d.start)),          line("Startzeit", FormatTime(d.start))};
}

std::vector<std::string> ReportFooter(const ReportFooterData& d)
{
    const TProfile& p = *d.profile;
    std::vector<std::string> lines;
    if (d.anyLogSetting)
        lines.push_back(ThinRuleLine);
    lines.push_back(line("Verzeichn. durchsucht", std::to_string(d.stats.foldersScanned)));
    lines.push_back(line("Dateien durchsucht", std::to_string(d.stats.filesScanned)));
    lines.push_back(line("Anzahl kopiert", std::to_string(d.stats.filesDone)));
    lines.push_back(line("Grösse kopiert", std::to_string(d.stats.bytesDone)));
    lines.push_back(
        line("MB/Minute", std::to_string(MegabytesPerMinute(d.stats.bytesDone, d.start, d.end)) + " MB/min"));
    // An archive no smaller than its data (small files, data compressed already) has no rate
    // to speak of, least of all a negative one of thousands of percent.
    if (p.Compress && !p.DiskSpan)
        lines.push_back(line("Komprimierungsrate",
                             d.stats.compressionRate > 0 ? std::to_string(d.stats.compressionRate) + "%" : "-"));
    lines.push_back(line("Fehleranzahl", std::to_string(d.stats.errorCount)));
    lines.push_back(line("Endzeit", FormatTime(d.end)));
    lines.push_back(line("Sicherungsdauer", FormatDuration(d.start, d.end)));
    lines.push_back(line("Ende Profil", p.Name));
    lines.push_back(RuleLine);
    lines.push_back("");
    return lines;
}

std::int32_t MegabytesPerMinute(std::int64_t bytes, DateTime start, DateTime end)
{
    const double seconds = static_cast<double>(ToLinearMs(end) - ToLinearMs(start)) / 1000.0;
    if (seconds <= 0.0)
        return 0;
    return static_cast<std::int32_t>(roundHalfEven(static_cast<double>(bytes) / seconds / 1024.0 / 1024.0 * 60.0));
}

std::string FormatDuration(DateTime start, DateTime end)
{
    const std::int64_t seconds = std::max<std::int64_t>(0, (ToLinearMs(end) - ToLinearMs(start)) / 1000);
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "%02lld:%02lld:%02lld", static_cast<long long>(seconds / 3600),
                  static_cast<long long>(seconds / 60 % 60), static_cast<long long>(seconds % 60));
    return buffer;
}

std::int32_t CompressionRateOf(std::int64_t archiveSize, std::int64_t bytes)
{
    if (bytes <= 0)
        return 0;
    return static_cast<std::int32_t>(
        100 - roundHalfEven(static_cast<double>(archiveSize) * 100.0 / static_cast<double>(bytes)));
}

std::string FormatTime(DateTime moment)
{
    const ClockTime t = DecodeTime(moment);
    char buffer[16];
    std::snprintf(buffer, sizeof buffer, "%02d:%02d:%02d", t.hour, t.minute, t.second);
    return buffer;
}

std::vector<std::string> MetadataLossLines(unsigned losses, const std::string& missing)
{
    std::vector<std::string> lines;
    if ((losses & OwnersNotKept) != 0)
        lines.push_back("Hinweis: Besitzer und Gruppen anderer Benutzer wurden nicht übernommen (das darf nur root)");
    if ((losses & AttributesNotKept) != 0)
        lines.push_back("Hinweis: Das Ziel kann erweiterte Attribute und ACLs nicht speichern; " + missing);
    return lines;
}

std::string FirstErrorOf(const std::vector<std::string>& report)
{
    const std::string_view prefix = ErrorPrefix;
    const auto errorText = [&](std::size_t i) -> std::optional<std::string> {
        if (i >= report.size() || !report[i].starts_with(prefix))
            return std::nullopt;
        return Trim(std::string_view(report[i]).substr(prefix.size()));
    };
    for (std::size_t i = 0; i < report.size(); ++i) {
        const std::optional<std::string> text = errorText(i);
        if (!text)
            continue;
        std::string plain = *text;
        // A cause on a line of its own: "(3 - kein Medium eingehängt)".
        if (const std::optional<std::string> next = errorText(i + 1);
            next && next->size() > 2 && next->front() == '(' && next->back() == ')') {
            const std::string inner = next->substr(1, next->size() - 2);
            const std::size_t dash = inner.find(" - ");
            plain += ": " + (dash == std::string::npos ? inner : inner.substr(dash + 3));
        }
        return plain;
    }
    return {};
}
