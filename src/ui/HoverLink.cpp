#include "ui/HoverLink.h"

#include <QKeyEvent>
#include <QMouseEvent>

HoverLink::HoverLink(QWidget* parent) : QLabel(parent), m_normal(33, 93, 198), m_hover(66, 142, 255)
{
    setCursor(Qt::PointingHandCursor);
    setFocusPolicy(Qt::TabFocus);
    paintAs(false);
}

void HoverLink::setColours(const QColor& normal, const QColor& hover)
{
    m_normal = normal;
    m_hover = hover;
    paintAs(underMouse());
}

void HoverLink::paintAs(bool hovered)
{
    QPalette palette = this->palette();
    palette.setColor(QPalette::WindowText, hovered ? m_hover : m_normal);
    setPalette(palette);
    QFont font = this->font();
    font.setUnderline(hovered);
    setFont(font);
}

void HoverLink::enterEvent(QEnterEvent* event)
{
    paintAs(true);
    QLabel::enterEvent(event);
}

void HoverLink::leaveEvent(QEvent* event)
{
    paintAs(false);
    QLabel::leaveEvent(event);
}

void HoverLink::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()))
        emit clicked();
    QLabel::mouseReleaseEvent(event);
}

void HoverLink::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter || event->key() == Qt::Key_Space) {
        emit clicked();
        return;
    }
    QLabel::keyPressEvent(event);
}
