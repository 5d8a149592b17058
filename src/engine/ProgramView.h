#pragma once

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
};
