#include "ui/TopPanel.h"

#include "ui/CoreTexts.h"
#include "ui/ElidedLabel.h"

#include <QEvent>
#include <QGridLayout>
#include <QLabel>
#include <QProgressBar>

namespace {

constexpr int BarSteps = 1000;

} // namespace

TopPanel::TopPanel(QWidget* parent)
    : QFrame(parent), m_title(new QLabel(this)), m_profile(new QLabel(this)), m_folder(new QLabel(this)),
      m_type(new QLabel(this)), m_dateTime(new QLabel(this)), m_dateTime2(new QLabel(this)), m_files2(new QLabel(this)),
      m_files(new QLabel(this)), m_size(new QLabel(this)), m_folder2(new ElidedLabel(this)),
      m_bar(new QProgressBar(this))
{
    setObjectName(QStringLiteral("PATop"));
    setFrameShape(QFrame::StyledPanel);
    setAutoFillBackground(true);
    setBackgroundRole(QPalette::Base);
    QFont bold = m_title->font();
    bold.setBold(true);
    m_title->setFont(bold);
    m_profile->setFont(bold);
    m_bar->setRange(0, BarSteps);
    m_bar->setTextVisible(false);
    m_bar->setMaximumHeight(14);
    m_files->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    m_size->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    m_title->setObjectName(QStringLiteral("LBTitle"));
    m_profile->setObjectName(QStringLiteral("LBProfile"));
    m_folder->setObjectName(QStringLiteral("LBFolder"));
    m_folder2->setObjectName(QStringLiteral("LBFolder2"));
    m_files->setObjectName(QStringLiteral("LBFiles"));
    m_size->setObjectName(QStringLiteral("LBSize"));
    m_type->setObjectName(QStringLiteral("LBType"));
    m_dateTime2->setObjectName(QStringLiteral("LBDateTime2"));
    m_bar->setObjectName(QStringLiteral("PAProgress"));

    auto* grid = new QGridLayout(this);
    grid->setContentsMargins(10, 6, 10, 6);
    grid->setHorizontalSpacing(8);
    grid->setVerticalSpacing(2);
    grid->addWidget(m_title, 0, 0);
    grid->addWidget(m_profile, 0, 1, 1, 4);
    grid->addWidget(m_folder, 1, 0);
    grid->addWidget(m_type, 1, 1, 1, 4);
    grid->addWidget(m_folder2, 1, 1, 1, 4);
    grid->addWidget(m_dateTime, 2, 0);
    grid->addWidget(m_dateTime2, 2, 1, 1, 4);
    grid->addWidget(m_bar, 2, 1);
    grid->addWidget(m_files2, 2, 2);
    grid->addWidget(m_files, 2, 3);
    grid->addWidget(m_size, 2, 4);
    grid->setColumnStretch(1, 1);
    m_files->setMinimumWidth(fontMetrics().horizontalAdvance(QStringLiteral("0000000")));
    m_size->setMinimumWidth(fontMetrics().horizontalAdvance(QStringLiteral("00000000 kB")));
    ShowActive(false, {}, {});
}

void TopPanel::ShowActive(bool active, const QString& name, const std::string& mode)
{
    m_active = active;
    m_runName = name;
    m_runMode = mode;
    m_type->setVisible(!active);
    m_dateTime->setVisible(!active);
    m_dateTime2->setVisible(!active);
    m_bar->setVisible(active);
    m_files->setVisible(active);
    m_files2->setVisible(active);
    m_folder2->setVisible(active);
    m_size->setVisible(active);
    m_progress = {};
    m_bar->setValue(0);
    m_files->setText(QStringLiteral("0"));
    m_size->setText(QStringLiteral("0 kB"));
    m_folder2->setFullText({});
    retranslate();
    if (!active)
        showIdleTexts();
}

void TopPanel::ShowNextTask(const NextTaskView& next)
{
    m_next = next;
    if (!m_active)
        showIdleTexts();
}

void TopPanel::showIdleTexts()
{
    m_profile->setText(CoreText(m_next.profile));
    m_type->setText(CoreText(m_next.mode));
    m_dateTime2->setText(QString::fromStdString(m_next.when));
}

void TopPanel::ShowProgress(const ProgressSnapshot& progress)
{
    if (!m_active || progress.generation == m_progress.generation)
        return;
    m_progress = progress;
    showProgressTexts();
}

void TopPanel::showProgressTexts()
{
    const ProgressSnapshot& progress = m_progress;
    const std::string phase = PhaseText(progress);
    m_folder->setText(phase.starts_with("Zip-Liste: ") ? tr("Zip-Liste: %1 Datei(en)").arg(progress.filesToDo)
                                                       : CoreText(phase));
    m_folder2->setFullText(QString::fromStdString(progress.folder));
    m_files->setText(QString::number(progress.filesDone));
    m_size->setText(QString::fromStdString(KilobyteText(progress.bytesDone)));
    m_bar->setValue(static_cast<int>(DoneFraction(progress) * BarSteps + 0.5));
}

void TopPanel::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::LanguageChange) {
        retranslate();
        if (!m_active)
            showIdleTexts();
    }
    QFrame::changeEvent(event);
}

void TopPanel::retranslate()
{
    m_title->setText(m_active ? tr("Laufendes Profil:") : tr("Nächste Sicherung:"));
    if (m_active) {
        m_profile->setText(
            m_runMode.empty() ? m_runName : m_runName + QStringLiteral(" (") + CoreText(m_runMode) + QLatin1Char(')'));
        showProgressTexts();
    } else {
        m_folder->setText(tr("Modus:"));
    }
    m_dateTime->setText(m_active ? QString() : tr("Startzeit:"));
    m_files2->setText(tr("Dateien:"));
}
