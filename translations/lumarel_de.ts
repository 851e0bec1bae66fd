<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="de_DE">
<context>
    <name>lumarel::FieldWriter</name>
    <message>
        <source>

The fields are empty, and what you type is not saved: the file is left as it is until it can be read or is moved away.</source>
        <translation>

Die Felder sind leer, und was Sie eingeben, wird nicht gespeichert: Die Datei bleibt, wie sie ist, bis sie gelesen werden kann oder verschoben wird.</translation>
    </message>
    <message>
        <source>

The fields show what could be read. The file as it is will be kept beside it before the first change is saved.</source>
        <translation>

Die Felder zeigen, was gelesen werden konnte. Die Datei wird, wie sie ist, daneben aufbewahrt, bevor die erste Änderung gespeichert wird.</translation>
    </message>
    <message>
        <source>The event details could not be saved.

%1</source>
        <translation>Die Angaben zur Veranstaltung konnten nicht gespeichert werden.

%1</translation>
    </message>
</context>
<context>
    <name>lumarel::FlyerNotices</name>
    <message>
        <source>Your organization&apos;s name</source>
        <translation>Name Ihrer Organisation</translation>
    </message>
    <message>
        <source>Name of your event</source>
        <translation>Name der Veranstaltung</translation>
    </message>
    <message>
        <source>Street address</source>
        <translation>Adresse</translation>
    </message>
    <message>
        <source>More about your event</source>
        <translation>Mehr zur Veranstaltung</translation>
    </message>
    <message>
        <source>Information about your organization</source>
        <translation>Informationen über Ihre Organisation</translation>
    </message>
    <message>
        <source>Plans you are making for the event</source>
        <translation>Was Sie für die Veranstaltung planen</translation>
    </message>
    <message>
        <source>Items attendees should bring</source>
        <translation>Was die Gäste mitbringen sollten</translation>
    </message>
    <message>
        <source>&quot;%1&quot; holds characters that no installed font can draw; the flyer shows them as empty boxes: %2.</source>
        <translation>„%1“ enthält Zeichen, die keine installierte Schrift darstellen kann; der Flyer zeigt sie als leere Kästchen: %2.</translation>
    </message>
    <message>
        <source>&quot;%1&quot; did not fit its place on the flyer, even in smaller type: part of it is cut off. A shorter text fits.</source>
        <translation>„%1“ passte auch in kleinerer Schrift nicht auf seinen Platz im Flyer: Ein Teil ist abgeschnitten. Ein kürzerer Text passt.</translation>
    </message>
    <message>
        <source>&quot;%1&quot; mixes right-to-left and left-to-right writing, which this design&apos;s turned strip cannot show together: part of it reads upside down. Another design shows it as typed.</source>
        <translation>„%1“ mischt Schrift von rechts nach links mit Schrift von links nach rechts, was der gedrehte Streifen dieses Designs nicht zusammen zeigen kann: Ein Teil steht auf dem Kopf. Ein anderes Design zeigt ihn wie eingegeben.</translation>
    </message>
    <message>
        <source>The flyer runs to %1 pages, not one: shorten its texts to fit it on one page. %2</source>
        <translation>Der Flyer umfasst %1 Seiten statt einer: Kürzen Sie die Texte, damit er auf eine Seite passt. %2</translation>
    </message>
    <message>
        <source>The picture holds the first page only.</source>
        <translation>Das Bild zeigt nur die erste Seite.</translation>
    </message>
    <message>
        <source>The file holds every page; the picture shows the first.</source>
        <translation>Die Datei enthält alle Seiten; das Bild zeigt die erste.</translation>
    </message>
    <message>
        <source>The flyer was made, but a picture of its page could not be made:

%1

&quot;Save Results To Word File&quot; saves the flyer all the same.</source>
        <translation>Der Flyer wurde erstellt, aber ein Bild seiner Seite konnte nicht erstellt werden:

%1

„Als Word-Datei speichern“ speichert den Flyer trotzdem.</translation>
    </message>
</context>
<context>
    <name>lumarel::Form1</name>
    <message>
        <source>No flyer was made from &quot;%1&quot;: %2. Please shorten it; it is kept as it is.</source>
        <translation>Aus „%1“ wurde kein Flyer erstellt: %2. Bitte kürzen Sie den Text; er bleibt, wie er ist.</translation>
    </message>
    <message>
        <source>&amp;Undo</source>
        <translation>&amp;Rückgängig</translation>
    </message>
    <message>
        <source>Event details</source>
        <translation>Angaben zur Veranstaltung</translation>
    </message>
    <message>
        <source>&amp;Design</source>
        <translation>&amp;Design</translation>
    </message>
    <message>
        <source>Choose &amp;file…</source>
        <translation>&amp;Datei wählen…</translation>
    </message>
    <message>
        <source>Choose a Flyer Design</source>
        <translation>Flyer-Design wählen</translation>
    </message>
    <message>
        <source>Event date:</source>
        <translation>Datum:</translation>
    </message>
    <message>
        <source>Event time:</source>
        <translation>Uhrzeit:</translation>
    </message>
    <message>
        <source>Your organization&apos;s name:</source>
        <translation>Name Ihrer Organisation:</translation>
    </message>
    <message>
        <source>Name of your event:</source>
        <translation>Name der Veranstaltung:</translation>
    </message>
    <message>
        <source>Street address:</source>
        <translation>Adresse:</translation>
    </message>
    <message>
        <source>More about your event:</source>
        <translation>Mehr zur Veranstaltung:</translation>
    </message>
    <message>
        <source>Information about your organization:</source>
        <translation>Informationen über Ihre Organisation:</translation>
    </message>
    <message>
        <source>Plans you are making for the event:</source>
        <translation>Was Sie für die Veranstaltung planen:</translation>
    </message>
    <message>
        <source>Items attendees should bring:</source>
        <translation>Was die Gäste mitbringen sollten:</translation>
    </message>
    <message>
        <source>&amp;Start Creating Template</source>
        <translation>Vorlage &amp;erstellen</translation>
    </message>
    <message>
        <source>&amp;Clear/Reset Data</source>
        <translation>Daten &amp;löschen/zurücksetzen</translation>
    </message>
    <message>
        <source>&amp;Load Sample/Example Data</source>
        <translation>&amp;Beispieldaten laden</translation>
    </message>
    <message>
        <source>Making the flyer…</source>
        <translation>Der Flyer wird erstellt…</translation>
    </message>
    <message>
        <source>The flyer is made; the preview shows its page.</source>
        <translation>Der Flyer ist erstellt; die Vorschau zeigt seine Seite.</translation>
    </message>
    <message>
        <source>No flyer was made.</source>
        <translation>Es wurde kein Flyer erstellt.</translation>
    </message>
    <message>
        <source>&amp;A4 Paper (A5 for the Handout)</source>
        <translation>&amp;A4-Papier (A5 für das Handout)</translation>
    </message>
    <message>
        <source>&amp;Letter Paper (Half-Letter for the Handout)</source>
        <translation>&amp;Letter-Papier (Half-Letter für das Handout)</translation>
    </message>
</context>
<context>
    <name>lumarel::Form2</name>
    <message>
        <source>Save File</source>
        <translation>Datei speichern</translation>
    </message>
    <message>
        <source>Are you sure you wish to overwrite %1 ?</source>
        <translation>Möchten Sie %1 wirklich überschreiben?</translation>
    </message>
    <message>
        <source>Done.</source>
        <translation>Fertig.</translation>
    </message>
    <message>
        <source>Page area</source>
        <translation>Seitenbereich</translation>
    </message>
    <message>
        <source>The flyer&apos;s page. Arrow and Page keys scroll it, Ctrl+Plus and Ctrl+Minus zoom.</source>
        <translation>Die Seite des Flyers. Pfeil- und Bildtasten verschieben sie, Strg+Plus und Strg+Minus zoomen.</translation>
    </message>
    <message>
        <source>Zoom:</source>
        <translation>Zoom:</translation>
    </message>
    <message>
        <source>Zoom &amp;In</source>
        <translation>Ver&amp;größern</translation>
    </message>
    <message>
        <source>Zoom &amp;Out</source>
        <translation>Ver&amp;kleinern</translation>
    </message>
    <message>
        <source>&amp;Save Results To Word File</source>
        <translation>Als Word-Datei &amp;speichern</translation>
    </message>
    <message>
        <source>&lt; &amp;Back</source>
        <translation>&lt; &amp;Zurück</translation>
    </message>
    <message>
        <source>&amp;Print…</source>
        <translation>&amp;Drucken…</translation>
    </message>
    <message>
        <source>Save &amp;As…</source>
        <translation>Speichern &amp;unter…</translation>
    </message>
    <message>
        <source>Flyer page, zoom %1 %</source>
        <translation>Flyerseite, Zoom %1 %</translation>
    </message>
    <message>
        <source>Back</source>
        <translation>Zurück</translation>
    </message>
</context>
<context>
    <name>lumarel::Help</name>
    <message>
        <source>%1 Help</source>
        <translation>%1-Hilfe</translation>
    </message>
</context>
<context>
    <name>lumarel::LiveFlyer</name>
    <message>
        <source>&amp;Live Page</source>
        <translation>&amp;Live-Seite</translation>
    </message>
    <message>
        <source>The page could not be made: &quot;%1&quot;: %2.</source>
        <translation>Die Seite konnte nicht erstellt werden: „%1“: %2.</translation>
    </message>
    <message>
        <source>The page could not be made: %1</source>
        <translation>Die Seite konnte nicht erstellt werden: %1</translation>
    </message>
    <message>
        <source>The page may lack a text: %1</source>
        <translation>Der Seite fehlt vielleicht ein Text: %1</translation>
    </message>
</context>
<context>
    <name>lumarel::LivePage</name>
    <message>
        <source>%1: Live Page</source>
        <translation>%1: Live-Seite</translation>
    </message>
    <message>
        <source>%1: live page</source>
        <translation>%1: Live-Seite</translation>
    </message>
    <message>
        <source>The page is being made…</source>
        <translation>Die Seite wird erstellt…</translation>
    </message>
    <message>
        <source>Updated %1</source>
        <translation>Aktualisiert um %1</translation>
    </message>
    <message>
        <source>Flyer page, not made yet</source>
        <translation>Flyerseite, noch nicht erstellt</translation>
    </message>
    <message>
        <source>Flyer page, updated %1</source>
        <translation>Flyerseite, aktualisiert um %1</translation>
    </message>
    <message>
        <source>Zoom %1 %. Arrow and Page keys scroll the page, Ctrl+Plus and Ctrl+Minus zoom. %2</source>
        <translation>Zoom %1 %. Pfeil- und Bildtasten blättern die Seite, Strg+Plus und Strg+Minus zoomen. %2</translation>
    </message>
</context>
<context>
    <name>lumarel::StepTrap</name>
    <message>
        <source>at line </source>
        <translation>in Zeile </translation>
    </message>
    <message>
        <source><byte value="xd"/><byte value="xd"/>Please email screenshot of this message to </source>
        <translation><byte value="xd"/><byte value="xd"/>Bitte senden Sie ein Bildschirmfoto dieser Meldung per E-Mail an </translation>
    </message>
    <message>
        <source>Application Error</source>
        <translation>Programmfehler</translation>
    </message>
</context>
</TS>
