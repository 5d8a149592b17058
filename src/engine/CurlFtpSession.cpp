#include "engine/CurlFtpSession.h"

#include "platform/RawFile.h"

#include <curl/curl.h>

namespace {

constexpr long ReplyTimeoutSeconds = 15;
constexpr std::int32_t UploadFailed = 10001; // shown with libcurl's own text

// libcurl takes the file's bytes through this.
std::size_t readFromFile(char* buffer, std::size_t size, std::size_t count, void* file)
{
    std::string error;
    const std::int64_t n = static_cast<RawFile*>(file)->Read(buffer, size * count, error);
    return n < 0 ? CURL_READFUNC_ABORT : static_cast<std::size_t>(n);
}

} // namespace

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
    curl_easy_setopt(m_curl, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(m_curl, CURLOPT_USERNAME, login.user.c_str());
    curl_easy_setopt(m_curl, CURLOPT_PASSWORD, login.password.c_str());
    curl_easy_setopt(m_curl, CURLOPT_PROXY, "");
    curl_easy_setopt(m_curl, CURLOPT_CONNECTTIMEOUT, ReplyTimeoutSeconds);
    curl_easy_setopt(m_curl, CURLOPT_SERVER_RESPONSE_TIMEOUT, ReplyTimeoutSeconds);
    // The server's current folder is ours to move: every name below is relative to it.
    curl_easy_setopt(m_curl, CURLOPT_FTP_FILEMETHOD, static_cast<long>(CURLFTPMETHOD_NOCWD));
    if (login.passive) {
        curl_easy_setopt(m_curl, CURLOPT_FTP_USE_EPSV, 0L);
    } else {
        curl_easy_setopt(m_curl, CURLOPT_FTPPORT, "-");
        curl_easy_setopt(m_curl, CURLOPT_FTP_USE_EPRT, 0L);
    }
    const int result = login.folder.empty() ? commands({}) : commands({"CWD " + login.folder});
    if (result != CURLE_OK) {
        reason = m_error[0] ? m_error : curl_easy_strerror(static_cast<CURLcode>(result));
        return false;
    }
    return true;
}

void CurlFtpSession::EnterFolder(const std::string& name)
{
    // "*": a command whose failure libcurl passes over (the folder may exist already).
    commands({"*MKD " + name, "*CWD " + name});
}

void CurlFtpSession::LeaveFolder()
{
    commands({"*CDUP"});
}

FileResult CurlFtpSession::Upload(const std::string& localPath, const std::string& name, bool text)
{
    std::string error;
    const std::unique_ptr<RawFile> file = RawFile::Open(localPath, RawFile::Mode::Read, error);
    if (!file)
        return {UploadFailed, "Datei kann nicht gelesen werden"};
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
    if (result != CURLE_OK)
        return {UploadFailed, m_error[0] ? m_error : curl_easy_strerror(result)};
    return {};
}
