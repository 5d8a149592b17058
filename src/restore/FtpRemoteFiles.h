#pragma once

#include "engine/FtpSession.h"
#include "restore/RemoteFiles.h"

#include <string>
#include <vector>

/// The entries of a machine-readable folder listing (MLSD, RFC 3659): files and folders with
/// their sizes and times (the server's "modify" fact, UTC to the second); "." and ".." and
/// lines that cannot be read are passed over.
std::vector<FileEntry> ParseMachineListing(const std::string& listing);

/// The files of an FTP destination through a session that is logged in and stands in the
/// profile's remote folder.
class FtpRemoteFiles final : public RemoteFiles
{
public:
    FtpRemoteFiles(FtpSession& session, FileSystem& fs) : m_session(session), m_fs(fs) {}

    FolderListing List(const std::string& folder) override;
    Status Download(const std::string& remotePath, const std::string& localPath) override;
    std::optional<std::string> Fetch(const std::string& remotePath) override;

private:
    FtpSession& m_session;
    FileSystem& m_fs;
};
