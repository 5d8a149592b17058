#pragma once

#include "components/CalendarColours.h"
#include "components/DateTyping.h"

#include <QLineEdit>
#include <functional>

class ECalendarPopup;
class QToolButton;

/// A date field with a drop-down calendar. It takes only digits and "."; on leaving (or Enter) the
/// text is read as a date (see ReadTypedDate) and shown in DateFormat, or refused with a beep,
/// emptied and the focus kept. Datum is 0 while there is no date.
class EEditDate final : public QLineEdit
{
    Q_OBJECT

public:
    explicit EEditDate(QWidget* parent = nullptr);
    Q_DISABLE_COPY_MOVE(EEditDate)

    DateTime Datum() const { return m_datum; }
    /// Shows the day in DateFormat; 0 empties the field.
    void setDatum(DateTime day);
    /// Qt's date format; the default "ddd dd.MM.yyyy" shows "Fr 24.12.2004".
    void setDateFormat(const QString& format);
    QString dateFormat() const { return m_format; }
    /// A missing date counts as wrong even when the field is empty.
    void setRequired(bool required) { m_required = required; }
    void setConvertDate(ConvertDate convert) { m_convert = convert; }
    /// Read-only also disables the calendar button.
    void setReadOnlyDate(bool readOnly);
    void setDaylength(int length) { m_daylength = length; }
    void setColours(const CalendarColours& colours) { m_colours = colours; }
    /// What "today" is for cdPast and cdFuture (tests fix it; by default the system's date).
    void setToday(DateTime today) { m_today = today; }

    /// Reads the text as leaving the field does; false when it was refused.
    bool DoExit();
    /// Opens the calendar below (or above) the field and takes its choice.
    void DropDown();
    QToolButton* button() const { return m_button; }

    /// When set, called with the calendar instead of showing it (tests choose in it).
    static std::function<void(ECalendarPopup&)>& beforeDropDown();

signals:
    /// The date was chosen in the calendar.
    void clicked();
    /// A typed text was refused (the beep).
    void refused();

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void changeEvent(QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    DateTime today() const;

    DateTime m_datum = 0;
    DateTime m_today = 0;
    QString m_format = QStringLiteral("ddd dd.MM.yyyy");
    bool m_required = false;
    ConvertDate m_convert = ConvertDate::cdNormal;
    int m_daylength = 2;
    CalendarColours m_colours;
    QToolButton* m_button;
};
