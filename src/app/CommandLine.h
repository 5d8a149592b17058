#pragma once

#include <optional>
#include <string>
#include <vector>

/// What the program was asked to do on its command line.
struct CommandLine
{
    bool help = false;
    bool version = false;
    bool list = false;
    std::optional<std::string> dataDir;
    std::string error; // not empty when the arguments could not be understood
};

CommandLine ParseCommandLine(const std::vector<std::string>& arguments);

/// The text --help prints.
std::string UsageText();
