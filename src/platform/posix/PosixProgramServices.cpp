// What the running program needs of the system besides the runs: its lock, its runtime folder,
// the archive-state catalogue and the requests to end.

#include "platform/posix/ArchiveStateCatalogue.h"
#include "platform/posix/InstanceLock.h"
#include "platform/posix/PosixPlatform.h"

#include <QSocketNotifier>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>
#include <vector>

namespace {

// SIGTERM, SIGINT and SIGHUP (the end of the session) reach the program through its event loop:
// the handler only writes a byte that the loop reads, one for each signal.
int endPipe[2] = {-1, -1};
constexpr char InterruptByte = 'i';
constexpr char HangupByte = 'h';

// What runs when exit() ends the process under the running program.
std::function<void()>& unexpectedExit()
{
    static std::function<void()> then;
    return then;
}

void onExit()
{
    // Taken out first: whatever it does may exit once more.
    const std::function<void()> then = std::exchange(unexpectedExit(), nullptr);
    if (then)
        then();
}

void onEndSignal(int signal)
{
    const char byte = signal == SIGHUP ? HangupByte : InterruptByte;
    [[maybe_unused]] const auto ignored = ::write(endPipe[1], &byte, 1);
}

} // namespace

PosixPlatform::~PosixPlatform() = default;

std::string PosixPlatform::ExecutablePath()
{
    return m_executable.string();
}

std::unique_ptr<DataFolderLock> PosixPlatform::LockDataFolder(const std::string& lockFile)
{
    return std::make_unique<InstanceLock>(lockFile);
}

std::string PosixPlatform::PublishedByLockHolder(const std::string& lockFile)
{
    return InstanceLock::Published(lockFile);
}

std::optional<std::string> PosixPlatform::PrivateRuntimeFolder()
{
    const char* runtime = std::getenv("XDG_RUNTIME_DIR");
    const std::filesystem::path folder = runtime && *runtime
                                             ? std::filesystem::path(runtime) / "tresorio"
                                             : std::filesystem::path("/tmp/tresorio-" + std::to_string(::getuid()));
    ::mkdir(folder.c_str(), 0700);
    // In a shared folder such as /tmp the folder must be ours and closed to everybody else.
    struct stat st
    {
    };
    if (::lstat(folder.c_str(), &st) != 0 || !S_ISDIR(st.st_mode) || st.st_uid != ::getuid() || (st.st_mode & 077) != 0)
        return std::nullopt;
    return folder.string();
}

std::unique_ptr<ArchiveAttribute> PosixPlatform::OpenArchiveState(const std::string& file)
{
    return std::make_unique<ArchiveStateCatalogue>(file);
}

void PosixPlatform::WhenAskedToEnd(std::function<void(EndRequest)> ask)
{
    if (endPipe[0] < 0 && ::pipe2(endPipe, O_CLOEXEC | O_NONBLOCK) != 0)
        return;
    struct sigaction action
    {
    };
    action.sa_handler = onEndSignal;
    ::sigemptyset(&action.sa_mask);
    for (const int signal : {SIGTERM, SIGINT, SIGHUP})
        ::sigaction(signal, &action, nullptr);
    m_endRequests = std::make_unique<QSocketNotifier>(endPipe[0], QSocketNotifier::Read);
    QObject::connect(m_endRequests.get(), &QSocketNotifier::activated, [ask = std::move(ask)] {
        // Each signal counts: a second interrupt may mean "now".
        char byte = 0;
        while (::read(endPipe[0], &byte, 1) > 0)
            ask(byte == HangupByte ? EndRequest::Hangup : EndRequest::Interrupt);
    });
}

void PosixPlatform::WhenExitedUnexpectedly(std::function<void()> then)
{
    static const bool registered = std::atexit(onExit) == 0;
    if (registered)
        unexpectedExit() = std::move(then);
}

void PosixPlatform::ContinueAs(const std::vector<std::string>& arguments)
{
    std::vector<std::string> words = arguments;
    words.insert(words.begin(), m_executable.string());
    std::vector<char*> argv;
    for (std::string& word : words)
        argv.push_back(word.data());
    argv.push_back(nullptr);
    std::fflush(nullptr);
    ::execv(m_executable.c_str(), argv.data());
}
