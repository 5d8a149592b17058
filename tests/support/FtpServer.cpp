#include "support/FtpServer.h"

#include "base/Text.h"
#include "support/TempDir.h"

FtpServer::FtpServer(const std::filesystem::path& root, const std::filesystem::path& commandLog,
                     const std::vector<std::string>& behaviours)
    : m_log(commandLog)
{
    std::filesystem::create_directories(root);
    QStringList arguments{TRESORIO_FTP_SERVER_SCRIPT, QString::fromStdString(root.string()), User, Password,
                          QString::fromStdString(commandLog.string())};
    for (const std::string& behaviour : behaviours)
        arguments << QString::fromStdString(behaviour);
    m_process.start("/usr/bin/python3", arguments);
    if (m_process.waitForStarted(10000) && m_process.waitForReadyRead(10000))
        m_port = m_process.readLine().trimmed().toInt();
}

FtpServer::~FtpServer()
{
    m_process.terminate();
    if (!m_process.waitForFinished(5000)) {
        m_process.kill();
        m_process.waitForFinished();
    }
}

std::vector<std::string> FtpServer::commands() const
{
    return SplitLines(ReadFileBytes(m_log));
}
