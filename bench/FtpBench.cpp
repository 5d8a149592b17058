// Uploads of many small files to an FTP server (pyftpdlib) on 127.0.0.1: a full run of 1,000
// files of 1 KiB in 10 folders, in passive and active mode, binary and as text. Prints the
// median of three runs each and the time per file. Each upload is a data connection, a STOR,
// and the rename of the complete file; the time goes to round trips, never to waiting.

#include "QuietObserver.h"
#include "engine/BackupRun.h"
#include "platform/posix/ArchiveStateCatalogue.h"
#include "platform/posix/PosixFileSystem.h"
#include "platform/posix/PosixPlatform.h"
#include "profiles/ProfileText.h"

#include <algorithm>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

extern char** environ;

namespace {

constexpr int Folders = 10;
constexpr int FilesPerFolder = 100;
constexpr int Runs = 3;

// The test suite's FTP server, for the length of one measurement.
class Server
{
public:
    explicit Server(const std::filesystem::path& root)
    {
        std::filesystem::create_directories(root / "ziel");
        int out[2];
        if (pipe(out) != 0)
            return;
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_adddup2(&actions, out[1], STDOUT_FILENO);
        posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
        posix_spawn_file_actions_addclose(&actions, out[0]);
        const std::string rootText = root.string();
        const std::string log = (root.parent_path() / "commands.log").string();
        std::vector<char*> argv{const_cast<char*>("/usr/bin/python3"),
                                const_cast<char*>(TRESORIO_FTP_SERVER_SCRIPT),
                                const_cast<char*>(rootText.c_str()),
                                const_cast<char*>("anna"),
                                const_cast<char*>("geheim"),
                                const_cast<char*>(log.c_str()),
                                nullptr};
        if (posix_spawn(&m_pid, argv[0], &actions, nullptr, argv.data(), environ) != 0)
            m_pid = 0;
        posix_spawn_file_actions_destroy(&actions);
        close(out[1]);
        FILE* reader = fdopen(out[0], "r");
        if (reader == nullptr || std::fscanf(reader, "%d", &m_port) != 1)
            m_port = 0;
        if (reader != nullptr)
            std::fclose(reader);
    }
    ~Server()
    {
        if (m_pid > 0) {
            kill(m_pid, SIGTERM);
            waitpid(m_pid, nullptr, 0);
        }
    }
    Server(const Server&) = delete;
    Server& operator=(const Server&) = delete;

    int port() const { return m_port; }

private:
    pid_t m_pid = 0;
    int m_port = 0;
};

void makeSource(const std::filesystem::path& source)
{
    if (std::filesystem::exists(source / "done"))
        return;
    std::filesystem::remove_all(source);
    const std::string content = std::string(1000, 'x') + "\n" + std::string(23, 'y') + "\n";
    for (int folder = 0; folder < Folders; ++folder) {
        const auto dir = source / "tree" / ("ordner" + std::to_string(folder));
        std::filesystem::create_directories(dir);
        for (int file = 0; file < FilesPerFolder; ++file)
            std::ofstream(dir / ("datei" + std::to_string(file) + ".txt"), std::ios::binary) << content;
    }
    std::ofstream(source / "done") << "";
}

// One full run to a fresh server; the seconds it took, or -1 when a file failed.
double measure(const std::filesystem::path& work, const std::filesystem::path& source, bool passive, int mode)
{
    const auto root = work / "server";
    std::filesystem::remove_all(root);
    Server server(root);
    if (server.port() == 0)
        return -1;
    BackupJob job;
    job.profile = DefaultProfile({});
    job.profile.Name = "bench";
    job.profile.Source = {(source / "tree").string()};
    job.profile.Withsub = true;
    job.profile.Backuptype = BackupFull;
    job.profile.FTP = true;
    job.profile.FTPServer = "127.0.0.1:" + std::to_string(server.port());
    job.profile.FTPPassive = passive;
    job.profile.FTPMode = static_cast<std::uint8_t>(mode);
    job.profile.NetUser = "anna";
    job.profile.NetPasswd = "geheim";
    job.profile.Destination = "ziel";
    job.priority = 0;
    job.logAll = false;
    job.logProfile = false;
    PosixPlatform platform("/proc/self/exe", ".");
    PosixFileSystem fs;
    ArchiveStateCatalogue catalogue((work / "archive-state.db").string());
    QuietObserver observer;
    RunControl control;
    const auto started = std::chrono::steady_clock::now();
    const RunResult result = BackupRun(job, platform, fs, catalogue, observer, control).Run();
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
    if (result.errorCount != 0 || result.filesDone != Folders * FilesPerFolder) {
        for (const std::string& line : result.logLines)
            std::cerr << line << '\n';
        return -1;
    }
    return seconds;
}

// name filled with blanks to 14 characters (not bytes: "ä" takes two).
std::string padded(const std::string& name)
{
    const auto characters = std::count_if(name.begin(), name.end(), [](char c) { return (c & 0xC0) != 0x80; });
    return name + std::string(characters < 14 ? 14 - characters : 0, ' ');
}

} // namespace

int main()
{
    const std::filesystem::path work = std::filesystem::path(TRESORIO_BENCH_WORK) / "ftp";
    const std::filesystem::path source = work / "source";
    makeSource(source);
    struct Case
    {
        const char* name;
        bool passive;
        int mode;
    };
    const Case cases[] = {
        {"passiv, binär", true, 2}, {"aktiv, binär", false, 2}, {"passiv, Text", true, 1}, {"aktiv, Text", false, 1}};
    int failures = 0;
    std::printf("FTP-Upload von %d kleinen Dateien auf 127.0.0.1 (Median aus %d Läufen)\n", Folders * FilesPerFolder,
                Runs);
    for (const Case& c : cases) {
        std::vector<double> times;
        for (int run = 0; run < Runs; ++run)
            times.push_back(measure(work, source, c.passive, c.mode));
        std::sort(times.begin(), times.end());
        if (times.front() < 0) {
            ++failures;
            std::printf("  %s  fehlgeschlagen\n", padded(c.name).c_str());
            continue;
        }
        const double median = times[Runs / 2];
        std::printf("  %s  %6.2f s  (%.2f–%.2f s)  %5.2f ms je Datei\n", padded(c.name).c_str(), median, times.front(),
                    times.back(), median * 1000 / (Folders * FilesPerFolder));
    }
    return failures == 0 ? 0 : 1;
}
