#pragma once

#include <QIcon>

/// The pictures of a profile's state and of the tray: 0 idle, 1 errors, 2 running, 3 paused, 4 to 8
/// the frames of the running animation (one numbering for the rows and the tray).
QIcon StateIcon(int index);
/// The picture of a command ("new", "delete", "properties", "run", "pause", "stop", "log") or of a
/// view style ("view-large", …).
QIcon CommandIcon(const QString& name);
/// The program's own picture.
QIcon ProgramIcon();

inline constexpr int StateIdle = 0;
inline constexpr int StateErrors = 1;
inline constexpr int StateRunning = 2;
inline constexpr int StatePaused = 3;
inline constexpr int FirstAnimationFrame = 4;
inline constexpr int AnimationFrames = 5;
