#include "platform/DesktopLauncher.h"

#include "base/Text.h"
#include "platform/posix/PosixPlatform.h"
#include "support/TempDir.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <optional>
#include <spawn.h>
#include <string_view>
#include <sys/prctl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace {

using Strings = std::vector<std::string>;

bool OnPath(const std::string& program)
{
    const char* path = std::getenv("PATH");
    std::string_view rest = path != nullptr ? path : "";
    while (!rest.empty()) {
        const std::size_t colon = std::min(rest.find(':'), rest.size());
        const std::filesystem::path candidate = std::filesystem::path(rest.substr(0, colon)) / program;
        if (!candidate.parent_path().empty() && ::access(candidate.c_str(), X_OK) == 0)
            return true;
        rest.remove_prefix(std::min(colon + 1, rest.size()));
    }
    return false;
}

std::vector<char*> ArgumentVector(Strings& words)
{
    std::vector<char*> argv;
    for (std::string& word : words)
        argv.push_back(word.data());
    argv.push_back(nullptr);
    return argv;
}

std::string ReadAll(int fd)
{
    std::string text;
    std::array<char, 4096> buffer{};
    for (;;) {
        const ssize_t n = ::read(fd, buffer.data(), buffer.size());
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return text;
        text.append(buffer.data(), static_cast<std::size_t>(n));
    }
}

// Exit status (-1 when it did not end normally) and everything the program printed.
std::pair<int, std::string> Finish(pid_t pid, int output)
{
    std::string text = ReadAll(output);
    ::close(output);
    int status = 0;
    while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
    return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, text};
}

// Runs a program with its own argument vector, no shell between: the paths hold quotes and "$".
std::pair<int, std::string> RunProgram(Strings words)
{
    int fds[2];
    if (::pipe2(fds, O_CLOEXEC) != 0)
        return {-1, "no pipe"};
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, fds[1], STDOUT_FILENO);
    posix_spawn_file_actions_adddup2(&actions, fds[1], STDERR_FILENO);
    pid_t pid = 0;
    const int failed = ::posix_spawnp(&pid, words[0].c_str(), &actions, nullptr, ArgumentVector(words).data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    ::close(fds[1]);
    if (failed != 0) {
        ::close(fds[0]);
        return {-1, "cannot start " + words[0]};
    }
    return Finish(pid, fds[0]);
}

// Starts the launcher as a desktop does, with gio, and waits until everything started by it has
// ended: a forked process adopts the orphaned program as subreaper, so nothing waits on a clock.
// Without a session bus gio would try to start one that outlives the launch; a bus address that
// leads nowhere keeps it from that.
std::pair<int, std::string> LaunchWithGio(const std::filesystem::path& launcher, const std::filesystem::path& noBus)
{
    int fds[2];
    if (::pipe2(fds, O_CLOEXEC) != 0)
        return {-1, "no pipe"};
    const pid_t reaper = ::fork();
    if (reaper < 0)
        return {-1, "no fork"};
    if (reaper == 0) {
        ::prctl(PR_SET_CHILD_SUBREAPER, 1);
        ::dup2(fds[1], STDOUT_FILENO);
        ::dup2(fds[1], STDERR_FILENO);
        ::setenv("DBUS_SESSION_BUS_ADDRESS", ("unix:path=" + noBus.string()).c_str(), 1);
        ::setenv("GIO_USE_VFS", "local", 1);
        Strings words{"gio", "launch", launcher.string()};
        pid_t gio = 0;
        if (::posix_spawnp(&gio, "gio", nullptr, nullptr, ArgumentVector(words).data(), environ) != 0)
            ::_exit(127);
        int result = 127;
        for (;;) {
            int status = 0;
            const pid_t ended = ::waitpid(-1, &status, 0);
            if (ended < 0 && errno == EINTR)
                continue;
            if (ended < 0)
                break;
            if (ended == gio)
                result = WIFEXITED(status) ? WEXITSTATUS(status) : 128;
        }
        ::_exit(result);
    }
    ::close(fds[1]);
    return Finish(reaper, fds[0]);
}

// The string escapes of a desktop entry value undone; nothing when an escape is not one of them.
std::optional<std::string> Unescaped(std::string_view value)
{
    std::string text;
    for (std::size_t i = 0; i < value.size(); ++i) {
        if (value[i] != '\\') {
            text += value[i];
            continue;
        }
        if (++i == value.size())
            return std::nullopt;
        switch (value[i]) {
        case 's':
            text += ' ';
            break;
        case 'n':
            text += '\n';
            break;
        case 'r':
            text += '\r';
            break;
        case 't':
            text += '\t';
            break;
        case '\\':
            text += '\\';
            break;
        default:
            return std::nullopt;
        }
    }
    return text;
}

// The value of a key of the [Desktop Entry] group, unescaped.
std::optional<std::string> Value(const std::string& file, const std::string& key)
{
    const Strings lines = SplitLines(file);
    if (lines.empty() || lines[0] != "[Desktop Entry]")
        return std::nullopt;
    for (const std::string& line : lines) {
        const std::size_t equals = line.find('=');
        if (equals != std::string::npos && Trim(line.substr(0, equals)) == key)
            return Unescaped(Trim(line.substr(equals + 1)));
    }
    return std::nullopt;
}

// The Exec command line split into its arguments as the Desktop Entry Specification reads it:
// string escapes first, then the quoting of whole arguments, then the field codes, of which only
// "%%" may occur. Anything else (a reserved character outside quotes, an unknown escape in
// quotes, a field code) is a failure, with the reason.
std::pair<Strings, std::string> ExecArguments(const std::string& file)
{
    const auto line = Value(file, "Exec");
    if (!line)
        return {{}, "no Exec line, or an unknown string escape"};
    Strings arguments;
    std::string argument;
    bool inArgument = false, quoted = false, closed = false;
    for (std::size_t i = 0; i < line->size(); ++i) {
        const char c = (*line)[i];
        if (quoted) {
            if (c == '"') {
                quoted = false;
                closed = true;
            } else if (c == '\\') {
                if (i + 1 == line->size() || std::string_view("\"`$\\").find((*line)[i + 1]) == std::string::npos)
                    return {{}, "a backslash escapes nothing it may escape"};
                argument += (*line)[++i];
            } else {
                argument += c;
            }
        } else if (c == ' ') {
            if (inArgument)
                arguments.push_back(argument);
            argument.clear();
            inArgument = closed = false;
        } else if (closed) {
            return {{}, "an argument is not quoted in whole"};
        } else if (c == '"') {
            if (inArgument)
                return {{}, "an argument is not quoted in whole"};
            quoted = inArgument = true;
        } else if (std::string_view("\t\n\"'\\><~|&;$*?#()`").find(c) != std::string::npos) {
            return {{}, std::string("reserved character outside quotes: ") + c};
        } else {
            argument += c;
            inArgument = true;
        }
    }
    if (quoted)
        return {{}, "a quote is not closed"};
    if (inArgument)
        arguments.push_back(argument);
    for (std::string& a : arguments) {
        std::string plain;
        for (std::size_t i = 0; i < a.size(); ++i) {
            if (a[i] == '%' && (i + 1 == a.size() || a[++i] != '%'))
                return {{}, "a field code in " + a};
            plain += a[i];
        }
        a = plain;
    }
    return {arguments, {}};
}

Strings NulSeparated(const std::string& bytes)
{
    Strings words;
    std::size_t start = 0;
    for (std::size_t end; (end = bytes.find('\0', start)) != std::string::npos; start = end + 1)
        words.push_back(bytes.substr(start, end - start));
    return words;
}

mode_t ModeOf(const std::filesystem::path& file)
{
    struct stat st
    {
    };
    return ::stat(file.c_str(), &st) == 0 ? st.st_mode & 07777 : 0;
}

ino_t InodeOf(const std::filesystem::path& file)
{
    struct stat st
    {
    };
    return ::stat(file.c_str(), &st) == 0 ? st.st_ino : 0;
}

std::size_t EntriesIn(const std::filesystem::path& folder)
{
    return static_cast<std::size_t>(std::distance(std::filesystem::directory_iterator(folder), {}));
}

// A program at an awkward path that records the arguments it was started with.
std::filesystem::path RecordingProgram(const TempDir& dir)
{
    const std::filesystem::path folder = dir / "Programme \"$x\" `y` \\ z ~";
    std::filesystem::create_directories(folder);
    const std::filesystem::path program = folder / "aufzeichnen";
    WriteFileBytes(program, "#!/bin/sh\nprintf '%s\\0' \"$@\" > '" + (dir / "argv").string() + "'\n");
    ::chmod(program.c_str(), 0755);
    return program;
}

TEST(DesktopLauncherTest, TheAutostartEntryHandsOverExactlyItsDataFolderOrIsRefused)
{
    TempDir dir;
    ::setenv("XDG_CONFIG_HOME", (dir / "config").c_str(), 1);
    const std::filesystem::path program = RecordingProgram(dir);
    const bool gio = OnPath("gio");
    for (const std::string folder : {"/daten/Sicherung\nzwei", "/daten/a \"b\" $c 50% \\d `e`", "/daten/\tTab\r"}) {
        SCOPED_TRACE(folder);
        PosixPlatform platform(program, folder);
        std::string failure;
        EXPECT_TRUE(AutostartEntry(platform, true, [&failure](const std::string& why) { failure = why; }));
        EXPECT_EQ(failure, "");
        const std::string text = ReadFileBytes(PosixPlatform::AutostartFile());
        EXPECT_EQ(ExecArguments(text).first, (Strings{program.string(), "--data-dir", folder}));
        if (gio) {
            std::filesystem::remove(dir / "argv");
            const auto [status, output] = LaunchWithGio(PosixPlatform::AutostartFile(), dir / "no-bus");
            EXPECT_EQ(status, 0) << output;
            EXPECT_EQ(NulSeparated(ReadFileBytes(dir / "argv")), (Strings{"--data-dir", folder}));
        }
    }
    // What no entry can carry is refused with the reason, and nothing counts as registered.
    std::filesystem::remove(PosixPlatform::AutostartFile());
    for (const std::string& folder : {std::string("/daten/\x01"), std::string("/daten/caf\xE9")}) {
        PosixPlatform platform(program, folder);
        std::string failure;
        EXPECT_FALSE(AutostartEntry(platform, true, [&failure](const std::string& why) { failure = why; }));
        EXPECT_NE(failure.find("Datenordners"), std::string::npos) << failure;
        EXPECT_FALSE(std::filesystem::exists(PosixPlatform::AutostartFile()));
    }
    ::unsetenv("XDG_CONFIG_HOME");
    if (!gio)
        GTEST_SKIP() << "checked only by reading the files: gio missing (Debian: libglib2.0-bin)";
}

TEST(DesktopLauncherTest, OnlyALauncherAsTresorioMadeItIsFoundAndRemoved)
{
    TempDir dir;
    ASSERT_TRUE(WriteDesktopLauncher(dir.path(), "/usr/bin/tresorio", "/daten", "Fotos").status.ok());
    const auto found = FindDesktopLauncher(dir.path(), "/usr/bin/tresorio", "/daten", "Fotos");
    ASSERT_TRUE(found);
    EXPECT_EQ(*found, dir / "Fotos.desktop");
    // Another data folder, another program, another name: not this launcher.
    EXPECT_FALSE(FindDesktopLauncher(dir.path(), "/usr/bin/tresorio", "/anders", "Fotos"));
    EXPECT_FALSE(FindDesktopLauncher(dir.path(), "/opt/tresorio", "/daten", "Fotos"));
    EXPECT_FALSE(FindDesktopLauncher(dir.path(), "/usr/bin/tresorio", "/daten", "Bilder"));
    // One the user changed is the user's now.
    WriteFileBytes(dir / "Fotos.desktop", ReadFileBytes(dir / "Fotos.desktop") + "Icon=kamera\n");
    EXPECT_FALSE(FindDesktopLauncher(dir.path(), "/usr/bin/tresorio", "/daten", "Fotos"));
    ASSERT_TRUE(WriteDesktopLauncher(dir.path(), "/usr/bin/tresorio", "/daten", "Fotos").status.ok());
    EXPECT_TRUE(RemoveDesktopLauncher(dir / "Fotos.desktop").ok());
    EXPECT_FALSE(std::filesystem::exists(dir / "Fotos.desktop"));
}

TEST(DesktopLauncherTest, TheProgramReceivesExactlyTheProfileName)
{
    struct Case
    {
        std::string name;
        std::string dataFolder;
    };
    const std::vector<Case> cases = {
        {"Foto \"Urlaub\" $HOME %f", ""},
        {"-n", ""},
        {"a\\b", ""},
        {"Ärger", ""},
        {"x y", ""},
        {"a`b`", ""},
        {"50%", ""},
        {"Zeile 1\r\nZeile 2\tEnde", ""},
        {"--help", ""},
        {"  Rand  ", ""},
        {"'einfach' ~/x; a|b & c * ? # (d) <e> =", ""},
        {"endet mit \\", ""},
        {"\\\"\\$%%\\n", "/daten/A \"b\" $c 50% \\d\nneu"},
    };
    TempDir dir;
    const std::filesystem::path program = RecordingProgram(dir);
    const std::filesystem::path desktop = dir / "Schreibtisch";
    std::filesystem::create_directories(desktop);
    const bool validator = OnPath("desktop-file-validate");
    const bool gio = OnPath("gio");

    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const DesktopLauncherResult result = WriteDesktopLauncher(desktop, program.string(), c.dataFolder, c.name);
        ASSERT_TRUE(result.status.ok()) << result.status.message;
        EXPECT_EQ(result.file, desktop / DesktopLauncherFileName(c.name));
        EXPECT_EQ(ModeOf(result.file), 0755u);
        const std::string text = ReadFileBytes(result.file);
        EXPECT_EQ(text, DesktopLauncherText(program.string(), c.dataFolder, c.name));
        EXPECT_EQ(Value(text, "Name"), c.name);

        Strings expected{"--", c.name};
        if (!c.dataFolder.empty())
            expected.insert(expected.begin(), {"--data-dir", c.dataFolder});
        const auto [arguments, failure] = ExecArguments(text);
        EXPECT_EQ(failure, "");
        Strings withProgram = expected;
        withProgram.insert(withProgram.begin(), program.string());
        EXPECT_EQ(arguments, withProgram);

        if (validator) {
            const auto [status, output] = RunProgram({"desktop-file-validate", result.file.string()});
            EXPECT_EQ(status, 0) << output;
            EXPECT_EQ(output, "");
        }
        if (gio) {
            std::filesystem::remove(dir / "argv");
            const auto [status, output] = LaunchWithGio(result.file, dir / "no-bus");
            EXPECT_EQ(status, 0) << output;
            EXPECT_EQ(NulSeparated(ReadFileBytes(dir / "argv")), expected);
        }
    }
    if (!validator || !gio)
        GTEST_SKIP() << "checked only by reading the files: " << (validator ? "" : "desktop-file-validate ")
                     << (gio ? "" : "gio ") << "missing (Debian: desktop-file-utils, libglib2.0-bin)";
}

TEST(DesktopLauncherTest, WhatALauncherCannotCarryIsRefused)
{
    struct Case
    {
        std::string program;
        std::string dataFolder;
        std::string name;
        std::string reason;
    };
    const std::vector<Case> cases = {
        {"/usr/bin/tresorio", "", "Foto\xFF", "kein gültiger UTF-8-Text"},
        {"/usr/bin/tresorio", "", std::string("a\0b", 3), "Steuerzeichen"},
        {"/usr/bin/tresorio", "", "a\x1b[31mb", "Steuerzeichen"},
        {"/usr/bin/tresorio", "", "a\x7f", "Steuerzeichen"},
        {"/usr/bin/tresorio", "", "", "keinen Namen"},
        {"/opt/50%/tresorio", "", "Foto", "„%“"},
        {"/opt/a=b/tresorio", "", "Foto", "„=“"},
        {"/opt/\xC4/tresorio", "", "Foto", "Pfad des Programms"},
        {"/usr/bin/tresorio", "/daten/\xFE", "Foto", "Datenordners"},
    };
    TempDir dir;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const DesktopLauncherResult result = WriteDesktopLauncher(dir.path(), c.program, c.dataFolder, c.name);
        EXPECT_FALSE(result.status.ok());
        EXPECT_NE(result.status.message.find(c.reason), std::string::npos) << result.status.message;
        EXPECT_NE(result.status.message.find("kein Link erstellt"), std::string::npos) << result.status.message;
        EXPECT_TRUE(IsValidUtf8(result.status.message));
    }
    EXPECT_EQ(EntriesIn(dir.path()), 0u);
}

TEST(DesktopLauncherTest, ALauncherIsReplacedWholeButNoOtherFile)
{
    TempDir dir;
    const std::filesystem::path launcher = dir / "Fotos.desktop";
    ASSERT_TRUE(WriteDesktopLauncher(dir.path(), "/usr/bin/tresorio", "", "Fotos").status.ok());
    const ino_t first = InodeOf(launcher);
    const DesktopLauncherResult again = WriteDesktopLauncher(dir.path(), "/usr/bin/tresorio", "/daten", "Fotos");
    ASSERT_TRUE(again.status.ok()) << again.status.message;
    EXPECT_EQ(again.file, launcher);
    // A new file took the old one's place by rename: never a half-written launcher.
    EXPECT_NE(InodeOf(launcher), first);
    EXPECT_EQ(ReadFileBytes(launcher), DesktopLauncherText("/usr/bin/tresorio", "/daten", "Fotos"));
    EXPECT_EQ(ModeOf(launcher), 0755u);
    EXPECT_EQ(EntriesIn(dir.path()), 1u);

    // The user's own launcher of another program, and a folder, stay as they are.
    const std::string foreign = "[Desktop Entry]\nType=Application\nName=Firefox\nExec=firefox %u\n";
    WriteFileBytes(dir / "Firefox.desktop", foreign);
    std::filesystem::create_directory(dir / "Ordner.desktop");
    for (const char* name : {"Firefox", "Ordner"}) {
        const DesktopLauncherResult result = WriteDesktopLauncher(dir.path(), "/usr/bin/tresorio", "", name);
        EXPECT_FALSE(result.status.ok()) << name;
        EXPECT_NE(result.status.message.find("kein Link von Tresorio"), std::string::npos) << result.status.message;
    }
    EXPECT_EQ(ReadFileBytes(dir / "Firefox.desktop"), foreign);
    EXPECT_TRUE(std::filesystem::is_directory(dir / "Ordner.desktop"));
    EXPECT_EQ(EntriesIn(dir.path()), 3u);
}

TEST(DesktopLauncherTest, TheDesktopIsAskedToTrustTheLauncher)
{
    // A gio that records how it was called stands first on the PATH.
    TempDir dir;
    const std::filesystem::path bin = dir / "bin";
    std::filesystem::create_directories(bin);
    WriteFileBytes(bin / "gio", "#!/bin/sh\nprintf '%s\\0' \"$@\" > '" + (dir / "gio-argv").string() + "'\nexit 1\n");
    ::chmod((bin / "gio").c_str(), 0755);
    const char* path = std::getenv("PATH");
    const std::string oldPath = path != nullptr ? path : "";
    ::setenv("PATH", (bin.string() + ":" + oldPath).c_str(), 1);
    const std::filesystem::path desktop = dir / "Schreibtisch";
    std::filesystem::create_directories(desktop);
    const DesktopLauncherResult result = WriteDesktopLauncher(desktop, "/usr/bin/tresorio", "", "-n $x");
    ::setenv("PATH", oldPath.c_str(), 1);

    // gio failing (as it does where the desktop keeps no such marks) leaves the launcher in place.
    ASSERT_TRUE(result.status.ok()) << result.status.message;
    EXPECT_EQ(NulSeparated(ReadFileBytes(dir / "gio-argv")),
              (Strings{"set", "-t", "string", (desktop / "-n $x.desktop").string(), "metadata::trusted", "true"}));
}

TEST(DesktopLauncherTest, FileNamesStayInTheFolderAndVisible)
{
    struct Case
    {
        std::string name;
        std::string fileName;
    };
    const std::string longName(300, 'x');
    std::string umlauts;
    for (int i = 0; i < 200; ++i)
        umlauts += "ä";
    const std::vector<Case> cases = {
        {"a/b", "a_b.desktop"},
        {".", "_.desktop"},
        {"..", "__.desktop"},
        {".hidden", "_hidden.desktop"},
        {"../../etc/x", "___.._etc_x.desktop"},
        {"", "Tresorio.desktop"},
        {"-n", "-n.desktop"},
        {"Zeile\r\n2\t", "Zeile__2_.desktop"},
        {"Ärger", "Ärger.desktop"},
        {"\xC4rger", "Ärger.desktop"},
        {longName, std::string(239, 'x') + ".desktop"},
        {umlauts, umlauts.substr(0, 238) + ".desktop"},
    };
    TempDir dir;
    for (const Case& c : cases) {
        const std::string fileName = DesktopLauncherFileName(c.name);
        EXPECT_EQ(fileName, c.fileName) << c.name;
        EXPECT_LE(fileName.size(), 247u);
        EXPECT_TRUE(IsValidUtf8(fileName));
        // The file system takes the name, and the file lands right in the folder.
        const std::filesystem::path file = dir / fileName;
        WriteFileBytes(file, "x");
        EXPECT_EQ(ReadFileBytes(file), "x") << fileName;
        EXPECT_EQ(file.parent_path(), dir.path());
        std::filesystem::remove(file);
    }
}

} // namespace
