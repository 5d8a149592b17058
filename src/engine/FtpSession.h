#pragma once

#include "platform/FileSystem.h"
#include "profiles/TProfile.h"

#include <cstdint>
#include <functional>
#include <string>

/// Where and how a run logs in to its FTP server.
struct FtpLogin
{
    std::string host;
    int port = 21;
    std::string user;
    std::string password;
    std::string folder; // the remote start folder, as stored (never expanded)
    bool passive = false;
    bool text = false;     // the transfer type set after the login: text, else binary
    std::string workTag;   // marks the run's own names on the server (an upload under way)
    int replySeconds = 15; // every reply, new connection and block of data within this time
    /// Asked about once a second while the server is waited for: true ends what is under way.
    std::function<bool()> cancelled;
};

/// FTPServer "host:port" (port 21 when it is missing or not a number).
FtpLogin FtpLoginOf(const std::string& server);
/// The login of a profile: its server, logon, remote folder (as stored, never expanded) and mode.
FtpLogin FtpLoginOf(const TProfile& profile);

/// Whether a file goes as text: mode 1 text; mode 0 (Auto) text only for a name one of the text
/// masks (the FTPTransferEXT list) matches as a file mask, without regard to case; else binary.
/// A text transfer may change line ends, so a name no mask names (a library, a program without
/// extension) always goes byte for byte.
bool FtpTextTransfer(const std::string& name, int mode, const std::string& textMasks);

/// Whether a name may be sent to the server: a CR, LF or NUL in it would end the command and
/// let the rest of the name be read as a command of its own.
bool SafeFtpName(const std::string& name);

/// An FTP connection for one run: one control connection, reused by every upload.
class FtpSession
{
public:
    virtual ~FtpSession() = default;
    /// Connects, logs in and changes to the start folder; false (with the reason) on any failure.
    virtual bool Connect(const FtpLogin& login, std::string& reason) = 0;
    /// Makes the folder (a failure is ignored: it may exist) and changes into it; false (with
    /// the reason) when it could not be entered.
    virtual bool EnterFolder(const std::string& name, std::string& reason) = 0;
    /// Back to the parent of a folder that was entered.
    virtual void LeaveFolder() = 0;
    /// Stores the local file under name in the current remote folder. A file already there is
    /// replaced only by a complete copy: a failed upload leaves it as it was.
    virtual Status Upload(const std::string& localPath, const std::string& name, bool text) = 0;
    /// Reads the file at path (relative to the start folder) and hands its bytes to sink.
    virtual Status Download(const std::string& path, const std::function<bool(const char*, std::size_t)>& sink)
    {
        (void)path;
        (void)sink;
        return {50, "nicht unterstützt"};
    }
    /// The machine-readable listing (MLSD) of folder (relative to the start folder, "" for it,
    /// else ending with "/").
    virtual Status ListFolder(const std::string& folder, std::string& listing)
    {
        (void)folder;
        (void)listing;
        return {50, "nicht unterstützt"};
    }
};
