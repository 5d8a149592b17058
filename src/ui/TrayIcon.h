#pragma once

#include <QObject>
#include <QSystemTrayIcon>
#include <QTimer>
#include <functional>

class MainActions;
class QMenu;
class QWidget;

/// The program's icon in the notification area: its picture tells the state (idle, running with
/// an animation, paused), its tooltip names the product and the state, a left click shows the main
/// window and the menu opens only while the window is hidden.
class TrayIcon final : public QObject
{
    Q_OBJECT

public:
    /// A tooltip is cut to this many characters.
    static constexpr int TooltipLength = 63;

    TrayIcon(MainActions& actions, QWidget& window, QObject* parent = nullptr);
    ~TrayIcon() override;
    Q_DISABLE_COPY_MOVE(TrayIcon)

    void Show();
    /// A run starts (the animation runs) or ended (the idle picture).
    void ShowActive(bool active);
    /// The scheduler paused or goes on; statusWord is "Aktiv" or "Pausiert...".
    void ShowPaused(bool paused, const QString& statusWord);
    /// Profiles are overdue (notice says which) or none is (empty): the idle picture becomes the
    /// errors picture, and the tooltip says so below its first line.
    void ShowOverdue(const QString& notice);

    int image() const { return m_image; }
    QString toolTip() const { return m_icon.toolTip(); }
    bool animating() const { return m_animation.isActive(); }
    QSystemTrayIcon& icon() { return m_icon; }
    /// What a click of the given kind does (the tray's own clicks come here too).
    void Activate(QSystemTrayIcon::ActivationReason reason);
    /// One step of the animation.
    void AnimationStep();

    /// Called just before the menu opens (the autostart check mark is read again).
    std::function<void()> beforeMenu;

private:
    void setImage(int image, const QString& tooltip);
    QString tooltipFor(const QString& statusWord) const;

    MainActions& m_actions;
    QWidget& m_window;
    QSystemTrayIcon m_icon;
    QMenu* m_menu;
    QTimer m_animation;
    int m_frame = 0;
    int m_image = 0;
    bool m_active = false;
    bool m_paused = false;
    QString m_pausedTooltip;
    QString m_overdue;
    /// The tooltip with "Aktiv", in the language now chosen: the animation and a run's end use it.
    QString startTooltip() const;
};
