// The update check against a real HTTP server on 127.0.0.1 (tests/ui/version_server.py): newer,
// same, older, empty and dotted pages, error pages, answers broken on the way and redirects, markup in
// the message, long messages of multibyte characters, HTTPS, a server that never answers, a 10 MB page, a
// proxy, the due date at the limits of its setting, the switch, a start with a profile name, and a check
// the closing windows end.

#include "ui/UpdateCheck.h"

#include "app/VersionPage.h"
#include "base/ProgramSettings.h"
#include "base/SettingsStore.h"
#include "support/TempDir.h"
#include "ui/MessageBoxes.h"

#include <QAbstractButton>
#include <QApplication>
#include <QElapsedTimer>
#include <QMessageBox>
#include <QProcess>
#include <QSslCertificate>
#include <QSslConfiguration>
#include <QTimer>
#include <algorithm>
#include <climits>
#include <fstream>
#include <gtest/gtest.h>
#include <map>

namespace {

class MemoryStore final : public SettingsStore
{
public:
    std::string ReadSetting(const std::string& name) override { return values[name]; }
    void WriteSetting(const std::string& name, const std::string& value) override { values[name] = value; }
    void DeleteSetting(const std::string& name) override { values.erase(name); }
    std::map<std::string, std::string> values;
};

const DateTime Today = *TryEncodeDate(2026, 12, 10);

class UpdateCheckTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        m_port = startServer(m_server);
        ASSERT_GT(m_port, 0);
        m_settings.AutoUpdate = true;
        MessageBoxes::clearAnswers();
        MessageBoxes::answeredTexts().clear();
    }
    void TearDown() override
    {
        m_server.kill();
        m_server.waitForFinished();
        MessageBoxes::clearAnswers();
    }
    /// The test server on a free port (its number, 0 when it did not start); extra arguments
    /// (certificate and key) make it speak HTTPS.
    int startServer(QProcess& server, const QStringList& extra = {}) const
    {
        server.start(QStringLiteral("python3"),
                     QStringList{QStringLiteral(TRESORIO_SOURCE_DIR "/tests/ui/version_server.py"),
                                 QString::fromStdString(m_log.string())} +
                         extra);
        if (!server.waitForReadyRead(10000))
            return 0;
        return QString::fromUtf8(server.readLine()).trimmed().toInt();
    }
    std::string url(const std::string& path) const { return "http://127.0.0.1:" + std::to_string(m_port) + path; }
    std::string log() const
    {
        std::ifstream in(m_log);
        return {std::istreambuf_iterator<char>(in), {}};
    }
    /// Runs one check to its end; whether it made a request shows in the server's log. The check
    /// is ticked at once, or started as the program starts it (a first tick after three seconds).
    void check(bool fromStart = false)
    {
        UpdateCheck check(m_settings, &m_store, m_boxes, [] { return Today; });
        check.ownVersion = {3, 0, 0, 0};
        check.openHomePage = [this](const QString& page) { m_opened = page; };
        bool ended = false;
        QObject::connect(&check, &UpdateCheck::finished, [&] { ended = true; });
        if (fromStart)
            check.Start(false);
        else
            check.Tick();
        QElapsedTimer waited;
        waited.start();
        while (!ended && waited.elapsed() < 20000)
            QApplication::processEvents(QEventLoop::AllEvents, 20);
    }

    TempDir m_temp;
    std::filesystem::path m_log = m_temp / "requests.log";
    QProcess m_server;
    int m_port = 0;
    ProgramSettings m_settings;
    MemoryStore m_store;
    MessageBoxes m_boxes;
    QString m_opened;
};

TEST(VersionPageTest, FieldsOfThreeCharacters)
{
    EXPECT_EQ(ParseVersionPage("003000000001Text#zwei").version, (VersionNumbers{3, 0, 0, 1}));
    EXPECT_EQ(ParseVersionPage("003000000001Text#zwei").message, "Text\nzwei");
    EXPECT_EQ(ParseVersionPage("  3  1 12  4").version, (VersionNumbers{3, 1, 12, 4}));
    EXPECT_EQ(ParseVersionPage("3.0.0.1 neu").version, (VersionNumbers{0, 0, 0, 0}));
    EXPECT_EQ(ParseVersionPage("").version, (VersionNumbers{0, 0, 0, 0}));
    EXPECT_EQ(ParseVersionPage("000000000000" + std::string(6000, 'a')).message.size(), 5000u);
    EXPECT_EQ(ParseVersion("0.1.0"), (VersionNumbers{0, 1, 0, 0}));
    EXPECT_TRUE(IsNewer({3, 0, 0, 1}, {3, 0, 0, 0}));
    EXPECT_FALSE(IsNewer({2, 9, 9, 9}, {3, 0, 0, 0}));
    EXPECT_FALSE(IsNewer({3, 0, 0, 0}, {3, 0, 0, 0}));
}

TEST_F(UpdateCheckTest, OnlyANewerVersionIsShownAndTheNextCheckIsDueInAnyCase)
{
    struct Case
    {
        std::string path;
        bool shown;
    };
    // A newer version is believed only from a page the server delivered whole and as such: not from an error
    // page, another status, a page cut off or garbled on the way, a file on this computer, or a redirect loop.
    const std::filesystem::path local = m_temp / "page.html";
    std::ofstream(local) << "003000000001Neue Version 3.0.0.1#mit Zeile zwei";
    const std::string elsewhere = "http://localhost:" + std::to_string(m_port) + "/newer";
    for (const Case& c :
         {Case{"/newer", true}, Case{"/same", false}, Case{"/older", false}, Case{"/empty", false},
          Case{"/dotted", false}, Case{"/nirgends", false}, Case{"/error", false}, Case{"/error-long", false},
          Case{"/choices", false}, Case{"/short", false}, Case{"/garbled", false}, Case{"/loop", false},
          Case{"/redirect?to=" + elsewhere, true}, Case{"/redirect?to=file://" + local.string(), false}}) {
        SCOPED_TRACE(c.path);
        m_store.values.clear();
        m_settings.AutoUpdateDate = 0; // never checked
        m_opened.clear();
        MessageBoxes::answeredTexts().clear();
        m_settings.AutoUpdateUrl = url(c.path);
        if (c.shown)
            MessageBoxes::setNextAnswer(QMessageBox::Yes);
        check();
        EXPECT_NE(log().find("GET " + c.path + " text/html, */*"), std::string::npos) << log();
        EXPECT_EQ(MessageBoxes::answeredTexts().size(), c.shown ? 1u : 0u);
        if (c.shown) {
            EXPECT_EQ(MessageBoxes::answeredTexts().front(), "Neue Version 3.0.0.1\nmit Zeile zwei");
            EXPECT_EQ(m_opened.toStdString(), UpdateCheck::HomePage);
        }
        EXPECT_EQ(m_store.values["AutoUpdateDate"], "24.12.2026 00:00:00");
    }
}

// The message comes from a web server: markup in it is shown as text, never rendered (no
// picture fetched, no link to click).
TEST_F(UpdateCheckTest, MarkupInTheMessageIsShownAsText)
{
    m_settings.AutoUpdateUrl = url("/markup");
    Qt::TextFormat format = Qt::RichText;
    QString shown;
    QTimer answerer;
    QObject::connect(&answerer, &QTimer::timeout, [&] {
        for (QWidget* widget : QApplication::topLevelWidgets()) {
            auto* box = qobject_cast<QMessageBox*>(widget);
            if (box && box->isVisible()) {
                format = box->textFormat();
                shown = box->text();
                box->button(QMessageBox::No)->click();
            }
        }
    });
    answerer.start(50);
    check();
    EXPECT_TRUE(MessageBoxes::answeredTexts().empty()); // a real box was shown
    EXPECT_EQ(format, Qt::PlainText);
    EXPECT_EQ(shown.toStdString(), "<b>Neu</b><img src='http://127.0.0.1:1/bild.png'>\n<a href='file:///etc'>hier</a>");
    EXPECT_TRUE(m_opened.isEmpty());
}

// HTTPS: the page of a server whose certificate is trusted is read; a certificate nobody vouches
// for is not believed, and that stays as silent as a server that is away.
TEST_F(UpdateCheckTest, HttpsIsReadAndAnUntrustedCertificateIsNotBelieved)
{
    const QString cert = QString::fromStdString((m_temp / "cert.pem").string());
    const QString key = QString::fromStdString((m_temp / "key.pem").string());
    QProcess openssl;
    openssl.start(QStringLiteral("openssl"),
                  {QStringLiteral("req"), QStringLiteral("-x509"), QStringLiteral("-newkey"),
                   QStringLiteral("rsa:2048"), QStringLiteral("-nodes"), QStringLiteral("-days"), QStringLiteral("2"),
                   QStringLiteral("-subj"), QStringLiteral("/CN=127.0.0.1"), QStringLiteral("-addext"),
                   QStringLiteral("subjectAltName=IP:127.0.0.1"), QStringLiteral("-keyout"), key,
                   QStringLiteral("-out"), cert});
    ASSERT_TRUE(openssl.waitForFinished(30000));
    ASSERT_EQ(openssl.exitCode(), 0) << openssl.readAllStandardError().toStdString();
    QProcess tls;
    const int port = startServer(tls, {cert, key});
    ASSERT_GT(port, 0);
    m_settings.AutoUpdateUrl = "https://127.0.0.1:" + std::to_string(port) + "/newer";

    check();
    EXPECT_TRUE(MessageBoxes::answeredTexts().empty());
    EXPECT_EQ(m_store.values["AutoUpdateDate"], "24.12.2026 00:00:00");

    const QSslConfiguration system = QSslConfiguration::defaultConfiguration();
    QSslConfiguration trusting = system;
    trusting.addCaCertificates(QSslCertificate::fromPath(cert));
    QSslConfiguration::setDefaultConfiguration(trusting);
    m_store.values.clear();
    m_settings.AutoUpdateDate = 0; // never checked
    MessageBoxes::setNextAnswer(QMessageBox::No);
    check();
    ASSERT_EQ(MessageBoxes::answeredTexts().size(), 1u);
    EXPECT_EQ(MessageBoxes::answeredTexts().front(), "Neue Version 3.0.0.1\nmit Zeile zwei");

    // From the trusted server a redirect to plain HTTP is not followed.
    m_settings.AutoUpdateUrl = "https://127.0.0.1:" + std::to_string(port) + "/redirect?to=" + url("/newer");
    MessageBoxes::answeredTexts().clear();
    m_store.values.clear();
    m_settings.AutoUpdateDate = 0; // never checked
    check();
    QSslConfiguration::setDefaultConfiguration(system);
    EXPECT_NE(log().find("GET /redirect?to="), std::string::npos) << log();
    EXPECT_EQ(log().find("GET /newer"), log().rfind("GET /newer")) << log(); // only the HTTPS one
    EXPECT_TRUE(MessageBoxes::answeredTexts().empty());
    tls.kill();
    tls.waitForFinished();
}

TEST_F(UpdateCheckTest, AServerThatNeverAnswersIsGivenUpSilently)
{
    m_settings.AutoUpdateUrl = url("/stall");
    check();
    EXPECT_NE(log().find("GET /stall"), std::string::npos);
    EXPECT_TRUE(MessageBoxes::answeredTexts().empty());
    EXPECT_EQ(m_store.values["AutoUpdateDate"], "24.12.2026 00:00:00");
}

TEST_F(UpdateCheckTest, AHugePageIsNotReadWhole)
{
    m_settings.AutoUpdateUrl = url("/big");
    MessageBoxes::setNextAnswer(QMessageBox::No);
    check();
    EXPECT_EQ(MessageBoxes::answeredTexts().size(), 1u); // the version was read
    EXPECT_EQ(MessageBoxes::answeredTexts().front().size(), 5000u);
    // The server notes how much it could send before the check closed the connection.
    QElapsedTimer waited;
    waited.start();
    while (log().find("big sent") == std::string::npos && waited.elapsed() < 20000)
        QApplication::processEvents(QEventLoop::AllEvents, 50);
    const std::size_t at = log().find("big sent ");
    ASSERT_NE(at, std::string::npos);
    EXPECT_LT(std::stoll(log().substr(at + 9)), 10LL * 1024 * 1024);
}

// The proxy as host:port, as an address with a scheme, and with a login in it.
TEST_F(UpdateCheckTest, TheProxyIsAsked)
{
    struct Case
    {
        std::string proxy;
        std::string host;
        const char* login;
    };
    const std::string port = std::to_string(m_port);
    for (const Case& c : {Case{"127.0.0.1:" + port, "tresorio.example.invalid", nullptr},
                          Case{" http://127.0.0.1:" + port + "/ ", "tresorio.example.invalid", nullptr},
                          Case{"nutzer:geheim@127.0.0.1:" + port, "login.example.invalid", "nutzer:geheim"}}) {
        SCOPED_TRACE(c.proxy);
        m_store.values.clear();
        m_settings.AutoUpdateDate = 0; // never checked
        MessageBoxes::answeredTexts().clear();
        std::ofstream(m_log, std::ios::trunc).close();
        m_settings.AutoUpdateUrl = "http://" + c.host + "/newer";
        m_settings.AutoUpdateProxy = c.proxy;
        MessageBoxes::setNextAnswer(QMessageBox::No);
        check();
        EXPECT_NE(log().find("proxy http://" + c.host + "/newer"), std::string::npos) << log();
        if (c.login) {
            EXPECT_NE(log().find(std::string("proxy login ") + c.login), std::string::npos) << log();
        }
        EXPECT_EQ(MessageBoxes::answeredTexts().size(), 1u);
    }
}

TEST_F(UpdateCheckTest, NoRequestWhenSwitchedOffNotDueOrStartedForOneProfile)
{
    m_settings.AutoUpdateUrl = url("/newer");
    m_settings.AutoUpdate = false;
    {
        UpdateCheck idle(m_settings, &m_store, m_boxes, [] { return Today; });
        idle.Tick();
    }
    m_settings.AutoUpdate = true;
    m_settings.AutoUpdateDate = ReadStampedDateTime("10.12.2026 00:00:00"); // today is not later than the due date
    check();
    m_store.values.clear();
    m_settings.AutoUpdateDate = 0; // never checked
    {
        // Started with a profile name: past the three seconds, nothing was asked.
        UpdateCheck started(m_settings, &m_store, m_boxes, [] { return Today; });
        started.Start(true);
        QElapsedTimer waited;
        waited.start();
        while (waited.elapsed() < 3500)
            QApplication::processEvents(QEventLoop::AllEvents, 50);
    }
    EXPECT_EQ(log(), "");
    EXPECT_TRUE(MessageBoxes::answeredTexts().empty());
    // Started without a profile name, the check asks by itself once the start is over.
    MessageBoxes::setNextAnswer(QMessageBox::No);
    check(true);
    EXPECT_NE(log().find("GET /newer"), std::string::npos);
    EXPECT_EQ(MessageBoxes::answeredTexts().size(), 1u);
}

// The message is cut after 5000 characters however many bytes each takes, never inside one, even
// when the last character wanted arrives in two parts; bytes that are no UTF-8 are shown replaced.
TEST_F(UpdateCheckTest, TheMessageIsCutAfter5000CharactersNeverInsideOne)
{
    auto times = [](const std::string& text, int count) {
        std::string all;
        for (int i = 0; i < count; ++i)
            all += text;
        return all;
    };
    struct Case
    {
        const char* path;
        std::string message;
    };
    using namespace std::string_literals;
    for (const Case& c : {Case{"/umlauts-5000", times("ä", 5000)}, Case{"/umlauts-5001", times("ä", 5000)},
                          Case{"/emoji-5000", times("😀", 5000)}, Case{"/emoji-5001", times("😀", 5000)},
                          Case{"/bytes", "Neu\0da\uFFFD\n"s}}) {
        SCOPED_TRACE(c.path);
        MessageBoxes::answeredTexts().clear();
        m_store.values.clear();
        m_settings.AutoUpdateDate = 0; // never checked
        m_settings.AutoUpdateUrl = url(c.path);
        MessageBoxes::setNextAnswer(QMessageBox::No);
        check();
        ASSERT_EQ(MessageBoxes::answeredTexts().size(), 1u);
        const std::string& shown = MessageBoxes::answeredTexts().front();
        EXPECT_TRUE(shown == c.message) << shown.size() << " bytes ending in " << shown.substr(shown.size() - 8);
    }
}

// The next check is due AutoUpdateNext days after this one for every value the setting can hold:
// the largest still gives a date the next start reads back, and puts the next check off.
TEST_F(UpdateCheckTest, TheNextCheckIsPutOffForAnyNumberOfDays)
{
    struct Case
    {
        int days;
        bool askedAgainToday;
    };
    m_settings.AutoUpdateUrl = url("/same");
    for (const Case& c : {Case{1, false}, Case{0, false}, Case{100, false}, Case{INT_MAX, false}, Case{-1, true},
                          Case{INT_MIN, true}}) {
        SCOPED_TRACE(c.days);
        m_store.values.clear();
        m_settings.AutoUpdateDate = 0; // never checked
        m_settings.AutoUpdateNext = c.days;
        std::ofstream(m_log, std::ios::trunc).close();
        check();
        check();
        const std::string requests = log();
        const auto count = std::count(requests.begin(), requests.end(), '\n');
        EXPECT_EQ(count, c.askedAgainToday ? 2 : 1) << requests;
    }
}

// The windows close while the check still waits for the server: the check ends with them,
// without a question and without touching what is gone.
TEST_F(UpdateCheckTest, ACheckStillWaitingEndsWithTheWindows)
{
    m_settings.AutoUpdateUrl = url("/stall");
    {
        UpdateCheck check(m_settings, &m_store, m_boxes, [] { return Today; });
        check.Tick();
        QElapsedTimer waited;
        waited.start();
        while (log().find("GET /stall") == std::string::npos && waited.elapsed() < 10000)
            QApplication::processEvents(QEventLoop::AllEvents, 20);
        ASSERT_NE(log().find("GET /stall"), std::string::npos);
    }
    QApplication::processEvents();
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(MessageBoxes::answeredTexts().empty());
}

} // namespace
