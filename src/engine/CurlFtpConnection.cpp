#include "engine/CurlFtpConnection.h"

#include "engine/FtpSession.h"
#include "platform/RawFile.h"

#include <algorithm>
#include <cctype>
#include <curl/curl.h>

namespace {

using Clock = std::chrono::steady_clock;

// After a cancel, tidying up on the server gets this long.
constexpr auto GraceLimit = std::chrono::seconds(2);
// The longest the loop sleeps before it gives libcurl its next turn and looks for a cancel.
constexpr int LongestNapMs = 250;
// libcurl counts a whole login against its connect limit; the loop ends a connection that stays
// silent instead, so libcurl's own limit must lie beyond any login.
constexpr long LoginLimitSeconds = 3600;
// An idle control connection is kept for as long as the server keeps it: it holds the folder.
constexpr long IdleLimitSeconds = 24 * 3600;

// The file an upload reads, and what went wrong reading it.
struct Source
{
    RawFile* file = nullptr;
    std::uint64_t offset = 0;
    std::string error;
};

std::size_t readFromFile(char* buffer, std::size_t size, std::size_t count, void* source)
{
    auto& s = *static_cast<Source*>(source);
    const std::int64_t n = s.file->ReadAt(s.offset, buffer, size * count, s.error);
    if (n < 0)
        return CURL_READFUNC_ABORT;
    s.offset += static_cast<std::uint64_t>(n);
    return static_cast<std::size_t>(n);
}

using Sink = std::function<bool(const char*, std::size_t)>;

std::size_t writeToSink(char* buffer, std::size_t size, std::size_t count, void* sink)
{
    return (*static_cast<const Sink*>(sink))(buffer, size * count) ? size * count : 0;
}

std::string withoutLineEnd(std::string line)
{
    while (!line.empty() && (line.back() == '\r' || line.back() == '\n'))
        line.pop_back();
    return line;
}

curl_slist* listOf(const std::vector<std::string>& commands)
{
    curl_slist* list = nullptr;
    for (const std::string& command : commands)
        list = curl_slist_append(list, command.c_str());
    return list;
}

} // namespace

struct CurlFtpCallbacks
{
    static std::size_t reply(char* buffer, std::size_t size, std::size_t count, void* self)
    {
        auto& c = *static_cast<CurlFtpConnection*>(self);
        const std::string line = withoutLineEnd(std::string(buffer, size * count));
        // The last line of a reply is its code and a blank; the lines before it have a "-".
        if (line.size() < 4 || !std::isdigit(static_cast<unsigned char>(line[0])) || line[3] != ' ') {
            c.m_lastSign = Clock::now();
            return size * count;
        }
        std::vector<FtpExchange>& exchanges = c.m_outcome.exchanges;
        const bool unasked = exchanges.empty() || exchanges.back().code >= 200;
        if (unasked && line.compare(0, 3, "220") == 0) {
            // A greeting where the old connection was expected: libcurl found it closed and
            // opened another, which stands in the login folder, not where the walk was.
            if (c.m_greeted && !c.m_renew) {
                c.m_outcome.renewed = true;
                return 0;
            }
            c.m_greeted = true;
            c.m_renew = false;
        }
        c.heard(line);
        return size * count;
    }

    static int debug(CURL*, curl_infotype type, char* data, std::size_t size, void* self)
    {
        auto& c = *static_cast<CurlFtpConnection*>(self);
        if (type == CURLINFO_HEADER_OUT)
            c.sent(withoutLineEnd(std::string(data, size)));
        else if (type == CURLINFO_DATA_OUT || type == CURLINFO_DATA_IN)
            c.m_lastSign = Clock::now();
        return 0;
    }

    // libcurl asks this while it waits inside one of its own steps (the 226 after the data).
    static int progress(void* self, curl_off_t, curl_off_t, curl_off_t, curl_off_t)
    {
        return static_cast<CurlFtpConnection*>(self)->cancelled() ? 1 : 0;
    }
};

std::string FtpExchange::verb() const
{
    return command.substr(0, command.find(' '));
}

const FtpExchange* FtpOutcome::refused() const
{
    if (ok() || exchanges.empty() || exchanges.back().code < 400)
        return nullptr;
    return &exchanges.back();
}

std::string FtpOutcome::answer() const
{
    if (const FtpExchange* failed = refused())
        return failed->reply;
    if (cancelled)
        return "Abbruch durch Benutzer";
    if (silent || result == CURLE_OPERATION_TIMEDOUT) {
        const std::string limit = std::to_string(silentSeconds) + " s";
        if (!exchanges.empty() && exchanges.back().code == 0 && !exchanges.back().command.empty())
            return "keine Antwort auf " + exchanges.back().verb() + " in " + limit;
        if (!exchanges.empty() && exchanges.back().code / 100 == 1)
            return "Übertragung " + limit + " ohne Fortschritt";
        return "keine Antwort in " + limit;
    }
    if (!detail.empty())
        return detail;
    return curl_easy_strerror(static_cast<CURLcode>(result));
}

CurlFtpConnection::CurlFtpConnection() : m_curl(curl_easy_init()), m_multi(curl_multi_init())
{
    // One control connection at a time: a new one replaces the old.
    if (m_multi)
        curl_multi_setopt(m_multi, CURLMOPT_MAXCONNECTS, 1L);
}

CurlFtpConnection::~CurlFtpConnection()
{
    if (m_curl)
        curl_easy_cleanup(m_curl);
    if (m_multi)
        curl_multi_cleanup(m_multi);
}

void CurlFtpConnection::Configure(const FtpLogin& login)
{
    m_base = "ftp://" + login.host + ":" + std::to_string(login.port) + "/";
    m_cancelled = login.cancelled;
    m_timeLimit = std::chrono::seconds(login.replySeconds);
    curl_easy_setopt(m_curl, CURLOPT_ERRORBUFFER, m_error);
    curl_easy_setopt(m_curl, CURLOPT_HEADERFUNCTION, CurlFtpCallbacks::reply);
    curl_easy_setopt(m_curl, CURLOPT_HEADERDATA, this);
    // The commands as they go out: what each reply answers, and a sign of life on the way.
    curl_easy_setopt(m_curl, CURLOPT_DEBUGFUNCTION, CurlFtpCallbacks::debug);
    curl_easy_setopt(m_curl, CURLOPT_DEBUGDATA, this);
    curl_easy_setopt(m_curl, CURLOPT_VERBOSE, 1L);
    curl_easy_setopt(m_curl, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(m_curl, CURLOPT_USERNAME, login.user.c_str());
    curl_easy_setopt(m_curl, CURLOPT_PASSWORD, login.password.c_str());
    curl_easy_setopt(m_curl, CURLOPT_PROXY, "");
    curl_easy_setopt(m_curl, CURLOPT_CONNECTTIMEOUT, LoginLimitSeconds);
    curl_easy_setopt(m_curl, CURLOPT_MAXAGE_CONN, IdleLimitSeconds);
    // For the waits inside libcurl's own steps, and for the server's connection in active mode.
    const auto limit = m_timeLimit.count();
    curl_easy_setopt(m_curl, CURLOPT_SERVER_RESPONSE_TIMEOUT, static_cast<long>(limit));
    curl_easy_setopt(m_curl, CURLOPT_ACCEPTTIMEOUT_MS, static_cast<long>(limit * 1000));
    curl_easy_setopt(m_curl, CURLOPT_XFERINFOFUNCTION, CurlFtpCallbacks::progress);
    curl_easy_setopt(m_curl, CURLOPT_XFERINFODATA, this);
    curl_easy_setopt(m_curl, CURLOPT_NOPROGRESS, 0L);
    // The server's current folder is ours to move: every name is relative to it.
    curl_easy_setopt(m_curl, CURLOPT_FTP_FILEMETHOD, static_cast<long>(CURLFTPMETHOD_NOCWD));
    if (login.passive) {
        curl_easy_setopt(m_curl, CURLOPT_FTP_USE_EPSV, 0L);
    } else {
        curl_easy_setopt(m_curl, CURLOPT_FTPPORT, "-");
        curl_easy_setopt(m_curl, CURLOPT_FTP_USE_EPRT, 0L);
    }
}

bool CurlFtpConnection::cancelled() const
{
    return !m_grace && m_cancelled && m_cancelled();
}

std::chrono::steady_clock::duration CurlFtpConnection::limit() const
{
    return m_grace ? Clock::duration(GraceLimit) : Clock::duration(m_timeLimit);
}

void CurlFtpConnection::heard(const std::string& line)
{
    m_lastSign = Clock::now();
    const int code = std::stoi(line.substr(0, 3));
    std::vector<FtpExchange>& exchanges = m_outcome.exchanges;
    // A preliminary reply (1xx) leaves the command waiting for its final one.
    if (exchanges.empty() || exchanges.back().code >= 200)
        exchanges.push_back({});
    exchanges.back().code = code;
    exchanges.back().reply = line;
    exchanges.back().begun = exchanges.back().begun || code / 100 == 1;
}

void CurlFtpConnection::sent(const std::string& line)
{
    m_lastSign = Clock::now();
    FtpExchange exchange;
    exchange.command = line.compare(0, 5, "PASS ") == 0 ? "PASS" : line;
    m_outcome.exchanges.push_back(std::move(exchange));
}

FtpOutcome CurlFtpConnection::perform()
{
    m_outcome = {};
    m_error[0] = '\0';
    m_lastSign = Clock::now();
    curl_easy_setopt(m_curl, CURLOPT_FRESH_CONNECT, m_renew ? 1L : 0L);
    curl_multi_add_handle(m_multi, m_curl);
    bool done = false;
    int nap = 1;
    for (;;) {
        int running = 0;
        curl_multi_perform(m_multi, &running);
        int queued = 0;
        while (const CURLMsg* message = curl_multi_info_read(m_multi, &queued)) {
            if (message->msg == CURLMSG_DONE) {
                m_outcome.result = message->data.result;
                done = true;
            }
        }
        if (done)
            break;
        if (cancelled()) {
            m_outcome.result = CURLE_ABORTED_BY_CALLBACK;
            break;
        }
        if (Clock::now() - m_lastSign > limit()) {
            m_outcome.result = CURLE_OPERATION_TIMEDOUT;
            m_outcome.silent = true;
            break;
        }
        // libcurl names no socket while it is between two of its steps (after the reply to
        // PASV, before the data connection): a short nap, growing while nothing happens,
        // gives it its next turn at once.
        int ready = 0;
        curl_multi_poll(m_multi, nullptr, 0, nap, &ready);
        nap = ready > 0 ? 1 : std::min(nap * 2, LongestNapMs);
    }
    curl_socket_t control = CURL_SOCKET_BAD;
    if (done)
        curl_easy_getinfo(m_curl, CURLINFO_ACTIVESOCKET, &control);
    // Taken out before its end, the transfer ends there and libcurl closes its connection.
    curl_multi_remove_handle(m_multi, m_curl);
    m_kept = control != CURL_SOCKET_BAD;
    m_outcome.cancelled = m_outcome.result == CURLE_ABORTED_BY_CALLBACK && cancelled();
    m_outcome.silentSeconds = static_cast<int>(std::chrono::duration_cast<std::chrono::seconds>(limit()).count());
    if (!m_outcome.ok() && m_outcome.exchanges.empty() && m_error[0] != '\0')
        m_outcome.detail = m_error;
    return m_outcome;
}

FtpOutcome CurlFtpConnection::Commands(const std::vector<std::string>& commands)
{
    curl_slist* quote = listOf(commands);
    curl_easy_setopt(m_curl, CURLOPT_URL, m_base.c_str());
    curl_easy_setopt(m_curl, CURLOPT_NOBODY, 1L);
    curl_easy_setopt(m_curl, CURLOPT_UPLOAD, 0L);
    curl_easy_setopt(m_curl, CURLOPT_QUOTE, quote);
    FtpOutcome outcome = perform();
    curl_easy_setopt(m_curl, CURLOPT_QUOTE, nullptr);
    curl_slist_free_all(quote);
    return outcome;
}

FtpOutcome CurlFtpConnection::Store(RawFile& file, const std::string& name, bool text,
                                    const std::vector<std::string>& after)
{
    char* escaped = curl_easy_escape(m_curl, name.c_str(), static_cast<int>(name.size()));
    const std::string url = m_base + (escaped ? escaped : name);
    curl_free(escaped);
    Source source{&file, 0, {}};
    curl_slist* postQuote = listOf(after);
    curl_easy_setopt(m_curl, CURLOPT_URL, url.c_str());
    curl_easy_setopt(m_curl, CURLOPT_NOBODY, 0L);
    curl_easy_setopt(m_curl, CURLOPT_UPLOAD, 1L);
    curl_easy_setopt(m_curl, CURLOPT_READFUNCTION, readFromFile);
    curl_easy_setopt(m_curl, CURLOPT_READDATA, &source);
    curl_easy_setopt(m_curl, CURLOPT_INFILESIZE_LARGE, static_cast<curl_off_t>(file.Size()));
    curl_easy_setopt(m_curl, CURLOPT_TRANSFERTEXT, text ? 1L : 0L);
    curl_easy_setopt(m_curl, CURLOPT_POSTQUOTE, postQuote);
    FtpOutcome outcome = perform();
    curl_easy_setopt(m_curl, CURLOPT_POSTQUOTE, nullptr);
    curl_easy_setopt(m_curl, CURLOPT_UPLOAD, 0L);
    curl_easy_setopt(m_curl, CURLOPT_TRANSFERTEXT, 0L);
    curl_easy_setopt(m_curl, CURLOPT_READDATA, nullptr);
    curl_slist_free_all(postQuote);
    if (!source.error.empty())
        outcome.detail = "Datei kann nicht gelesen werden: " + source.error;
    return outcome;
}

FtpOutcome CurlFtpConnection::Retrieve(const std::string& name, const std::string& command, const Sink& sink)
{
    char* escaped = curl_easy_escape(m_curl, name.c_str(), static_cast<int>(name.size()));
    // libcurl decodes the path whole: "a/b" reads b in a, and a path ending in "/" is a folder,
    // listed with command.
    const std::string url = m_base + (escaped ? escaped : name);
    curl_free(escaped);
    curl_easy_setopt(m_curl, CURLOPT_URL, url.c_str());
    curl_easy_setopt(m_curl, CURLOPT_NOBODY, 0L);
    curl_easy_setopt(m_curl, CURLOPT_UPLOAD, 0L);
    curl_easy_setopt(m_curl, CURLOPT_CUSTOMREQUEST, command.empty() ? nullptr : command.c_str());
    curl_easy_setopt(m_curl, CURLOPT_WRITEFUNCTION, writeToSink);
    curl_easy_setopt(m_curl, CURLOPT_WRITEDATA, &sink);
    FtpOutcome outcome = perform();
    curl_easy_setopt(m_curl, CURLOPT_CUSTOMREQUEST, nullptr);
    curl_easy_setopt(m_curl, CURLOPT_WRITEFUNCTION, nullptr);
    curl_easy_setopt(m_curl, CURLOPT_WRITEDATA, nullptr);
    return outcome;
}
