#pragma once

#include "profiles/TProfile.h"

#include <string>
#include <vector>

// What the profile wizard decides without any widget: which page follows which, and how the
// typed lists become profile fields.

/// The wizard's pages, in order.
enum WizardPage : int
{
    PageIntro = 0,    // "Intro": the name and the advanced switch
    PageHow = 1,      // "wie": the kind of job
    PageSource = 2,   // "quelle": folders and filters
    PageDest = 3,     // "ziel": destination, FTP
    PageCompress = 4, // "compress": ZIP
    PageWhen = 5,     // "wann": schedule
    PageOption = 6,   // "option": priority, attributes, programs (advanced only)
};

/// What decides the page sequence.
struct WizardFlow
{
    std::uint8_t backupType = BackupFull;
    bool ftp = false;
    bool advanced = false;
};

/// The last page: the options page in advanced mode, else the schedule.
int LastWizardPage(bool advanced);
/// The page "Weiter >" leads to: synchronisation, move and FTP skip the compression page, deleting
/// skips destination and compression.
int NextWizardPage(int current, const WizardFlow& flow);
/// The page "< Zurück" leads to (the same skips backwards); never before the first page.
int PreviousWizardPage(int current, const WizardFlow& flow);

/// Filter lines as the profile keeps them: each line with text, as typed, followed by ";".
std::string JoinMaskLines(const std::vector<std::string>& lines);
/// Typed source lines without the blank ones and without the spaces around them (a run would
/// read " /home/anna/" as a relative path); synchronisation keeps only the first.
std::vector<std::string> CleanSourceLines(const std::vector<std::string>& lines, bool synchronise);
