#include "UserInput.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QRadioButton>
#include <QTest>
#include <gtest/gtest.h>

void Click(QAbstractButton* button)
{
    ASSERT_TRUE(button->isVisible()) << button->text().toStdString();
    ASSERT_TRUE(button->isEnabled()) << button->text().toStdString();
    const bool box = qobject_cast<QCheckBox*>(button) || qobject_cast<QRadioButton*>(button);
    QTest::mouseClick(button, Qt::LeftButton, {}, box ? QPoint(8, button->height() / 2) : QPoint());
}

void KeyClicks(QWidget* widget, const QString& text)
{
    for (const QChar c : text) {
        if (c == QLatin1Char('\n'))
            QTest::keyClick(widget, Qt::Key_Return);
        else if (c.unicode() < 0x80)
            QTest::keyClick(widget, c.toLatin1());
        else
            QTest::sendKeyEvent(QTest::Click, widget, Qt::Key_unknown, QString(c), Qt::NoModifier);
    }
}

void Type(QWidget* field, const QString& text)
{
    field->setFocus();
    QTest::keyClick(field, Qt::Key_A, Qt::ControlModifier);
    if (text.isEmpty())
        QTest::keyClick(field, Qt::Key_Delete);
    else
        KeyClicks(field, text);
    QTest::keyClick(field, Qt::Key_Tab);
}
