#pragma once

#include <QProcessEnvironment>
#include <QStringList>
#include <filesystem>
#include <string>

// The tresorio executable, started as a process with a home folder of its own.

struct Outcome
{
    int exitCode = -1; // -1 when it did not end normally
    std::string out;
    std::string err;
};

/// The environment of a copy whose home, desktop folders and runtime folder lie below home.
QProcessEnvironment environmentFor(const std::filesystem::path& home);

/// Runs tresorio with arguments until it ends; asNobody runs it as the user "nobody", for whom
/// permissions count (the tests run as root, who may read and write everything).
Outcome runTresorio(const QStringList& arguments, const std::filesystem::path& home, bool asNobody = false);

/// Runs tresorio with arguments under another program (its command line before tresorio's own:
/// setpriv, strace) until it ends.
Outcome runTresorioUnder(const QStringList& wrapper, const QStringList& arguments, const std::filesystem::path& home);

QString q(const std::filesystem::path& p);
