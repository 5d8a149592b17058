#pragma once

#include <QString>

class QAbstractButton;
class QWidget;

/// A click where a user clicks: check boxes and radio buttons at the left, on their box (a wide
/// one is not hit in its empty middle). The button must be visible and enabled.
void Click(QAbstractButton* button);
/// Key presses for each character: umlauts by their text (which QTest::keyClicks cannot type), a
/// line break as Return.
void KeyClicks(QWidget* widget, const QString& text);
/// Types into a field as a user does: the old text selected and typed over (or deleted for an
/// empty text), then Tab leaves it.
void Type(QWidget* field, const QString& text);
