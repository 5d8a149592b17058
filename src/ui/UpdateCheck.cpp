#include "ui/UpdateCheck.h"

#include "base/ProgramSettings.h"
#include "base/SettingsStore.h"
#include "base/Text.h"
#include "app/Dialogs.h"

#include <QDesktopServices>
#include <QNetworkAccessManager>
#include <QNetworkProxy>
#include <QNetworkReply>
#include <QUrl>
#include <algorithm>

namespace {

// The bytes of the longest page: the version and 5000 characters of four bytes each.
constexpr qint64 MaxPageBytes = static_cast<qint64>(VersionPageChars) * 4;

// Only the page itself tells a version: an error page or any other answer than success says nothing.
bool IsThePage(const QNetworkReply& reply)
{
    const QVariant status = reply.attribute(QNetworkRequest::HttpStatusCodeAttribute);
    return !status.isValid() || status.toInt() / 100 == 2;
}

} // namespace

UpdateCheck::UpdateCheck(ProgramSettings& settings, SettingsStore* store, Dialogs& dialogs,
                         std::function<DateTime()> today, QObject* parent)
    : QObject(parent), ownVersion(ParseVersion(TRESORIO_VERSION)),
      openHomePage([](const QString& url) { QDesktopServices::openUrl(QUrl(url)); }), m_today(std::move(today)),
      m_settings(settings), m_store(store), m_dialogs(dialogs)
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
    if (!(m_today() > m_settings.AutoUpdateDate)) {
        emit finished();
        return;
    }
    m_running = true;
    m_page.clear();
    if (!m_network)
        m_network = new QNetworkAccessManager(this);
    const QString proxy = QString::fromStdString(m_settings.AutoUpdateProxy).trimmed();
    if (proxy.isEmpty() || proxy == QLatin1String("-")) {
        m_network->setProxy(QNetworkProxy::NoProxy);
    } else {
        const QUrl address = QUrl::fromUserInput(proxy);
        // A login written into the address ("user:password@host:port") is the proxy's.
        m_network->setProxy(QNetworkProxy(QNetworkProxy::HttpProxy, address.host(), address.port(8080),
                                          address.userName(), address.password()));
    }
    QNetworkRequest request(QUrl(QString::fromStdString(m_settings.AutoUpdateUrl)));
    request.setRawHeader("Accept", "text/html, */*");
    request.setHeader(QNetworkRequest::UserAgentHeader, QStringLiteral("Tresorio/" TRESORIO_VERSION));
    // Gives up when no data arrives for five seconds.
    request.setTransferTimeout(ReadTimeoutMs);
    QNetworkReply* reply = m_network->get(request);
    connect(reply, &QNetworkReply::readyRead, this, [this, reply] {
        if (!IsThePage(*reply)) {
            stop(reply, false);
            return;
        }
        m_page += reply->read(MaxPageBytes - m_page.size());
        const std::size_t wanted =
            CutToChars(std::string_view(m_page.constData(), static_cast<std::size_t>(m_page.size())), VersionPageChars)
                .size();
        // Enough once a character past the longest message has begun, so that the last one wanted is whole: the
        // rest of a large page is not read.
        if (wanted < static_cast<std::size_t>(m_page.size()) || m_page.size() >= MaxPageBytes) {
            m_page.truncate(static_cast<qsizetype>(wanted));
            stop(reply, true);
        }
    });
    connect(reply, &QNetworkReply::finished, this,
            [this, reply] { received(reply, reply->error() == QNetworkReply::NoError && IsThePage(*reply)); });
}

void UpdateCheck::stop(QNetworkReply* reply, bool read)
{
    reply->disconnect(this);
    // An error page is marked as failed already, where aborting only warns; deleting the reply closes its
    // connection all the same.
    if (reply->error() == QNetworkReply::NoError)
        reply->abort();
    received(reply, read);
}

void UpdateCheck::received(QNetworkReply* reply, bool read)
{
    reply->deleteLater();
    // A time-out or any other failure leaves no text; bytes that are no UTF-8 are replaced.
    const std::string text = read ? QString::fromUtf8(m_page).toStdString() : std::string();
    // A failing server is silent and asked again only after the usual number of days. The due date stays one the
    // setting can hold: a date past the year 9999 would read back as none and make the next start check again.
    static const DateTime lastDay = *TryEncodeDate(9999, 12, 31);
    m_settings.AutoUpdateDate = std::min(m_today() + m_settings.AutoUpdateNext, lastDay);
    if (m_store) // kept at once: a crash before the end must not bring the check back at the next start
        SaveRegistry(m_settings, *m_store);
    const VersionPage page = ParseVersionPage(text);
    if (!text.empty() && IsNewer(page.version, ownVersion) && m_dialogs.AskConfirmation(page.message))
        openHomePage(QString::fromLatin1(HomePage));
    m_running = false;
    emit finished();
}
