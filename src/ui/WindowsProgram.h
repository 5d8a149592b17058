#pragma once

#include "app/Program.h"

/// Runs the program with its windows: the splash (not for a command-line run), the main window
/// and the tray icon; returns the exit status.
int RunWithWindows(int argc, char** argv, const ProgramOptions& options, Platform& platform);
