#pragma once

#include "base/DateTime.h"
#include "components/CalendarColours.h"
#include "components/MonthGrid.h"

#include <QWidget>
#include <vector>

class QLabel;
class QToolButton;

/// A month calendar: a header with the month and buttons a year and a month back and forward, the
/// weekday names, calendar weeks and six weeks of days, with Saturdays, Sundays, holidays, today
/// and the selected day marked. Every operation works with the keyboard: arrows move a day or a
/// week, Page Up/Down a month, Ctrl+Page Up/Down a year, Home/End the month's first and last day,
/// Enter takes the day and Escape leaves.
class ECalendarPanel final : public QWidget
{
    Q_OBJECT

public:
    explicit ECalendarPanel(QWidget* parent = nullptr);
    Q_DISABLE_COPY_MOVE(ECalendarPanel)

    /// The selected day (shows its month).
    DateTime Datum() const { return m_datum; }
    void setDatum(DateTime day);
    /// Moves the selected day by n days.
    void ModifyDate(int days);
    /// Moves the selected day by months, keeping the day or taking the month's last.
    void ModifyMonths(int months);
    /// Characters of the weekday names (1 or 2).
    void setDaylength(int length);
    void setColours(const CalendarColours& colours);
    /// What "today" is (tests fix it; by default the system's date).
    void setToday(DateTime today);

    /// The rectangle of a day's cell (0..41), for tests and the mouse.
    QRect cellRect(int cell) const;
    const MonthGrid& grid() const { return m_grid; }
    QSize sizeHint() const override;

signals:
    /// A day was clicked (it is selected now).
    void dayClicked(DateTime day);
    /// Enter: the selected day is taken.
    void accepted();
    /// Escape: nothing is taken.
    void cancelled();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void changeEvent(QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void rebuild();
    int cellAt(const QPoint& position) const;
    QRect gridRect() const;

    DateTime m_datum = 0;
    DateTime m_today = 0;
    int m_daylength = 2;
    CalendarColours m_colours;
    MonthGrid m_grid;
    std::vector<DateTime> m_holidays;
    QLabel* m_title;
    QToolButton* m_yearBack;
    QToolButton* m_monthBack;
    QToolButton* m_monthForward;
    QToolButton* m_yearForward;
};
