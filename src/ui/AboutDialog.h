#pragma once

#include <QDialog>

class QLabel;

/// "Inf&o...": the program's name, version, a link to its home page and its licence.
class AboutDialog final : public QDialog
{
    Q_OBJECT

public:
    explicit AboutDialog(QWidget* parent = nullptr);
    Q_DISABLE_COPY_MOVE(AboutDialog)

    /// The program's home page.
    static QString HomePage();

protected:
    void changeEvent(QEvent* event) override;

private:
    void retranslate();

    QLabel* m_title;
    QLabel* m_text;
};
