#pragma once

#include <QLabel>

/// A label that shortens its text in the middle to its width ("/home/anna/…/Fotos/2026"), as a
/// path is shortened, and shows the whole text as its tooltip.
class ElidedLabel final : public QLabel
{
    Q_OBJECT

public:
    explicit ElidedLabel(QWidget* parent = nullptr);
    Q_DISABLE_COPY_MOVE(ElidedLabel)

    void setFullText(const QString& text);
    QString fullText() const { return m_fullText; }
    QSize minimumSizeHint() const override;

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    void elide();

    QString m_fullText;
};
