#include "engine/KeptMetadata.h"

#include "base/Text.h"
#include "platform/AtomicFile.h"
#include "platform/RawFile.h"

#include <cstdio>

namespace {

char kindLetter(EntryKind kind)
{
    switch (kind) {
    case EntryKind::Folder:
        return 'd';
    case EntryKind::Link:
        return 'l';
    case EntryKind::Fifo:
        return 'p';
    default:
        return 'f';
    }
}

std::optional<EntryKind> kindOf(std::string_view letter)
{
    if (letter == "f")
        return EntryKind::File;
    if (letter == "d")
        return EntryKind::Folder;
    if (letter == "l")
        return EntryKind::Link;
    if (letter == "p")
        return EntryKind::Fifo;
    return std::nullopt;
}

std::string hex(const std::string& bytes)
{
    static const char digits[] = "0123456789abcdef";
    std::string text;
    for (const unsigned char c : bytes) {
        text += digits[c >> 4];
        text += digits[c & 15];
    }
    return text;
}

std::optional<std::string> unhex(std::string_view text)
{
    if (text.size() % 2 != 0)
        return std::nullopt;
    auto value = [](char c) { return c >= '0' && c <= '9' ? c - '0' : c >= 'a' && c <= 'f' ? c - 'a' + 10 : -1; };
    std::string bytes;
    for (std::size_t i = 0; i < text.size(); i += 2) {
        const int high = value(text[i]);
        const int low = value(text[i + 1]);
        if (high < 0 || low < 0)
            return std::nullopt;
        bytes += static_cast<char>(high * 16 + low);
    }
    return bytes;
}

std::vector<std::string_view> fieldsOf(std::string_view line)
{
    std::vector<std::string_view> fields;
    for (std::size_t start = 0;;) {
        const std::size_t tab = line.find('\t', start);
        fields.push_back(line.substr(start, tab == std::string_view::npos ? std::string_view::npos : tab - start));
        if (tab == std::string_view::npos)
            return fields;
        start = tab + 1;
    }
}

template <typename Number> bool number(std::string_view text, int base, Number& out)
{
    long long value = 0;
    if (base == 8) {
        if (text.empty() || text.find_first_not_of("01234567") != std::string_view::npos || text.size() > 6)
            return false;
        value = std::stoll(std::string(text), nullptr, 8);
    } else if (!ParseInteger(text, -(1LL << 62), 1LL << 62, value)) {
        return false;
    }
    out = static_cast<Number>(value);
    return true;
}

} // namespace

void KeptMetadata::Add(const std::string& path, const FileEntry& source, std::string linkTarget,
                       std::vector<std::pair<std::string, std::string>> attributes)
{
    m_entries[path] = {source.kind,    source.mode,           source.uid,           source.gid,
                       source.mtimeNs, std::move(linkTarget), std::move(attributes)};
}

std::string KeptMetadata::Format(const std::map<std::string, Entry>& entries)
{
    std::string text = std::string(Heading) + "\n";
    char octal[16];
    for (const auto& [path, e] : entries) {
        std::snprintf(octal, sizeof octal, "%o", e.mode);
        text += EscapeField(path) + "\t" + kindLetter(e.kind) + "\t" + octal + "\t" + std::to_string(e.uid) + "\t" +
                std::to_string(e.gid) + "\t" + std::to_string(e.mtimeNs) + "\t" + EscapeField(e.linkTarget);
        for (const auto& [name, value] : e.attributes)
            text += "\t" + EscapeField(name) + "=" + hex(value);
        text += "\n";
    }
    return text;
}

std::map<std::string, KeptMetadata::Entry> KeptMetadata::Parse(const std::string& content)
{
    std::map<std::string, Entry> entries;
    const std::vector<std::string> lines = SplitLines(content);
    if (lines.empty() || lines.front() != Heading)
        return entries;
    for (std::size_t i = 1; i < lines.size(); ++i) {
        const auto fields = fieldsOf(lines[i]);
        Entry e;
        const auto kind = fields.size() >= 7 ? kindOf(fields[1]) : std::nullopt;
        if (!kind || !number(fields[2], 8, e.mode) || !number(fields[3], 10, e.uid) || !number(fields[4], 10, e.gid) ||
            !number(fields[5], 10, e.mtimeNs))
            continue;
        e.kind = *kind;
        e.linkTarget = UnescapeField(fields[6]);
        bool readable = true;
        for (std::size_t f = 7; f < fields.size() && readable; ++f) {
            const std::size_t equals = fields[f].rfind('=');
            const auto value = equals == std::string_view::npos ? std::nullopt : unhex(fields[f].substr(equals + 1));
            readable = value.has_value();
            if (readable)
                e.attributes.emplace_back(UnescapeField(fields[f].substr(0, equals)), *value);
        }
        if (readable)
            entries[UnescapeField(fields[0])] = std::move(e);
    }
    return entries;
}

std::optional<std::string> KeptMetadata::Write(const std::string& file) const
{
    std::map<std::string, Entry> all;
    std::string error;
    if (const auto earlier = RawFile::Open(file, RawFile::Mode::Read, error)) {
        std::string content(earlier->Size(), '\0');
        const std::int64_t n = earlier->Read(content.data(), content.size(), error);
        content.resize(n < 0 ? 0 : static_cast<std::size_t>(n));
        all = Parse(content);
    }
    for (const auto& [path, e] : m_entries)
        all[path] = e;
    return WriteFileAtomically(file, Format(all), true);
}
