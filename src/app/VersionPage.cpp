#include "app/VersionPage.h"

#include "base/Text.h"

#include <charconv>

namespace {

int NumberOr0(std::string_view text)
{
    const std::size_t first = text.find_first_not_of(' ');
    if (first == std::string_view::npos)
        return 0;
    text.remove_prefix(first);
    int value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    return error == std::errc() && end == text.data() + text.size() ? value : 0;
}

} // namespace

VersionPage ParseVersionPage(std::string_view text)
{
    VersionPage page;
    for (std::size_t field = 0; field < 4; ++field)
        page.version[field] = NumberOr0(text.substr(std::min(text.size(), field * 3), 3));
    std::string message = CutToChars(text.substr(std::min<std::size_t>(text.size(), 12)), 5000);
    for (char& c : message)
        if (c == '#')
            c = '\n';
    page.message = std::move(message);
    return page;
}

VersionNumbers ParseVersion(std::string_view dotted)
{
    VersionNumbers numbers{};
    for (std::size_t field = 0; field < 4 && !dotted.empty(); ++field) {
        const std::size_t dot = dotted.find('.');
        numbers[field] = NumberOr0(dotted.substr(0, dot));
        dotted = dot == std::string_view::npos ? std::string_view() : dotted.substr(dot + 1);
    }
    return numbers;
}

bool IsNewer(const VersionNumbers& candidate, const VersionNumbers& own)
{
    for (std::size_t field = 0; field < 4; ++field)
        if (candidate[field] != own[field])
            return candidate[field] > own[field];
    return false;
}
