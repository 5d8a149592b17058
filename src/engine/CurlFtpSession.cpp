#include "engine/CurlFtpSession.h"

#include "base/ResultCodes.h"
#include "platform/RawFile.h"

#include <cctype>
#include <curl/curl.h>

namespace {

constexpr long ReplyTimeoutSeconds = 15;
constexpr const char* LostText = "Verbindung zum FTP-Server verloren";

// libcurl takes the file's bytes through this.
std::size_t readFromFile(char* buffer, std::size_t size, std::size_t count, void* file)
{
    std::string error;
    const std::int64_t n = static_cast<RawFile*>(file)->Read(buffer, size * count, error);
    return n < 0 ? CURL_READFUNC_ABORT : static_cast<std::size_t>(n);
}

// libcurl asks this while it waits; a cancelled run ends the transfer or the wait for a reply.
int progress(void* cancelledFunction, curl_off_t, curl_off_t, curl_off_t, curl_off_t)
{
    const auto& cancelled = *static_cast<const std::function<bool()>*>(cancelledFunction);
    return cancelled && cancelled() ? 1 : 0;
}

} // namespace

std::size_t CurlFtpSession::replyLine(char* buffer, std::size_t size, std::size_t count, void* session)
{
    auto* self = static_cast<CurlFtpSession*>(session);
    const std::string_view line(buffer, size * count);
    // The last line of a reply is its code and a blank; the lines before it have a "-".
    if (line.size() >= 4 && std::isdigit(static_cast<unsigned char>(line[0])) && line[3] == ' ') {
        const int code = std::stoi(std::string(line.substr(0, 3)));
        // A greeting after the login means libcurl opened a new connection: it stands in the
        // login folder, not where the walk was. Nothing more may be sent on it.
        if (code == 220 && self->m_connected) {
            self->m_lost = true;
            return 0;
        }
        self->m_replies.push_back(code);
    }
    return size * count;
}

CurlFtpSession::CurlFtpSession() : m_curl(curl_easy_init())
{
}

CurlFtpSession::~CurlFtpSession()
{
    if (m_curl)
        curl_easy_cleanup(m_curl);
}

int CurlFtpSession::commands(const std::initializer_list<std::string>& list)
{
    curl_slist* quote = nullptr;
    for (const std::string& command : list)
        quote = curl_slist_append(quote, command.c_str());
    curl_easy_setopt(m_curl, CURLOPT_URL, m_base.c_str());
    curl_easy_setopt(m_curl, CURLOPT_NOBODY, 1L);
    curl_easy_setopt(m_curl, CURLOPT_UPLOAD, 0L);
    curl_easy_setopt(m_curl, CURLOPT_QUOTE, quote);
    const CURLcode result = curl_easy_perform(m_curl);
    curl_easy_setopt(m_curl, CURLOPT_QUOTE, nullptr);
    curl_slist_free_all(quote);
    return result;
}

bool CurlFtpSession::Connect(const FtpLogin& login, std::string& reason)
{
    if (!m_curl) {
        reason = "libcurl";
        return false;
    }
    m_base = "ftp://" + login.host + ":" + std::to_string(login.port) + "/";
    curl_easy_setopt(m_curl, CURLOPT_ERRORBUFFER, m_error);
    curl_easy_setopt(m_curl, CURLOPT_HEADERFUNCTION, replyLine);
    curl_easy_setopt(m_curl, CURLOPT_HEADERDATA, this);
    curl_easy_setopt(m_curl, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(m_curl, CURLOPT_USERNAME, login.user.c_str());
    curl_easy_setopt(m_curl, CURLOPT_PASSWORD, login.password.c_str());
    curl_easy_setopt(m_curl, CURLOPT_PROXY, "");
    curl_easy_setopt(m_curl, CURLOPT_CONNECTTIMEOUT, ReplyTimeoutSeconds);
    curl_easy_setopt(m_curl, CURLOPT_SERVER_RESPONSE_TIMEOUT, ReplyTimeoutSeconds);
    // A data connection on which nothing moves for as long as a reply may take is dead: the file
    // fails instead of the run hanging for ever.
    curl_easy_setopt(m_curl, CURLOPT_LOW_SPEED_LIMIT, 1L);
    curl_easy_setopt(m_curl, CURLOPT_LOW_SPEED_TIME, ReplyTimeoutSeconds);
    m_cancelled = login.cancelled;
    curl_easy_setopt(m_curl, CURLOPT_XFERINFOFUNCTION, progress);
    curl_easy_setopt(m_curl, CURLOPT_XFERINFODATA, &m_cancelled);
    curl_easy_setopt(m_curl, CURLOPT_NOPROGRESS, 0L);
    // The server's current folder is ours to move: every name below is relative to it.
    curl_easy_setopt(m_curl, CURLOPT_FTP_FILEMETHOD, static_cast<long>(CURLFTPMETHOD_NOCWD));
    if (login.passive) {
        curl_easy_setopt(m_curl, CURLOPT_FTP_USE_EPSV, 0L);
    } else {
        curl_easy_setopt(m_curl, CURLOPT_FTPPORT, "-");
        curl_easy_setopt(m_curl, CURLOPT_FTP_USE_EPRT, 0L);
    }
    if (!SafeFtpName(login.folder) || !SafeFtpName(login.user) || !SafeFtpName(login.password)) {
        reason = "Zeilenumbruch in Ordner oder Anmeldung";
        return false;
    }
    // After the login the transfer type, then the system type (which some servers refuse: "*"
    // passes over a failure). libcurl sends the type again before the first transfer.
    const std::string type = login.text ? "TYPE A" : "TYPE I";
    const int result =
        login.folder.empty() ? commands({type, "*SYST"}) : commands({type, "*SYST", "CWD " + login.folder});
    if (result != CURLE_OK) {
        reason = reasonOf(result);
        return false;
    }
    m_connected = true;
    return true;
}

std::string CurlFtpSession::reasonOf(int result) const
{
    return m_error[0] ? m_error : curl_easy_strerror(static_cast<CURLcode>(result));
}

bool CurlFtpSession::EnterFolder(const std::string& name, std::string& reason)
{
    if (!SafeFtpName(name)) {
        reason = "Zeilenumbruch im Namen";
        return false;
    }
    if (m_lost) {
        reason = LostText;
        return false;
    }
    // "*": a command whose failure libcurl passes over, keeping the connection and with it the
    // current folder (the folder may exist already; whether CWD worked its reply tells).
    m_error[0] = '\0';
    m_replies.clear();
    const int result = commands({"*MKD " + name, "*CWD " + name});
    if (result != CURLE_OK) {
        reason = reasonOf(result);
        return false;
    }
    if (m_replies.size() < 2 || m_replies[1] / 100 != 2) {
        reason = m_replies.size() < 2 ? "keine Antwort auf CWD" : "CWD: " + std::to_string(m_replies[1]);
        return false;
    }
    return true;
}

void CurlFtpSession::LeaveFolder()
{
    // A folder left behind would put every later file in the wrong place: then nothing more
    // is sent.
    m_replies.clear();
    if (m_lost || commands({"*CDUP"}) != CURLE_OK || m_replies.empty() || m_replies.back() / 100 != 2)
        m_lost = true;
}

Status CurlFtpSession::Upload(const std::string& localPath, const std::string& name, bool text)
{
    if (!SafeFtpName(name))
        return {ResultCode::UploadFailed, "Zeilenumbruch im Namen: nicht gesendet"};
    if (m_lost)
        return {ResultCode::UploadFailed, LostText};
    std::string error;
    const std::unique_ptr<RawFile> file = RawFile::Open(localPath, RawFile::Mode::Read, error);
    if (!file)
        return {ResultCode::UploadFailed, "Datei kann nicht gelesen werden"};
    char* escaped = curl_easy_escape(m_curl, name.c_str(), static_cast<int>(name.size()));
    const std::string url = m_base + (escaped ? escaped : name);
    curl_free(escaped);
    curl_easy_setopt(m_curl, CURLOPT_URL, url.c_str());
    curl_easy_setopt(m_curl, CURLOPT_NOBODY, 0L);
    curl_easy_setopt(m_curl, CURLOPT_UPLOAD, 1L);
    curl_easy_setopt(m_curl, CURLOPT_READFUNCTION, readFromFile);
    curl_easy_setopt(m_curl, CURLOPT_READDATA, file.get());
    curl_easy_setopt(m_curl, CURLOPT_INFILESIZE_LARGE, static_cast<curl_off_t>(file->Size()));
    curl_easy_setopt(m_curl, CURLOPT_TRANSFERTEXT, text ? 1L : 0L);
    m_error[0] = '\0';
    const CURLcode result = curl_easy_perform(m_curl);
    curl_easy_setopt(m_curl, CURLOPT_UPLOAD, 0L);
    curl_easy_setopt(m_curl, CURLOPT_TRANSFERTEXT, 0L);
    if (m_lost)
        return {ResultCode::UploadFailed, LostText};
    if (result != CURLE_OK)
        return {ResultCode::UploadFailed, m_error[0] ? m_error : curl_easy_strerror(result)};
    return {};
}
