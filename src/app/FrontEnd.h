#pragma once

#include "engine/Dialogs.h"
#include "engine/ProgramView.h"
#include "engine/RunObserver.h"

/// What the user sees of the program: its views, its message boxes and a run's progress. The
/// windows are one front end, the program without windows another.
class FrontEnd : public Dialogs, public ProgramView, public RunObserver
{
};
