#pragma once

#include "base/Status.h"
#include "platform/FileSystem.h"

#include <optional>
#include <string>

/// The files of an FTP destination: listed folder by folder and fetched one at a time.
class RemoteFiles
{
public:
    virtual ~RemoteFiles() = default;
    /// The entries of folder (below the remote start folder, "" for itself, else ending with "/"):
    /// names, kinds, sizes and times as the server tells them. The failure when it cannot be read.
    virtual FolderListing List(const std::string& folder) = 0;
    /// Fetches the file at remotePath (below the remote start folder) into the new local file
    /// localPath; a failure leaves no file there.
    virtual Status Download(const std::string& remotePath, const std::string& localPath) = 0;
    /// The whole content of a small file (the server's .tresorio-metadaten); nothing when absent.
    virtual std::optional<std::string> Fetch(const std::string& remotePath) = 0;
};
