<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="de">
<context>
    <name>CAboutDlg</name>
    <message>
        <source>Tarnwick %1
Copyright © 2026 The Tarnwick developers</source>
        <translation>Tarnwick %1
Copyright © 2026 Die Tarnwick-Entwickler</translation>
    </message>
</context>
<context>
    <name>CBreakpointList</name>
    <message>
        <source>delete this BreakPoint</source>
        <translation>Diesen Schnittpunkt löschen</translation>
    </message>
    <message>
        <source>delete all BreakPoint</source>
        <translation>Alle Schnittpunkte löschen</translation>
    </message>
</context>
<context>
    <name>CConvertDlg</name>
    <message>
        <source>Writes the piece between the two breakpoints</source>
        <translation>Schreibt das Stück zwischen den beiden Schnittpunkten</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Abbrechen</translation>
    </message>
    <message>
        <source>Stops the split, or closes this page</source>
        <translation>Hält das Teilen an oder schließt diese Seite</translation>
    </message>
    <message>
        <source>Re-encoded: %1</source>
        <translation>Neu kodiert: %1</translation>
    </message>
    <message>
        <source>Re-encoded (piece %1): %2</source>
        <translation>Neu kodiert (Stück %1): %2</translation>
    </message>
    <message>
        <source>Please select the Sample Rate(KHz)</source>
        <translation>Bitte wählen Sie die Abtastrate (kHz).</translation>
    </message>
    <message>
        <source>&quot;%1&quot; is not a sample rate of MP3 audio. Please choose 8, 11.025, 12, 16, 22.05, 24, 32, 44.1 or 48 kHz.</source>
        <translation>„%1“ ist keine Abtastrate von MP3-Audio. Bitte wählen Sie 8, 11,025, 12, 16, 22,05, 24, 32, 44,1 oder 48 kHz.</translation>
    </message>
    <message>
        <source>Please select the Bit Rate(kbps)</source>
        <translation>Bitte wählen Sie die Bitrate (kbit/s).</translation>
    </message>
    <message>
        <source>At %1 kHz an MP3 file cannot carry %2 kbps: the piece will be written at %3 kbps.</source>
        <translation>Bei %1 kHz kann eine MP3-Datei keine %2 kbit/s tragen: Das Stück wird mit %3 kbit/s geschrieben.</translation>
    </message>
    <message>
        <source>Time betwen:</source>
        <translation>Zeit zwischen:</translation>
    </message>
    <message>
        <source> and </source>
        <translation> und </translation>
    </message>
    <message>
        <source>   Please waiting ...</source>
        <translation>   Bitte warten …</translation>
    </message>
    <message>
        <source>FileName:</source>
        <translation>Dateiname:</translation>
    </message>
    <message>
        <source>The piece could not be written: %1.</source>
        <translation>Das Stück konnte nicht geschrieben werden: %1.</translation>
    </message>
    <message>
        <source>Error</source>
        <translation>Fehler</translation>
    </message>
    <message>
        <source>Split</source>
        <translation>Teilen</translation>
    </message>
</context>
<context>
    <name>CEncoderSettingsDlg</name>
    <message>
        <source>Bit rate (CBR):</source>
        <translation>Bitrate (CBR):</translation>
    </message>
    <message>
        <source>Sample rate:</source>
        <translation>Abtastrate:</translation>
    </message>
    <message>
        <source>Same as the sources</source>
        <translation>Wie die Quelldateien</translation>
    </message>
    <message>
        <source>Channels:</source>
        <translation>Kanäle:</translation>
    </message>
    <message>
        <source>Stereo</source>
        <translation>Stereo</translation>
    </message>
    <message>
        <source>Joint stereo</source>
        <translation>Joint Stereo</translation>
    </message>
    <message>
        <source>Mono</source>
        <translation>Mono</translation>
    </message>
    <message>
        <source>Quality:</source>
        <translation>Qualität:</translation>
    </message>
    <message>
        <source>%1 (fastest)</source>
        <translation>%1 (am schnellsten)</translation>
    </message>
    <message>
        <source>%1 (best, slowest)</source>
        <translation>%1 (am besten, am langsamsten)</translation>
    </message>
    <message>
        <source>%1 (standard)</source>
        <translation>%1 (Standard)</translation>
    </message>
    <message>
        <source>MP3 at %1 cannot carry %2 kbps: %3 kbps will be used.</source>
        <translation>MP3 mit %1 kann keine %2 kbit/s tragen: Es werden %3 kbit/s verwendet.</translation>
    </message>
    <message>
        <source>Sources below 32 kHz cannot carry %1 kbps; before joining such files you are told which bit rate will be used.</source>
        <translation>Quelldateien unter 32 kHz können keine %1 kbit/s tragen; bevor solche Dateien zusammengefügt werden, erfahren Sie, welche Bitrate verwendet wird.</translation>
    </message>
    <message>
        <source>The encoder does not take these settings.</source>
        <translation>Der Encoder nimmt diese Einstellungen nicht an.</translation>
    </message>
</context>
<context>
    <name>CFunctionDlg</name>
    <message>
        <source>关于 Brevlin(&amp;A)...</source>
        <translation>Über Brevlin(&amp;A)...</translation>
    </message>
    <message>
        <source>Audio File (*.mp3;*.wav)|*.mp3;*.wav|Mp3 File (*.mp3)|*.mp3|WAVE File (*.wav)|*.wav|*.*|*.*</source>
        <translation>Audiodatei (*.mp3;*.wav)|*.mp3;*.wav|MP3-Datei (*.mp3)|*.mp3|WAVE-Datei (*.wav)|*.wav|*.*|*.*</translation>
    </message>
    <message>
        <source>The file to split; the Select a File button beside it chooses it</source>
        <translation>Die zu teilende Datei; die Schaltfläche „Datei auswählen“ daneben wählt sie aus</translation>
    </message>
    <message>
        <source>Next</source>
        <translation>Weiter</translation>
    </message>
    <message>
        <source>Back</source>
        <translation>Zurück</translation>
    </message>
    <message>
        <source>Exit</source>
        <translation>Beenden</translation>
    </message>
    <message>
        <source>Help</source>
        <translation>Hilfe</translation>
    </message>
    <message>
        <source>Select a File</source>
        <translation>Datei auswählen</translation>
    </message>
    <message>
        <source>Home Page</source>
        <translation>Homepage</translation>
    </message>
    <message>
        <source>Mi&amp;nimize</source>
        <translation>Mi&amp;nimieren</translation>
    </message>
    <message>
        <source>&amp;Close	Alt+F4</source>
        <translation>S&amp;chließen	Alt+F4</translation>
    </message>
    <message>
        <source>The tracks page opens one file at a time: it opens the first, %1.</source>
        <translation>Die Seite „Titel“ öffnet nur eine Datei auf einmal: Sie öffnet die erste, %1.</translation>
    </message>
</context>
<context>
    <name>CJoinDlg</name>
    <message>
        <source>Mp3 File(*.mp3), Wav File(*.wav)|*.mp3;*.wav|Mp3 File(*.mp3)|*.mp3|Wav File(*.wav)|*.wav|</source>
        <translation>MP3-Datei (*.mp3), WAV-Datei (*.wav)|*.mp3;*.wav|MP3-Datei (*.mp3)|*.mp3|WAV-Datei (*.wav)|*.wav|</translation>
    </message>
    <message>
        <source>Source File</source>
        <translation>Quelldatei</translation>
    </message>
    <message>
        <source>Time</source>
        <translation>Dauer</translation>
    </message>
    <message>
        <source>Back</source>
        <translation>Zurück</translation>
    </message>
    <message>
        <source>Exit</source>
        <translation>Beenden</translation>
    </message>
    <message>
        <source>Help</source>
        <translation>Hilfe</translation>
    </message>
    <message>
        <source>Home Page</source>
        <translation>Homepage</translation>
    </message>
    <message>
        <source>Add Mp3 Files</source>
        <translation>MP3-Dateien hinzufügen</translation>
    </message>
    <message>
        <source>Delete Mp3 Files</source>
        <translation>MP3-Dateien entfernen</translation>
    </message>
    <message>
        <source>Move Up</source>
        <translation>Nach oben</translation>
    </message>
    <message>
        <source>Move Down</source>
        <translation>Nach unten</translation>
    </message>
    <message>
        <source>Stop Joining</source>
        <translation>Zusammenfügen anhalten</translation>
    </message>
    <message>
        <source>Play The File</source>
        <translation>Datei abspielen</translation>
    </message>
    <message>
        <source>Setting</source>
        <translation>Einstellungen</translation>
    </message>
    <message>
        <source>Begin to Join Files</source>
        <translation>Dateien zusammenfügen</translation>
    </message>
    <message>
        <source>Files to join</source>
        <translation>Zusammenzufügende Dateien</translation>
    </message>
    <message>
        <source>Joined in this order; the Delete key removes the selected file</source>
        <translation>Werden in dieser Reihenfolge zusammengefügt; die Entf-Taste entfernt die ausgewählte Datei</translation>
    </message>
    <message>
        <source>The MP3 encoder&apos;s settings and the merged file&apos;s tags</source>
        <translation>Die Einstellungen des MP3-Encoders und die Tags der zusammengefügten Datei</translation>
    </message>
    <message>
        <source>Opens the selected file in the desktop&apos;s audio player</source>
        <translation>Öffnet die ausgewählte Datei im Audioplayer des Desktops</translation>
    </message>
    <message>
        <source>Stops the join; the unfinished file is removed</source>
        <translation>Hält das Zusammenfügen an; die unfertige Datei wird entfernt</translation>
    </message>
    <message>
        <source>No File is selected</source>
        <translation>Es ist keine Datei ausgewählt.</translation>
    </message>
    <message>
        <source>Add the MP3 and WAV files to join, or drop them here</source>
        <translation>Fügen Sie die MP3- und WAV-Dateien zum Zusammenfügen hinzu oder ziehen Sie sie hierher</translation>
    </message>
    <message numerus="yes">
        <source>%n file(s), %1 in all</source>
        <translation>
            <numerusform>%n Datei, insgesamt %1</numerusform>
            <numerusform>%n Dateien, insgesamt %1</numerusform>
        </translation>
    </message>
    <message>
        <source>Only MP3 and WAV files can be joined. Not added:
%1</source>
        <translation>Nur MP3- und WAV-Dateien lassen sich zusammenfügen. Nicht hinzugefügt:
%1</translation>
    </message>
    <message>
        <source>Mp3 File(*.mp3)|*.MP3|</source>
        <translation>MP3-Datei (*.mp3)|*.MP3|</translation>
    </message>
    <message>
        <source>There are no files to join. Add MP3 or WAV files to the list first.</source>
        <translation>Es gibt keine Dateien zum Zusammenfügen. Fügen Sie der Liste zuerst MP3- oder WAV-Dateien hinzu.</translation>
    </message>
    <message>
        <source>Cannot find %1.
Remove it from the list or put it back, then begin again.</source>
        <translation>%1 wurde nicht gefunden.
Entfernen Sie die Datei aus der Liste oder legen Sie sie zurück und beginnen Sie dann erneut.</translation>
    </message>
    <message>
        <source>%1 holds no audio that can be read (its time is 00:00:00).
Remove it from the list to join the others.</source>
        <translation>%1 enthält keine lesbaren Audiodaten (Dauer 00:00:00).
Entfernen Sie die Datei aus der Liste, um die übrigen zusammenzufügen.</translation>
    </message>
    <message>
        <source>Error</source>
        <translation>Fehler</translation>
    </message>
    <message>
        <source>Finished</source>
        <translation>Fertig</translation>
    </message>
</context>
<context>
    <name>CMergeTagsBox</name>
    <message>
        <source>Tags of the merged file</source>
        <translation>Tags der zusammengefügten Datei</translation>
    </message>
    <message>
        <source>Title:</source>
        <translation>Titel:</translation>
    </message>
    <message>
        <source>Artist:</source>
        <translation>Interpret:</translation>
    </message>
    <message>
        <source>Album:</source>
        <translation>Album:</translation>
    </message>
    <message>
        <source>Year:</source>
        <translation>Jahr:</translation>
    </message>
    <message>
        <source>Genre:</source>
        <translation>Genre:</translation>
    </message>
    <message>
        <source>The merged file&apos;s name</source>
        <translation>Der Name der zusammengefügten Datei</translation>
    </message>
    <message>
        <source>Cover:</source>
        <translation>Cover:</translation>
    </message>
    <message>
        <source>The first file&apos;s picture</source>
        <translation>Das Bild der ersten Datei</translation>
    </message>
    <message>
        <source>The first file&apos;s picture (it has none)</source>
        <translation>Das Bild der ersten Datei (sie hat keins)</translation>
    </message>
    <message>
        <source>The picture of %1</source>
        <translation>Das Bild von %1</translation>
    </message>
    <message>
        <source>Picture file %1</source>
        <translation>Bilddatei %1</translation>
    </message>
    <message>
        <source>No picture</source>
        <translation>Kein Bild</translation>
    </message>
    <message>
        <source>Choose a picture file...</source>
        <translation>Bilddatei auswählen …</translation>
    </message>
    <message>
        <source>Choose a picture file for the cover</source>
        <translation>Eine Bilddatei für das Cover auswählen</translation>
    </message>
    <message>
        <source>Cover picture</source>
        <translation>Coverbild</translation>
    </message>
    <message>
        <source>Chapter marks for each file</source>
        <translation>Kapitelmarken für jede Datei</translation>
    </message>
    <message>
        <source>Missing</source>
        <translation>Fehlt</translation>
    </message>
    <message>
        <source>Picture</source>
        <translation>Bild</translation>
    </message>
    <message>
        <source>None</source>
        <translation>Keins</translation>
    </message>
</context>
<context>
    <name>CSplitDlg</name>
    <message>
        <source>Type a time as hh:mm:ss and press Enter to add it as a breakpoint</source>
        <translation>Geben Sie eine Zeit als hh:mm:ss ein und drücken Sie die Eingabetaste, um sie als Schnittpunkt hinzuzufügen</translation>
    </message>
    <message>
        <source>The piece lies between these two times; the context menu deletes them</source>
        <translation>Das Stück liegt zwischen diesen beiden Zeiten; das Kontextmenü löscht sie</translation>
    </message>
    <message>
        <source>The folder the pieces are written to; the button beside it changes it</source>
        <translation>Der Ordner, in den die Stücke geschrieben werden; die Schaltfläche daneben ändert ihn</translation>
    </message>
    <message>
        <source>One second back</source>
        <translation>Eine Sekunde zurück</translation>
    </message>
    <message>
        <source>One second on</source>
        <translation>Eine Sekunde vor</translation>
    </message>
    <message>
        <source>Adds the playing position as a breakpoint</source>
        <translation>Fügt die Abspielposition als Schnittpunkt hinzu</translation>
    </message>
    <message>
        <source>Output Directory!</source>
        <translation>Ausgabeordner</translation>
    </message>
    <message>
        <source>Press right button to delete breakpoint</source>
        <translation>Mit der rechten Maustaste löschen Sie einen Schnittpunkt</translation>
    </message>
    <message>
        <source>Next</source>
        <translation>Weiter</translation>
    </message>
    <message>
        <source>Back</source>
        <translation>Zurück</translation>
    </message>
    <message>
        <source>Exit</source>
        <translation>Beenden</translation>
    </message>
    <message>
        <source>Help</source>
        <translation>Hilfe</translation>
    </message>
    <message>
        <source>Change output directory</source>
        <translation>Ausgabeordner ändern</translation>
    </message>
    <message>
        <source>Add a breakpoint</source>
        <translation>Schnittpunkt hinzufügen</translation>
    </message>
    <message>
        <source>Add a breakpoint from current time</source>
        <translation>Schnittpunkt an der aktuellen Zeit hinzufügen</translation>
    </message>
    <message>
        <source>Pause</source>
        <translation>Pause</translation>
    </message>
    <message>
        <source>Play</source>
        <translation>Abspielen</translation>
    </message>
    <message>
        <source>Seek to Begin</source>
        <translation>Zum Anfang</translation>
    </message>
    <message>
        <source>Seek to End</source>
        <translation>Zum Ende</translation>
    </message>
    <message>
        <source>Fast backward</source>
        <translation>Schnell zurück</translation>
    </message>
    <message>
        <source>Fast foreward</source>
        <translation>Schnell vor</translation>
    </message>
    <message>
        <source>Home Page</source>
        <translation>Homepage</translation>
    </message>
    <message>
        <source>Failed!</source>
        <translation>Fehlgeschlagen!</translation>
    </message>
    <message>
        <source>ERROR</source>
        <translation>FEHLER</translation>
    </message>
    <message>
        <source>You should insert more than one Breakpoint</source>
        <translation>Bitte setzen Sie mehr als einen Schnittpunkt.</translation>
    </message>
    <message>
        <source>Error</source>
        <translation>Fehler</translation>
    </message>
    <message>
        <source>Cannot stop the play</source>
        <translation>Die Wiedergabe lässt sich nicht anhalten.</translation>
    </message>
    <message>
        <source>Failed in create Filter graph</source>
        <translation>Der Filtergraph konnte nicht erstellt werden.</translation>
    </message>
    <message>
        <source>Failed in RenderFile
%1
%2</source>
        <translation>Die Datei konnte nicht geöffnet werden
%1
%2</translation>
    </message>
    <message>
        <source>It cannot be played.</source>
        <translation>Sie lässt sich nicht abspielen.</translation>
    </message>
    <message>
        <source>Failed in Set Event</source>
        <translation>Die Ereignisbenachrichtigung konnte nicht eingerichtet werden.</translation>
    </message>
    <message>
        <source>Duration:</source>
        <translation>Dauer:</translation>
    </message>
    <message>
        <source>Current Time:</source>
        <translation>Aktuelle Zeit:</translation>
    </message>
    <message>
        <source>Cannot run</source>
        <translation>Die Wiedergabe lässt sich nicht starten.</translation>
    </message>
    <message>
        <source>There has been two breakpoints,so you must delete one first.
 Press left button to select one breakpoint,then press right button to delete it</source>
        <translation>Es gibt bereits zwei Schnittpunkte, löschen Sie also zuerst einen.
Wählen Sie ihn mit der linken Maustaste aus und löschen Sie ihn dann mit der rechten.</translation>
    </message>
    <message>
        <source>Please input time in this format.Hour:minute:second,eg:00:01:01</source>
        <translation>Bitte geben Sie die Zeit in diesem Format ein: Stunde:Minute:Sekunde, z. B. 00:01:01</translation>
    </message>
    <message>
        <source>Hour input :Error</source>
        <translation>Stundenangabe: Fehler</translation>
    </message>
    <message>
        <source>Minutes must between 00 and 59</source>
        <translation>Die Minuten müssen zwischen 00 und 59 liegen.</translation>
    </message>
    <message>
        <source>error</source>
        <translation>Fehler</translation>
    </message>
    <message>
        <source>Seconds must between 00 and 59</source>
        <translation>Die Sekunden müssen zwischen 00 und 59 liegen.</translation>
    </message>
    <message>
        <source>Input time out of the duration</source>
        <translation>Die eingegebene Zeit liegt außerhalb der Dauer.</translation>
    </message>
    <message>
        <source>Position</source>
        <translation>Position</translation>
    </message>
    <message>
        <source>Where the file plays; the arrow keys move it by a second</source>
        <translation>Die Stelle, an der die Datei spielt; die Pfeiltasten verschieben sie um eine Sekunde</translation>
    </message>
    <message>
        <source>Cut the file into many tracks: waveform, cue sheet, silences, equal parts</source>
        <translation>Die Datei in viele Titel schneiden: Wellenform, Cue-Datei, Pausen, gleiche Teile</translation>
    </message>
    <message>
        <source>Tracks</source>
        <translation>Titel</translation>
    </message>
</context>
<context>
    <name>CTracksPage</name>
    <message>
        <source>&amp;Play</source>
        <translation>&amp;Abspielen</translation>
    </message>
    <message>
        <source>Play or pause from the playing position (Space)</source>
        <translation>Ab der Abspielposition abspielen oder anhalten (Leertaste)</translation>
    </message>
    <message>
        <source>Play the &amp;cut</source>
        <translation>&amp;Schnitt anhören</translation>
    </message>
    <message>
        <source>Play 2 s before and 2 s after the selected cut (or the start and the end of the selected track)</source>
        <translation>2 s vor und 2 s nach dem gewählten Schnitt abspielen (oder Anfang und Ende des gewählten Titels)</translation>
    </message>
    <message>
        <source>Place cut (&amp;M)</source>
        <translation>Schnitt setzen (&amp;M)</translation>
    </message>
    <message>
        <source>Place a cut at the playing position</source>
        <translation>Einen Schnitt an der Abspielposition setzen</translation>
    </message>
    <message>
        <source>&amp;Delete cut</source>
        <translation>Schnitt &amp;löschen</translation>
    </message>
    <message>
        <source>Remove the selected cut (Delete)</source>
        <translation>Den gewählten Schnitt entfernen (Entf)</translation>
    </message>
    <message>
        <source>&amp;Undo</source>
        <translation>&amp;Rückgängig</translation>
    </message>
    <message>
        <source>Undo the last change of the cuts or titles (Ctrl+Z)</source>
        <translation>Die letzte Änderung an Schnitten oder Titeln rückgängig machen (Strg+Z)</translation>
    </message>
    <message>
        <source>&amp;Redo</source>
        <translation>&amp;Wiederholen</translation>
    </message>
    <message>
        <source>Redo what was undone (Ctrl+Shift+Z)</source>
        <translation>Rückgängig Gemachtes wiederherstellen (Strg+Umschalt+Z)</translation>
    </message>
    <message>
        <source>Playing position</source>
        <translation>Abspielposition</translation>
    </message>
    <message>
        <source>Scan</source>
        <translation>Einlesen</translation>
    </message>
    <message>
        <source>Tracks</source>
        <translation>Titelliste</translation>
    </message>
    <message>
        <source>Title and performer are edited in place; start and end as hh:mm:ss.mmm (F2).</source>
        <translation>Titel und Interpret werden direkt bearbeitet, Anfang und Ende als hh:mm:ss.mmm (F2).</translation>
    </message>
    <message>
        <source>Import cue sheet...</source>
        <translation>Cue-Datei importieren...</translation>
    </message>
    <message>
        <source>Take the tracks from a cue sheet</source>
        <translation>Die Titel aus einer Cue-Datei übernehmen</translation>
    </message>
    <message>
        <source>Import labels...</source>
        <translation>Marken importieren...</translation>
    </message>
    <message>
        <source>Take the tracks from a label file (start, end, title)</source>
        <translation>Die Titel aus einer Markendatei übernehmen (Anfang, Ende, Titel)</translation>
    </message>
    <message>
        <source>Find silences...</source>
        <translation>Pausen finden...</translation>
    </message>
    <message>
        <source>Place the cuts in the pauses of the sound</source>
        <translation>Die Schnitte in die Pausen des Tons legen</translation>
    </message>
    <message>
        <source>Equal parts...</source>
        <translation>Gleiche Teile...</translation>
    </message>
    <message>
        <source>Cut into parts of equal length</source>
        <translation>In gleich lange Teile schneiden</translation>
    </message>
    <message>
        <source>Export cue sheet...</source>
        <translation>Cue-Datei exportieren...</translation>
    </message>
    <message>
        <source>Save the tracks as a cue sheet for the source</source>
        <translation>Die Titel als Cue-Datei zur Quelle speichern</translation>
    </message>
    <message>
        <source>Export labels...</source>
        <translation>Marken exportieren...</translation>
    </message>
    <message>
        <source>Save the tracks as a label file</source>
        <translation>Die Titel als Markendatei speichern</translation>
    </message>
    <message>
        <source>Note</source>
        <translation>Hinweis</translation>
    </message>
    <message>
        <source>Output</source>
        <translation>Ausgabe</translation>
    </message>
    <message>
        <source>&amp;Browse...</source>
        <translation>&amp;Durchsuchen...</translation>
    </message>
    <message>
        <source>Choose the output folder</source>
        <translation>Den Ausgabeordner wählen</translation>
    </message>
    <message>
        <source>&amp;Folder:</source>
        <translation>&amp;Ordner:</translation>
    </message>
    <message>
        <source>{n} track number, {title}, {performer}, {source} the source&apos;s name</source>
        <translation>{n} Titelnummer, {title} Titel, {performer} Interpret, {source} Name der Quelle</translation>
    </message>
    <message>
        <source>First name</source>
        <translation>Erster Name</translation>
    </message>
    <message>
        <source>&amp;Names:</source>
        <translation>&amp;Namen:</translation>
    </message>
    <message>
        <source>&amp;Keep the original sound</source>
        <translation>Originalton &amp;beibehalten</translation>
    </message>
    <message>
        <source>Copy the source&apos;s audio without re-encoding, cut to the sample</source>
        <translation>Den Ton der Quelle ohne Neukodierung kopieren, samplegenau geschnitten</translation>
    </message>
    <message>
        <source>MP&amp;3</source>
        <translation>MP&amp;3</translation>
    </message>
    <message>
        <source>WA&amp;V</source>
        <translation>WA&amp;V</translation>
    </message>
    <message>
        <source>%1 kbps</source>
        <translation>%1 kbit/s</translation>
    </message>
    <message>
        <source>%1 Hz</source>
        <translation>%1 Hz</translation>
    </message>
    <message>
        <source>Format:</source>
        <translation>Format:</translation>
    </message>
    <message>
        <source>Format note</source>
        <translation>Hinweis zum Format</translation>
    </message>
    <message>
        <source>Progress</source>
        <translation>Fortschritt</translation>
    </message>
    <message>
        <source>Piece being written</source>
        <translation>Stück, das gerade geschrieben wird</translation>
    </message>
    <message>
        <source>Help</source>
        <translation>Hilfe</translation>
    </message>
    <message>
        <source>Open the manual (F1)</source>
        <translation>Das Handbuch öffnen (F1)</translation>
    </message>
    <message>
        <source>Back</source>
        <translation>Zurück</translation>
    </message>
    <message>
        <source>Return to the previous page</source>
        <translation>Zur vorigen Seite zurückkehren</translation>
    </message>
    <message>
        <source>&amp;Write all</source>
        <translation>All&amp;e schreiben</translation>
    </message>
    <message>
        <source>Write every track into the output folder</source>
        <translation>Jeden Titel in den Ausgabeordner schreiben</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Abbrechen</translation>
    </message>
    <message>
        <source>Stop writing; the piece being written is removed</source>
        <translation>Das Schreiben anhalten; das angefangene Stück wird entfernt</translation>
    </message>
    <message>
        <source>Exit</source>
        <translation>Beenden</translation>
    </message>
    <message>
        <source>Quit Tarnwick</source>
        <translation>Tarnwick beenden</translation>
    </message>
    <message>
        <source>Tracks - %1</source>
        <translation>Titel – %1</translation>
    </message>
    <message>
        <source>The file cannot be played:
%1
%2</source>
        <translation>Die Datei kann nicht abgespielt werden:
%1
%2</translation>
    </message>
    <message>
        <source>Reading the waveform...</source>
        <translation>Wellenform wird eingelesen...</translation>
    </message>
    <message>
        <source>%1 of %2</source>
        <translation>%1 von %2</translation>
    </message>
    <message>
        <source>Nothing can be played: %1 holds no sound that can be played.</source>
        <translation>Nichts abzuspielen: %1 enthält keinen abspielbaren Ton.</translation>
    </message>
    <message>
        <source>Cannot play: %1</source>
        <translation>Abspielen nicht möglich: %1</translation>
    </message>
    <message>
        <source>&amp;Pause</source>
        <translation>&amp;Pause</translation>
    </message>
    <message>
        <source>The waveform could not be read: %1</source>
        <translation>Die Wellenform konnte nicht eingelesen werden: %1</translation>
    </message>
    <message>
        <source>Output folder</source>
        <translation>Ausgabeordner</translation>
    </message>
    <message>
        <source>First: %1</source>
        <translation>Erster: %1</translation>
    </message>
    <message>
        <source>The pieces copy the source&apos;s sound, cut to the sample.</source>
        <translation>Die Stücke kopieren den Ton der Quelle, samplegenau geschnitten.</translation>
    </message>
    <message>
        <source>The sound cannot be kept as it is: %1</source>
        <translation>Der Ton kann nicht unverändert bleiben: %1</translation>
    </message>
    <message>
        <source>Choose an output folder first.</source>
        <translation>Bitte zuerst einen Ausgabeordner wählen.</translation>
    </message>
    <message>
        <source>The output folder cannot be made:
%1</source>
        <translation>Der Ausgabeordner kann nicht angelegt werden:
%1</translation>
    </message>
    <message>
        <source>Writing cannot start:
%1</source>
        <translation>Das Schreiben kann nicht beginnen:
%1</translation>
    </message>
    <message>
        <source>Writing %1 of %2: %3</source>
        <translation>Schreibe %1 von %2: %3</translation>
    </message>
    <message>
        <source>(none)</source>
        <translation>(keine)</translation>
    </message>
    <message numerus="yes">
        <source>%n track(s) written.</source>
        <translation>
            <numerusform>%n Titel geschrieben.</numerusform>
            <numerusform>%n Titel geschrieben.</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n track(s) written to %1.

Open the folder?</source>
        <translation>
            <numerusform>%n Titel nach %1 geschrieben.

Ordner öffnen?</numerusform>
            <numerusform>%n Titel nach %1 geschrieben.

Ordner öffnen?</numerusform>
        </translation>
    </message>
    <message>
        <source>Tracks written</source>
        <translation>Titel geschrieben</translation>
    </message>
    <message>
        <source>Stopped.</source>
        <translation>Angehalten.</translation>
    </message>
    <message>
        <source>Writing was stopped; the unfinished piece was removed.
Pieces written:
%1</source>
        <translation>Das Schreiben wurde angehalten; das unfertige Stück wurde entfernt.
Geschriebene Stücke:
%1</translation>
    </message>
    <message>
        <source>Stopped</source>
        <translation>Angehalten</translation>
    </message>
    <message>
        <source>Failed.</source>
        <translation>Fehlgeschlagen.</translation>
    </message>
    <message>
        <source>Writing failed: %1
Pieces written:
%2</source>
        <translation>Das Schreiben ist fehlgeschlagen: %1
Geschriebene Stücke:
%2</translation>
    </message>
    <message>
        <source>Cue sheet (*.cue)|*.cue|*.*|*.*</source>
        <translation>Cue-Datei (*.cue)|*.cue|*.*|*.*</translation>
    </message>
    <message>
        <source>Label file (*.txt)|*.txt|*.*|*.*</source>
        <translation>Markendatei (*.txt)|*.txt|*.*|*.*</translation>
    </message>
    <message>
        <source>The cue sheet cannot be used:
%1</source>
        <translation>Die Cue-Datei kann nicht verwendet werden:
%1</translation>
    </message>
    <message>
        <source>Import cue sheet</source>
        <translation>Cue-Datei importieren</translation>
    </message>
    <message>
        <source>The label file cannot be used:
%1</source>
        <translation>Die Markendatei kann nicht verwendet werden:
%1</translation>
    </message>
    <message>
        <source>Import labels</source>
        <translation>Marken importieren</translation>
    </message>
    <message>
        <source>The cue sheet cannot be written:
%1</source>
        <translation>Die Cue-Datei kann nicht geschrieben werden:
%1</translation>
    </message>
    <message>
        <source>The label file cannot be written:
%1</source>
        <translation>Die Markendatei kann nicht geschrieben werden:
%1</translation>
    </message>
    <message>
        <source>Find silences</source>
        <translation>Pausen finden</translation>
    </message>
    <message>
        <source>Equal parts</source>
        <translation>Gleiche Teile</translation>
    </message>
    <message>
        <source>The waveform is still being read; find silences once it is complete.</source>
        <translation>Die Wellenform wird noch eingelesen; Pausen lassen sich suchen, sobald sie vollständig ist.</translation>
    </message>
    <message>
        <source>Equal parts can snap to silences only once the whole waveform has been read.</source>
        <translation>Gleiche Teile können erst an Pausen einrasten, wenn die ganze Wellenform eingelesen ist.</translation>
    </message>
    <message>
        <source>B&amp;it rate:</source>
        <translation>B&amp;itrate:</translation>
    </message>
    <message>
        <source>S&amp;ample rate:</source>
        <translation>Abtas&amp;trate:</translation>
    </message>
    <message>
        <source>The folder %1 could not be opened: the desktop has no program to show folders.</source>
        <translation>Der Ordner %1 konnte nicht geöffnet werden: Auf dem Desktop gibt es kein Programm, das Ordner anzeigt.</translation>
    </message>
</context>
<context>
    <name>DialogTemplate</name>
    <message>
        <source>function:</source>
        <translation>Funktion:</translation>
    </message>
    <message>
        <source>Split the file(MP3,WAV);</source>
        <translation>Datei teilen (MP3, WAV)</translation>
    </message>
    <message>
        <source>Merge multiple files(MP3,WAV) to a large new one</source>
        <translation>Mehrere Dateien (MP3, WAV) zu einer neuen zusammenfügen</translation>
    </message>
    <message>
        <source>Source File:</source>
        <translation>Quelldatei:</translation>
    </message>
    <message>
        <source>Click Next to Continue...</source>
        <translation>Klicken Sie auf „Weiter“, um fortzufahren …</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>Output Format:</source>
        <translation>Ausgabeformat:</translation>
    </message>
    <message>
        <source>Duration:00:00:00</source>
        <translation>Dauer:00:00:00</translation>
    </message>
    <message>
        <source>Current Time:00:00:00</source>
        <translation>Aktuelle Zeit:00:00:00</translation>
    </message>
    <message>
        <source>Breakpoint:</source>
        <translation>Schnittpunkte:</translation>
    </message>
    <message>
        <source>Input break point(time)
eg.00:00:00</source>
        <translation>Schnittpunkt eingeben (Zeit)
z. B. 00:00:00</translation>
    </message>
    <message>
        <source>Output Directory:</source>
        <translation>Ausgabeordner:</translation>
    </message>
    <message>
        <source>Bit Rate(kbps):</source>
        <translation>Bitrate (kbit/s):</translation>
    </message>
    <message>
        <source>Sample Rate(KHz):</source>
        <translation>Abtastrate (kHz):</translation>
    </message>
    <message>
        <source>Keep the original sound (no re-encoding)</source>
        <translation>Originalklang behalten (nicht neu kodieren)</translation>
    </message>
    <message>
        <source>FileName:</source>
        <translation>Dateiname:</translation>
    </message>
    <message>
        <source>Tracks...</source>
        <translation>Titel...</translation>
    </message>
</context>
<context>
    <name>EqualPartsDialog</name>
    <message>
        <source>Equal parts</source>
        <translation>Gleiche Teile</translation>
    </message>
    <message>
        <source>&amp;Number of parts:</source>
        <translation>&amp;Anzahl der Teile:</translation>
    </message>
    <message>
        <source>Number of parts</source>
        <translation>Anzahl der Teile</translation>
    </message>
    <message>
        <source>&amp;Every (hh:mm:ss):</source>
        <translation>&amp;Alle (hh:mm:ss):</translation>
    </message>
    <message>
        <source>Length of a part</source>
        <translation>Länge eines Teils</translation>
    </message>
    <message>
        <source> s</source>
        <translation> s</translation>
    </message>
    <message>
        <source>Move each cut to the middle of the nearest silence within this distance (0: do not)</source>
        <translation>Jeden Schnitt in die Mitte der nächsten Pause innerhalb dieses Abstands verschieben (0: nicht verschieben)</translation>
    </message>
    <message>
        <source>&amp;Snap to a silence within ±:</source>
        <translation>An einer Pause &amp;ausrichten innerhalb ±:</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Abbrechen</translation>
    </message>
    <message>
        <source>Type the length of a part as hh:mm:ss, e.g. 00:30:00.</source>
        <translation>Die Länge eines Teils als hh:mm:ss eingeben, z. B. 00:30:00.</translation>
    </message>
</context>
<context>
    <name>SilenceDialog</name>
    <message>
        <source>Find silences</source>
        <translation>Pausen finden</translation>
    </message>
    <message>
        <source> dB</source>
        <translation> dB</translation>
    </message>
    <message>
        <source>Sound quieter than this counts as silence; suggested: %1 dB, from the file&apos;s own noise floor</source>
        <translation>Leiserer Ton gilt als Pause; vorgeschlagen: %1 dB, aus dem Grundrauschen der Datei</translation>
    </message>
    <message>
        <source>&amp;Threshold:</source>
        <translation>&amp;Schwelle:</translation>
    </message>
    <message>
        <source> s</source>
        <translation> s</translation>
    </message>
    <message>
        <source>&amp;Minimum length:</source>
        <translation>&amp;Mindestlänge:</translation>
    </message>
    <message>
        <source>Cut in the &amp;middle of each silence</source>
        <translation>In der &amp;Mitte jeder Pause schneiden</translation>
    </message>
    <message>
        <source>T&amp;rim the silence off the tracks</source>
        <translation>Pausen von den Titeln &amp;abschneiden</translation>
    </message>
    <message>
        <source>Result</source>
        <translation>Ergebnis</translation>
    </message>
    <message>
        <source>&amp;Find</source>
        <translation>&amp;Suchen</translation>
    </message>
    <message>
        <source>Find the silences and show them on the waveform</source>
        <translation>Die Pausen suchen und in der Wellenform zeigen</translation>
    </message>
    <message>
        <source>Find</source>
        <translation>Suchen</translation>
    </message>
    <message>
        <source>Use these cuts</source>
        <translation>Diese Schnitte übernehmen</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Abbrechen</translation>
    </message>
</context>
<context>
    <name>TrackListModel</name>
    <message>
        <source>Place cut</source>
        <translation>Schnitt setzen</translation>
    </message>
    <message>
        <source>Move cut</source>
        <translation>Schnitt verschieben</translation>
    </message>
    <message>
        <source>Delete cut</source>
        <translation>Schnitt löschen</translation>
    </message>
    <message>
        <source>Change start</source>
        <translation>Anfang ändern</translation>
    </message>
    <message>
        <source>Change end</source>
        <translation>Ende ändern</translation>
    </message>
    <message>
        <source>Change title</source>
        <translation>Titel ändern</translation>
    </message>
    <message>
        <source>Change performer</source>
        <translation>Interpret ändern</translation>
    </message>
    <message>
        <source>No.</source>
        <translation>Nr.</translation>
    </message>
    <message>
        <source>Start</source>
        <translation>Anfang</translation>
    </message>
    <message>
        <source>End</source>
        <translation>Ende</translation>
    </message>
    <message>
        <source>Length</source>
        <translation>Länge</translation>
    </message>
    <message>
        <source>Title</source>
        <translation>Titel</translation>
    </message>
    <message>
        <source>Performer</source>
        <translation>Interpret</translation>
    </message>
    <message>
        <source>No title</source>
        <translation>Kein Titel</translation>
    </message>
    <message>
        <source>No performer</source>
        <translation>Kein Interpret</translation>
    </message>
</context>
<context>
    <name>TracksEngine</name>
    <message>
        <source>The waveform is still being read.</source>
        <translation>Die Wellenform wird noch eingelesen.</translation>
    </message>
    <message numerus="yes">
        <source>%n silence(s) between the tracks, %1 tracks.</source>
        <translation>
            <numerusform>%n Pause zwischen den Titeln, %1 Titel.</numerusform>
            <numerusform>%n Pausen zwischen den Titeln, %1 Titel.</numerusform>
        </translation>
    </message>
    <message>
        <source>the source is not MP3 audio, so the pieces are 16-bit WAV files at its sample rate (lossless for a 16-bit source).</source>
        <translation>die Quelle ist kein MP3-Audio, daher werden die Stücke 16-Bit-WAV-Dateien mit ihrer Abtastrate (verlustfrei bei einer 16-Bit-Quelle).</translation>
    </message>
    <message>
        <source>a run is going on</source>
        <translation>ein Durchlauf ist im Gang</translation>
    </message>
</context>
<context>
    <name>WaveformView</name>
    <message>
        <source>Waveform</source>
        <translation>Wellenform</translation>
    </message>
    <message>
        <source>Click to move the playing position; double-click or M places a cut; drag a mark to move it; Left and Right nudge the selected cut, Delete removes it; the wheel zooms, Ctrl+0 shows all.</source>
        <translation>Klicken setzt die Abspielposition; Doppelklick oder M setzt einen Schnitt; eine Marke lässt sich ziehen; Links und Rechts verschieben den gewählten Schnitt, Entf löscht ihn; das Mausrad zoomt, Strg+0 zeigt alles.</translation>
    </message>
</context>
<context>
    <name>help</name>
    <message>
        <source>The manual %1 could not be opened: no program to show web pages is set up.
Install a web browser (for example the package firefox-esr) or choose one for HTML files, then press Help again.</source>
        <translation>Das Handbuch %1 konnte nicht geöffnet werden: Es ist kein Programm zum Anzeigen von Webseiten eingerichtet.
Installieren Sie einen Webbrowser (zum Beispiel das Paket firefox-esr) oder legen Sie einen für HTML-Dateien fest und drücken Sie dann erneut auf „Hilfe“.</translation>
    </message>
    <message>
        <source>The manual %1 is missing.
Install Tarnwick again to get it back.</source>
        <translation>Das Handbuch %1 fehlt.
Installieren Sie Tarnwick erneut, um es wiederherzustellen.</translation>
    </message>
    <message>
        <source>The home page %1 could not be opened: no web browser is set up.
Install one (for example the package firefox-esr) or choose one as the default, then try again.</source>
        <translation>Die Homepage %1 konnte nicht geöffnet werden: Es ist kein Webbrowser eingerichtet.
Installieren Sie einen (zum Beispiel das Paket firefox-esr) oder legen Sie einen als Standard fest und versuchen Sie es dann erneut.</translation>
    </message>
    <message>
        <source>%1 could not be played: no program to play audio files is set up.
Install a player (for example the package vlc) or choose one for MP3 and WAV files, then try again.</source>
        <translation>%1 konnte nicht abgespielt werden: Es ist kein Programm zum Abspielen von Audiodateien eingerichtet.
Installieren Sie einen Player (zum Beispiel das Paket vlc) oder legen Sie einen für MP3- und WAV-Dateien fest und versuchen Sie es dann erneut.</translation>
    </message>
</context>
</TS>
