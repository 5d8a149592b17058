#include "ui/AboutDialog.h"

#include "ui/Icons.h"

#include <QDialogButtonBox>
#include <QEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>

QString AboutDialog::HomePage()
{
    return QStringLiteral("https://tresorio.kestrova.de");
}

AboutDialog::AboutDialog(QWidget* parent) : QDialog(parent), m_title(new QLabel(this)), m_text(new QLabel(this))
{
    setObjectName(QStringLiteral("AboutDialog"));
    auto* picture = new QLabel(this);
    picture->setPixmap(ProgramIcon().pixmap(64, 64));
    picture->setAlignment(Qt::AlignTop);
    QFont big = m_title->font();
    big.setPointSizeF(big.pointSizeF() * 1.5);
    big.setBold(true);
    m_title->setFont(big);
    m_text->setOpenExternalLinks(true);
    m_text->setTextInteractionFlags(Qt::TextBrowserInteraction);
    m_text->setWordWrap(true);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);

    auto* texts = new QVBoxLayout;
    texts->addWidget(m_title);
    texts->addWidget(m_text);
    texts->addStretch(1);
    auto* row = new QHBoxLayout;
    row->addWidget(picture);
    row->addSpacing(12);
    row->addLayout(texts, 1);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(row);
    layout->addWidget(buttons);
    setMinimumWidth(420);
    retranslate();
}

void AboutDialog::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::LanguageChange)
        retranslate();
    QDialog::changeEvent(event);
}

void AboutDialog::retranslate()
{
    setWindowTitle(tr("Info"));
    m_title->setText(tr("Kestrova Tresorio"));
    m_text->setText(tr("Version %1<br>Sicherungen nach Plan für diesen Arbeitsplatz.<br><br>"
                       "<a href=\"%2\">%2</a><br><br>"
                       "Die Sicherungsprofile, das Protokoll und die Einstellungen liegen im Datenordner.")
                        .arg(QStringLiteral(TRESORIO_VERSION), HomePage()));
}
