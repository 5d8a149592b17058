<?xml version='1.0' encoding='utf-8'?>
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
        <source>Version %1&lt;br&gt;Sicherungen nach Plan für diesen Arbeitsplatz.&lt;br&gt;&lt;br&gt;&lt;a href="%2"&gt;%2&lt;/a&gt;&lt;br&gt;&lt;br&gt;Die Sicherungsprofile, das Protokoll und die Einstellungen liegen im Datenordner.</source>
        <translation>Version %1&lt;br&gt;Scheduled backups for this workstation.&lt;br&gt;&lt;br&gt;&lt;a href="%2"&gt;%2&lt;/a&gt;&lt;br&gt;&lt;br&gt;The backup profiles, the log and the settings are kept in the data folder.</translation>
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
        <translation>&amp;Properties...</translation>
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
        <source>Das Sicherungsprotokoll ist noch leer.</source>
        <translation>The backup log is still empty.</translation>
    </message>
    <message>
        <source>Das Sicherungsprotokoll %1 kann nicht geöffnet werden.</source>
        <translation>The backup log %1 cannot be opened.</translation>
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