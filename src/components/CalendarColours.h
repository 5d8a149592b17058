#pragma once

#include <QColor>
#include <QPalette>

/// The colours a calendar marks its days with.
struct CalendarColours
{
    QColor today{255, 0, 0};
    QColor sunday{128, 0, 0};
    QColor saturday = QPalette().color(QPalette::WindowText);
    QColor holiday{0, 128, 0};
    QColor week = QPalette().color(QPalette::Highlight);
};
