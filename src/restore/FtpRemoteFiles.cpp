#include "restore/FtpRemoteFiles.h"

#include "base/ResultCodes.h"
#include "base/Text.h"
#include "platform/RawFile.h"

namespace {

constexpr DateTime UnixEpoch = 25569.0; // 01.01.1970 as days since 30.12.1899

// "YYYYMMDDHHMMSS[.sss]" in UTC as nanoseconds since 1970.
std::optional<std::int64_t> modifiedOf(const std::string& fact)
{
    long long parts[6] = {};
    const int widths[6] = {4, 2, 2, 2, 2, 2};
    std::size_t at = 0;
    for (int i = 0; i < 6; ++i) {
        if (!ParseInteger(std::string_view(fact).substr(at, static_cast<std::size_t>(widths[i])), 0, 9999, parts[i]))
            return std::nullopt;
        at += static_cast<std::size_t>(widths[i]);
    }
    const auto date = TryEncodeDate(static_cast<int>(parts[0]), static_cast<int>(parts[1]), static_cast<int>(parts[2]));
    if (!date || parts[3] > 23 || parts[4] > 59 || parts[5] > 60)
        return std::nullopt;
    const auto days = static_cast<std::int64_t>(*date - UnixEpoch);
    const std::int64_t seconds = days * 86400 + parts[3] * 3600 + parts[4] * 60 + parts[5];
    return seconds * 1'000'000'000;
}

} // namespace

std::vector<FileEntry> ParseMachineListing(const std::string& listing)
{
    std::vector<FileEntry> entries;
    for (const std::string& line : SplitLines(listing)) {
        // Facts "name=value;" up to a blank, then the name as it is.
        const std::size_t blank = line.find(' ');
        if (blank == std::string::npos || blank + 1 >= line.size())
            continue;
        FileEntry e;
        e.name = line.substr(blank + 1);
        std::string type;
        bool readable = true;
        for (std::size_t at = 0; at < blank;) {
            const std::size_t end = std::min(line.find(';', at), blank);
            const std::string fact = line.substr(at, end - at);
            const std::size_t equals = fact.find('=');
            const std::string key = LowerCaseAscii(fact.substr(0, equals));
            const std::string value = equals == std::string::npos ? std::string() : fact.substr(equals + 1);
            long long size = 0;
            if (key == "type")
                type = LowerCaseAscii(value);
            else if (key == "size")
                readable = readable && ParseInteger(value, 0, INT64_MAX, size);
            else if (key == "modify" && modifiedOf(value))
                e.mtimeNs = *modifiedOf(value);
            if (key == "size")
                e.size = size;
            at = end + 1;
        }
        if (!readable || e.name == "." || e.name == ".." || e.name.find('/') != std::string::npos)
            continue;
        if (type == "dir") {
            e.folder = true;
            e.kind = EntryKind::Folder;
            e.size = 0;
        } else if (type != "file") {
            continue; // the folder itself, its parent, or what the server keeps besides files
        }
        e.hidden = e.name.front() == '.';
        entries.push_back(std::move(e));
    }
    return entries;
}

FolderListing FtpRemoteFiles::List(const std::string& folder)
{
    std::string listing;
    FolderListing result;
    result.status = m_session.ListFolder(folder, listing);
    if (result.status.ok())
        result.entries = ParseMachineListing(listing);
    return result;
}

Status FtpRemoteFiles::Download(const std::string& remotePath, const std::string& localPath)
{
    std::string error;
    auto file = RawFile::Open(localPath, RawFile::Mode::Create, error);
    if (!file)
        return {ResultCode::AccessDenied, error};
    Status result = m_session.Download(
        remotePath, [&file, &error](const char* data, std::size_t length) { return file->Write(data, length, error); });
    if (result.ok() && !file->SyncAndClose(error))
        result = {ResultCode::DiskFull, error};
    if (!error.empty() && !result.ok())
        result.message = error;
    file.reset();
    if (!result.ok())
        m_fs.DeleteFile(localPath);
    return result;
}

std::optional<std::string> FtpRemoteFiles::Fetch(const std::string& remotePath)
{
    std::string content;
    const Status result = m_session.Download(remotePath, [&content](const char* data, std::size_t length) {
        content.append(data, length);
        return true;
    });
    if (!result.ok())
        return std::nullopt;
    return content;
}
