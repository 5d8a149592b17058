#include "base/ResultCodes.h"

std::string ResultMessage(std::int32_t code, const std::string& message)
{
    switch (code) {
    case ResultCode::PathNotFound:
        return "Pfad nicht gefunden";
    case ResultCode::AccessDenied:
        return "Zugriff verweigert";
    case 15:
        return "Laufwerk nicht gefunden";
    case ResultCode::WriteProtected:
        return "Laufwerk ist schreibgeschützt";
    case ResultCode::DriveNotReady:
        return "Laufwerk ist nicht bereit";
    case 26:
        return "Auf Laufwerk kann nicht zugegriffen werden";
    case ResultCode::InUse:
        return "wird von anderem Prozess verwendet";
    case ResultCode::VerificationFailed:
        return "Verifizierung fehlgeschlagen";
    case ResultCode::UploadFailed:
        return message;
    default:
        return std::to_string(code) + " - " + message;
    }
}
