#pragma once

#include "app/VersionPage.h"
#include "base/DateTime.h"

#include <QObject>
#include <QTimer>
#include <functional>

class Dialogs;
class QNetworkAccessManager;
class QNetworkReply;
class SettingsStore;
struct ProgramSettings;

/// Looks on the maker's version page, at most once every AutoUpdateNext days and once per program
/// run, whether a newer Tresorio exists, and offers to open the maker's home page. The request
/// never holds the window: it runs in the event loop, gives up after 5 s without data, and reads
/// no more of the page than the version and the message.
class UpdateCheck final : public QObject
{
    Q_OBJECT

public:
    /// today: the date the due date is compared with (the platform's clock; tests fix it).
    UpdateCheck(ProgramSettings& settings, SettingsStore* store, Dialogs& dialogs, std::function<DateTime()> today,
                QObject* parent = nullptr);
    ~UpdateCheck() override;
    Q_DISABLE_COPY_MOVE(UpdateCheck)

    /// Three seconds after start-up, and again every three seconds while the check is switched off
    /// (switching it on in the options lets the next tick check). Never for a command-line run.
    void Start(bool startedWithProfileName);
    /// One tick: checks when switched on and due.
    void Tick();

    /// The program's own version (from the build; tests fix it).
    VersionNumbers ownVersion;
    /// Opens the maker's home page (the windows give the desktop's browser; tests replace it).
    std::function<void(const QString&)> openHomePage;
    static constexpr const char* HomePage = "https://tresorio.kestrova.de/";
    static constexpr int ReadTimeoutMs = 5000;

signals:
    /// The check ended (with or without a newer version); for tests.
    void finished();

private:
    /// Ends the transfer early: the page is read far enough (read), or is no page to read.
    void stop(QNetworkReply* reply, bool read);
    /// The transfer ended; read tells whether m_page holds the page.
    void received(QNetworkReply* reply, bool read);

    std::function<DateTime()> m_today;
    ProgramSettings& m_settings;
    SettingsStore* m_store;
    Dialogs& m_dialogs;
    QTimer m_timer;
    QNetworkAccessManager* m_network = nullptr;
    QByteArray m_page;
    bool m_running = false;
};
