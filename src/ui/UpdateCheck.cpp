#include "ui/UpdateCheck.h"

#include "base/ProgramSettings.h"
#include "base/SettingsStore.h"
#include "engine/Dialogs.h"

#include <QDesktopServices>
#include <QNetworkAccessManager>
#include <QNetworkProxy>
#include <QNetworkReply>
#include <QUrl>
#include <ctime>

namespace {

DateTime Today()
{
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    return TryEncodeDate(local.tm_year + 1900, local.tm_mon + 1, local.tm_mday).value_or(0);
}

} // namespace

UpdateCheck::UpdateCheck(ProgramSettings& settings, SettingsStore* store, Dialogs& dialogs, QObject* parent)
    : QObject(parent), ownVersion(ParseVersion(TRESORIO_VERSION)), today(Today),
      openHomePage([](const QString& url) { QDesktopServices::openUrl(QUrl(url)); }), m_settings(settings),
      m_store(store), m_dialogs(dialogs)
{
    m_timer.setInterval(3000);
    connect(&m_timer, &QTimer::timeout, this, &UpdateCheck::Tick);
}

UpdateCheck::~UpdateCheck() = default;

void UpdateCheck::Start(bool startedWithProfileName)
{
    if (!startedWithProfileName)
        m_timer.start();
}

void UpdateCheck::Tick()
{
    if (!m_settings.AutoUpdate || m_running)
        return;
    m_timer.stop(); // at most one check per run
    const DateTime due = m_store ? ReadStampedDateTime(m_store->ReadSetting("AutoUpdateDate")) : 0;
    if (!(today() > due)) {
        emit finished();
        return;
    }
    m_running = true;
    m_cutShort = false;
    m_page.clear();
    if (!m_network)
        m_network = new QNetworkAccessManager(this);
    const QString proxy = QString::fromStdString(m_settings.AutoUpdateProxy).trimmed();
    if (proxy.isEmpty() || proxy == QLatin1String("-")) {
        m_network->setProxy(QNetworkProxy::NoProxy);
    } else {
        const QUrl address = QUrl::fromUserInput(proxy);
        m_network->setProxy(QNetworkProxy(QNetworkProxy::HttpProxy, address.host(), address.port(8080)));
    }
    QNetworkRequest request(QUrl(QString::fromStdString(m_settings.AutoUpdateUrl)));
    request.setRawHeader("Accept", "text/html, */*");
    request.setHeader(QNetworkRequest::UserAgentHeader, QStringLiteral("Tresorio/" TRESORIO_VERSION));
    // Gives up when no data arrives for five seconds.
    request.setTransferTimeout(ReadTimeoutMs);
    QNetworkReply* reply = m_network->get(request);
    connect(reply, &QNetworkReply::readyRead, this, [this, reply] {
        m_page += reply->read(static_cast<qint64>(VersionPageChars * 4) - m_page.size());
        // Enough for the version and the longest message: the rest of a large page is not read.
        if (QString::fromUtf8(m_page).size() >= static_cast<qsizetype>(VersionPageChars)) {
            m_cutShort = true;
            reply->abort();
        }
    });
    connect(reply, &QNetworkReply::finished, this, [this, reply] { received(reply); });
}

void UpdateCheck::received(QNetworkReply* reply)
{
    reply->deleteLater();
    // Cut short by us is a page read far enough; a time-out or any other failure leaves no text.
    const bool failed = reply->error() != QNetworkReply::NoError && !m_cutShort;
    const QString text = failed ? QString() : QString::fromUtf8(m_page).left(static_cast<qsizetype>(VersionPageChars));
    // A failing server is silent and asked again only after the usual number of days.
    if (m_store)
        m_store->WriteSetting("AutoUpdateDate", FormatStampedDateTime(today() + m_settings.AutoUpdateNext));
    const VersionPage page = ParseVersionPage(text.toStdString());
    if (!text.isEmpty() && IsNewer(page.version, ownVersion) && m_dialogs.AskConfirmation(page.message))
        openHomePage(QString::fromLatin1(HomePage));
    done();
}

void UpdateCheck::done()
{
    m_running = false;
    emit finished();
}
