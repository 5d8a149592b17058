#pragma once

#include <QString>
#include <functional>

/// The user manual: HTML pages in German and English, installed beside the program (and found in
/// the source tree when the program runs from its build folder).
class Help final
{
public:
    /// Opens a page of the manual ("index.html", "window.html#pause") in the language with the
    /// desktop's viewer; false when there is no manual or no viewer.
    static bool Open(int language, const QString& page);
    /// The folder of the manual in that language, or empty when there is none.
    static QString ManualFolder(int language);
    /// Where the manual would open, for the message when it cannot.
    static QString FailureText(int language);

    /// Replaces the desktop's viewer (tests).
    static std::function<bool(const QString& url)>& opener();
};
