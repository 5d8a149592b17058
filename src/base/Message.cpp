#include "base/Message.h"

std::string Message::FillPlaces(std::string_view format, const std::vector<std::string>& values)
{
    std::string out;
    out.reserve(format.size());
    for (std::size_t i = 0; i < format.size(); ++i) {
        const char next = i + 1 < format.size() ? format[i + 1] : '\0';
        if (format[i] == '%' && next >= '1' && next <= '9' && static_cast<std::size_t>(next - '1') < values.size()) {
            out += values[static_cast<std::size_t>(next - '1')];
            ++i;
        } else
            out += format[i];
    }
    return out;
}
