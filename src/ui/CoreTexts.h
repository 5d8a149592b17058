#pragma once

#include "base/Message.h"

#include <QString>
#include <string>

/// A text of the plain-C++ core in the chosen language. The core speaks German; the texts it
/// shows in the windows are listed here for the translators. A text made of parts joined by
/// ", " (a mode with its additions) is translated part by part; a text not listed (a message
/// with a path in it) stays as the core wrote it.
QString CoreText(const std::string& text);
/// A message of the core in the chosen language: its format translated (a format without values
/// as CoreText does it), then its values filled in.
QString CoreMessage(const Message& message);
