#include "ui/TaskPane.h"

#include "ui/CoreTexts.h"
#include "ui/HoverLink.h"
#include "ui/OutcomeNotices.h"

#include <QAction>
#include <QEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QPropertyAnimation>
#include <QResizeEvent>
#include <QToolButton>
#include <QVBoxLayout>

namespace {

const QColor ErrorColour(128, 0, 0);

} // namespace

TaskPane::TaskPane(const std::array<QAction*, 4>& tasks, QWidget* parent) : QFrame(parent), m_tasks(tasks)
{
    setObjectName(QStringLiteral("PAXPTasks"));
    setFrameShape(QFrame::StyledPanel);
    setMinimumWidth(210);
    setMaximumWidth(260);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(8, 8, 8, 8);
    layout->setSpacing(4);

    auto* taskBody = new QWidget(this);
    auto* taskLayout = new QVBoxLayout(taskBody);
    taskLayout->setContentsMargins(8, 4, 0, 8);
    for (std::size_t i = 0; i < tasks.size(); ++i) {
        auto* row = new QHBoxLayout;
        auto* icon = new QToolButton(taskBody);
        icon->setDefaultAction(tasks[i]);
        icon->setAutoRaise(true);
        icon->setFocusPolicy(Qt::NoFocus);
        icon->setIconSize({16, 16});
        m_taskLinks[i] = new HoverLink(taskBody);
        m_taskLinks[i]->setWordWrap(true);
        connect(m_taskLinks[i], &HoverLink::clicked, tasks[i], &QAction::trigger);
        const auto follow = [link = m_taskLinks[i], action = tasks[i]] { link->setEnabled(action->isEnabled()); };
        connect(tasks[i], &QAction::changed, m_taskLinks[i], follow);
        follow();
        row->addWidget(icon);
        row->addWidget(m_taskLinks[i], 1);
        taskLayout->addLayout(row);
    }
    m_groups[0] = makeGroup(layout, taskBody);

    auto* detailBody = new QWidget(this);
    auto* detailLayout = new QVBoxLayout(detailBody);
    detailLayout->setContentsMargins(8, 4, 0, 8);
    detailLayout->setSpacing(3);
    for (std::size_t i = 0; i < m_detailLabels.size(); ++i) {
        if (i == 2) {
            m_errors = new HoverLink(detailBody);
            connect(m_errors, &HoverLink::clicked, this, &TaskPane::errorsClicked);
            m_detailLabels[i] = m_errors;
        } else {
            m_detailLabels[i] = new QLabel(detailBody);
        }
        m_detailLabels[i]->setObjectName(QStringLiteral("LBXPDetails%1").arg(i + 1));
        m_detailLabels[i]->setWordWrap(true);
        detailLayout->addWidget(m_detailLabels[i]);
    }
    QFont bold = m_detailLabels[0]->font();
    bold.setBold(true);
    m_detailLabels[0]->setFont(bold);
    m_groups[1] = makeGroup(layout, detailBody);
    layout->addStretch(1);
    retranslate();
}

TaskPane::Group TaskPane::makeGroup(QVBoxLayout* layout, QWidget* body)
{
    Group group;
    auto* headerRow = new QHBoxLayout;
    group.header = new HoverLink(this);
    QFont bold = group.header->font();
    bold.setBold(true);
    group.header->setFont(bold);
    group.arrow = new QToolButton(this);
    group.arrow->setAutoRaise(true);
    group.arrow->setArrowType(Qt::UpArrow);
    group.arrow->setFocusPolicy(Qt::NoFocus);
    const int index = m_groups[0].body ? 1 : 0;
    connect(group.header, &HoverLink::clicked, this, [this, index] { toggle(index); });
    connect(group.arrow, &QToolButton::clicked, this, [this, index] { toggle(index); });
    headerRow->addWidget(group.header, 1);
    headerRow->addWidget(group.arrow);
    layout->addLayout(headerRow);
    layout->addWidget(body);
    group.body = body;
    return group;
}

void TaskPane::toggle(int group)
{
    setGroupExpanded(group, !m_groups[static_cast<std::size_t>(group)].expanded);
}

bool TaskPane::groupExpanded(int group) const
{
    return m_groups[static_cast<std::size_t>(group)].expanded;
}

void TaskPane::setGroupExpanded(int index, bool expanded)
{
    Group& group = m_groups[static_cast<std::size_t>(index)];
    if (group.expanded == expanded)
        return;
    group.expanded = expanded;
    group.arrow->setArrowType(expanded ? Qt::UpArrow : Qt::DownArrow);
    // The group slides open or shut; the group below follows it, as the layout moves it.
    const int full = group.body->sizeHint().height();
    auto* slide = new QPropertyAnimation(group.body, "maximumHeight", group.body);
    slide->setDuration(index == 0 ? 100 : 160);
    slide->setStartValue(expanded ? 0 : group.body->height());
    slide->setEndValue(expanded ? full : 0);
    if (expanded) {
        group.body->setMaximumHeight(0);
        group.body->show();
        connect(slide, &QPropertyAnimation::finished, group.body,
                [body = group.body] { body->setMaximumHeight(QWIDGETSIZE_MAX); });
    } else {
        connect(slide, &QPropertyAnimation::finished, group.body, [body = group.body] { body->hide(); });
    }
    slide->start(QAbstractAnimation::DeleteWhenStopped);
}

void TaskPane::ShowDetails(const std::optional<ProfileDetailTexts>& details)
{
    m_details = details;
    retranslate();
}

QStringList TaskPane::detailLines() const
{
    QStringList lines;
    for (const QLabel* label : m_detailLabels)
        lines << label->text();
    return lines;
}

void TaskPane::resizeEvent(QResizeEvent* event)
{
    QFrame::resizeEvent(event);
    fitDetailHeights();
}

void TaskPane::fitDetailHeights()
{
    for (QLabel* label : m_detailLabels)
        if (label->width() > 0)
            label->setMinimumHeight(label->heightForWidth(label->width()));
}

void TaskPane::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::LanguageChange)
        retranslate();
    QFrame::changeEvent(event);
}

void TaskPane::retranslate()
{
    m_groups[0].header->setText(tr("Sicherungsaufgaben"));
    m_groups[1].header->setText(tr("Details"));
    const std::array<QString, 4> tasks = {tr("Neues Sicherungsprofil erstellen"), tr("Sicherung jetzt durchführen"),
                                          tr("Sicherungsprofil bearbeiten"), tr("Sicherungsprotokoll öffnen")};
    for (std::size_t i = 0; i < tasks.size(); ++i)
        m_taskLinks[i]->setText(tasks[i]);
    if (!m_details) {
        for (QLabel* label : m_detailLabels)
            label->clear();
        fitDetailHeights();
        return;
    }
    const ProfileDetailTexts& d = *m_details;
    const auto line = [](const QString& caption, const std::string& value) {
        return caption + QStringLiteral(": ") + QString::fromStdString(value);
    };
    m_detailLabels[0]->setText(QString::fromStdString(d.name));
    m_detailLabels[1]->setText(line(tr("Letzte Sicherung"), d.lastRun));
    QString errors = d.hasErrors ? tr("%1 Fehler").arg(QString::fromStdString(d.errors)) : tr("Fehlerfrei");
    // Overdue says more than the last run's errors: how long nothing went well.
    if (d.overdueDays)
        errors =
            d.hasErrors ? errors + QStringLiteral("; ") + OverdueNotice(*d.overdueDays) : OverdueNotice(*d.overdueDays);
    m_detailLabels[2]->setText(errors);
    const bool alarm = d.hasErrors || d.overdueDays;
    const QColor normal = palette().color(QPalette::WindowText);
    m_errors->setColours(alarm ? ErrorColour : normal, alarm ? ErrorColour : normal);
    m_errors->setCursor(d.hasErrors ? Qt::PointingHandCursor : Qt::ArrowCursor);
    m_detailLabels[3]->setText(line(tr("Dateien gesichert"), d.files));
    m_detailLabels[4]->setText(line(tr("Bytes gesichert"), d.bytes));
    m_detailLabels[5]->setText(line(tr("Komprimierungsrate"), d.rate));
    m_detailLabels[6]->setText(line(tr("Nächste Sicherung"), d.nextRun));
    m_detailLabels[7]->setText(CoreText(d.mode));
    fitDetailHeights();
}
