#pragma once

#include <QDBusConnection>
#include <QDBusUnixFileDescriptor>
#include <QObject>
#include <functional>
#include <string>

/// Holds the end of the desktop session and sleep back while profiles are to run at the end:
/// a systemd-logind delay inhibitor ("shutdown:sleep"), taken while Hold(true) and given back
/// with Hold(false). logind announces the shutdown or sleep it delays; the program does its
/// work for it, then the inhibitor is given back (logind waits at most InhibitDelayMaxSec).
/// Without logind (no system bus, a container) nothing is held, and onUnavailable says why,
/// once.
class SessionInhibitor final : public QObject
{
    Q_OBJECT

public:
    explicit SessionInhibitor(QDBusConnection bus = QDBusConnection::systemBus());
    Q_DISABLE_COPY_MOVE(SessionInhibitor)

    /// Takes the inhibitor when wanted and not held, gives it back when held and not wanted.
    void Hold(bool wanted);
    bool held() const { return m_held.isValid(); }

    std::function<void()> onSessionEnd;             // the system shuts down or the session ends
    std::function<void()> onSleep;                  // the system is about to sleep
    std::function<void(std::string)> onUnavailable; // why nothing can be held (told once)

private slots:
    void prepareForShutdown(bool start);
    void prepareForSleep(bool start);

private:
    void take();
    void unavailable(const std::string& reason);

    QDBusConnection m_bus;
    QDBusUnixFileDescriptor m_held;
    bool m_wanted = false;
    bool m_asking = false;   // an Inhibit call is on its way
    bool m_sleeping = false; // given back for sleep, taken again on waking
    bool m_toldUnavailable = false;
};
