#include "restore/BackupCheck.h"

#include "base/ResultCodes.h"
#include "engine/FileHelpers.h"
#include "engine/Leftovers.h"
#include "platform/RawFile.h"
#include "restore/RemoteFiles.h"
#include "restore/ZipReader.h"

#include <vector>

namespace {

Status readWhole(const std::string& path, const RunControl& control)
{
    std::string error;
    const auto file = RawFile::Open(path, RawFile::Mode::Read, error);
    if (!file)
        return {ResultCode::AccessDenied, error};
    std::vector<char> buffer(1 << 20);
    for (;;) {
        if (control.abortRequested.load())
            return {ResultCode::Cancelled, CancelledText};
        const std::int64_t n = file->Read(buffer.data(), buffer.size(), error);
        if (n < 0)
            return {ResultCode::Unexpected, error};
        if (n == 0)
            return {};
    }
}

} // namespace

CheckOutcome CheckBackup(const BackupContents& contents, FileSystem& fs, const std::string& password,
                         const std::string& scratchFolder, RemoteFiles* server, RunControl& control)
{
    CheckOutcome outcome;
    auto damaged = [&outcome](const std::string& what, const Status& status) {
        outcome.lines.push_back(FileErrorLine(what, status.code, status.message));
        ++outcome.stats.errorCount;
    };
    for (const std::string& problem : contents.problems) {
        outcome.lines.push_back(std::string(ErrorPrefix) + problem);
        ++outcome.stats.errorCount;
    }
    for (const std::string& archive : contents.archives) {
        std::string error;
        const auto reader = ZipReader::OpenBackup(archive, password, scratchFolder, error);
        if (!reader)
            continue; // told among the problems already
        for (const ZipReader::Entry& e : reader->entries()) {
            if (control.abortRequested.load())
                break;
            ++outcome.stats.filesScanned;
            const Status read = reader->Read(
                e, [](const char*, std::size_t) { return true; }, [&control] { return control.abortRequested.load(); });
            if (read.code == ResultCode::Cancelled && control.abortRequested.load())
                break;
            if (!read.ok()) {
                damaged("beschädigt: " + archive + ": " + e.name, read);
                continue;
            }
            ++outcome.stats.filesDone;
            outcome.stats.bytesDone += e.size;
        }
    }
    const std::string fetched = AddSlash(scratchFolder) + "." + NewWorkTag() + "-check";
    for (const auto& [sub, versions] : contents.catalogue.entries()) {
        for (const StoredVersion& v : versions) {
            if (control.abortRequested.load())
                break;
            if (v.kind != EntryKind::File || (v.place != StoredPlace::Copy && v.place != StoredPlace::Server))
                continue;
            ++outcome.stats.filesScanned;
            Status read;
            if (v.place == StoredPlace::Copy) {
                read = readWhole(v.location, control);
            } else if (server == nullptr) {
                read = {ResultCode::UploadFailed, "keine Verbindung zum FTP-Server"};
            } else {
                read = server->Download(v.location, fetched);
                fs.DeleteFile(fetched);
            }
            if (read.code == ResultCode::Cancelled && control.abortRequested.load())
                break;
            if (!read.ok()) {
                damaged("nicht lesbar: " + v.location, read);
                continue;
            }
            ++outcome.stats.filesDone;
            outcome.stats.bytesDone += v.size;
        }
    }
    if (control.abortRequested.load()) {
        outcome.lines.push_back(std::string(ErrorPrefix) + CancelledText);
        ++outcome.stats.errorCount;
    }
    return outcome;
}
