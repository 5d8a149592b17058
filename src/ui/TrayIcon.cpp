#include "ui/TrayIcon.h"

#include "ui/CoreTexts.h"
#include "ui/Icons.h"
#include "ui/MainActions.h"

#include <QMenu>
#include <QWidget>

namespace {

constexpr int AnimationIntervalMs = 500;

} // namespace

TrayIcon::TrayIcon(MainActions& actions, QWidget& window, QObject* parent)
    : QObject(parent), m_actions(actions), m_window(window), m_menu(new QMenu(&window))
{
    m_menu->addAction(actions.ShowWindow);
    m_menu->setDefaultAction(actions.ShowWindow);
    m_menu->addActions({actions.Options, actions.Log, actions.Restore});
    m_menu->addSeparator();
    m_menu->addActions({actions.Pause, actions.Autostart});
    m_menu->addSeparator();
    m_menu->addAction(actions.About);
    m_menu->addSeparator();
    m_menu->addActions({actions.CloseAndEnd, actions.CloseAndEndNoActions});
    m_animation.setInterval(AnimationIntervalMs);
    connect(&m_animation, &QTimer::timeout, this, &TrayIcon::AnimationStep);
    connect(&m_icon, &QSystemTrayIcon::activated, this, &TrayIcon::Activate);
    setImage(StateIdle, startTooltip());
}

TrayIcon::~TrayIcon()
{
    m_icon.hide();
}

void TrayIcon::Show()
{
    m_icon.show();
}

QString TrayIcon::startTooltip() const
{
    return tooltipFor(CoreText("Aktiv"));
}

QString TrayIcon::tooltipFor(const QString& statusWord) const
{
    return (tr("Kestrova Tresorio") + QStringLiteral(" (") + statusWord + QLatin1Char(')')).left(TooltipLength);
}

void TrayIcon::setImage(int image, const QString& tooltip)
{
    if (image == StateIdle && !m_overdue.isEmpty())
        image = StateErrors;
    m_image = image;
    m_icon.setIcon(StateIcon(image));
    m_icon.setToolTip(m_overdue.isEmpty() ? tooltip.left(TooltipLength)
                                          : tooltip.left(TooltipLength) + QLatin1Char('\n') + m_overdue);
}

void TrayIcon::ShowOverdue(const QString& notice)
{
    if (notice == m_overdue)
        return;
    m_overdue = notice;
    if (m_paused)
        setImage(StatePaused, m_pausedTooltip);
    else if (!m_active)
        setImage(StateIdle, startTooltip());
}

void TrayIcon::Activate(QSystemTrayIcon::ActivationReason reason)
{
    if (reason == QSystemTrayIcon::Trigger || reason == QSystemTrayIcon::DoubleClick) {
        if (m_window.isHidden())
            m_actions.ShowWindow->trigger();
        return;
    }
    if (reason == QSystemTrayIcon::Context && m_window.isHidden()) {
        if (beforeMenu)
            beforeMenu();
        m_menu->popup(QCursor::pos());
    }
}

void TrayIcon::ShowActive(bool active)
{
    m_active = active;
    if (active && !m_paused) {
        m_frame = 0;
        m_animation.start();
        AnimationStep();
    } else if (!active) {
        m_animation.stop();
        // A run that ends while the scheduler is paused leaves it paused.
        if (m_paused)
            setImage(StatePaused, m_pausedTooltip);
        else
            setImage(StateIdle, startTooltip());
    }
}

void TrayIcon::ShowPaused(bool paused, const QString& statusWord)
{
    m_paused = paused;
    m_pausedTooltip = tooltipFor(statusWord);
    if (paused)
        m_animation.stop();
    else if (m_active)
        m_animation.start();
    setImage(paused ? StatePaused : (m_active ? StateRunning : StateIdle), tooltipFor(statusWord));
}

void TrayIcon::AnimationStep()
{
    setImage(FirstAnimationFrame + m_frame, startTooltip());
    m_frame = (m_frame + 1) % AnimationFrames;
}
