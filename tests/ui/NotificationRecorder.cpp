#include "NotificationRecorder.h"

#include <QDBusConnectionInterface>
#include <QDBusMessage>

namespace {

const QString Service = QStringLiteral("org.freedesktop.Notifications");
const QString Path = QStringLiteral("/org/freedesktop/Notifications");

} // namespace

bool NotificationRecorder::Register(const QString& address)
{
    m_name = QStringLiteral("recorder-%1").arg(reinterpret_cast<quintptr>(this));
    m_bus = QDBusConnection::connectToBus(address, m_name);
    return m_bus.isConnected() && m_bus.registerObject(Path, this, QDBusConnection::ExportAllSlots) &&
           m_bus.registerService(Service);
}

NotificationRecorder::~NotificationRecorder()
{
    if (m_bus.isConnected()) {
        m_bus.unregisterService(Service);
        m_bus.unregisterObject(Path);
    }
    QDBusConnection::disconnectFromBus(m_name);
}

void NotificationRecorder::Invoke(uint id, const QString& actionKey)
{
    QDBusMessage signal = QDBusMessage::createSignal(Path, Service, QStringLiteral("ActionInvoked"));
    signal << id << actionKey;
    m_bus.send(signal);
}

uint NotificationRecorder::Notify(const QString& appName, uint, const QString&, const QString& summary,
                                  const QString& body, const QStringList& actions, const QVariantMap& hints,
                                  int expireTimeout)
{
    Received r;
    r.id = m_next++;
    r.appName = appName;
    r.summary = summary;
    r.body = body;
    r.actions = actions;
    r.urgency = hints.contains(QStringLiteral("urgency")) ? hints.value(QStringLiteral("urgency")).toInt() : -1;
    r.expireTimeout = expireTimeout;
    received.push_back(r);
    return r.id;
}

QStringList NotificationRecorder::GetCapabilities()
{
    return {QStringLiteral("actions"), QStringLiteral("body")};
}

void NotificationRecorder::CloseNotification(uint)
{
}

QString NotificationRecorder::GetServerInformation(QString& vendor, QString& version, QString& specVersion)
{
    vendor = QStringLiteral("tests");
    version = QStringLiteral("1");
    specVersion = QStringLiteral("1.2");
    return QStringLiteral("recorder");
}
