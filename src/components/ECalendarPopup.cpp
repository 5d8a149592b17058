#include "components/ECalendarPopup.h"

#include "components/ECalendarPanel.h"

#include <QDate>
#include <QEvent>
#include <QHBoxLayout>
#include <QPushButton>
#include <QVBoxLayout>

ECalendarPopup::ECalendarPopup(QWidget* parent)
    : QDialog(parent, Qt::Popup), m_panel(new ECalendarPanel(this)), m_today(new QPushButton(this)),
      m_none(new QPushButton(this))
{
    setObjectName(QStringLiteral("TfmECalendar"));
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(m_today);
    buttons->addWidget(m_none);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(3, 3, 3, 3);
    layout->addWidget(m_panel, 1);
    layout->addLayout(buttons);
    for (QPushButton* button : {m_today, m_none}) {
        button->setAutoDefault(false);
        button->setFocusPolicy(Qt::TabFocus);
    }
    connect(m_panel, &ECalendarPanel::dayClicked, this, [this](DateTime day) { choose(day); });
    connect(m_panel, &ECalendarPanel::accepted, this, [this] { choose(m_panel->Datum()); });
    connect(m_panel, &ECalendarPanel::cancelled, this, &QDialog::reject);
    connect(m_today, &QPushButton::clicked, this, [this] {
        const QDate today = QDate::currentDate();
        choose(TryEncodeDate(today.year(), today.month(), today.day()));
    });
    connect(m_none, &QPushButton::clicked, this, [this] { choose(std::nullopt); });
    m_panel->setFocus();
    retranslate();
}

void ECalendarPopup::choose(std::optional<DateTime> day)
{
    m_chosen = day;
    accept();
}

void ECalendarPopup::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::LanguageChange)
        retranslate();
    QDialog::changeEvent(event);
}

void ECalendarPopup::retranslate()
{
    setWindowTitle(tr("Kalender"));
    m_today->setText(tr("&Heute"));
    m_none->setText(tr("&Keines"));
}
