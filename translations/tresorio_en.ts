<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en" sourcelanguage="de">
<context>
    <name>AboutDialog</name>
    <message>
        <source>Info</source>
        <translation>About</translation>
    </message>
    <message>
        <source>Kestrova Tresorio</source>
        <translation>Kestrova Tresorio</translation>
    </message>
    <message>
        <source>Version %1&lt;br&gt;Sicherungen nach Plan für diesen Arbeitsplatz.&lt;br&gt;&lt;br&gt;&lt;a href=&quot;%2&quot;&gt;%2&lt;/a&gt;&lt;br&gt;&lt;br&gt;Die Sicherungsprofile, das Protokoll und die Einstellungen liegen im Datenordner.</source>
        <translation>Version %1&lt;br&gt;Scheduled backups for this workstation.&lt;br&gt;&lt;br&gt;&lt;a href=&quot;%2&quot;&gt;%2&lt;/a&gt;&lt;br&gt;&lt;br&gt;The backup profiles, the log and the settings are kept in the data folder.</translation>
    </message>
</context>
<context>
    <name>ConflictDialog</name>
    <message>
        <source>Für &amp;alle weiteren Dateien</source>
        <translation>For &amp;all further files</translation>
    </message>
    <message>
        <source>Datei existiert bereits</source>
        <translation>File already exists</translation>
    </message>
    <message>
        <source>Am Ziel liegt schon eine andere Fassung von
%1</source>
        <translation>A different version is already at the target:
%1</translation>
    </message>
    <message>
        <source>Am Ziel: %1
Aus der Sicherung: %2</source>
        <translation>At the target: %1
From the backup: %2</translation>
    </message>
    <message>
        <source>&amp;Ersetzen</source>
        <translation>&amp;Replace</translation>
    </message>
    <message>
        <source>&amp;Beide behalten (Name mit Datum)</source>
        <translation>&amp;Keep both (name with date)</translation>
    </message>
    <message>
        <source>Ü&amp;berspringen</source>
        <translation>&amp;Skip</translation>
    </message>
</context>
<context>
    <name>CoreTexts</name>
    <message>
        <source>Vollsicherung</source>
        <translation>Full backup</translation>
    </message>
    <message>
        <source>Inkrementell</source>
        <translation>Incremental</translation>
    </message>
    <message>
        <source>Dateien löschen</source>
        <translation>Delete files</translation>
    </message>
    <message>
        <source>Differenziell</source>
        <translation>Differential</translation>
    </message>
    <message>
        <source>Synchronisieren</source>
        <translation>Synchronise</translation>
    </message>
    <message>
        <source>Dateien verschieben</source>
        <translation>Move files</translation>
    </message>
    <message>
        <source>in Papierkorb</source>
        <translation>to recycle bin</translation>
    </message>
    <message>
        <source>komprimieren</source>
        <translation>compress</translation>
    </message>
    <message>
        <source>läuft...</source>
        <translation>running...</translation>
    </message>
    <message>
        <source>Kein Profil aktiv</source>
        <translation>No profile active</translation>
    </message>
    <message>
        <source>Pausiert...</source>
        <translation>Paused...</translation>
    </message>
    <message>
        <source>Aktiv</source>
        <translation>Active</translation>
    </message>
    <message>
        <source>Durchsuche Verzeichnisse...</source>
        <translation>Scanning folders...</translation>
    </message>
    <message>
        <source>Durchsuchen: </source>
        <translation>Scanning: </translation>
    </message>
    <message>
        <source>Verarbeiten: </source>
        <translation>Processing: </translation>
    </message>
    <message>
        <source>Kein Profil ausgewählt.</source>
        <translation>No profile selected.</translation>
    </message>
    <message>
        <source>Ein anderes Profil ist gerade aktiv. Versuchen Sie es etwas später nochmals.</source>
        <translation>Another profile is running right now. Please try again a little later.</translation>
    </message>
    <message>
        <source>Nachrichten anderer Programme können nicht empfangen werden.</source>
        <translation>Messages from other programs cannot be received.</translation>
    </message>
    <message>
        <source>Bitte Diskette mit dem Namen %1 in Laufwerk %2 legen</source>
        <translation>Please insert the disk named %1 into drive %2</translation>
    </message>
    <message>
        <source>Bitte Diskette Nr. %1 von %2 in Laufwerk %3:\ einlegen</source>
        <translation>Please insert disk no. %1 of %2 into drive %3:\</translation>
    </message>
    <message>
        <source>Bitte Diskette Nr. %1 in Laufwerk %2:\ einlegen</source>
        <translation>Please insert disk no. %1 into drive %2:\</translation>
    </message>
    <message>
        <source>%1 ist keine lesbare Profildatei. Sie wird beim Speichern als Backup.bpf.bak aufbewahrt.</source>
        <translation>%1 is not a readable profile file. It is kept as Backup.bpf.bak when the profiles are saved.</translation>
    </message>
    <message>
        <source>%1 kann nicht gelesen werden (%2). Sie bleibt, wie sie ist, und wird nicht überschrieben.</source>
        <translation>%1 cannot be read (%2). It stays as it is and is not overwritten.</translation>
    </message>
    <message>
        <source>Das Ende der Sitzung kann nicht aufgehalten werden (%1). Profile, die beim Beenden laufen, haben nur so viel Zeit, wie das System Tresorio beim Herunterfahren lässt.</source>
        <translation>The end of the session cannot be held back (%1). Profiles that run at the end have only as much time as the system gives Tresorio when it shuts down.</translation>
    </message>
    <message>
        <source>Ein Programm vor oder nach der Sicherung läuft nach %1 s noch; Tresorio endet, ohne länger darauf zu warten.</source>
        <translation>A program before or after the backup is still running after %1 s; Tresorio ends without waiting for it any longer.</translation>
    </message>
    <message>
        <source>Protokoll %1 kann nicht geschrieben werden.</source>
        <translation>Log %1 cannot be written.</translation>
    </message>
    <message>
        <source>Datei %1 kann nicht erstellt werden: %2</source>
        <translation>File %1 cannot be created: %2</translation>
    </message>
    <message>
        <source>Datei %1 wird nicht überschrieben: sie konnte beim Start nicht gelesen werden</source>
        <translation>File %1 is not overwritten: it could not be read at start-up</translation>
    </message>
    <message>
        <source>Eine Wiederherstellung läuft gerade. Die Sicherung kann erst nach ihrem Ende beginnen.</source>
        <translation>A restore is running right now. The backup can only start after it has ended.</translation>
    </message>
    <message>
        <source>Eine Sicherung läuft gerade. Die Wiederherstellung kann erst nach ihrem Ende beginnen.</source>
        <translation>A backup is running right now. The restore can only start after it has ended.</translation>
    </message>
</context>
<context>
    <name>ECalendarPanel</name>
    <message>
        <source>Wo</source>
        <translation>Wk</translation>
    </message>
</context>
<context>
    <name>ECalendarPopup</name>
    <message>
        <source>Kalender</source>
        <translation>Calendar</translation>
    </message>
    <message>
        <source>&amp;Heute</source>
        <translation>&amp;Today</translation>
    </message>
    <message>
        <source>&amp;Keines</source>
        <translation>&amp;None</translation>
    </message>
</context>
<context>
    <name>EDirTree</name>
    <message>
        <source>wird geladen…</source>
        <translation>loading…</translation>
    </message>
    <message>
        <source>keine Antwort – wird weiter geladen…</source>
        <translation>no answer – still loading…</translation>
    </message>
    <message>
        <source>Desktop</source>
        <translation>Desktop</translation>
    </message>
    <message>
        <source>Arbeitsplatz</source>
        <translation>My Computer</translation>
    </message>
    <message>
        <source>Netzwerkumgebung</source>
        <translation>Network</translation>
    </message>
    <message>
        <source>Dateisystem</source>
        <translation>File system</translation>
    </message>
    <message>
        <source>Persönlicher Ordner</source>
        <translation>Home folder</translation>
    </message>
</context>
<context>
    <name>EEditDate</name>
    <message>
        <source>Kalender</source>
        <translation>Calendar</translation>
    </message>
</context>
<context>
    <name>GuiFrontEnd</name>
    <message>
        <source>Bitte den Datenträger %1 für %2 bereitstellen.</source>
        <translation>Please make the medium %1 available for %2.</translation>
    </message>
    <message>
        <source>Bitte Datenträger Nr. %1 von %2 in %3 bereitstellen.</source>
        <translation>Please insert medium no. %1 of %2 in %3.</translation>
    </message>
    <message>
        <source>Protokoll anzeigen</source>
        <translation>Show log</translation>
    </message>
    <message>
        <source>„%1“: %2</source>
        <translation>&quot;%1&quot;: %2</translation>
    </message>
    <message>
        <source>und ein weiteres Profil überfällig</source>
        <translation>and one more profile overdue</translation>
    </message>
    <message numerus="yes">
        <source>und %n weitere Profile überfällig</source>
        <translation>
            <numerusform>and %n more profile overdue</numerusform>
            <numerusform>and %n more profiles overdue</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>Help</name>
    <message>
        <source>Das Handbuch ist nicht installiert.</source>
        <translation>The manual is not installed.</translation>
    </message>
    <message>
        <source>Das Handbuch liegt in %1.</source>
        <translation>The manual is in %1.</translation>
    </message>
    <message>
        <source>Kann HTML-Hilfe nicht öffnen!</source>
        <translation>Cannot open the HTML help!</translation>
    </message>
</context>
<context>
    <name>LogViewer</name>
    <message>
        <source>Kestrova Backup - Protokoll</source>
        <translation>Kestrova Backup - Log</translation>
    </message>
    <message>
        <source>Geben Sie hier einen Suchbegriff ein um im Protokoll zu suchen</source>
        <translation>Enter a search term here to search the log</translation>
    </message>
    <message>
        <source>Suchen</source>
        <translation>Search</translation>
    </message>
    <message>
        <source>Begriff in Protokolldatei suchen</source>
        <translation>Search the log file for the term</translation>
    </message>
    <message>
        <source>Nächster Fehler</source>
        <translation>Next error</translation>
    </message>
    <message>
        <source>Zur nächsten Fehlermeldung (!!!) springen</source>
        <translation>Go to the next error message (!!!)</translation>
    </message>
    <message>
        <source>Speichern...</source>
        <translation>Save...</translation>
    </message>
    <message>
        <source>Protokoll speichern unter</source>
        <translation>Save log as</translation>
    </message>
    <message>
        <source>Textdateien (*.txt)</source>
        <translation>Text files (*.txt)</translation>
    </message>
    <message>
        <source>Alle Dateien (*)</source>
        <translation>All files (*)</translation>
    </message>
    <message>
        <source>Speichern der Protokoll-Datei</source>
        <translation>Save the log file</translation>
    </message>
    <message>
        <source>Drucken...</source>
        <translation>Print...</translation>
    </message>
    <message>
        <source>Drucken der Protokoll-Datei</source>
        <translation>Print the log file</translation>
    </message>
    <message>
        <source>Löschen...</source>
        <translation>Delete...</translation>
    </message>
    <message>
        <source>Löschen der Protokoll-Datei</source>
        <translation>Delete the log file</translation>
    </message>
    <message>
        <source>Protokoll wird geladen…</source>
        <translation>Loading the log…</translation>
    </message>
    <message numerus="yes">
        <source>%n Zeile(n)</source>
        <translation>
            <numerusform>%n line</numerusform>
            <numerusform>%n lines</numerusform>
        </translation>
    </message>
    <message>
        <source>&quot;%1&quot; nicht weiter gefunden; die nächste Suche beginnt am Anfang.</source>
        <translation>&quot;%1&quot; not found further on; the next search starts at the beginning.</translation>
    </message>
    <message>
        <source>Keine weitere Fehlermeldung.</source>
        <translation>No further error message.</translation>
    </message>
    <message>
        <source>Das Protokoll wurde seit dem Öffnen verändert (gekürzt oder gelöscht). Soll Ihre Fassung es trotzdem ersetzen?</source>
        <translation>The log was changed since it was opened (trimmed or deleted). Should your version replace it all the same?</translation>
    </message>
    <message>
        <source>Die Datei %1 konnte nicht geschrieben werden: %2</source>
        <translation>The file %1 could not be written: %2</translation>
    </message>
    <message>
        <source>Kestrova Tresorio - Protokoll</source>
        <translation>Kestrova Tresorio - Log</translation>
    </message>
    <message>
        <source>Änderungen im Protokoll speichern?</source>
        <translation>Save the changes to the log?</translation>
    </message>
    <message>
        <source>Suchbegriff</source>
        <translation>Search term</translation>
    </message>
</context>
<context>
    <name>MainActions</name>
    <message>
        <source>&amp;Neu...</source>
        <translation>&amp;New...</translation>
    </message>
    <message>
        <source>&amp;Löschen...</source>
        <translation>&amp;Delete...</translation>
    </message>
    <message>
        <source>&amp;Umbenennen...</source>
        <translation>&amp;Rename...</translation>
    </message>
    <message>
        <source>&amp;Eigenschaften...</source>
        <translation>Pr&amp;operties...</translation>
    </message>
    <message>
        <source>&amp;Sicherung jetzt durchführen</source>
        <translation>&amp;Back up now</translation>
    </message>
    <message>
        <source>&amp;Pause</source>
        <translation>&amp;Pause</translation>
    </message>
    <message>
        <source>Pause. Keine weitere Sicherung wird durchgeführt.</source>
        <translation>Pause. No further backup is run.</translation>
    </message>
    <message>
        <source>Sicherung abb&amp;rechen</source>
        <translation>&amp;Cancel backup</translation>
    </message>
    <message>
        <source>&amp;Autostart</source>
        <translation>&amp;Autostart</translation>
    </message>
    <message>
        <source>Sch&amp;ließen</source>
        <translation>&amp;Close</translation>
    </message>
    <message>
        <source>Schließen und &amp;Beenden</source>
        <translation>Close and &amp;Exit</translation>
    </message>
    <message>
        <source>Schließen und Beenden (ohne weitere Aktionen)</source>
        <translation>Close and Exit (without further actions)</translation>
    </message>
    <message>
        <source>Profil &amp;duplizieren</source>
        <translation>&amp;Duplicate profile</translation>
    </message>
    <message>
        <source>Profil merken</source>
        <translation>Remember profile</translation>
    </message>
    <message>
        <source>&amp;Protokoll löschen...</source>
        <translation>Delete &amp;log...</translation>
    </message>
    <message>
        <source>Link am Desktop erstellen</source>
        <translation>Create desktop link</translation>
    </message>
    <message>
        <source>&amp;Optionen...</source>
        <translation>&amp;Options...</translation>
    </message>
    <message>
        <source>&amp;Symbolleiste</source>
        <translation>&amp;Toolbar</translation>
    </message>
    <message>
        <source>S&amp;tatusleiste</source>
        <translation>&amp;Status bar</translation>
    </message>
    <message>
        <source>XP-Aufgabenleiste</source>
        <translation>XP task pane</translation>
    </message>
    <message>
        <source>&amp;Große Symbole</source>
        <translation>&amp;Large icons</translation>
    </message>
    <message>
        <source>&amp;Kleine Symbole</source>
        <translation>S&amp;mall icons</translation>
    </message>
    <message>
        <source>&amp;Liste</source>
        <translation>&amp;List</translation>
    </message>
    <message>
        <source>&amp;Details</source>
        <translation>&amp;Details</translation>
    </message>
    <message>
        <source>&amp;Protokoll...</source>
        <translation>&amp;Log...</translation>
    </message>
    <message>
        <source>&amp;Inhalt</source>
        <translation>&amp;Contents</translation>
    </message>
    <message>
        <source>Inf&amp;o...</source>
        <translation>Ab&amp;out...</translation>
    </message>
    <message>
        <source>&amp;Profile bearbeiten...</source>
        <translation>&amp;Edit profiles...</translation>
    </message>
    <message>
        <source>&amp;Wiederherstellen…</source>
        <translation>&amp;Restore…</translation>
    </message>
    <message>
        <source>Dateien aus der Sicherung des gewählten Profils zurückholen</source>
        <translation>Get files back from the selected profile&apos;s backup</translation>
    </message>
</context>
<context>
    <name>MainWindow</name>
    <message>
        <source>%1 Profil</source>
        <translation>%1 profile</translation>
    </message>
    <message>
        <source>%1 Profile</source>
        <translation>%1 profiles</translation>
    </message>
    <message>
        <source>Nächste Sicherung</source>
        <translation>Next backup</translation>
    </message>
    <message>
        <source>Kestrova Tresorio</source>
        <translation>Kestrova Tresorio</translation>
    </message>
    <message>
        <source>&amp;Datei</source>
        <translation>&amp;File</translation>
    </message>
    <message>
        <source>&amp;Bearbeiten</source>
        <translation>&amp;Edit</translation>
    </message>
    <message>
        <source>&amp;Ansicht</source>
        <translation>&amp;View</translation>
    </message>
    <message>
        <source>&amp;?</source>
        <translation>&amp;?</translation>
    </message>
    <message>
        <source>Standard</source>
        <translation>Standard</translation>
    </message>
</context>
<context>
    <name>MessageBoxes</name>
    <message>
        <source>Fehler</source>
        <translation>Error</translation>
    </message>
    <message>
        <source>Warnung</source>
        <translation>Warning</translation>
    </message>
    <message>
        <source>Information</source>
        <translation>Information</translation>
    </message>
    <message>
        <source>Bestätigung</source>
        <translation>Confirmation</translation>
    </message>
</context>
<context>
    <name>OptionsDialog</name>
    <message>
        <source>Niedrig</source>
        <translation>Low</translation>
    </message>
    <message>
        <source>Hoch</source>
        <translation>High</translation>
    </message>
    <message>
        <source>Optionen</source>
        <translation>Options</translation>
    </message>
    <message>
        <source>Allgemein</source>
        <translation>General</translation>
    </message>
    <message>
        <source>Protokoll</source>
        <translation>Log</translation>
    </message>
    <message>
        <source>Sicherung</source>
        <translation>Backup</translation>
    </message>
    <message>
        <source>FTP</source>
        <translation>FTP</translation>
    </message>
    <message>
        <source>Update</source>
        <translation>Update</translation>
    </message>
    <message>
        <source>&amp;Abbrechen</source>
        <translation>&amp;Cancel</translation>
    </message>
    <message>
        <source>&amp;OK</source>
        <translation>&amp;OK</translation>
    </message>
    <message>
        <source>Programmstart</source>
        <translation>Program start</translation>
    </message>
    <message>
        <source>Autostart (beim Systemstart)</source>
        <translation>Autostart (when the system starts)</translation>
    </message>
    <message>
        <source>nicht automatisch starten</source>
        <translation>do not start automatically</translation>
    </message>
    <message>
        <source>nach Autostart</source>
        <translation>after autostart</translation>
    </message>
    <message>
        <source>min warten</source>
        <translation>min wait</translation>
    </message>
    <message>
        <source>Sprache</source>
        <translation>Language</translation>
    </message>
    <message>
        <source>Sprache auswählen:</source>
        <translation>Choose the language:</translation>
    </message>
    <message>
        <source>Deutsch</source>
        <translation>German</translation>
    </message>
    <message>
        <source>Englisch</source>
        <translation>English</translation>
    </message>
    <message>
        <source>Menü-Layout</source>
        <translation>Menu layout</translation>
    </message>
    <message>
        <source>Standard</source>
        <translation>Standard</translation>
    </message>
    <message>
        <source>Office XP</source>
        <translation>Office XP</translation>
    </message>
    <message>
        <source>Windows XP</source>
        <translation>Windows XP</translation>
    </message>
    <message>
        <source>Menü-Farbdefinition</source>
        <translation>Menu colours</translation>
    </message>
    <message>
        <source>Protokoll-Datei</source>
        <translation>Log file</translation>
    </message>
    <message>
        <source>Protokoll löschen</source>
        <translation>Delete log</translation>
    </message>
    <message>
        <source>Maximale Größe:</source>
        <translation>Maximum size:</translation>
    </message>
    <message>
        <source>kB</source>
        <translation>kB</translation>
    </message>
    <message>
        <source>Backup jeder Einzeldatei protokollieren</source>
        <translation>Log the backup of every single file</translation>
    </message>
    <message>
        <source>Fehler (Lesefehler) protokollieren</source>
        <translation>Log errors (read errors)</translation>
    </message>
    <message>
        <source>Backup pro Verzeichnis protokollieren</source>
        <translation>Log the backup per folder</translation>
    </message>
    <message>
        <source>Fehlermeldungen</source>
        <translation>Error messages</translation>
    </message>
    <message>
        <source>Bei Fehlern nach Sicherung Meldung am Bildschirm ausgeben</source>
        <translation>Show a message on screen after a backup with errors</translation>
    </message>
    <message>
        <source>Hintergrundaktivität</source>
        <translation>Background activity</translation>
    </message>
    <message>
        <source>Dateitypen berücksichtigen</source>
        <translation>File types to include</translation>
    </message>
    <message>
        <source>&amp;System</source>
        <translation>&amp;System</translation>
    </message>
    <message>
        <source>&amp;Hidden</source>
        <translation>&amp;Hidden</translation>
    </message>
    <message>
        <source>&amp;Read Only</source>
        <translation>&amp;Read Only</translation>
    </message>
    <message>
        <source>Kompression</source>
        <translation>Compression</translation>
    </message>
    <message>
        <source>FTP-Transfer</source>
        <translation>FTP transfer</translation>
    </message>
    <message>
        <source>Dateien mit diesen Endungen überträgt die Einstellung &quot;Auto&quot; als Text, alle anderen binär. Eine Maske je Zeile.</source>
        <translation>The setting &quot;Auto&quot; transfers files with these extensions as text, all others as binary. One mask per line.</translation>
    </message>
    <message>
        <source>Programm-Update</source>
        <translation>Program update</translation>
    </message>
    <message>
        <source>Automatisch im Internet nach Programmupdates schauen</source>
        <translation>Look for program updates on the internet automatically</translation>
    </message>
    <message>
        <source>Alle</source>
        <translation>Every</translation>
    </message>
    <message>
        <source>Tage</source>
        <translation>days</translation>
    </message>
    <message>
        <source>Über diesen Proxy:</source>
        <translation>Through this proxy:</translation>
    </message>
    <message>
        <source>Die maximale Größe des Protokolls muss eine Zahl von 1 bis %1 (kB) sein.</source>
        <translation>The maximum size of the log must be a number from 1 to %1 (kB).</translation>
    </message>
    <message>
        <source>Rechnername und Port des Proxys, z.B. proxy.example.org:3128, mit Anmeldung benutzer:kennwort@proxy.example.org:3128; leer oder &quot;-&quot;: kein Proxy</source>
        <translation>Host name and port of the proxy, e.g. proxy.example.org:3128, with a login user:password@proxy.example.org:3128; empty or &quot;-&quot;: no proxy</translation>
    </message>
    <message>
        <source>Auch erfolgreiche Sicherungen melden</source>
        <translation>Also report successful backups</translation>
    </message>
    <message>
        <source>Ein Profil ist überfällig, wenn seine letzte fehlerfreie Sicherung länger zurückliegt als sein Intervall und diese Tage (bei wöchentlichen und monatlichen Profilen mindestens ein weiteres Intervall).</source>
        <translation>A profile is overdue when its last backup without errors lies further back than its interval and these days (for weekly and monthly profiles at least one more interval).</translation>
    </message>
    <message>
        <source>z.B. /usr/local/bin/sicherung-melden</source>
        <translation>e.g. /usr/local/bin/report-backup</translation>
    </message>
    <message>
        <source>Überfällig nach Intervall und</source>
        <translation>Overdue after the interval and</translation>
    </message>
    <message>
        <source>Tagen</source>
        <translation>days</translation>
    </message>
    <message>
        <source>Befehl bei Fehlschlag:</source>
        <translation>Command on failure:</translation>
    </message>
    <message>
        <source>Der Befehl wird nach jeder fehlgeschlagenen, nicht gestarteten, unterbrochenen oder überfälligen Sicherung ausgeführt, ohne Shell. Er erhält den Bericht auf der Standardeingabe und TRESORIO_PROFILE, TRESORIO_ERRORS, TRESORIO_OUTCOME, TRESORIO_FIRST_ERROR und TRESORIO_REPORT in der Umgebung.</source>
        <translation>The command runs after every backup that failed, did not start, was interrupted or is overdue, without a shell. It gets the report on standard input and TRESORIO_PROFILE, TRESORIO_ERRORS, TRESORIO_OUTCOME, TRESORIO_FIRST_ERROR and TRESORIO_REPORT in its environment.</translation>
    </message>
</context>
<context>
    <name>OutcomeNotices</name>
    <message>
        <source>Sicherung „%1“ beendet</source>
        <translation>Backup &quot;%1&quot; finished</translation>
    </message>
    <message>
        <source>Ohne Fehler beendet.</source>
        <translation>Finished without errors.</translation>
    </message>
    <message>
        <source>Sicherung „%1“ mit Fehlern beendet</source>
        <translation>Backup &quot;%1&quot; ended with errors</translation>
    </message>
    <message numerus="yes">
        <source>%n Fehler</source>
        <translation>
            <numerusform>%n error</numerusform>
            <numerusform>%n errors</numerusform>
        </translation>
    </message>
    <message>
        <source>Sicherung „%1“ nicht gestartet</source>
        <translation>Backup &quot;%1&quot; did not start</translation>
    </message>
    <message>
        <source>Sicherung „%1“ unterbrochen</source>
        <translation>Backup &quot;%1&quot; interrupted</translation>
    </message>
    <message>
        <source>Tresorio wurde beendet, bevor die Sicherung fertig war.</source>
        <translation>Tresorio was ended before the backup was finished.</translation>
    </message>
    <message>
        <source>Sicherung „%1“ abgebrochen</source>
        <translation>Backup &quot;%1&quot; cancelled</translation>
    </message>
    <message>
        <source>Vom Benutzer abgebrochen.</source>
        <translation>Cancelled by the user.</translation>
    </message>
    <message>
        <source>Sicherung „%1“ überfällig</source>
        <translation>Backup &quot;%1&quot; overdue</translation>
    </message>
    <message>
        <source>Letzte erfolgreiche Sicherung vor einem Tag</source>
        <translation>Last successful backup a day ago</translation>
    </message>
    <message numerus="yes">
        <source>Letzte erfolgreiche Sicherung vor %n Tagen</source>
        <translation>
            <numerusform>Last successful backup %n day ago</numerusform>
            <numerusform>Last successful backup %n days ago</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>ProfileCommands</name>
    <message>
        <source>Kein Profil ausgewählt.</source>
        <translation>No profile selected.</translation>
    </message>
    <message>
        <source>Profil ist gerade aktiv. Kann jetzt nicht gelöscht werden!</source>
        <translation>The profile is running. It cannot be deleted now!</translation>
    </message>
    <message>
        <source>Sicherungsprofil &quot;%1&quot; löschen?</source>
        <translation>Delete backup profile &quot;%1&quot;?</translation>
    </message>
    <message>
        <source>Der Link &quot;%1&quot; auf dem Desktop startet dieses Profil. Soll er auch gelöscht werden?</source>
        <translation>The link &quot;%1&quot; on the desktop starts this profile. Delete it too?</translation>
    </message>
    <message>
        <source>Der Link &quot;%1&quot; auf dem Desktop startet das Profil unter seinem alten Namen und damit nichts mehr. Soll er das Profil &quot;%2&quot; starten?</source>
        <translation>The link &quot;%1&quot; on the desktop starts the profile by its old name and so starts nothing any more. Shall it start the profile &quot;%2&quot;?</translation>
    </message>
</context>
<context>
    <name>ProfileListModel</name>
    <message>
        <source>Name</source>
        <translation>Name</translation>
    </message>
    <message>
        <source>Letzte Sicherung</source>
        <translation>Last backup</translation>
    </message>
    <message>
        <source>Nächste Sicherung</source>
        <translation>Next backup</translation>
    </message>
    <message>
        <source>Modus</source>
        <translation>Mode</translation>
    </message>
</context>
<context>
    <name>ProfileWizard</name>
    <message>
        <source>Abbrechen</source>
        <translation>Cancel</translation>
    </message>
    <message>
        <source>&lt; Zurück</source>
        <translation>&lt; Back</translation>
    </message>
    <message>
        <source>Weiter &gt;</source>
        <translation>Next &gt;</translation>
    </message>
    <message>
        <source>Fertigstellen</source>
        <translation>Finish</translation>
    </message>
    <message>
        <source>&amp;Hilfe...</source>
        <translation>&amp;Help...</translation>
    </message>
    <message>
        <source>Neues Profil</source>
        <translation>New profile</translation>
    </message>
    <message>
        <source>Tresorio Profil Assistent</source>
        <translation>Tresorio Profile Wizard</translation>
    </message>
    <message>
        <source>Zielverzeichnis und Quellverzeichnis gleich! Dies kann zu Datenverlust führen!
Bitte korrigieren Sie das Zielverzeichnis.</source>
        <translation>Destination and source folder are the same! This can lead to data loss!
Please correct the destination folder.</translation>
    </message>
    <message>
        <source>Bitte geben Sie einen Namen für das Sicherungsprofil ein.</source>
        <translation>Please enter a name for the backup profile.</translation>
    </message>
    <message>
        <source>Ein Sicherungsprofil mit dem Namen &quot;%1&quot; gibt es schon. Bitte wählen Sie einen anderen Namen.</source>
        <translation>A backup profile named &quot;%1&quot; already exists. Please choose another name.</translation>
    </message>
    <message>
        <source>Bitte wählen Sie mindestens ein Quellverzeichnis.</source>
        <translation>Please choose at least one source folder.</translation>
    </message>
    <message>
        <source>Bitte geben Sie den FTP-Server ein.</source>
        <translation>Please enter the FTP server.</translation>
    </message>
    <message>
        <source>Bitte geben Sie das Zielverzeichnis als vollständigen Pfad ein, z.B. /media/anna/Sicherung/.</source>
        <translation>Please enter the destination folder as a full path, e.g. /media/anna/Backup/.</translation>
    </message>
    <message>
        <source>Bitte geben Sie ein Passwort für die Verschlüsselung ein.</source>
        <translation>Please enter a password for the encryption.</translation>
    </message>
    <message>
        <source>Bitte geben Sie mindestens eine Uhrzeit ein, z.B. 12:00; 16:30.</source>
        <translation>Please enter at least one time, e.g. 12:00; 16:30.</translation>
    </message>
    <message>
        <source>Bitte wählen Sie mindestens einen Wochentag.</source>
        <translation>Please choose at least one day of the week.</translation>
    </message>
    <message>
        <source>Die Zeitpunkte sind nicht lesbar. Bitte geben Sie sie in der Form 24.12.2026-18:00; 31.12.2026-12:00 ein.</source>
        <translation>The moments cannot be read. Please enter them in the form 24.12.2026-18:00; 31.12.2026-12:00.</translation>
    </message>
    <message>
        <source>Achtung: Sie beabsichtigen Daten automatisch zu löschen! Bitte kontrollieren Sie die Quellverzeichnisse.
Alle gewählten Daten werden beim Durchführen dieses Profils gelöscht!</source>
        <translation>Attention: you intend to delete data automatically! Please check the source folders.
All chosen data will be deleted when this profile runs!</translation>
    </message>
    <message>
        <source>Achtung: Sie beabsichtigen Daten automatisch zu verschieben! Bitte kontrollieren Sie das Zielverzeichnisse.
Daten im Zielverzeichnis könnten überschrieben werden!</source>
        <translation>Attention: you intend to move data automatically! Please check the destination folder.
Data in the destination folder could be overwritten!</translation>
    </message>
    <message>
        <source>Mit diesem Assistenten legen Sie beliebig viele Sicherungsprofile an. Ein Profil bestimmt, was, wann, wie und wohin gesichert wird.</source>
        <translation>With this wizard you create as many backup profiles as you like. A profile says what is backed up, when, how and where to.</translation>
    </message>
    <message>
        <source>Der Name ist frei wählbar; er sollte beschreiben, was das Profil tut, zum Beispiel &quot;Fotos auf USB-Stick&quot;.</source>
        <translation>The name is yours to choose; it should describe what the profile does, for example &quot;Photos to USB stick&quot;.</translation>
    </message>
    <message>
        <source>Namen des Sicherungsprofils:</source>
        <translation>Name of the backup profile:</translation>
    </message>
    <message>
        <source>Geben Sie hier den Namen des Sicherungsprofils ein</source>
        <translation>Enter the name of the backup profile here</translation>
    </message>
    <message>
        <source>Fortgeschrittene Einstellungen anzeigen</source>
        <translation>Show advanced settings</translation>
    </message>
    <message>
        <source>Klicken Sie auf &quot;Abbrechen&quot;, um das Sicherungsprofil unverändert zu lassen.</source>
        <translation>Click &quot;Cancel&quot; to leave the backup profile unchanged.</translation>
    </message>
    <message>
        <source>Willkommen beim Assistenten
für Ihr Sicherungsprofil</source>
        <translation>Welcome to the wizard
for your backup profile</translation>
    </message>
    <message>
        <source>Sicherungsart: </source>
        <translation>Kind of backup: </translation>
    </message>
    <message>
        <source>Vollständige Sicherung</source>
        <translation>Full backup</translation>
    </message>
    <message>
        <source>Inkrementelle Sicherung</source>
        <translation>Incremental backup</translation>
    </message>
    <message>
        <source>Differenzielle Sicherung</source>
        <translation>Differential backup</translation>
    </message>
    <message>
        <source>Synchronisation</source>
        <translation>Synchronisation</translation>
    </message>
    <message>
        <source>Dateien verschieben</source>
        <translation>Move files</translation>
    </message>
    <message>
        <source>Dateien löschen</source>
        <translation>Delete files</translation>
    </message>
    <message>
        <source>Achtung: Alle gewählten Dateien werden beim Durchführen des Profils gelöscht, unwiderruflich oder in den Papierkorb.</source>
        <translation>Attention: all chosen files are deleted when the profile runs, for good or into the trash.</translation>
    </message>
    <message>
        <source>Optionen: </source>
        <translation>Options: </translation>
    </message>
    <message>
        <source>nach Archivbit</source>
        <translation>by archive bit</translation>
    </message>
    <message>
        <source>nach Änderungsdatum</source>
        <translation>by modification date</translation>
    </message>
    <message>
        <source>Aufbauend auf Vollbackup:</source>
        <translation>Based on full backup:</translation>
    </message>
    <message>
        <source>unwiderruflich löschen</source>
        <translation>delete permanently</translation>
    </message>
    <message>
        <source>in Papierkorb löschen</source>
        <translation>delete to trash</translation>
    </message>
    <message>
        <source>Sicherung verifizieren</source>
        <translation>Verify backup</translation>
    </message>
    <message>
        <source>Bitweise Prüfung</source>
        <translation>Bitwise check</translation>
    </message>
    <message>
        <source>Sicherungsart bestimmen</source>
        <translation>Choose the kind of backup</translation>
    </message>
    <message>
        <source>Diese Verzeichnissinhalte sichern: </source>
        <translation>Back up the contents of these folders: </translation>
    </message>
    <message>
        <source>Explorer</source>
        <translation>Explorer</translation>
    </message>
    <message>
        <source>Ein Verzeichnis je Zeile</source>
        <translation>One folder per line</translation>
    </message>
    <message>
        <source>Liste</source>
        <translation>List</translation>
    </message>
    <message>
        <source>Vergessen</source>
        <translation>Forget</translation>
    </message>
    <message>
        <source>Diese Verzeichnisse aus dem Profil entfernen</source>
        <translation>Remove these folders from the profile</translation>
    </message>
    <message>
        <source>mit Unterverzeichnissen</source>
        <translation>with subfolders</translation>
    </message>
    <message>
        <source>Symbolische Verknüpfungen: </source>
        <translation>Symbolic links: </translation>
    </message>
    <message>
        <source>Ziele von Verknüpfungen mitsichern</source>
        <translation>Back up what links point to</translation>
    </message>
    <message>
        <source>Sonst wird eine Verknüpfung als Verknüpfung gesichert, wie sie ist.</source>
        <translation>Otherwise a link is backed up as a link, as it is.</translation>
    </message>
    <message>
        <source>leere Verzeichnisse mitsichern</source>
        <translation>include empty folders</translation>
    </message>
    <message>
        <source>Dateifilter: </source>
        <translation>File filters: </translation>
    </message>
    <message>
        <source>Einschließen:</source>
        <translation>Include:</translation>
    </message>
    <message>
        <source>Ausschließen: </source>
        <translation>Exclude: </translation>
    </message>
    <message>
        <source>Eine Maske oder ein Verzeichnis je Zeile. Eine Zeile wie /privat schließt jedes Unterverzeichnis dieses Namens aus, ein vollständiger Pfad genau dieses Verzeichnis.</source>
        <translation>One mask or folder per line. A line such as /private excludes every subfolder of that name, a full path just that folder.</translation>
    </message>
    <message>
        <source>Dateien, die mitgesichert oder ausgeschlossen werden (z.B. *.doc)</source>
        <translation>Files that are included or excluded (e.g. *.doc)</translation>
    </message>
    <message>
        <source>Quelle bestimmen</source>
        <translation>Choose the source</translation>
    </message>
    <message>
        <source>Sichern nach: </source>
        <translation>Back up to: </translation>
    </message>
    <message>
        <source>Zielverzeichnis eingeben: Hier können auch eingehängte Netzlaufwerke und Makro-Variablen wie $date, $day, ..., $computername, $username usw. verwendet werden.</source>
        <translation>Enter the destination folder: mounted network drives and macro variables such as $date, $day, ..., $computername, $username etc. can be used here too.</translation>
    </message>
    <message>
        <source>Zielverzeichnis:</source>
        <translation>Destination folder:</translation>
    </message>
    <message>
        <source>Verzeichnis wählen</source>
        <translation>Choose folder</translation>
    </message>
    <message>
        <source>Eingehängtes Netzwerk-Dateisystem wählen</source>
        <translation>Choose a mounted network file system</translation>
    </message>
    <message>
        <source>Netz…</source>
        <translation>Network…</translation>
    </message>
    <message>
        <source>Ziel-Verzeichnis vorher löschen (unwiderruflich)</source>
        <translation>Delete destination folder first (irreversible)</translation>
    </message>
    <message>
        <source>Gesamten Inhalt des Zielverzeichnis vor jeder Sicherung löschen</source>
        <translation>Delete the whole content of the destination folder before every backup</translation>
    </message>
    <message>
        <source>Nur auf dieses Medium sichern</source>
        <translation>Back up only to this medium</translation>
    </message>
    <message>
        <source>Name des Ziel-Mediums jetzt ermitteln</source>
        <translation>Read the name of the destination medium now</translation>
    </message>
    <message>
        <source>Nicht überschreiben: </source>
        <translation>Do not overwrite: </translation>
    </message>
    <message>
        <source>Nicht überschreiben: Anzahl Generationen:</source>
        <translation>Do not overwrite: number of generations:</translation>
    </message>
    <message>
        <source>Sicherheit: </source>
        <translation>Security: </translation>
    </message>
    <message>
        <source>Im Zielrechner anmelden als:</source>
        <translation>Log on to the destination computer as:</translation>
    </message>
    <message>
        <source>Nur für FTP-Server: Netzwerkfreigaben hängt das System ein, mit den Zugangsdaten, die dort hinterlegt sind.</source>
        <translation>For FTP servers only: network shares are mounted by the system, with the credentials stored there.</translation>
    </message>
    <message>
        <source>Benutzer:</source>
        <translation>User:</translation>
    </message>
    <message>
        <source>Passwort:</source>
        <translation>Password:</translation>
    </message>
    <message>
        <source>FTP-Server: </source>
        <translation>FTP server: </translation>
    </message>
    <message>
        <source>FTP-Server:</source>
        <translation>FTP server:</translation>
    </message>
    <message>
        <source>Name oder IP-Adresse des Servers, wahlweise gefolgt von &quot;:PORT&quot;</source>
        <translation>Name or IP address of the server, optionally followed by &quot;:PORT&quot;</translation>
    </message>
    <message>
        <source>Übertragung:</source>
        <translation>Transfer:</translation>
    </message>
    <message>
        <source>Auto</source>
        <translation>Auto</translation>
    </message>
    <message>
        <source>Text</source>
        <translation>Text</translation>
    </message>
    <message>
        <source>Binär</source>
        <translation>Binary</translation>
    </message>
    <message>
        <source>Mit &quot;Auto&quot; werden Dateien mit bestimmten Endungen (einstellbar in den Optionen) als Text übertragen, alle anderen binär.</source>
        <translation>With &quot;Auto&quot;, files with certain extensions (set in the options) are sent as text, all others as binary.</translation>
    </message>
    <message>
        <source>Passiver Modus</source>
        <translation>Passive mode</translation>
    </message>
    <message>
        <source>Hinter einer Firewall empfohlen</source>
        <translation>Recommended behind a firewall</translation>
    </message>
    <message>
        <source>Ziel bestimmen</source>
        <translation>Choose the destination</translation>
    </message>
    <message>
        <source>Hier können Sie wählen, ob die Sicherung komprimiert erfolgen soll. Das ZIP-Archiv darf beliebig groß werden (ZIP64).</source>
        <translation>Here you choose whether the backup is compressed. The ZIP archive may grow to any size (ZIP64).</translation>
    </message>
    <message>
        <source>Komprimieren auf Wechselmedium: </source>
        <translation>Compress onto removable medium: </translation>
    </message>
    <message>
        <source>Komprimieren</source>
        <translation>Compress</translation>
    </message>
    <message>
        <source>Dateiname:</source>
        <translation>File name:</translation>
    </message>
    <message>
        <source>Verschlüsseln</source>
        <translation>Encrypt</translation>
    </message>
    <message>
        <source>wiederholen:</source>
        <translation>repeat:</translation>
    </message>
    <message>
        <source>Temporäres Verzeichnis verwenden:</source>
        <translation>Use temporary folder:</translation>
    </message>
    <message>
        <source>Kompression (abweichend v. Standard):</source>
        <translation>Compression (other than default):</translation>
    </message>
    <message>
        <source>Zip -Datei vorher löschen</source>
        <translation>Delete ZIP file first</translation>
    </message>
    <message>
        <source>auf mehrere Medien verteilen</source>
        <translation>Span several media</translation>
    </message>
    <message>
        <source>Medium vorher formatieren</source>
        <translation>Format medium first</translation>
    </message>
    <message>
        <source>Maximale Dateigröße:</source>
        <translation>Maximum file size:</translation>
    </message>
    <message>
        <source>Bytes</source>
        <translation>bytes</translation>
    </message>
    <message>
        <source>Komprimierung</source>
        <translation>Compression</translation>
    </message>
    <message>
        <source>Sicherungszeiten: </source>
        <translation>Backup times: </translation>
    </message>
    <message>
        <source>Nicht periodisch sichern</source>
        <translation>Do not back up periodically</translation>
    </message>
    <message>
        <source>Alle</source>
        <translation>Every</translation>
    </message>
    <message>
        <source>Stunden</source>
        <translation>hours</translation>
    </message>
    <message>
        <source>Minuten</source>
        <translation>minutes</translation>
    </message>
    <message>
        <source>Täglich</source>
        <translation>Daily</translation>
    </message>
    <message>
        <source>Mo</source>
        <translation>Mon</translation>
    </message>
    <message>
        <source>Di</source>
        <translation>Tue</translation>
    </message>
    <message>
        <source>Mi</source>
        <translation>Wed</translation>
    </message>
    <message>
        <source>Do</source>
        <translation>Thu</translation>
    </message>
    <message>
        <source>Fr</source>
        <translation>Fri</translation>
    </message>
    <message>
        <source>Sa</source>
        <translation>Sat</translation>
    </message>
    <message>
        <source>So</source>
        <translation>Sun</translation>
    </message>
    <message>
        <source>Uhrzeit(en):</source>
        <translation>Time(s):</translation>
    </message>
    <message>
        <source>Uhrzeit(en): Zeitpunkte durch Semikolon trennen, wie z.B.: 12:00; 16:30</source>
        <translation>Time(s): separate the times by semicolons, e.g.: 12:00; 16:30</translation>
    </message>
    <message>
        <source>Wochen</source>
        <translation>weeks</translation>
    </message>
    <message>
        <source>Montag</source>
        <translation>Monday</translation>
    </message>
    <message>
        <source>Dienstag</source>
        <translation>Tuesday</translation>
    </message>
    <message>
        <source>Mittwoch</source>
        <translation>Wednesday</translation>
    </message>
    <message>
        <source>Donnerstag</source>
        <translation>Thursday</translation>
    </message>
    <message>
        <source>Freitag</source>
        <translation>Friday</translation>
    </message>
    <message>
        <source>Samstag</source>
        <translation>Saturday</translation>
    </message>
    <message>
        <source>Sonntag</source>
        <translation>Sunday</translation>
    </message>
    <message>
        <source>um</source>
        <translation>at</translation>
    </message>
    <message>
        <source>Uhr</source>
        <translation>o&apos;clock</translation>
    </message>
    <message>
        <source>Monatlich</source>
        <translation>Monthly</translation>
    </message>
    <message>
        <source>Tag des Monats</source>
        <translation>day of the month</translation>
    </message>
    <message>
        <source>Frei</source>
        <translation>Free</translation>
    </message>
    <message>
        <source>Einzelne Zeitpunkte, z.B.: 24.12.2026-18:00; 31.12.2026-12:00</source>
        <translation>Single moments, e.g.: 24.12.2026-18:00; 31.12.2026-12:00</translation>
    </message>
    <message>
        <source>Versäumte Sicherung nachholen</source>
        <translation>Catch up on a missed backup</translation>
    </message>
    <message>
        <source>Sichern (auch) bei Programmstart</source>
        <translation>Back up (also) when the program starts</translation>
    </message>
    <message>
        <source>Sichern (auch) bei Programmende</source>
        <translation>Back up (also) when the program ends</translation>
    </message>
    <message>
        <source>Sichern von bis: </source>
        <translation>Back up from - to: </translation>
    </message>
    <message>
        <source>Erste Sicherung:</source>
        <translation>First backup:</translation>
    </message>
    <message>
        <source>Letzte Sicherung:</source>
        <translation>Last backup:</translation>
    </message>
    <message>
        <source>Zeitpunkt planen</source>
        <translation>Plan the time</translation>
    </message>
    <message>
        <source>Hintergrundaktivität:  </source>
        <translation>Background activity:  </translation>
    </message>
    <message>
        <source>abweichend vom Standard:</source>
        <translation>other than default:</translation>
    </message>
    <message>
        <source>Dateitypen berücksichtigen: </source>
        <translation>File types to include: </translation>
    </message>
    <message>
        <source>&amp;System</source>
        <translation>&amp;System</translation>
    </message>
    <message>
        <source>&amp;Hidden</source>
        <translation>&amp;Hidden</translation>
    </message>
    <message>
        <source>&amp;Read Only</source>
        <translation>&amp;Read Only</translation>
    </message>
    <message>
        <source>Starten von Programmen: </source>
        <translation>Starting programs: </translation>
    </message>
    <message>
        <source>Programm wählen</source>
        <translation>Choose program</translation>
    </message>
    <message>
        <source>Warten auf Programmbeendigung</source>
        <translation>Wait for the program to end</translation>
    </message>
    <message>
        <source>Vor Sicherung:</source>
        <translation>Before backup:</translation>
    </message>
    <message>
        <source>Nach Sicherung:</source>
        <translation>After backup:</translation>
    </message>
    <message>
        <source>Rechner ausschalten: </source>
        <translation>Switching off: </translation>
    </message>
    <message>
        <source>Rechner danach ausschalten</source>
        <translation>Switch off the computer afterwards</translation>
    </message>
    <message>
        <source>Ohne Sicherheitsabfrage</source>
        <translation>Without confirmation</translation>
    </message>
    <message>
        <source>Fortgeschrittene Optionen</source>
        <translation>Advanced options</translation>
    </message>
    <message>
        <source>Diese Verzeichnissinhalte löschen: </source>
        <translation>Delete the contents of these folders: </translation>
    </message>
    <message>
        <source>Diese Verzeichnissinhalte verschieben: </source>
        <translation>Move the contents of these folders: </translation>
    </message>
    <message>
        <source>Startverzeichnis:</source>
        <translation>Start folder:</translation>
    </message>
    <message>
        <source>Passwort-Wiederholung war nicht gleich. Bitte wiederholen Sie die Eingabe.</source>
        <translation>The repeated password was not the same. Please enter it again.</translation>
    </message>
    <message>
        <source>Wählen Sie ein Ziel-Verzeichnis aus:</source>
        <translation>Choose a destination folder:</translation>
    </message>
    <message>
        <source>Es ist kein Netzwerk-Dateisystem eingehängt. Hängen Sie die Freigabe im Dateimanager ein und wählen Sie sie dann hier.</source>
        <translation>No network file system is mounted. Mount the share in the file manager and then choose it here.</translation>
    </message>
    <message>
        <source>Wählen Sie ein Temporär-Verzeichnis aus:</source>
        <translation>Choose a temporary folder:</translation>
    </message>
    <message>
        <source>Programme (*.sh *.py *.pl);;Alle Dateien (*)</source>
        <translation>Programs (*.sh *.py *.pl);;All files (*)</translation>
    </message>
    <message>
        <source>Nicht erreichbar, bleiben im Profil: %1</source>
        <translation>Not reachable, kept in the profile: %1</translation>
    </message>
    <message>
        <source>Bitte geben Sie die Quellverzeichnisse als vollständige Pfade ein, z.B. /home/anna/Dokumente/.</source>
        <translation>Please enter the source folders as full paths, e.g. /home/anna/Documents/.</translation>
    </message>
    <message>
        <source>Der Name des Quellverzeichnisses &quot;%1&quot; enthält einen Zeilenumbruch oder ist kein gültiger UTF-8-Text; so kann es nicht im Profil gespeichert werden. Bitte benennen Sie das Verzeichnis um.</source>
        <translation>The name of the source folder &quot;%1&quot; contains a line break or is not valid UTF-8 text; it cannot be stored in the profile like that. Please rename the folder.</translation>
    </message>
    <message>
        <source>Die letzte Sicherung liegt vor der ersten; so würde das Profil nie ausgeführt. Bitte korrigieren Sie die Daten.</source>
        <translation>The last backup lies before the first; the profile would never run. Please correct the dates.</translation>
    </message>
    <message>
        <source>Das Passwort ist zu lang: höchstens %1 Byte (ein Umlaut zählt zwei). Bitte geben Sie ein kürzeres ein.</source>
        <translation>The password is too long: at most %1 bytes (an umlaut counts as two). Please enter a shorter one.</translation>
    </message>
    <message>
        <source>Der Benutzername ist zu lang: höchstens %1 Byte (ein Umlaut zählt zwei). Bitte geben Sie einen kürzeren ein.</source>
        <translation>The user name is too long: at most %1 bytes (an umlaut counts as two). Please enter a shorter one.</translation>
    </message>
</context>
<context>
    <name>RestoreWindow</name>
    <message>
        <source>Wiederherstellen - %1</source>
        <translation>Restore - %1</translation>
    </message>
    <message>
        <source>Name</source>
        <translation>Name</translation>
    </message>
    <message>
        <source>Größe</source>
        <translation>Size</translation>
    </message>
    <message>
        <source>Geändert</source>
        <translation>Modified</translation>
    </message>
    <message>
        <source>Fassung</source>
        <translation>Version</translation>
    </message>
    <message>
        <source>&amp;Kennwort des Archivs:</source>
        <translation>Archive &amp;password:</translation>
    </message>
    <message>
        <source>an den &amp;ursprünglichen Ort</source>
        <translation>to the &amp;original place</translation>
    </message>
    <message>
        <source>in einen an&amp;deren Ordner:</source>
        <translation>into an&amp;other folder:</translation>
    </message>
    <message>
        <source>...</source>
        <translation>...</translation>
    </message>
    <message>
        <source>Ordner wählen</source>
        <translation>Choose folder</translation>
    </message>
    <message>
        <source>&amp;Starten</source>
        <translation>&amp;Start</translation>
    </message>
    <message>
        <source>&amp;Pause</source>
        <translation>&amp;Pause</translation>
    </message>
    <message>
        <source>&amp;Abbrechen</source>
        <translation>&amp;Cancel</translation>
    </message>
    <message>
        <source>Sch&amp;ließen</source>
        <translation>&amp;Close</translation>
    </message>
    <message>
        <source>Stand &amp;vom:</source>
        <translation>State &amp;of:</translation>
    </message>
    <message>
        <source>Wiederherstellen:</source>
        <translation>Restore:</translation>
    </message>
    <message>
        <source>Zielordner wählen</source>
        <translation>Choose the target folder</translation>
    </message>
    <message>
        <source>Der Inhalt der Sicherung wird gelesen...</source>
        <translation>Reading the contents of the backup...</translation>
    </message>
    <message>
        <source>Sicherung von &quot;%1&quot; in %2</source>
        <translation>Backup of &quot;%1&quot; in %2</translation>
    </message>
    <message>
        <source>neuester Stand</source>
        <translation>newest state</translation>
    </message>
    <message>
        <source>Fassung vom %1</source>
        <translation>Version of %1</translation>
    </message>
    <message>
        <source>Bitte wählen Sie aus, was wiederhergestellt werden soll.</source>
        <translation>Please choose what is to be restored.</translation>
    </message>
    <message>
        <source>Bitte wählen Sie den Ordner, in den die Dateien sollen.</source>
        <translation>Please choose the folder the files are to go into.</translation>
    </message>
    <message>
        <source>Wiederherstellung läuft...</source>
        <translation>Restoring...</translation>
    </message>
    <message>
        <source>%1, geändert am %2</source>
        <translation>%1, modified on %2</translation>
    </message>
    <message>
        <source>Abgebrochen.</source>
        <translation>Cancelled.</translation>
    </message>
    <message>
        <source>Fertig.</source>
        <translation>Done.</translation>
    </message>
    <message>
        <source>%1 Datei(en) wiederhergestellt, %2 Fehler, %3 übersprungen.</source>
        <translation>%1 file(s) restored, %2 error(s), %3 skipped.</translation>
    </message>
    <message>
        <source>Der Bericht konnte nicht ins Protokoll geschrieben werden.</source>
        <translation>The report could not be written to the log.</translation>
    </message>
</context>
<context>
    <name>TaskPane</name>
    <message>
        <source>Sicherungsaufgaben</source>
        <translation>Backup tasks</translation>
    </message>
    <message>
        <source>Details</source>
        <translation>Details</translation>
    </message>
    <message>
        <source>Neues Sicherungsprofil erstellen</source>
        <translation>Create a new backup profile</translation>
    </message>
    <message>
        <source>Sicherung jetzt durchführen</source>
        <translation>Back up now</translation>
    </message>
    <message>
        <source>Sicherungsprofil bearbeiten</source>
        <translation>Edit backup profile</translation>
    </message>
    <message>
        <source>Sicherungsprotokoll öffnen</source>
        <translation>Open backup log</translation>
    </message>
    <message>
        <source>Letzte Sicherung</source>
        <translation>Last backup</translation>
    </message>
    <message>
        <source>Fehlerfrei</source>
        <translation>No errors</translation>
    </message>
    <message>
        <source>Dateien gesichert</source>
        <translation>Files backed up</translation>
    </message>
    <message>
        <source>Bytes gesichert</source>
        <translation>Bytes backed up</translation>
    </message>
    <message>
        <source>Komprimierungsrate</source>
        <translation>Compression rate</translation>
    </message>
    <message>
        <source>Nächste Sicherung</source>
        <translation>Next backup</translation>
    </message>
    <message>
        <source>%1 Fehler</source>
        <translation>%1 errors</translation>
    </message>
</context>
<context>
    <name>TopPanel</name>
    <message>
        <source>Zip-Liste: %1 Datei(en)</source>
        <translation>Zip list: %1 file(s)</translation>
    </message>
    <message>
        <source>Laufendes Profil:</source>
        <translation>Running profile:</translation>
    </message>
    <message>
        <source>Nächste Sicherung:</source>
        <translation>Next backup:</translation>
    </message>
    <message>
        <source>Modus:</source>
        <translation>Mode:</translation>
    </message>
    <message>
        <source>Startzeit:</source>
        <translation>Start time:</translation>
    </message>
    <message>
        <source>Dateien:</source>
        <translation>Files:</translation>
    </message>
</context>
<context>
    <name>TrayIcon</name>
    <message>
        <source>Kestrova Tresorio</source>
        <translation>Kestrova Tresorio</translation>
    </message>
</context>
</TS>
