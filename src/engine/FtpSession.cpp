#include "engine/FtpSession.h"

#include "base/Text.h"
#include "engine/FileMasks.h"

FtpLogin FtpLoginOf(const std::string& server)
{
    FtpLogin login;
    const std::size_t colon = server.find(':');
    if (colon == std::string::npos) {
        login.host = server;
        return login;
    }
    login.host = Trim(server.substr(0, colon));
    long long port = 0;
    if (ParseInteger(Trim(server.substr(colon + 1)), 1, 65535, port))
        login.port = static_cast<int>(port);
    return login;
}

FtpLogin FtpLoginOf(const TProfile& profile)
{
    FtpLogin login = FtpLoginOf(profile.FTPServer);
    login.user = profile.NetUser;
    login.password = profile.NetPasswd;
    login.folder = profile.Destination; // the remote folder as stored, never expanded
    login.passive = profile.FTPPassive;
    login.text = profile.FTPMode == 1;
    return login;
}

bool SafeFtpName(const std::string& name)
{
    return name.find_first_of(std::string("\r\n\0", 3)) == std::string::npos;
}

bool FtpTextTransfer(const std::string& name, int mode, const std::string& textMasks)
{
    if (mode == 1)
        return true;
    if (mode != 0)
        return false;
    for (const std::string& entry : SplitCommaText(textMasks)) {
        const std::string mask = Trim(entry);
        if (!mask.empty() && MatchesSearchMask(name, mask))
            return true;
    }
    return false;
}
