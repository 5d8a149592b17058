#pragma once

#include <string>
#include <utility>

/// Runs a command line with the shell: whether it succeeded, and what it printed (standard
/// output and standard error together).
std::pair<bool, std::string> RunShell(const std::string& command);
