#pragma once

#include <QLabel>

/// A text in the task pane that acts as a link: blue, lighter and underlined while the mouse is on
/// it, and a click (or Enter and Space when it has the focus) triggers it.
class HoverLink final : public QLabel
{
    Q_OBJECT

public:
    explicit HoverLink(QWidget* parent = nullptr);
    Q_DISABLE_COPY_MOVE(HoverLink)

    /// Text colours at rest and under the mouse (the error line is dark red and only underlines).
    void setColours(const QColor& normal, const QColor& hover);

signals:
    void clicked();

protected:
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void paintAs(bool hovered);

    QColor m_normal;
    QColor m_hover;
};
