#pragma once

#include "engine/FtpSession.h"

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
    void EnterFolder(const std::string& name) override;
    void LeaveFolder() override;
    FileResult Upload(const std::string& localPath, const std::string& name, bool text) override;

private:
    int commands(const std::initializer_list<std::string>& list);

    CURL* m_curl = nullptr;
    std::string m_base; // "ftp://host:port/"
    char m_error[256] = {};
};
