#pragma once

#include "engine/BackupJob.h"
#include "engine/FtpSession.h"
#include "engine/KeptMetadata.h"
#include "engine/Leftovers.h"
#include "engine/ReportLines.h"
#include "engine/RunObserver.h"
#include "engine/ZipArchiver.h"
#include "platform/ArchiveAttribute.h"
#include "platform/FileSystem.h"

#include <cstdint>
#include <string>
#include <vector>

/// The state one run shares between its walk and its file operations; the worker thread alone
/// touches it.
struct RunState
{
    RunState(const BackupJob& runJob, FileSystem& fileSystem, ArchiveAttribute& archiveAttribute,
             RunObserver& runObserver, RunControl& runControl, const std::atomic<bool>& destinationLost)
        : job(runJob), profile(runJob.profile), fs(fileSystem), archive(archiveAttribute), observer(runObserver),
          control(runControl), mediumLost(destinationLost)
    {
    }

    const BackupJob& job;
    const TProfile& profile;
    FileSystem& fs;
    ArchiveAttribute& archive;
    RunObserver& observer;
    RunControl& control;
    const std::atomic<bool>& mediumLost; // the destination's medium went away during the run

    std::vector<std::string> sources; // expanded, each ending with "/"
    std::string destination;          // expanded, ending with "/"
    std::string archiveName;          // the expanded Zipfile

    // Where the walk stands.
    std::string sourceRoot;
    std::string sourcePrefix;

    bool walkComplete = true;           // the first pass found every source and could read every folder
    std::string erasedFolder;           // where what an emptied destination held waits, ending with "/"
    FtpSession* ftp = nullptr;          // the server of an FTP profile, once connected
    RotationJournal* journal = nullptr; // where rotations of older versions are noted before they are made
    // Where the destination cannot keep what a file has besides its content, it is kept here.
    KeptMetadata* kept = nullptr;
    MetadataSupport support;
    int remoteFoldersMissed = 0;   // folders of the walk that could not be entered on the server
    int movedFolders = 0;          // folders above the walk's place that were moved into the source
    std::vector<ZipEntry> zipList; // what a compressing run puts into its archive

    std::vector<std::string> lines;
    RunStatistics stats;

    /// The run stops: the user cancelled, or the destination's medium is gone.
    bool aborted() const { return control.abortRequested.load() || mediumLost.load(); }
    void addLine(std::string line) { lines.push_back(std::move(line)); }
    /// One error line (when errors are logged) and one error.
    void fileError(const std::string& text, const Status& result);
    /// "!!! Fehler    : " + text, and one error, whatever the log settings: the failures of the
    /// run as a whole, which no setting may hide.
    void errorLine(const std::string& text);
};
