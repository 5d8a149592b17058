#pragma once

#include <string>
#include <string_view>
#include <vector>

/// A text for the user: a German format with the places %1 … %9 and the values that fill them
/// (names, paths, numbers). The windows translate the format and then fill in the values, so that
/// a message with a name in it is in the program's language; without windows the German text is
/// shown. A plain text converts to a message without values, in which "%1" is no place.
struct Message
{
    std::string format;
    std::vector<std::string> values;

    Message(std::string text) : format(std::move(text)) {} // NOLINT: a plain text is a message
    Message(const char* text) : format(text) {}            // NOLINT: likewise
    Message(std::string formatText, std::vector<std::string> filling)
        : format(std::move(formatText)), values(std::move(filling))
    {
    }

    /// The German text: the format with its values.
    std::string German() const { return FillPlaces(format, values); }

    /// format with each %1 … %9 replaced by its value, in one pass: a value that holds "%2" stays
    /// as it is. A place without a value stays as it is too; without values nothing is replaced.
    static std::string FillPlaces(std::string_view format, const std::vector<std::string>& values);
};
