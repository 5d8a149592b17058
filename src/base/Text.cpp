#include "base/Text.h"

#include <array>
#include <charconv>
#include <cstdint>

namespace {

// Windows-1252 0x80..0x9F; the five unassigned bytes map to the C1 code point of the same
// value, as Windows itself converts them.
constexpr std::array<char32_t, 32> Cp1252High = {0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
                                                 0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
                                                 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
                                                 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

void appendUtf8(std::string& out, char32_t c)
{
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (c >> 18));
        out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

// Length of the UTF-8 sequence that starts at i, or 0 when it is not a valid one.
std::size_t sequenceLength(std::string_view s, std::size_t i)
{
    const auto b0 = static_cast<unsigned char>(s[i]);
    if (b0 < 0x80)
        return 1;
    std::size_t len = 0;
    char32_t c = 0;
    if (b0 >= 0xC2 && b0 <= 0xDF) {
        len = 2;
        c = b0 & 0x1F;
    } else if (b0 >= 0xE0 && b0 <= 0xEF) {
        len = 3;
        c = b0 & 0x0F;
    } else if (b0 >= 0xF0 && b0 <= 0xF4) {
        len = 4;
        c = b0 & 0x07;
    } else {
        return 0;
    }
    if (i + len > s.size())
        return 0;
    for (std::size_t k = 1; k < len; ++k) {
        const auto b = static_cast<unsigned char>(s[i + k]);
        if ((b & 0xC0) != 0x80)
            return 0;
        c = (c << 6) | (b & 0x3F);
    }
    const bool overlong = (len == 3 && c < 0x800) || (len == 4 && c < 0x10000);
    const bool surrogate = c >= 0xD800 && c <= 0xDFFF;
    if (overlong || surrogate || c > 0x10FFFF)
        return 0;
    return len;
}

char32_t upperOf(char32_t c)
{
    if (c >= 'a' && c <= 'z')
        return c - 0x20;
    if (c < 0xE0)
        return c;
    if (c <= 0xFE)
        return c == 0xF7 ? c : c - 0x20;
    if (c == 0xFF)
        return 0x178;
    if ((c >= 0x100 && c <= 0x12F) || (c >= 0x132 && c <= 0x137) || (c >= 0x14A && c <= 0x177))
        return (c & 1) ? c - 1 : c;
    if ((c >= 0x139 && c <= 0x148) || (c >= 0x179 && c <= 0x17E))
        return (c & 1) ? c : c - 1;
    if (c >= 0x3B1 && c <= 0x3C9 && c != 0x3C2)
        return c - 0x20;
    if (c >= 0x430 && c <= 0x44F)
        return c - 0x20;
    if (c >= 0x450 && c <= 0x45F)
        return c - 0x50;
    return c;
}

} // namespace

std::size_t Utf8SequenceLength(std::string_view text, std::size_t i)
{
    return sequenceLength(text, i);
}

bool IsValidUtf8(std::string_view bytes)
{
    for (std::size_t i = 0; i < bytes.size();) {
        const std::size_t len = sequenceLength(bytes, i);
        if (len == 0)
            return false;
        i += len;
    }
    return true;
}

std::string Cp1252ToUtf8(std::string_view bytes)
{
    std::string out;
    out.reserve(bytes.size() + bytes.size() / 8);
    for (const char ch : bytes) {
        const auto b = static_cast<unsigned char>(ch);
        appendUtf8(out, b >= 0x80 && b <= 0x9F ? Cp1252High[b - 0x80] : static_cast<char32_t>(b));
    }
    return out;
}

std::string DecodeStoredText(std::string_view bytes)
{
    if (bytes.substr(0, 3) == "\xEF\xBB\xBF")
        bytes.remove_prefix(3);
    return IsValidUtf8(bytes) ? std::string(bytes) : Cp1252ToUtf8(bytes);
}

std::vector<std::string> DecodeStoredLines(std::string_view bytes)
{
    if (bytes.substr(0, 3) == "\xEF\xBB\xBF")
        bytes.remove_prefix(3);
    std::vector<std::string> lines = SplitLines(bytes);
    for (std::string& line : lines)
        if (!IsValidUtf8(line))
            line = Cp1252ToUtf8(line);
    return lines;
}

std::string EscapeReportLine(std::string_view line)
{
    static const char* const Hex = "0123456789ABCDEF";
    std::string out;
    out.reserve(line.size());
    for (std::size_t i = 0; i < line.size();) {
        const std::size_t len = sequenceLength(line, i);
        const auto b = static_cast<unsigned char>(line[i]);
        if (len > 1 || (len == 1 && (b >= 0x20 || b == '\t') && b != 0x7F)) {
            out.append(line.substr(i, len));
            i += len;
            continue;
        }
        if (b == '\r')
            out += "\\r";
        else if (b == '\n')
            out += "\\n";
        else
            out += std::string("\\x") + Hex[b >> 4] + Hex[b & 0xF];
        ++i;
    }
    return out;
}

std::string Trim(std::string_view text)
{
    std::size_t begin = 0;
    std::size_t end = text.size();
    while (begin < end && static_cast<unsigned char>(text[begin]) <= ' ')
        ++begin;
    while (end > begin && static_cast<unsigned char>(text[end - 1]) <= ' ')
        --end;
    return std::string(text.substr(begin, end - begin));
}

std::string UpperCase(std::string_view text)
{
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size();) {
        const std::size_t len = sequenceLength(text, i);
        if (len != 2) {
            // ASCII folds in place; longer sequences and stray bytes have no two-byte partner.
            const char ch = text[i];
            out += (ch >= 'a' && ch <= 'z') ? static_cast<char>(ch - 0x20) : ch;
            for (std::size_t k = 1; k < len; ++k)
                out += text[i + k];
            i += len == 0 ? 1 : len;
            continue;
        }
        const char32_t c = (static_cast<char32_t>(static_cast<unsigned char>(text[i]) & 0x1F) << 6) |
                           (static_cast<unsigned char>(text[i + 1]) & 0x3F);
        const char32_t u = upperOf(c);
        // Every mapping above stays within two-byte sequences, so positions are kept.
        appendUtf8(out, u >= 0x80 && u < 0x800 ? u : c);
        i += 2;
    }
    return out;
}

std::string LowerCaseAscii(std::string text)
{
    for (char& c : text)
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    return text;
}

bool SameText(std::string_view a, std::string_view b)
{
    return a.size() == b.size() && UpperCase(a) == UpperCase(b);
}

std::size_t FindNoCase(std::string_view haystack, std::string_view needle, std::size_t from)
{
    auto fold = [](char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 0x20) : c; };
    if (needle.size() > haystack.size())
        return std::string_view::npos;
    for (std::size_t i = from; i + needle.size() <= haystack.size(); ++i) {
        std::size_t k = 0;
        while (k < needle.size() && fold(haystack[i + k]) == fold(needle[k]))
            ++k;
        if (k == needle.size())
            return i;
    }
    return std::string_view::npos;
}

std::size_t CharCount(std::string_view text)
{
    std::size_t count = 0;
    for (const char ch : text)
        count += (static_cast<unsigned char>(ch) & 0xC0) != 0x80 ? 1 : 0;
    return count;
}

std::string CutToChars(std::string_view text, std::size_t count)
{
    std::size_t seen = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if ((static_cast<unsigned char>(text[i]) & 0xC0) != 0x80) {
            if (seen == count)
                return std::string(text.substr(0, i));
            ++seen;
        }
    }
    return std::string(text);
}

std::vector<std::string> SplitLines(std::string_view text)
{
    std::vector<std::string> lines;
    std::size_t start = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '\r' && text[i] != '\n')
            continue;
        lines.emplace_back(text.substr(start, i - start));
        if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n')
            ++i;
        start = i + 1;
    }
    if (start < text.size())
        lines.emplace_back(text.substr(start));
    return lines;
}

bool ParseInteger(std::string_view text, long long minimum, long long maximum, long long& result)
{
    if (!text.empty() && text.front() == '+')
        text.remove_prefix(1);
    if (text.empty() || text.front() == '+')
        return false;
    long long value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size() || value < minimum || value > maximum)
        return false;
    result = value;
    return true;
}

std::string JoinCommaText(const std::vector<std::string>& lines)
{
    if (lines.size() == 1 && lines.front().empty())
        return "\"\"";
    std::string joined;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        if (i > 0)
            joined += ',';
        const std::string& line = lines[i];
        if (line.find_first_of(" ,\"") == std::string::npos) {
            joined += line;
            continue;
        }
        joined += '"';
        for (const char c : line) {
            if (c == '"')
                joined += '"';
            joined += c;
        }
        joined += '"';
    }
    return joined;
}

std::vector<std::string> SplitCommaText(std::string_view text)
{
    std::vector<std::string> items;
    std::string item;
    bool quoted = false;
    bool any = false;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (quoted) {
            if (c == '"' && i + 1 < text.size() && text[i + 1] == '"') {
                item += '"';
                ++i;
            } else if (c == '"') {
                quoted = false;
            } else {
                item += c;
            }
        } else if (c == '"') {
            quoted = true;
            any = true;
        } else if (c == ',' || c == ' ') {
            if (c == ',' || !item.empty() || any)
                items.push_back(item);
            item.clear();
            any = false;
        } else {
            item += c;
            any = true;
        }
    }
    if (!item.empty() || any || (!text.empty() && text.back() == ','))
        items.push_back(item);
    return items;
}

std::string EscapeField(std::string_view text)
{
    std::string field;
    for (const char c : text) {
        switch (c) {
        case '\\':
            field += "\\\\";
            break;
        case '\n':
            field += "\\n";
            break;
        case '\r':
            field += "\\r";
            break;
        case '\t':
            field += "\\t";
            break;
        default:
            field += c;
        }
    }
    return field;
}

std::string UnescapeField(std::string_view field)
{
    std::string text;
    for (std::size_t i = 0; i < field.size(); ++i) {
        if (field[i] != '\\' || i + 1 == field.size()) {
            text += field[i];
            continue;
        }
        const char next = field[++i];
        text += next == 'n' ? '\n' : next == 'r' ? '\r' : next == 't' ? '\t' : next;
    }
    return text;
}
