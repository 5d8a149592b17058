#pragma once

#include "engine/CurlFtpConnection.h"
#include "engine/FtpSession.h"

#include <functional>
#include <string>
#include <vector>

/// The FTP session through libcurl: PASV (not EPSV) in passive mode, PORT (not EPRT) in active
/// mode, so old servers and the firewalls in front of them work; every reply within 15 seconds;
/// no proxy. The folder walk is sent as FTP commands on the one control connection; when the
/// server closes it, a new one logs in and goes back to where the walk was.
/// An upload goes to a hidden name of the run's own beside its target and takes the target's
/// name (RNFR/RNTO) once the server has confirmed the whole file.
class CurlFtpSession final : public FtpSession
{
public:
    CurlFtpSession() = default;

    bool Connect(const FtpLogin& login, std::string& reason) override;
    bool EnterFolder(const std::string& name, std::string& reason) override;
    void LeaveFolder() override;
    Status Upload(const std::string& localPath, const std::string& name, bool text) override;
    Status Download(const std::string& path, const std::function<bool(const char*, std::size_t)>& sink) override;
    Status ListFolder(const std::string& folder, std::string& listing) override;

private:
    FtpOutcome call(const std::function<FtpOutcome()>& operation);
    bool reenter();
    bool replaceAside(const std::string& temporary, const std::string& name, std::string& note);
    std::string discard(const std::string& temporary, bool afterCancel);
    /// The outcome of a call that reads from the server as a status.
    Status readStatus(const FtpOutcome& outcome) const;
    std::string connectFailure(const FtpLogin& login, const FtpOutcome& outcome) const;

    CurlFtpConnection m_link;
    std::vector<std::string> m_place; // the CWD commands from the login folder to the walk's folder
    std::string m_workTag;
    bool m_connected = false;
    bool m_lost = false; // the walk's place on the server is no longer known
    std::string m_lostReason;
};
