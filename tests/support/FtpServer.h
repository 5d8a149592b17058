#pragma once

#include <QProcess>
#include <filesystem>
#include <string>
#include <vector>

/// A real FTP server (pyftpdlib) on 127.0.0.1 with one user, serving root, for one test.
class FtpServer final
{
public:
    /// behaviours make it misbehave as real servers and links do ("cut=65536", "stall=65536",
    /// "late=4:USER,PASS", "refuse=RNFR:502 …", "no-replace-on-rename"; see ftp_server.py).
    FtpServer(const std::filesystem::path& root, const std::filesystem::path& commandLog,
              const std::vector<std::string>& behaviours = {});
    ~FtpServer();
    FtpServer(const FtpServer&) = delete;
    FtpServer& operator=(const FtpServer&) = delete;

    int port() const { return m_port; }
    /// The commands the server received, in order (PASS without its argument; "CONNECT" for
    /// each new control connection).
    std::vector<std::string> commands() const;

    static constexpr const char* User = "anna";
    static constexpr const char* Password = "geheim";

private:
    QProcess m_process;
    std::filesystem::path m_log;
    int m_port = 0;
};
