#pragma once

#include "engine/FtpSession.h"

#include <functional>
#include <vector>

typedef void CURL;

/// The FTP session through libcurl: PASV (not EPSV) in passive mode, PORT (not EPRT) in active
/// mode, so old servers and the firewalls in front of them work; every reply within 15 seconds;
/// no proxy. The folder walk is sent as FTP commands on the one control connection.
class CurlFtpSession final : public FtpSession
{
public:
    CurlFtpSession();
    ~CurlFtpSession() override;
    CurlFtpSession(const CurlFtpSession&) = delete;
    CurlFtpSession& operator=(const CurlFtpSession&) = delete;

    bool Connect(const FtpLogin& login, std::string& reason) override;
    bool EnterFolder(const std::string& name, std::string& reason) override;
    void LeaveFolder() override;
    Status Upload(const std::string& localPath, const std::string& name, bool text) override;

private:
    static std::size_t replyLine(char* buffer, std::size_t size, std::size_t count, void* session);
    int commands(const std::initializer_list<std::string>& list);
    std::string reasonOf(int result) const;

    CURL* m_curl = nullptr;
    std::string m_base; // "ftp://host:port/"
    char m_error[256] = {};
    std::vector<int> m_replies; // the codes of the server's replies since they were last cleared
    bool m_connected = false;
    bool m_lost = false;               // the walk's place on the server is no longer known
    std::function<bool()> m_cancelled; // what the progress callback asks
};
