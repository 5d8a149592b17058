#include "components/EEditDate.h"

#include "components/ECalendarPanel.h"
#include "components/ECalendarPopup.h"

#include <QApplication>
#include <QDate>
#include <QEvent>
#include <QKeyEvent>
#include <QScreen>
#include <QStyle>
#include <QTimer>
#include <QToolButton>

namespace {

DateTime dayOf(const QDate& date)
{
    return TryEncodeDate(date.year(), date.month(), date.day()).value_or(0.0);
}

} // namespace

std::function<void(ECalendarPopup&)>& EEditDate::beforeDropDown()
{
    static std::function<void(ECalendarPopup&)> hook;
    return hook;
}

EEditDate::EEditDate(QWidget* parent) : QLineEdit(parent), m_button(new QToolButton(this))
{
    setObjectName(QStringLiteral("TEEditDate"));
    m_button->setObjectName(QStringLiteral("TDateButton"));
    m_button->setArrowType(Qt::DownArrow);
    m_button->setCursor(Qt::ArrowCursor);
    m_button->setFocusPolicy(Qt::NoFocus);
    m_button->setToolTip(tr("Kalender"));
    connect(m_button, &QToolButton::clicked, this, &EEditDate::DropDown);
    setTextMargins(0, 0, m_button->sizeHint().width(), 0);
}

DateTime EEditDate::today() const
{
    return m_today != 0 ? m_today : dayOf(QDate::currentDate());
}

void EEditDate::setDateFormat(const QString& format)
{
    m_format = format;
    setDatum(m_datum);
}

void EEditDate::setReadOnlyDate(bool readOnly)
{
    setReadOnly(readOnly);
    m_button->setEnabled(!readOnly);
}

void EEditDate::setDatum(DateTime day)
{
    setModified(true);
    if (day == 0) {
        m_datum = 0;
        clear();
        return;
    }
    const CivilDate date = DecodeDate(day);
    const QDate qdate(date.year, date.month, date.day);
    if (!qdate.isValid()) {
        m_datum = 0;
        clear();
        setFocus();
        return;
    }
    m_datum = DateOf(day);
    // The weekday without the dot some languages give it ("Fr", not "Fr."), as the field shows it.
    QString format = m_format;
    const QString weekday = QLocale().dayName(qdate.dayOfWeek(), QLocale::ShortFormat).remove(QLatin1Char('.'));
    format.replace(QStringLiteral("ddd"), QLatin1Char('\'') + weekday + QLatin1Char('\''));
    setText(QLocale().toString(qdate, format));
}

bool EEditDate::DoExit()
{
    const TypedDate typed = ReadTypedDate(text().toStdString(), m_convert, today());
    if (typed.date) {
        setDatum(*typed.date);
        return true;
    }
    const bool typedSomething = !text().trimmed().isEmpty();
    m_datum = 0;
    clear();
    if (typedSomething || m_required) {
        QApplication::beep();
        // The focus comes back once the change of focus that brought us here is over.
        QTimer::singleShot(0, this, [this] { setFocus(); });
        emit refused();
        return false;
    }
    return true;
}

void EEditDate::DropDown()
{
    if (isReadOnly())
        return;
    setFocus();
    const TypedDate typed = ReadTypedDate(text().toStdString(), m_convert, today());
    ECalendarPopup popup(this);
    popup.setFont(font());
    popup.panel().setDaylength(m_daylength);
    popup.panel().setColours(m_colours);
    popup.panel().setDatum(typed.date.value_or(today()));
    popup.adjustSize();
    // Right-aligned below the field; kept on the screen, above the field where there is no room.
    const QRect screen = this->screen() ? this->screen()->availableGeometry() : QRect();
    QPoint at = mapToGlobal(QPoint(width() - popup.width(), height()));
    if (!screen.isNull()) {
        at.setX(std::min(at.x(), screen.right() - popup.width()));
        if (at.y() + popup.height() > screen.bottom())
            at.setY(mapToGlobal(QPoint(0, 0)).y() - popup.height());
    }
    popup.move(at);
    // A test chooses in the calendar itself; a user has it shown until a choice is made.
    if (beforeDropDown())
        beforeDropDown()(popup);
    else
        popup.exec();
    if (popup.result() != QDialog::Accepted)
        return;
    setDatum(popup.chosen().value_or(0.0));
    emit clicked();
}

void EEditDate::keyPressEvent(QKeyEvent* event)
{
    const int key = event->key();
    if (key == Qt::Key_F4 || (key == Qt::Key_Down && (event->modifiers() & Qt::AltModifier))) {
        DropDown();
        return;
    }
    if (key == Qt::Key_Return || key == Qt::Key_Enter) {
        DoExit();
        return;
    }
    const QString text = event->text();
    const bool printable = !text.isEmpty() && text.at(0).isPrint() && !(event->modifiers() & Qt::ControlModifier);
    if (printable && !(text.at(0).isDigit() || text.at(0) == QLatin1Char('.')))
        return; // only digits and "." are typed
    QLineEdit::keyPressEvent(event);
}

void EEditDate::focusOutEvent(QFocusEvent* event)
{
    QLineEdit::focusOutEvent(event);
    // Opening the calendar takes the focus for a moment: that is not leaving the field.
    if (event->reason() != Qt::PopupFocusReason && !isReadOnly())
        DoExit();
}

void EEditDate::changeEvent(QEvent* event)
{
    // The weekday is shown in the program's language.
    if (event->type() == QEvent::LanguageChange && m_datum != 0) {
        const bool modified = isModified();
        setDatum(m_datum);
        setModified(modified);
    }
    QLineEdit::changeEvent(event);
}

void EEditDate::resizeEvent(QResizeEvent* event)
{
    QLineEdit::resizeEvent(event);
    const int size = height() - 2;
    m_button->setGeometry(width() - size - 1, 1, size, size);
}
