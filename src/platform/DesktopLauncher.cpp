#include "platform/DesktopLauncher.h"

#include "base/ResultCodes.h"
#include "base/Text.h"
#include "platform/AtomicFile.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <fstream>
#include <optional>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

// The key that tells our launchers from other files: only those are ever replaced.
constexpr const char* ProfileKey = "X-Tresorio-Profile=";

// A string value of the key file: backslash, newline, CR and tab escaped. Readers drop the blanks
// around the '=' (and some at the end of the line), so a space at either end is written "\s".
std::string stringValue(const std::string& text)
{
    const std::size_t first = text.find_first_not_of(' ');
    const std::size_t last = text.find_last_not_of(' ');
    std::string value;
    value.reserve(text.size() + 8);
    for (std::size_t i = 0; i < text.size(); ++i) {
        switch (const char c = text[i]) {
        case ' ':
            value += first == std::string::npos || i < first || i > last ? "\\s" : " ";
            break;
        case '\\':
            value += "\\\\";
            break;
        case '\n':
            value += "\\n";
            break;
        case '\r':
            value += "\\r";
            break;
        case '\t':
            value += "\\t";
            break;
        default:
            value += c;
        }
    }
    return value;
}

// Text a launcher can carry: UTF-8, and no control character but those with an escape.
bool representable(const std::string& text)
{
    for (const char c : text) {
        const auto b = static_cast<unsigned char>(c);
        if ((b < 0x20 && c != '\n' && c != '\r' && c != '\t') || b == 0x7F)
            return false;
    }
    return IsValidUtf8(text);
}

bool isOurLauncher(const std::filesystem::path& file)
{
    std::ifstream in(file, std::ios::binary);
    std::string text(64 * 1024, '\0');
    in.read(text.data(), static_cast<std::streamsize>(text.size()));
    text.resize(static_cast<std::size_t>(in.gcount()));
    return text.find(std::string("\n") + ProfileKey) != std::string::npos;
}

// GNOME's desktop starts a launcher only once the file is marked trusted, which only gio can do.
// Where gio is missing, or the desktop keeps no such marks, nothing is lost: the file manager
// then asks the user on the first start.
void markTrusted(const std::filesystem::path& file)
{
    std::string path = file.string();
    std::array<std::string, 7> words{"gio", "set", "-t", "string", path, "metadata::trusted", "true"};
    std::array<char*, words.size() + 1> argv{};
    for (std::size_t i = 0; i < words.size(); ++i)
        argv[i] = words[i].data();

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
    // The calling thread may block signals or ignore SIGPIPE; gio should start as from a shell.
    posix_spawnattr_t attributes;
    posix_spawnattr_init(&attributes);
    sigset_t signals;
    sigemptyset(&signals);
    posix_spawnattr_setsigmask(&attributes, &signals);
    sigaddset(&signals, SIGPIPE);
    posix_spawnattr_setsigdefault(&attributes, &signals);
    posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF);

    pid_t pid = 0;
    if (::posix_spawnp(&pid, "gio", &actions, &attributes, argv.data(), environ) == 0) {
        int status = 0;
        while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
        }
    }
    posix_spawnattr_destroy(&attributes);
    posix_spawn_file_actions_destroy(&actions);
}

DesktopLauncherResult refused(std::string message)
{
    return {Status{ResultCode::Unexpected, std::move(message)}, {}};
}

} // namespace

std::string DesktopExecArgument(const std::string& argument)
{
    std::string quoted = "\"";
    for (const char c : argument) {
        if (c == '"' || c == '`' || c == '$' || c == '\\')
            quoted += '\\';
        quoted += c;
    }
    quoted += '"';
    // A '%' starts a field code anywhere in the line, in quotes too; "%%" is the '%' itself.
    std::string value;
    for (const char c : stringValue(quoted))
        value += c == '%' ? std::string("%%") : std::string(1, c);
    return value;
}

std::string DesktopLauncherText(const std::string& program, const std::string& dataFolder,
                                const std::string& profileName)
{
    std::string exec = DesktopExecLine(program, dataFolder);
    // "--" ends the options: a profile named "-n" or "--help" is run, not read as an option.
    exec += " -- " + DesktopExecArgument(profileName);
    const std::string name = stringValue(profileName);
    return "[Desktop Entry]\n"
           "Type=Application\n"
           "Version=1.0\n"
           "Name=" +
           name +
           "\n"
           "Comment=Runs a Tresorio backup profile\n"
           "Comment[de]=Führt ein Tresorio-Sicherungsprofil aus\n"
           "Exec=" +
           exec +
           "\n"
           "Icon=tresorio\n"
           "Terminal=false\n"
           "StartupNotify=false\n" +
           ProfileKey + name + "\n";
}

std::string DesktopLauncherFileName(const std::string& profileName)
{
    constexpr std::string_view Ending = ".desktop";
    // 255 bytes is the limit of Linux file systems; the launcher is written through a temporary
    // file whose name is eight bytes longer (".name.XXXXXX").
    constexpr std::size_t NameMax = 255 - 8;
    // Bytes that are not UTF-8 become the Windows-1252 characters they were most likely meant as.
    std::string stem = DecodeStoredText(profileName);
    for (char& c : stem) {
        const auto b = static_cast<unsigned char>(c);
        if (c == '/' || b < 0x20 || b == 0x7F)
            c = '_';
    }
    // "." and ".." are no files, and a name with a leading dot is hidden on the desktop.
    for (std::size_t i = 0; i < stem.size() && stem[i] == '.'; ++i)
        stem[i] = '_';
    if (stem.empty())
        stem = "Tresorio";
    std::size_t size = std::min(stem.size(), NameMax - Ending.size());
    while (size < stem.size() && (static_cast<unsigned char>(stem[size]) & 0xC0) == 0x80)
        --size; // never cut a character in two
    stem.resize(size);
    return stem + std::string(Ending);
}

std::optional<std::string> DesktopEntryRefusal(const std::string& program, const std::string& dataFolder)
{
    if (program.empty() || !representable(program))
        return "Der Pfad des Programms ist kein gültiger UTF-8-Text oder enthält Steuerzeichen";
    // Desktops take the program of an entry to end before an '=', and GLib looks the program up
    // before it replaces "%%" by '%', so it would not find one with a '%' in its path.
    if (program.find_first_of("=%") != std::string::npos)
        return "Der Pfad des Programms „" + program +
               "“ enthält „=“ oder „%“, die Arbeitsumgebung könnte es nicht starten";
    if (!representable(dataFolder))
        return "Der Pfad des Datenordners ist kein gültiger UTF-8-Text oder enthält Steuerzeichen";
    return std::nullopt;
}

std::string DesktopExecLine(const std::string& program, const std::string& dataFolder)
{
    std::string exec = DesktopExecArgument(program);
    if (!dataFolder.empty())
        exec += " --data-dir " + DesktopExecArgument(dataFolder);
    return exec;
}

DesktopLauncherResult WriteDesktopLauncher(const std::filesystem::path& folder, const std::string& program,
                                           const std::string& dataFolder, const std::string& profileName)
{
    if (profileName.empty())
        return refused("Das Profil hat keinen Namen; kein Link erstellt.");
    // A launcher file is UTF-8 text. Bytes that are not would have to be changed, and the link
    // would then start a profile of another name.
    if (!IsValidUtf8(profileName))
        return refused("Der Profilname ist kein gültiger UTF-8-Text; kein Link erstellt.");
    if (!representable(profileName))
        return refused("Der Profilname enthält Steuerzeichen; kein Link erstellt.");
    if (const auto refusal = DesktopEntryRefusal(program, dataFolder))
        return refused(*refusal + "; kein Link erstellt.");

    const std::string fileName = DesktopLauncherFileName(profileName);
    const std::filesystem::path file = folder / fileName;
    struct stat st
    {
    };
    if (::lstat(file.c_str(), &st) == 0 && !(S_ISREG(st.st_mode) && isOurLauncher(file)))
        return refused("Im Ordner liegt schon eine Datei „" + fileName +
                       "“, die kein Link von Tresorio ist; sie bleibt, kein Link erstellt.");
    if (const auto failure = WriteFileAtomically(file, DesktopLauncherText(program, dataFolder, profileName), false))
        return refused("Der Link „" + fileName + "“ konnte nicht geschrieben werden: " + *failure);
    // Desktops start a launcher only when it is executable.
    if (::chmod(file.c_str(), 0755) != 0)
        return refused("Der Link „" + fileName + "“ konnte nicht ausführbar gemacht werden: " + std::strerror(errno));
    // The file name may begin with '-'; as part of a path gio never takes it for an option.
    markTrusted(file.is_absolute() ? file : std::filesystem::path(".") / file);
    return {Status{}, file};
}

std::optional<std::filesystem::path> FindDesktopLauncher(const std::filesystem::path& folder,
                                                         const std::string& program, const std::string& dataFolder,
                                                         const std::string& profileName)
{
    const std::filesystem::path file = folder / DesktopLauncherFileName(profileName);
    struct stat st
    {
    };
    if (::lstat(file.c_str(), &st) != 0 || !S_ISREG(st.st_mode))
        return std::nullopt;
    const std::string expected = DesktopLauncherText(program, dataFolder, profileName);
    std::ifstream in(file, std::ios::binary);
    std::string text(expected.size() + 1, '\0');
    in.read(text.data(), static_cast<std::streamsize>(text.size()));
    text.resize(static_cast<std::size_t>(in.gcount()));
    if (text != expected)
        return std::nullopt;
    return file;
}

Status RemoveDesktopLauncher(const std::filesystem::path& launcher)
{
    if (::unlink(launcher.c_str()) != 0 && errno != ENOENT)
        return {ResultCode::AccessDenied, "Der Link „" + launcher.filename().string() +
                                              "“ konnte nicht gelöscht werden: " + std::strerror(errno)};
    return {};
}
