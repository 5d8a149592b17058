#include "app/CommandLine.h"

CommandLine ParseCommandLine(const std::vector<std::string>& arguments)
{
    CommandLine line;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::string& a = arguments[i];
        if (a == "--help" || a == "-h") {
            line.help = true;
        } else if (a == "--version") {
            line.version = true;
        } else if (a == "--list") {
            line.list = true;
        } else if (a == "--data-dir") {
            if (i + 1 >= arguments.size() || arguments[i + 1].empty()) {
                line.error = "--data-dir erwartet einen Ordner.";
                return line;
            }
            line.dataDir = arguments[++i];
        } else if (a.rfind("--data-dir=", 0) == 0 && a.size() > 11) {
            line.dataDir = a.substr(11);
        } else {
            line.error = "Unbekanntes Argument: " + a;
            return line;
        }
    }
    return line;
}

std::string UsageText()
{
    return "Aufruf: tresorio [--data-dir ORDNER] [--list]\n"
           "\n"
           "Tresorio sichert Ordner nach den Profilen in Backup.bpf.\n"
           "\n"
           "  --data-dir ORDNER  Ordner mit Backup.bpf, Backup.log und settings.ini\n"
           "                     (sonst $TRESORIO_HOME, der Ordner des Programms, wenn er\n"
           "                     Backup.bpf enthält, oder $XDG_DATA_HOME/tresorio)\n"
           "  --list             Profile mit letzter und nächster Sicherung und Modus\n"
           "                     ausgeben; schreibt nichts\n"
           "  --version          Version ausgeben\n"
           "  --help             Diese Hilfe\n";
}
