#pragma once

#include "app/Dialogs.h"
#include "app/ProgramView.h"
#include "app/RunOutcome.h"
#include "engine/RunObserver.h"

/// How grave a notice is; its caption says "Fehler", "Warnung" or "Information".
enum class Notice
{
    Error,
    Warning,
    Info,
};

/// What the user sees of the program: its views, its message boxes and a run's progress. The
/// windows are one front end, the program without windows another.
class FrontEnd : public Dialogs, public ProgramView, public RunObserver
{
public:
    /// Tells the user what the program found by itself (at start-up, after a run, on saving)
    /// without waiting for them: nothing the program does waits for a person.
    virtual void Notify(Notice kind, const Message& text) = 0;
    /// How a run ended, or that a profile is overdue: told once it is so, never asked.
    virtual void TellOutcome(const RunOutcome& outcome) = 0;
    /// The program ends: from now on no box waits for an answer (a question gets the safe one),
    /// and the boxes and dialogs open now are closed.
    virtual void ProgramEnding() = 0;
};
