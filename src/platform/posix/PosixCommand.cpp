// The command on failure: started without a shell in a process group of its own, fed its input,
// and killed with everything it started when it runs too long.

#include "platform/posix/FileDescriptor.h"
#include "platform/posix/PosixPlatform.h"

#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <map>
#include <poll.h>
#include <spawn.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace {

// The program's environment with the request's variables set on top.
std::vector<std::string> environmentOf(const Platform::CommandRequest& request)
{
    std::map<std::string, std::string> variables;
    for (char** entry = environ; entry != nullptr && *entry != nullptr; ++entry) {
        const std::string text = *entry;
        const std::size_t equals = text.find('=');
        if (equals != std::string::npos)
            variables[text.substr(0, equals)] = text.substr(equals + 1);
    }
    for (const auto& [name, value] : request.environment)
        variables[name] = value;
    std::vector<std::string> out;
    for (const auto& [name, value] : variables)
        out.push_back(name + "=" + value);
    return out;
}

std::vector<char*> pointersTo(std::vector<std::string>& texts)
{
    std::vector<char*> pointers;
    for (std::string& text : texts)
        pointers.push_back(text.data());
    pointers.push_back(nullptr);
    return pointers;
}

Platform::CommandEnd endOf(int status)
{
    Platform::CommandEnd end;
    if (WIFEXITED(status))
        end.exitStatus = WEXITSTATUS(status);
    else if (WIFSIGNALED(status))
        end.signal = WTERMSIG(status);
    return end;
}

} // namespace

Platform::CommandEnd PosixPlatform::RunCommand(const CommandRequest& request, const std::atomic<bool>& stop)
{
    CommandEnd end;
    if (request.words.empty()) {
        end.kind = CommandEnd::Kind::NotStarted;
        end.error = "kein Befehl";
        return end;
    }
    // The input goes through a socket rather than a pipe: a command that ends without reading it
    // makes a send fail (MSG_NOSIGNAL), never a SIGPIPE that would end the program.
    int sockets[2] = {-1, -1};
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, sockets) != 0) {
        end.kind = CommandEnd::Kind::NotStarted;
        end.error = std::strerror(errno);
        return end;
    }
    Descriptor ours(sockets[0]);
    Descriptor theirs(sockets[1]);
    ::shutdown(ours.get(), SHUT_RD);
    ::shutdown(theirs.get(), SHUT_WR);

    posix_spawn_file_actions_t actions;
    ::posix_spawn_file_actions_init(&actions);
    ::posix_spawn_file_actions_adddup2(&actions, theirs.get(), STDIN_FILENO);
    posix_spawnattr_t attributes;
    ::posix_spawnattr_init(&attributes);
    // A group of its own, so that a kill reaches what it started; signals as a new program has them.
    sigset_t none;
    sigset_t defaults;
    sigemptyset(&none);
    sigemptyset(&defaults);
    for (const int signal : {SIGPIPE, SIGTERM, SIGINT, SIGHUP, SIGCHLD})
        sigaddset(&defaults, signal);
    ::posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETPGROUP | POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF);
    ::posix_spawnattr_setpgroup(&attributes, 0);
    ::posix_spawnattr_setsigmask(&attributes, &none);
    ::posix_spawnattr_setsigdefault(&attributes, &defaults);
    std::vector<std::string> words = request.words;
    std::vector<std::string> environment = environmentOf(request);
    std::vector<char*> argv = pointersTo(words);
    std::vector<char*> envp = pointersTo(environment);
    pid_t pid = 0;
    const int failed = ::posix_spawnp(&pid, argv.front(), &actions, &attributes, argv.data(), envp.data());
    ::posix_spawn_file_actions_destroy(&actions);
    ::posix_spawnattr_destroy(&attributes);
    theirs = Descriptor(-1);
    if (failed != 0) {
        end.kind = CommandEnd::Kind::NotStarted;
        end.error = std::strerror(failed);
        return end;
    }

    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(request.timeLimitSeconds);
    std::size_t sent = 0;
    for (;;) {
        int status = 0;
        const pid_t ended = ::waitpid(pid, &status, WNOHANG);
        if (ended == pid)
            return endOf(status);
        const bool late = std::chrono::steady_clock::now() >= deadline;
        if (late || stop.load() || (ended < 0 && errno != EINTR)) {
            ::kill(-pid, SIGKILL);
            ::waitpid(pid, &status, 0);
            end.kind = late ? CommandEnd::Kind::TimedOut : CommandEnd::Kind::Stopped;
            return end;
        }
        if (ours.get() >= 0 && sent < request.input.size()) {
            pollfd writable{ours.get(), POLLOUT, 0};
            if (::poll(&writable, 1, 50) > 0) {
                const ssize_t n = ::send(ours.get(), request.input.data() + sent, request.input.size() - sent,
                                         MSG_NOSIGNAL | MSG_DONTWAIT);
                if (n > 0)
                    sent += static_cast<std::size_t>(n);
                else if (n < 0 && errno != EAGAIN && errno != EINTR)
                    ours = Descriptor(-1); // it does not read: the rest is not its to have
            }
            continue;
        }
        ours = Descriptor(-1); // all given: the end of its input
        ::usleep(20'000);
    }
}
