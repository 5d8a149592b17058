#include "support/Shell.h"

#include <cstdio>

std::pair<bool, std::string> RunShell(const std::string& command)
{
    std::string out;
    FILE* pipe = ::popen((command + " 2>&1").c_str(), "r");
    if (pipe == nullptr)
        return {false, {}};
    char buffer[4096];
    while (std::size_t n = std::fread(buffer, 1, sizeof buffer, pipe))
        out.append(buffer, n);
    return {::pclose(pipe) == 0, out};
}
