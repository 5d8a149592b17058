#include "components/ECalendarPanel.h"
#include "components/ECalendarPopup.h"
#include "components/EEditDate.h"

#include <QApplication>
#include <QLabel>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QToolButton>
#include <gtest/gtest.h>

namespace {

DateTime day(int year, int month, int dayOfMonth)
{
    return *TryEncodeDate(year, month, dayOfMonth);
}

class DateFieldTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        field.setToday(day(2026, 12, 10));
        field.show();
        field.setFocus();
    }
    void TearDown() override { EEditDate::beforeDropDown() = nullptr; }
    // Types the text and presses Enter, as leaving the field does.
    void type(const QString& text)
    {
        field.clear();
        QTest::keyClicks(&field, text);
        QTest::keyClick(&field, Qt::Key_Return);
    }

    EEditDate field;
};

TEST_F(DateFieldTest, TypedDatesAreShownWithTheirWeekdayOrRefused)
{
    QSignalSpy refused(&field, &EEditDate::refused);
    type("24122004");
    EXPECT_EQ(field.text(), "Fr 24.12.2004");
    EXPECT_EQ(field.Datum(), day(2004, 12, 24));
    EXPECT_EQ(refused.count(), 0);

    type("31.02.2004");
    EXPECT_EQ(field.text(), "");
    EXPECT_EQ(field.Datum(), 0.0);
    EXPECT_EQ(refused.count(), 1);

    // Letters never get in.
    field.clear();
    QTest::keyClicks(&field, "a1b.2-c");
    EXPECT_EQ(field.text(), "1.2");

    // An empty field is no date, and wrong only when a date is required.
    type("");
    EXPECT_EQ(refused.count(), 1);
    field.setRequired(true);
    type("");
    EXPECT_EQ(refused.count(), 2);
}

TEST_F(DateFieldTest, ConvertDateMovesTypedDatesAHundredYears)
{
    field.setConvertDate(ConvertDate::cdPast);
    type("01.01.2050");
    EXPECT_EQ(field.Datum(), day(1950, 1, 1));
    field.setConvertDate(ConvertDate::cdFuture);
    type("01.01.1990");
    EXPECT_EQ(field.Datum(), day(2090, 1, 1));
}

TEST_F(DateFieldTest, TheCalendarChoosesWithKeysTodayOrNone)
{
    type("31.01.2004");
    // F4 opens the calendar at the typed day; Page Down goes a month on (to the month's last day),
    // Right one day, Enter takes it.
    EEditDate::beforeDropDown() = [](ECalendarPopup& popup) {
        EXPECT_EQ(popup.panel().Datum(), day(2004, 1, 31));
        QTest::keyClick(&popup.panel(), Qt::Key_PageDown);
        EXPECT_EQ(popup.panel().Datum(), day(2004, 2, 29));
        QTest::keyClick(&popup.panel(), Qt::Key_Right);
        QTest::keyClick(&popup.panel(), Qt::Key_Return);
    };
    QSignalSpy clicked(&field, &EEditDate::clicked);
    QTest::keyClick(&field, Qt::Key_F4);
    EXPECT_EQ(field.Datum(), day(2004, 3, 1));
    EXPECT_EQ(field.text(), "Mo 01.03.2004");
    EXPECT_EQ(clicked.count(), 1);

    EEditDate::beforeDropDown() = [](ECalendarPopup& popup) { popup.noneButton()->click(); };
    QTest::keyClick(&field, Qt::Key_Down, Qt::AltModifier);
    EXPECT_EQ(field.Datum(), 0.0);
    EXPECT_EQ(field.text(), "");

    // Escape leaves the date as it was.
    type("24.12.2004");
    EEditDate::beforeDropDown() = [](ECalendarPopup& popup) {
        QTest::keyClick(&popup.panel(), Qt::Key_Right);
        QTest::keyClick(&popup.panel(), Qt::Key_Escape);
    };
    field.DropDown();
    EXPECT_EQ(field.Datum(), day(2004, 12, 24));

    // A read-only field opens no calendar.
    field.setReadOnlyDate(true);
    EXPECT_FALSE(field.button()->isEnabled());
}

TEST(CalendarPanelTest, KeysAndMouseMoveTheSelectedDay)
{
    ECalendarPanel panel;
    panel.resize(panel.sizeHint());
    panel.show();
    panel.setDatum(day(2004, 5, 20));
    struct Step
    {
        Qt::Key key;
        Qt::KeyboardModifiers modifiers;
        DateTime expected;
    };
    const Step steps[] = {
        {Qt::Key_Down, {}, day(2004, 5, 27)},
        {Qt::Key_Up, {}, day(2004, 5, 20)},
        {Qt::Key_Left, {}, day(2004, 5, 19)},
        {Qt::Key_End, {}, day(2004, 5, 31)},
        {Qt::Key_Home, {}, day(2004, 5, 1)},
        {Qt::Key_PageUp, {}, day(2004, 4, 1)},
        {Qt::Key_PageDown, Qt::ControlModifier, day(2005, 4, 1)},
        {Qt::Key_PageUp, Qt::ControlModifier, day(2004, 4, 1)},
    };
    for (const Step& step : steps) {
        QTest::keyClick(&panel, step.key, step.modifiers);
        EXPECT_EQ(panel.Datum(), step.expected) << step.key;
    }
    // A click on a day of the next month shows that month with the day selected.
    panel.setDatum(day(2004, 1, 15));
    QSignalSpy clicked(&panel, &ECalendarPanel::dayClicked);
    ASSERT_FALSE(panel.grid().inMonth[41]);
    const DateTime last = panel.grid().days[41];
    QTest::mouseClick(&panel, Qt::LeftButton, {}, panel.cellRect(41).center());
    EXPECT_EQ(panel.Datum(), last);
    EXPECT_EQ(DecodeDate(panel.Datum()).month, 2);
    EXPECT_EQ(clicked.count(), 1);
    // The year buttons go a year on and back.
    panel.findChild<QToolButton*>("yearForward")->click();
    EXPECT_EQ(DecodeDate(panel.Datum()).year, 2005);
}

TEST(CalendarPanelTest, NamesFollowTheLanguage)
{
    ECalendarPanel panel;
    EEditDate field;
    panel.setDatum(day(2004, 5, 20));
    field.setDatum(day(2004, 12, 24));
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedKingdom));
    QEvent change(QEvent::LanguageChange);
    QApplication::sendEvent(&panel, &change);
    QApplication::sendEvent(&field, &change);
    EXPECT_EQ(panel.findChild<QLabel*>()->text(), "May 2004");
    EXPECT_EQ(field.text(), "Fri 24.12.2004");
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    QApplication::sendEvent(&panel, &change);
    EXPECT_EQ(panel.findChild<QLabel*>()->text(), "Mai 2004");
}

} // namespace
