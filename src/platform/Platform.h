#pragma once

#include "base/DateTime.h"

#include <string>

/// Folders the placeholders and the desktop link name.
enum class SpecialFolder
{
    Programs, // the user's application menu entries
    Personal, // the user's documents folder
    Desktop,
    Windows, // the system's configuration folder
    System,  // the system's library folder
    Home,    // the user's home folder
};

/// The operating system as the program sees it. The core never asks the system directly; it is
/// handed a Platform, so that tests can run every rule with a fake one.
class Platform
{
public:
    virtual ~Platform() = default;

    /// The current local wall-clock time.
    virtual DateTime Now() = 0;
    /// The login name of the user the program runs as; empty when it cannot be found.
    virtual std::string UserName() = 0;
    /// The computer's name (the host name up to its first dot); empty when it cannot be found.
    virtual std::string ComputerName() = 0;
    /// The folder's path without a trailing separator; empty when it cannot be found.
    virtual std::string SpecialFolderPath(SpecialFolder folder) = 0;

    /// Sets the priority of the calling thread: -2 lowest … 2 highest (the higher levels only
    /// where the system permits them).
    virtual void SetCurrentThreadPriority(int level) = 0;

    /// Whether the program starts with the user's desktop session.
    virtual bool AutostartRegistered() = 0;
    /// Registers (on) or removes (off) the start with the desktop session; false when that failed.
    virtual bool SetAutostart(bool on) = 0;
};

/// Query (without a value) or set and then query the autostart registration.
bool AutostartEntry(Platform& platform);
bool AutostartEntry(Platform& platform, bool on);
