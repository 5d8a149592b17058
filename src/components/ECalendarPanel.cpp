#include "components/ECalendarPanel.h"

#include "components/Holidays.h"

#include <QDate>
#include <QEvent>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPainter>
#include <QToolButton>
#include <QVBoxLayout>
#include <algorithm>

namespace {

QDate qdateOf(DateTime day)
{
    const CivilDate date = DecodeDate(day);
    return {date.year, date.month, date.day};
}

DateTime systemToday()
{
    const QDate today = QDate::currentDate();
    return TryEncodeDate(today.year(), today.month(), today.day()).value_or(0.0);
}

constexpr int HeaderRows = 1; // the weekday names above the days

} // namespace

ECalendarPanel::ECalendarPanel(QWidget* parent)
    : QWidget(parent), m_today(systemToday()), m_title(new QLabel(this)), m_yearBack(new QToolButton(this)),
      m_monthBack(new QToolButton(this)), m_monthForward(new QToolButton(this)), m_yearForward(new QToolButton(this))
{
    setObjectName(QStringLiteral("ECalendarPanel"));
    setFocusPolicy(Qt::StrongFocus);
    setBackgroundRole(QPalette::Base);
    setAutoFillBackground(true);
    m_title->setAlignment(Qt::AlignCenter);
    QFont bold = m_title->font();
    bold.setBold(true);
    m_title->setFont(bold);
    const struct
    {
        QToolButton* button;
        const char* text;
        const char* name;
        int months;
    } buttons[] = {{m_yearBack, "«", "yearBack", -12},
                   {m_monthBack, "‹", "monthBack", -1},
                   {m_monthForward, "›", "monthForward", 1},
                   {m_yearForward, "»", "yearForward", 12}};
    for (const auto& b : buttons) {
        b.button->setText(QString::fromUtf8(b.text));
        b.button->setObjectName(QLatin1String(b.name));
        b.button->setAutoRaise(true);
        b.button->setFocusPolicy(Qt::NoFocus);
        connect(b.button, &QToolButton::clicked, this, [this, months = b.months] { ModifyMonths(months); });
    }
    auto* header = new QHBoxLayout;
    header->setContentsMargins(0, 0, 0, 0);
    header->addWidget(m_yearBack);
    header->addWidget(m_monthBack);
    header->addWidget(m_title, 1);
    header->addWidget(m_monthForward);
    header->addWidget(m_yearForward);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(2, 2, 2, 2);
    layout->addLayout(header);
    layout->addStretch(1);
    setDatum(m_today);
}

void ECalendarPanel::setToday(DateTime today)
{
    m_today = DateOf(today);
    update();
}

void ECalendarPanel::setDatum(DateTime day)
{
    m_datum = DateOf(day);
    rebuild();
}

void ECalendarPanel::ModifyDate(int days)
{
    setDatum(m_datum + days);
}

void ECalendarPanel::ModifyMonths(int months)
{
    setDatum(AddMonthsClamped(m_datum, months));
}

void ECalendarPanel::setDaylength(int length)
{
    m_daylength = std::clamp(length, 1, 2);
    update();
}

void ECalendarPanel::setColours(const CalendarColours& colours)
{
    m_colours = colours;
    update();
}

void ECalendarPanel::rebuild()
{
    // Names come from the default locale, which follows the program's language.
    const CivilDate date = DecodeDate(m_datum);
    m_grid = BuildMonthGrid(date.year, date.month);
    m_holidays = HolidaysOfYear(date.year);
    m_title->setText(QLocale().toString(qdateOf(m_datum), QStringLiteral("MMMM yyyy")));
    update();
}

QSize ECalendarPanel::sizeHint() const
{
    const QFontMetrics metrics = fontMetrics();
    const int cellWidth = 2 * (qRound(metrics.averageCharWidth() * 1.6) + 1);
    const int rowHeight = qRound(metrics.height() * 1.2);
    return {std::max(170, 8 * cellWidth + 8), m_title->sizeHint().height() + (6 + HeaderRows) * rowHeight + 12};
}

QRect ECalendarPanel::gridRect() const
{
    const int top = m_title->geometry().bottom() + 4;
    return {2, top, width() - 4, height() - top - 2};
}

QRect ECalendarPanel::cellRect(int cell) const
{
    const QRect area = gridRect();
    const int columnWidth = area.width() / 8;
    const int rowHeight = area.height() / (6 + HeaderRows);
    const int left = area.left() + (area.width() - 8 * columnWidth) / 2;
    return {left + (1 + cell % 7) * columnWidth, area.top() + (HeaderRows + cell / 7) * rowHeight, columnWidth,
            rowHeight};
}

int ECalendarPanel::cellAt(const QPoint& position) const
{
    for (int cell = 0; cell < 42; ++cell)
        if (cellRect(cell).contains(position))
            return cell;
    return -1;
}

void ECalendarPanel::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    const QPalette& colours = palette();
    // The header row: "Wo" and the weekday names in the chosen language, Monday first.
    QRect first = cellRect(0);
    const QRect weekHeader(first.left() - first.width(), first.top() - first.height(), first.width(), first.height());
    painter.setPen(m_colours.week);
    painter.drawText(weekHeader, Qt::AlignCenter, tr("Wo"));
    painter.setPen(colours.color(QPalette::WindowText));
    for (int weekday = 0; weekday < 7; ++weekday) {
        const QRect cell = cellRect(weekday).translated(0, -first.height());
        const QString name = QLocale().dayName(weekday + 1, QLocale::ShortFormat).remove(QLatin1Char('.'));
        painter.drawText(cell, Qt::AlignCenter, name.left(m_daylength));
    }
    painter.drawLine(weekHeader.left(), first.top() - 1, cellRect(6).right(), first.top() - 1);

    const bool currentMonth =
        DecodeDate(m_today).month == DecodeDate(m_datum).month && DecodeDate(m_today).year == DecodeDate(m_datum).year;
    for (int row = 0; row < 6; ++row) {
        const QRect rowStart = cellRect(row * 7);
        painter.setPen(m_colours.week);
        painter.drawText(rowStart.translated(-rowStart.width(), 0), Qt::AlignCenter,
                         QString::number(m_grid.weeks[static_cast<std::size_t>(row)]));
    }
    for (int cell = 0; cell < 42; ++cell) {
        const auto index = static_cast<std::size_t>(cell);
        const DateTime day = m_grid.days[index];
        const QRect rect = cellRect(cell);
        QColor text = colours.color(QPalette::WindowText);
        if (!m_grid.inMonth[index]) {
            text = colours.color(QPalette::Disabled, QPalette::WindowText);
        } else if (day == m_datum) {
            painter.fillRect(rect.adjusted(1, 1, -1, -1), colours.color(QPalette::Highlight));
            text = colours.color(QPalette::HighlightedText);
        } else if (std::find(m_holidays.begin(), m_holidays.end(), day) != m_holidays.end()) {
            text = m_colours.holiday;
        } else if (WeekdayMondayFirst(day) == 5) {
            text = m_colours.saturday;
        } else if (WeekdayMondayFirst(day) == 6) {
            text = m_colours.sunday;
        }
        painter.setPen(text);
        painter.drawText(rect, Qt::AlignCenter, QString::number(DecodeDate(day).day));
        if (currentMonth && day == m_today && m_grid.inMonth[index]) {
            painter.setPen(m_colours.today);
            painter.drawRect(rect.adjusted(0, 0, -1, -1));
        }
        if (day == m_datum && hasFocus()) {
            painter.setPen(QPen(colours.color(QPalette::HighlightedText), 1, Qt::DotLine));
            painter.drawRect(rect.adjusted(2, 2, -3, -3));
        }
    }
}

void ECalendarPanel::mousePressEvent(QMouseEvent* event)
{
    const int cell = cellAt(event->position().toPoint());
    if (cell < 0) {
        QWidget::mousePressEvent(event);
        return;
    }
    // A day of the month before or after shows that month with the day selected.
    setDatum(m_grid.days[static_cast<std::size_t>(cell)]);
    emit dayClicked(m_datum);
}

void ECalendarPanel::keyPressEvent(QKeyEvent* event)
{
    const bool control = event->modifiers() & Qt::ControlModifier;
    const CivilDate date = DecodeDate(m_datum);
    switch (event->key()) {
    case Qt::Key_Left:
        ModifyDate(-1);
        break;
    case Qt::Key_Right:
        ModifyDate(1);
        break;
    case Qt::Key_Up:
        ModifyDate(-7);
        break;
    case Qt::Key_Down:
        ModifyDate(7);
        break;
    case Qt::Key_PageUp:
        ModifyMonths(control ? -12 : -1);
        break;
    case Qt::Key_PageDown:
        ModifyMonths(control ? 12 : 1);
        break;
    case Qt::Key_Home:
        setDatum(m_datum - (date.day - 1));
        break;
    case Qt::Key_End:
        setDatum(m_datum + (DaysInMonth(date.year, date.month) - date.day));
        break;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        emit accepted();
        break;
    case Qt::Key_Escape:
        emit cancelled();
        break;
    default:
        QWidget::keyPressEvent(event);
    }
}

void ECalendarPanel::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::LanguageChange || event->type() == QEvent::LocaleChange)
        rebuild();
    QWidget::changeEvent(event);
}

void ECalendarPanel::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    update();
}
