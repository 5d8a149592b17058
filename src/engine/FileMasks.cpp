#include "engine/FileMasks.h"

#include "base/Text.h"
#include "scheduler/ScheduleText.h"

namespace {

// Classic wildcard matching with backtracking to the last "*": linear in practice.
bool wildcard(const std::string& text, const std::string& mask)
{
    std::size_t t = 0;
    std::size_t m = 0;
    std::size_t star = std::string::npos;
    std::size_t resume = 0;
    while (t < text.size()) {
        if (m < mask.size() && (mask[m] == '?' || mask[m] == text[t])) {
            ++t;
            ++m;
        } else if (m < mask.size() && mask[m] == '*') {
            star = m++;
            resume = t;
        } else if (star != std::string::npos) {
            m = star + 1;
            t = ++resume;
        } else {
            return false;
        }
    }
    while (m < mask.size() && mask[m] == '*')
        ++m;
    return m == mask.size();
}

} // namespace

std::vector<std::string> MaskEntries(const std::string& list)
{
    std::vector<std::string> entries;
    for (int n = 1;; ++n) {
        std::string entry = ExtractToken(list, ';', n);
        if (entry.empty())
            break;
        entries.push_back(std::move(entry));
    }
    return entries;
}

std::vector<std::string> IncludeMasks(const std::string& addfiles)
{
    if (Trim(addfiles).empty())
        return {"*.*"};
    std::vector<std::string> masks;
    for (const std::string& entry : MaskEntries(addfiles)) {
        std::string mask = Trim(entry);
        if (!mask.empty())
            masks.push_back(std::move(mask));
    }
    return masks;
}

bool MatchesSearchMask(const std::string& name, const std::string& mask)
{
    if (mask == "*.*" || mask == "*")
        return true; // the usual case, and every file passes it
    const std::string n = UpperCase(name);
    const std::string m = UpperCase(mask);
    if (wildcard(n, m))
        return true;
    // The file search lets ".*" at the end match a name without an extension, and "name."
    // match the name without a dot.
    if (m.size() >= 2 && m.compare(m.size() - 2, 2, ".*") == 0 && n.find('.') == std::string::npos)
        return wildcard(n, m.substr(0, m.size() - 2));
    if (!m.empty() && m.back() == '.' && n.find('.') == std::string::npos)
        return wildcard(n, m.substr(0, m.size() - 1));
    return false;
}

bool MatchFileMask(const std::string& name, const std::string& mask)
{
    return MatchMask(UpperCase(ExtractToken(name, '.', 1)), UpperCase(ExtractToken(mask, '.', 1))) &&
           MatchMask(UpperCase(ExtractToken(name, '.', 2)), UpperCase(ExtractToken(mask, '.', 2)));
}

bool MatchMask(const std::string& text, const std::string& mask)
{
    if (text == mask)
        return true;
    if (text.empty() || mask.empty())
        return false;
    const std::size_t star = mask.find('*');
    if (star == std::string::npos && text.size() != mask.size())
        return false;
    const std::size_t end = star == std::string::npos ? mask.size() : star;
    for (std::size_t i = 0; i < end; ++i) {
        if (i >= text.size())
            return false;
        if (mask[i] != '?' && mask[i] != text[i])
            return false;
    }
    return true;
}
