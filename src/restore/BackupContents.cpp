#include "restore/BackupContents.h"

#include "base/ResultCodes.h"
#include "base/Text.h"
#include "engine/KeptMetadata.h"
#include "restore/ArchiveBackupReader.h"
#include "restore/FolderBackupReader.h"
#include "restore/RemoteFiles.h"

namespace {

void readServerTree(RemoteFiles& server, const std::string& folder, BackupCatalogue& catalogue,
                    std::vector<std::string>& problems)
{
    const FolderListing listing = server.List(folder);
    if (!listing.status.ok())
        problems.push_back("FTP-Verzeichnis nicht lesbar: " + folder + " (" +
                           ResultMessage(listing.status.code, listing.status.message) + ")");
    for (const FileEntry& e : listing.entries) {
        if (IsWorkName(e.name) || (folder.empty() && e.name == KeptMetadata::FileName))
            continue;
        StoredVersion v;
        v.place = StoredPlace::Server;
        v.location = folder + e.name + (e.folder ? "/" : "");
        v.kind = e.folder ? EntryKind::Folder : EntryKind::File;
        v.size = e.folder ? 0 : e.size;
        v.mtimeNs = e.mtimeNs;
        v.storedNs = e.mtimeNs;
        v.version = "aktuell";
        catalogue.Add(v.location, v);
        if (e.folder)
            readServerTree(server, v.location, catalogue, problems);
    }
}

} // namespace

BackupContents ReadBackupContents(const TProfile& profile, Platform& platform, FileSystem& fs, RemoteFiles* server,
                                  DateTime now, int language)
{
    const PlaceholderValues values = PlaceholderValuesFor(platform, now, language);
    BackupContents contents{DestinationLayout(profile, values)};
    const std::string& destination = contents.layout.destination();
    contents.where = destination;
    if (profile.FTP) {
        contents.where = "FTP " + profile.FTPServer + " " + destination;
        if (server == nullptr) {
            contents.problems.push_back("keine Verbindung zum FTP-Server " + profile.FTPServer);
            return contents;
        }
        readServerTree(*server, {}, contents.catalogue, contents.problems);
        if (const auto notes = server->Fetch(KeptMetadata::FileName))
            AddNotes(*notes, contents.catalogue);
        return contents;
    }
    if (profile.Compress) {
        const std::string current = ExpandPlaceholders(profile.Zipfile, values);
        contents.where = destination + " (Zip: " + LowerCaseAscii(current) + ")";
        contents.wholeSets = profile.Backuptype == BackupFull;
        contents.archives = ArchivesOf(fs, destination, profile.Zipfile, current);
        if (contents.archives.empty())
            contents.problems.push_back("kein Archiv des Profils in " + destination);
        const std::string scratch = platform.SpecialFolderPath(SpecialFolder::Temporary);
        for (const std::string& archive : contents.archives) {
            const Status read = ReadArchiveBackup(fs, archive, profile.Encrypt ? profile.Password : std::string(),
                                                  scratch, contents.catalogue);
            if (!read.ok())
                contents.problems.push_back("Archiv nicht lesbar: " + archive + " (" +
                                            ResultMessage(read.code, read.message) + ")");
        }
        return contents;
    }
    const Status read = ReadFolderBackup(fs, destination, profile.Generations, contents.catalogue);
    if (!read.ok())
        contents.problems.push_back("Ziel nicht lesbar: " + destination + " (" +
                                    ResultMessage(read.code, read.message) + ")");
    return contents;
}
