#pragma once

#include <QProcess>
#include <QProcessEnvironment>
#include <QStringList>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>

// The tresorio executable, started as a process with a home folder of its own, and what such a
// process meets: a display, a system bus with logind.

struct Outcome
{
    int exitCode = -1; // -1 when it did not end normally
    std::string out;
    std::string err;
};

/// The environment of a copy whose home, desktop folders and runtime folder lie below home.
QProcessEnvironment environmentFor(const std::filesystem::path& home);

/// Runs tresorio with arguments until it ends; asNobody runs it as the user "nobody", for whom
/// permissions count (the tests run as root, who may read and write everything).
Outcome runTresorio(const QStringList& arguments, const std::filesystem::path& home, bool asNobody = false);

/// Runs tresorio with arguments under another program (its command line before tresorio's own:
/// setpriv, strace) until it ends.
Outcome runTresorioUnder(const QStringList& wrapper, const QStringList& arguments, const std::filesystem::path& home);

QString q(const std::filesystem::path& p);

/// Whether condition holds within timeoutMs, asked every 100 ms.
bool waitFor(const std::function<bool()>& condition, int timeoutMs = 30000);

/// Whether a copy started with home listens on its channel within 30 seconds.
bool channelReady(const std::filesystem::path& home);

/// A copy of the program running in the background on a data folder, with a short tick; without
/// windows unless the arguments say otherwise.
class RunningCopy
{
public:
    RunningCopy(const std::filesystem::path& home, const std::optional<std::filesystem::path>& data,
                const QProcessEnvironment& extra = {}, const QStringList& arguments = {"--headless"});
    ~RunningCopy();
    RunningCopy(const RunningCopy&) = delete;
    RunningCopy& operator=(const RunningCopy&) = delete;

    /// The exit status once it ended (within timeoutMs), -1 when it did not end normally.
    int waitForExit(int timeoutMs = 30000);
    /// Whether it ended within timeoutMs.
    bool endsWithin(int timeoutMs);
    QProcess& process() { return m_process; }

private:
    QProcess m_process;
};

/// A private bus with a stand-in for logind on it; the program finds it as its system bus.
class FakeLogind
{
public:
    explicit FakeLogind(const std::filesystem::path& folder);
    ~FakeLogind();
    FakeLogind(const FakeLogind&) = delete;
    FakeLogind& operator=(const FakeLogind&) = delete;

    bool running() const { return !m_address.isEmpty(); }
    QProcessEnvironment asSystemBus() const;
    /// The next line the stand-in tells, or "" after 30 seconds of silence.
    std::string next();
    /// Sends one of logind's signals: "shutdown", "sleep", "wake".
    void send(const char* signal);

private:
    QProcess m_bus;
    QProcess m_logind;
    QString m_address;
};

/// An X server of its own (Xvfb) for a copy with windows; it can be taken away under the copy,
/// as the end of a desktop session does.
class VirtualDisplay
{
public:
    VirtualDisplay();
    ~VirtualDisplay();
    VirtualDisplay(const VirtualDisplay&) = delete;
    VirtualDisplay& operator=(const VirtualDisplay&) = delete;

    bool running() const { return !m_name.isEmpty(); }
    /// DISPLAY for a copy that shows its windows here.
    QProcessEnvironment environment() const;
    /// The ids of the visible windows whose title matches the regular expression.
    std::vector<std::string> windows(const std::string& title) const;
    /// Types keys (xdotool's names) into the window.
    void type(const std::string& window, const std::string& keys) const;
    /// Ends the X server, as a session's end does.
    void end();

private:
    QProcess m_server;
    QString m_name;
};
