#include "app/CommandLine.h"

#include "base/Text.h"

CommandLine ParseCommandLine(const std::vector<std::string>& arguments)
{
    CommandLine line;
    // The value after an option; nothing (and the error) when it is missing or empty.
    auto value = [&arguments, &line](std::size_t& i, const char* error) -> std::optional<std::string> {
        if (i + 1 >= arguments.size() || arguments[i + 1].empty()) {
            line.error = error;
            return std::nullopt;
        }
        return arguments[++i];
    };
    bool options = true;
    std::vector<std::string> positional;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::string& a = arguments[i];
        if (!options || (a != "--" && (a.empty() || a.front() != '-' || a == "-"))) {
            positional.push_back(a);
        } else if (a == "--") {
            options = false; // what follows is a profile name, even one that starts with "-"
        } else if (a == "--help" || a == "-h") {
            line.help = true;
        } else if (a == "--version") {
            line.version = true;
        } else if (a == "--list") {
            line.list = true;
        } else if (a == "--status") {
            line.status = true;
        } else if (a == "--json") {
            line.json = true;
        } else if (a == "--data-dir") {
            line.dataDir = value(i, "--data-dir erwartet einen Ordner.");
            if (!line.dataDir)
                return line;
        } else if (a.rfind("--data-dir=", 0) == 0 && a.size() > 11) {
            line.dataDir = a.substr(11);
        } else if (a == "--restore" || a == "--list-backup" || a == "--check") {
            auto& profile = a == "--restore" ? line.restoreProfile
                            : a == "--check" ? line.checkProfile
                                             : line.listBackupProfile;
            profile = value(i, (a + " erwartet einen Profilnamen.").c_str());
            if (!profile)
                return line;
        } else if (a == "--at") {
            line.at = value(i, "--at erwartet einen Zeitpunkt (TT.MM.JJJJ [hh:mm[:ss]]).");
            if (!line.at)
                return line;
        } else if (a == "--to") {
            line.to = value(i, "--to erwartet einen Ordner.");
            if (!line.to)
                return line;
        } else if (a == "--conflict") {
            line.conflict = value(i, "--conflict erwartet replace, keep oder skip.");
            if (!line.conflict)
                return line;
            if (*line.conflict != "replace" && *line.conflict != "keep" && *line.conflict != "skip") {
                line.error = "--conflict erwartet replace, keep oder skip.";
                return line;
            }
        } else if (a == "--headless") {
            line.headless = true;
        } else if (a == "--end-session") {
            line.endSession = true;
        } else if (a == "--send") {
            line.send = value(i, "--send erwartet einen Befehl.");
            if (!line.send)
                return line;
        } else if (a == "--tick-ms" || a == "--end-wait" || a == "--command-limit") {
            // The numbers that tests shorten: a scheduler tick, the end's wait, a command's limit.
            struct Number
            {
                int& target;
                long long minimum;
                long long maximum;
                const char* error;
            };
            const Number number =
                a == "--tick-ms"
                    ? Number{line.tickMs, 50, 3'600'000, "--tick-ms erwartet Millisekunden (50 bis 3600000)."}
                : a == "--end-wait"
                    ? Number{line.endWaitSeconds, 0, 3600, "--end-wait erwartet Sekunden (0 bis 3600)."}
                    : Number{line.commandLimitSeconds, 1, 3600, "--command-limit erwartet Sekunden (1 bis 3600)."};
            long long given = 0;
            if (i + 1 >= arguments.size() || !ParseInteger(arguments[i + 1], number.minimum, number.maximum, given)) {
                line.error = number.error;
                return line;
            }
            number.target = static_cast<int>(given);
            ++i;
        } else {
            line.error = "Unbekanntes Argument: " + a;
            return line;
        }
    }
    const int commands = (line.restoreProfile ? 1 : 0) + (line.listBackupProfile ? 1 : 0) + (line.checkProfile ? 1 : 0);
    if (commands > 1) {
        line.error = "Nur eines von --restore, --list-backup und --check.";
    } else if (line.restoreProfile) {
        line.paths = positional; // what to restore
    } else if (!positional.empty() && commands == 0) {
        line.profileName = positional.front(); // at most one profile name is used
    } else if (!positional.empty()) {
        line.error = "Unbekanntes Argument: " + positional.front();
    }
    if (line.error.empty() && commands == 0 && (line.at || line.to || line.conflict))
        line.error = "--at, --to und --conflict gelten nur mit --restore, --list-backup oder --check.";
    if (line.error.empty() && line.json && !line.status)
        line.error = "--json gilt nur mit --status.";
    if (line.error.empty() && line.status && (commands > 0 || line.list || line.send || line.profileName))
        line.error = "--status steht allein (mit --data-dir und --json).";
    if (line.error.empty() && !line.restoreProfile && (line.to || line.conflict))
        line.error = "--to und --conflict gelten nur mit --restore.";
    return line;
}

std::string UsageText()
{
    return "Aufruf: tresorio [--data-dir ORDNER] [--headless] [--] [PROFIL]\n"
           "       tresorio [--data-dir ORDNER] --send BEFEHL\n"
           "       tresorio [--data-dir ORDNER] --list\n"
           "       tresorio [--data-dir ORDNER] --status [--json]\n"
           "       tresorio [--data-dir ORDNER] --restore PROFIL [--at ZEITPUNKT] [--to ORDNER]\n"
           "                [--conflict replace|keep|skip] [PFAD...]\n"
           "       tresorio [--data-dir ORDNER] --list-backup PROFIL [--at ZEITPUNKT]\n"
           "       tresorio [--data-dir ORDNER] --check PROFIL\n"
           "\n"
           "Tresorio sichert Ordner nach den Profilen in Backup.bpf. Ohne PROFIL läuft es im\n"
           "Hintergrund und führt jedes Profil zu seiner Zeit aus; mit PROFIL führt es dieses\n"
           "Profil aus und endet (läuft schon eine Kopie, übernimmt diese den Lauf).\n"
           "\n"
           "  --data-dir ORDNER  Ordner mit Backup.bpf, Backup.log und settings.ini\n"
           "                     (sonst $TRESORIO_HOME, der Ordner des Programms, wenn er\n"
           "                     Backup.bpf enthält, oder $XDG_DATA_HOME/tresorio)\n"
           "  --headless         ohne Fenster: Meldungen auf die Standardfehlerausgabe\n"
           "  --end-session      beendet sofort, wie am Ende der Sitzung: Profile für das\n"
           "                     Programmende laufen, Einstellungen und Profile werden gespeichert\n"
           "  --send BEFEHL      Befehl an die laufende Kopie: TRSROPause, TRSROContinue,\n"
           "                     TRSROStop oder TRSRORunProfile gefolgt vom Profilnamen\n"
           "  --list             Profile mit letzter und nächster Sicherung und Modus\n"
           "                     ausgeben; schreibt nichts\n"
           "  --status           je Profil eine Zeile: Name, letzte Sicherung, letzte fehlerfreie\n"
           "                     Sicherung, Fehler, nächste Sicherung, überfällig; durch\n"
           "                     Tabulatoren getrennt; schreibt nichts. Status 0: alles gut,\n"
           "                     1: ein Profil mit Fehlern oder überfällig, 2: Ordner unlesbar\n"
           "  --json             mit --status: ein JSON-Array für Überwachungssysteme\n"
           "  --restore PROFIL   holt die gesicherten Dateien des Profils zurück: die PFADe\n"
           "                     (ursprüngliche Pfade, ein Ordner mit allem darin), ohne PFAD alles\n"
           "  --at ZEITPUNKT     der Stand zu diesem Zeitpunkt (TT.MM.JJJJ [hh:mm[:ss]] oder\n"
           "                     JJJJ-MM-TT [hh:mm[:ss]]; ein Tag allein: sein Ende)\n"
           "  --to ORDNER        in diesen Ordner statt an den ursprünglichen Ort\n"
           "  --conflict WAS     eine andere Datei am Ziel: replace (ersetzen), keep (beide\n"
           "                     behalten, Name mit Datum) oder skip (überspringen, sonst)\n"
           "  --list-backup PROFIL  was das Ziel des Profils enthält: Pfad, Größe, Zeit und\n"
           "                     Version, durch Tabulatoren getrennt\n"
           "  --check PROFIL     prüft, ob sich die Sicherung zurückholen lässt (Prüfen):\n"
           "                     jedes Archiv und jede Kopie wird ganz gelesen\n"
           "  --end-wait N       so viele Sekunden wartet das Beenden höchstens auf ein Programm\n"
           "                     vor oder nach der Sicherung (sonst 30)\n"
           "  --command-limit N  so viele Sekunden darf der Befehl bei Fehlern (RunOnFailure)\n"
           "                     laufen (für Tests; sonst 60)\n"
           "  --tick-ms N        Takt des Zeitplaners in Millisekunden (für Tests; sonst 10000)\n"
           "  --                 alles Weitere ist der Profilname (auch wenn er mit - beginnt)\n"
           "  --version          Version ausgeben\n"
           "  --help             Diese Hilfe\n";
}
