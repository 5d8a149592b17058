#pragma once

#include <QString>
#include <string>

/// A text of the plain-C++ core in the chosen language. The core speaks German; the texts it
/// shows in the windows are listed here for the translators. A text made of parts joined by
/// ", " (a mode with its additions) is translated part by part; a text not listed (a message
/// with a path in it) stays as the core wrote it.
QString CoreText(const std::string& text);
