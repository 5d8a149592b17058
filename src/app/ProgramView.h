#pragma once

#include "scheduler/NextTaskView.h"

#include <string>

/// What the program shows of its profiles and its run: the windows, the headless front end and
/// the tests each provide it.
class ProgramView
{
public:
    virtual ~ProgramView() = default;
    /// The rows, their texts and the details changed.
    virtual void UpdateProfileList() = 0;
    /// The running profile ("Name (Modus)") while active, else the idle layout.
    virtual void ShowActive(bool active, const std::string& profileText) = 0;
    /// The profile that runs next, after every new choice of it.
    virtual void ShowNextTask(const NextTaskView& next) = 0;
    /// The scheduler was paused or goes on again ("Aktiv" / "Pausiert..." is statusWord).
    virtual void ShowPaused(bool paused, const std::string& statusWord) = 0;
    /// Another start of the program asks this one to show itself.
    virtual void ComeToFront() = 0;
    /// The settings are about to be written: the windows put their placement and view into them.
    virtual void KeepViewSettings() {}
};
