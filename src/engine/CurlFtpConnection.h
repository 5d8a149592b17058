#pragma once

#include <chrono>
#include <functional>
#include <string>
#include <vector>

typedef void CURL;
typedef void CURLM;
class RawFile;
struct FtpLogin;

/// One command of a call and the server's answer to it.
struct FtpExchange
{
    std::string command; // as sent, without a password; empty for the greeting of a connection
    int code = 0;        // of the last answer so far; 0 while none came
    bool begun = false;  // a preliminary answer (1xx) came: the server began the transfer
    std::string reply;   // its last line, as the server wrote it

    /// The command word ("STOR").
    std::string verb() const;
};

/// What one call to the server came to.
struct FtpOutcome
{
    int result = 0; // libcurl's code, 0 for success
    std::vector<FtpExchange> exchanges;
    bool silent = false;    // the server let the time limit pass without a sign of life
    int silentSeconds = 0;  // that limit
    bool cancelled = false; // the run was cancelled
    bool renewed = false;   // a new control connection greeted where the old one was expected
    std::string detail;     // libcurl's words for a failure before the server said anything

    bool ok() const { return result == 0; }
    /// The exchange a failure ended with; nullptr when no command was refused.
    const FtpExchange* refused() const;
    /// The server's answer to what failed, or what happened instead ("keine Antwort …").
    std::string answer() const;
};

/// The libcurl side of an FTP session: one handle whose control connection every call reuses,
/// driven by a loop of our own. Between the reply to PASV and the opening of the data connection
/// libcurl names no socket to wait on, and its own loop (curl_easy_perform) then sleeps its full
/// second before the next turn: up to a second per file. It also counts the whole login against
/// its connect time limit. Here every reply, new connection and block of data has its own
/// time limit (15 seconds unless the login says otherwise).
class CurlFtpConnection final
{
public:
    CurlFtpConnection();
    ~CurlFtpConnection();
    CurlFtpConnection(const CurlFtpConnection&) = delete;
    CurlFtpConnection& operator=(const CurlFtpConnection&) = delete;

    /// Whether libcurl could give its handles.
    bool usable() const { return m_curl != nullptr && m_multi != nullptr; }
    /// Sets the server, login and mode for every later call; nothing is sent yet.
    void Configure(const FtpLogin& login);
    /// Sends the commands one after the other on the control connection, after the login when
    /// there is none yet; a "*" before a command lets its failure pass.
    FtpOutcome Commands(const std::vector<std::string>& commands);
    /// Stores the file under name in the current folder, then sends after (only once the server
    /// has confirmed the transfer).
    FtpOutcome Store(RawFile& file, const std::string& name, bool text, const std::vector<std::string>& after);
    /// Reads the file name (a path relative to the current folder) and hands its bytes to sink;
    /// for a folder (a name ending with "/", or empty) what command ("MLSD") lists of it. A sink
    /// that refuses ends the call.
    FtpOutcome Retrieve(const std::string& name, const std::string& command,
                        const std::function<bool(const char* data, std::size_t length)>& sink);
    /// The next call opens a new control connection (closing the old one) and takes its greeting.
    void Renew() { m_renew = true; }
    /// Whether the control connection of the last call is still held.
    bool Kept() const { return m_kept; }
    /// A short grace for tidying up after a cancel: the cancel is no longer heeded, and the
    /// server gets a few seconds instead of the full time limit.
    void SetGrace(bool grace) { m_grace = grace; }

private:
    friend struct CurlFtpCallbacks;
    FtpOutcome perform();
    void heard(const std::string& line);
    void sent(const std::string& line);
    bool cancelled() const;
    std::chrono::steady_clock::duration limit() const;

    CURL* m_curl = nullptr;
    CURLM* m_multi = nullptr;
    std::string m_base; // "ftp://host:port/"
    char m_error[256] = {};
    std::function<bool()> m_cancelled;
    std::chrono::seconds m_timeLimit{15};             // for each reply, connection and block of data
    FtpOutcome m_outcome;                             // of the call under way
    std::chrono::steady_clock::time_point m_lastSign; // of life from the server
    bool m_greeted = false;                           // a connection was logged in to before
    bool m_renew = false;
    bool m_kept = false;
    bool m_grace = false;
};
