#include "engine/CurlFtpSession.h"

#include "base/ResultCodes.h"
#include "platform/RawFile.h"

#include <algorithm>

namespace {

constexpr const char* LostText = "Verbindung zum FTP-Server verloren";

// A name of the run's own on the server: hidden, short whatever the target's name (so the server
// takes it wherever it takes the target), and with the run's tag, so it never meets a user's file.
std::string ownName(const std::string& tag, const char* what)
{
    return "." + (tag.empty() ? std::string("tresorio") : tag) + "-" + what;
}

bool lastAnswerIs(const FtpOutcome& outcome, int code)
{
    return outcome.ok() && !outcome.exchanges.empty() && outcome.exchanges.back().code == code;
}

// Whether the server began to store the file (and may hold a part of it).
bool storeBegun(const FtpOutcome& outcome)
{
    return std::any_of(outcome.exchanges.begin(), outcome.exchanges.end(),
                       [](const FtpExchange& e) { return e.verb() == "STOR" && (e.begun || e.code / 100 == 2); });
}

// The step of an upload a refused command belongs to.
std::string uploadStep(const std::string& verb)
{
    if (verb == "RNFR" || verb == "RNTO")
        return "Umbenennen auf dem Server abgelehnt";
    if (verb == "PASV" || verb == "PORT" || verb == "EPSV" || verb == "EPRT")
        return "Datenverbindung abgelehnt";
    if (verb == "TYPE")
        return "Übertragungsart abgelehnt";
    return "Übertragung fehlgeschlagen";
}

} // namespace

bool CurlFtpSession::Connect(const FtpLogin& login, std::string& reason)
{
    if (!m_link.usable()) {
        reason = "libcurl";
        return false;
    }
    if (!SafeFtpName(login.folder) || !SafeFtpName(login.user) || !SafeFtpName(login.password) ||
        !SafeFtpName(login.workTag)) {
        reason = "Zeilenumbruch in Ordner oder Anmeldung";
        return false;
    }
    m_link.Configure(login);
    m_workTag = login.workTag;
    m_place.clear();
    if (!login.folder.empty())
        m_place.push_back("CWD " + login.folder);
    // After the login the transfer type, then the system type (which some servers refuse: "*"
    // passes over a failure). libcurl sends the type again before the first transfer.
    std::vector<std::string> commands{login.text ? "TYPE A" : "TYPE I", "*SYST"};
    commands.insert(commands.end(), m_place.begin(), m_place.end());
    const FtpOutcome outcome = m_link.Commands(commands);
    if (!outcome.ok()) {
        reason = connectFailure(login, outcome);
        return false;
    }
    m_connected = true;
    return true;
}

std::string CurlFtpSession::connectFailure(const FtpLogin& login, const FtpOutcome& outcome) const
{
    if (outcome.cancelled)
        return CancelledText;
    const FtpExchange* refused = outcome.refused();
    // The step that failed: the command refused, else the one the server left unanswered.
    const std::string verb =
        refused ? refused->verb() : (outcome.exchanges.empty() ? "" : outcome.exchanges.back().verb());
    const std::string answer = " (" + outcome.answer() + ")";
    if (verb == "USER" || verb == "PASS" || verb == "ACCT")
        return "Anmeldung als " + login.user + (refused ? " abgelehnt" : " fehlgeschlagen") + answer;
    if (verb == "CWD")
        return "Startordner " + login.folder + (refused ? " nicht gefunden" : " nicht erreichbar") + answer;
    if (verb == "TYPE")
        return "Übertragungsart abgelehnt" + answer;
    const std::string server = "FTP-Server " + login.host + ":" + std::to_string(login.port);
    if (verb.empty())
        return server + (refused ? " weist die Verbindung ab" : " nicht erreichbar") + answer;
    return server + ": " + verb + (refused ? " abgelehnt" : " fehlgeschlagen") + answer;
}

FtpOutcome CurlFtpSession::call(const std::function<FtpOutcome()>& operation)
{
    auto lost = [this] {
        FtpOutcome outcome;
        outcome.result = -1;
        outcome.detail = m_lostReason;
        return outcome;
    };
    if (!m_link.Kept() && !reenter())
        return lost();
    FtpOutcome outcome = operation();
    if (outcome.renewed) {
        // The server closed the idle connection, and libcurl opened another on its own: back
        // to the walk's folder, and once more.
        if (!reenter())
            return lost();
        outcome = operation();
        if (outcome.renewed) {
            m_lost = true;
            m_lostReason = LostText;
            return lost();
        }
    }
    return outcome;
}

bool CurlFtpSession::reenter()
{
    // A new connection stands in the login folder: the start folder and the folders the walk
    // entered lead back to where it was.
    m_link.Renew();
    const FtpOutcome outcome = m_link.Commands(m_place);
    if (outcome.ok())
        return true;
    m_lost = true;
    m_lostReason = std::string(LostText) + " (" + outcome.answer() + ")";
    return false;
}

bool CurlFtpSession::EnterFolder(const std::string& name, std::string& reason)
{
    if (!SafeFtpName(name)) {
        reason = "Zeilenumbruch im Namen";
        return false;
    }
    if (m_lost) {
        reason = m_lostReason;
        return false;
    }
    // "*": a command whose failure libcurl passes over, keeping the connection and with it the
    // current folder (the folder may exist already; whether CWD worked its reply tells).
    const FtpOutcome outcome = call([&] { return m_link.Commands({"*MKD " + name, "*CWD " + name}); });
    if (!outcome.ok()) {
        reason = outcome.answer();
        return false;
    }
    if (!lastAnswerIs(outcome, 250) && !lastAnswerIs(outcome, 200)) {
        reason = outcome.exchanges.empty() ? "keine Antwort auf CWD" : outcome.exchanges.back().reply;
        return false;
    }
    m_place.push_back("CWD " + name);
    return true;
}

void CurlFtpSession::LeaveFolder()
{
    // A folder left behind would put every later file in the wrong place: then nothing more
    // is sent.
    if (m_lost)
        return;
    const FtpOutcome outcome = call([&] { return m_link.Commands({"*CDUP"}); });
    if (m_lost)
        return;
    if (!lastAnswerIs(outcome, 250) && !lastAnswerIs(outcome, 200)) {
        m_lost = true;
        m_lostReason = std::string(LostText) + " (CDUP: " + outcome.answer() + ")";
        return;
    }
    if (!m_place.empty())
        m_place.pop_back();
}

Status CurlFtpSession::Upload(const std::string& localPath, const std::string& name, bool text)
{
    if (!SafeFtpName(name))
        return {ResultCode::UploadFailed, "Zeilenumbruch im Namen: nicht gesendet"};
    if (m_lost)
        return {ResultCode::UploadFailed, m_lostReason};
    std::string error;
    const std::unique_ptr<RawFile> file = RawFile::Open(localPath, RawFile::Mode::Read, error);
    if (!file)
        return {ResultCode::UploadFailed, "Datei kann nicht gelesen werden"};
    // The server's copy is replaced only by a complete one: the file goes to a name of the
    // run's own, and takes its own name once the server has confirmed all of it.
    const std::string temporary = ownName(m_workTag, "upload");
    const FtpOutcome stored = call([&] {
        return m_link.Store(*file, temporary, text, {"RNFR " + temporary, "RNTO " + name});
    });
    if (stored.ok())
        return {};
    if (m_lost)
        return {ResultCode::UploadFailed, m_lostReason};
    const FtpExchange* refused = stored.refused();
    const std::string verb = refused ? refused->verb() : std::string();
    std::string note;
    if (verb == "RNTO" && replaceAside(temporary, name, note))
        return {};
    note += storeBegun(stored) ? discard(temporary, stored.cancelled) : std::string();
    if (stored.cancelled)
        return {ResultCode::Cancelled, CancelledText};
    return {ResultCode::UploadFailed, uploadStep(verb) + " (" + stored.answer() + ")" + note};
}

bool CurlFtpSession::replaceAside(const std::string& temporary, const std::string& name, std::string& note)
{
    // Some servers refuse to rename onto an existing file (IIS does by default). Then the old
    // copy steps aside for the moment of the rename, and comes back if the new one cannot take
    // its place. Only a file steps aside (SIZE answers for files alone), never a folder.
    const FtpOutcome size = call([&] { return m_link.Commands({"*SIZE " + name}); });
    if (!lastAnswerIs(size, 213))
        return false;
    const std::string aside = ownName(m_workTag, "old");
    if (!call([&] { return m_link.Commands({"RNFR " + name, "RNTO " + aside}); }).ok())
        return false;
    if (call([&] { return m_link.Commands({"RNFR " + temporary, "RNTO " + name}); }).ok()) {
        call([&] { return m_link.Commands({"*DELE " + aside}); });
        return true;
    }
    if (!call([&] { return m_link.Commands({"RNFR " + aside, "RNTO " + name}); }).ok())
        note = "; die bisherige Kopie liegt als " + aside + " auf dem Server";
    return false;
}

std::string CurlFtpSession::discard(const std::string& temporary, bool afterCancel)
{
    // After a cancel the run is to end: the server gets a short grace, no more.
    if (m_lost)
        return "; " + temporary + " bleibt auf dem Server";
    m_link.SetGrace(afterCancel);
    const FtpOutcome deleted = call([&] { return m_link.Commands({"DELE " + temporary}); });
    m_link.SetGrace(false);
    return deleted.ok() ? std::string() : "; " + temporary + " bleibt auf dem Server";
}

Status CurlFtpSession::readStatus(const FtpOutcome& outcome) const
{
    if (outcome.ok())
        return {};
    if (outcome.cancelled)
        return {ResultCode::Cancelled, CancelledText};
    const FtpExchange* refused = outcome.refused();
    // 550: the server has no such file or folder.
    if (refused != nullptr && refused->code == 550)
        return {ResultCode::FileNotFound, refused->reply};
    return {ResultCode::UploadFailed, outcome.answer()};
}

Status CurlFtpSession::Download(const std::string& path, const std::function<bool(const char*, std::size_t)>& sink)
{
    if (!m_connected || !SafeFtpName(path))
        return {ResultCode::UploadFailed, m_connected ? "Zeilenumbruch im Namen" : LostText};
    return readStatus(call([&] { return m_link.Retrieve(path, {}, sink); }));
}

Status CurlFtpSession::ListFolder(const std::string& folder, std::string& listing)
{
    if (!m_connected || !SafeFtpName(folder))
        return {ResultCode::UploadFailed, m_connected ? "Zeilenumbruch im Namen" : LostText};
    return readStatus(call([&] {
        listing.clear();
        return m_link.Retrieve(folder, "MLSD", [&listing](const char* data, std::size_t length) {
            listing.append(data, length);
            return true;
        });
    }));
}
