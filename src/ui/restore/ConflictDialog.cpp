#include "ui/restore/ConflictDialog.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

ConflictDialog::ConflictDialog(const QString& target, const QString& there, const QString& restored, QWidget* parent)
    : QDialog(parent), m_forAll(new QCheckBox(tr("Für &alle weiteren Dateien"), this))
{
    setObjectName(QStringLiteral("conflictDialog"));
    setWindowTitle(tr("Datei existiert bereits"));
    auto* layout = new QVBoxLayout(this);
    auto* text = new QLabel(tr("Am Ziel liegt schon eine andere Fassung von\n%1").arg(target), this);
    text->setWordWrap(true);
    text->setTextInteractionFlags(Qt::TextSelectableByMouse);
    layout->addWidget(text);
    auto* versions = new QLabel(tr("Am Ziel: %1\nAus der Sicherung: %2").arg(there, restored), this);
    versions->setObjectName(QStringLiteral("conflictVersions"));
    layout->addWidget(versions);
    m_forAll->setObjectName(QStringLiteral("forAllBox"));
    layout->addWidget(m_forAll);
    auto* buttons = new QDialogButtonBox(this);
    const auto add = [&](const QString& caption, const char* name, ConflictAnswer answer) {
        QPushButton* button = buttons->addButton(caption, QDialogButtonBox::ActionRole);
        button->setObjectName(QString::fromLatin1(name));
        connect(button, &QPushButton::clicked, this, [this, answer] {
            m_answer = answer;
            accept();
        });
        return button;
    };
    add(tr("&Ersetzen"), "replaceButton", ConflictAnswer::Replace);
    add(tr("&Beide behalten (Name mit Datum)"), "keepBothButton", ConflictAnswer::KeepBoth);
    // The safe answer is the default: Enter keeps what is at the target.
    add(tr("Ü&berspringen"), "skipButton", ConflictAnswer::Skip)->setDefault(true);
    layout->addWidget(buttons);
}

bool ConflictDialog::forAll() const
{
    return m_forAll->isChecked();
}
