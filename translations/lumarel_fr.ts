<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="fr_FR">
<context>
    <name>lumarel::FieldWriter</name>
    <message>
        <source>

The fields are empty, and what you type is not saved: the file is left as it is until it can be read or is moved away.</source>
        <translation>

Les champs sont vides et ce que vous tapez n&apos;est pas enregistré : le fichier reste tel quel jusqu&apos;à ce qu&apos;il puisse être lu ou soit déplacé.</translation>
    </message>
    <message>
        <source>

The fields show what could be read. The file as it is will be kept beside it before the first change is saved.</source>
        <translation>

Les champs montrent ce qui a pu être lu. Le fichier tel quel sera conservé à côté avant l&apos;enregistrement de la première modification.</translation>
    </message>
    <message>
        <source>The event details could not be saved.

%1</source>
        <translation>Les détails de l&apos;événement n&apos;ont pas pu être enregistrés.

%1</translation>
    </message>
</context>
<context>
    <name>lumarel::FlyerNotices</name>
    <message>
        <source>Your organization&apos;s name</source>
        <translation>Nom de votre organisation</translation>
    </message>
    <message>
        <source>Name of your event</source>
        <translation>Nom de l&apos;événement</translation>
    </message>
    <message>
        <source>Street address</source>
        <translation>Adresse</translation>
    </message>
    <message>
        <source>More about your event</source>
        <translation>Plus sur l&apos;événement</translation>
    </message>
    <message>
        <source>Information about your organization</source>
        <translation>Informations sur votre organisation</translation>
    </message>
    <message>
        <source>Plans you are making for the event</source>
        <translation>Ce que vous prévoyez pour l&apos;événement</translation>
    </message>
    <message>
        <source>Items attendees should bring</source>
        <translation>Ce que les participants doivent apporter</translation>
    </message>
    <message>
        <source>&quot;%1&quot; holds characters that no installed font can draw; the flyer shows them as empty boxes: %2.</source>
        <translation>« %1 » contient des caractères qu&apos;aucune police installée ne sait dessiner ; le flyer les montre comme des cases vides : %2.</translation>
    </message>
    <message>
        <source>&quot;%1&quot; did not fit its place on the flyer, even in smaller type: part of it is cut off. A shorter text fits.</source>
        <translation>« %1 » ne tenait pas à sa place sur le flyer, même en plus petits caractères : une partie est coupée. Un texte plus court tiendra.</translation>
    </message>
    <message>
        <source>&quot;%1&quot; mixes right-to-left and left-to-right writing, which this design&apos;s turned strip cannot show together: part of it reads upside down. Another design shows it as typed.</source>
        <translation>« %1 » mêle une écriture de droite à gauche et une écriture de gauche à droite, que la bande tournée de ce modèle ne peut pas montrer ensemble : une partie se lit à l&apos;envers. Un autre modèle l&apos;affiche tel que saisi.</translation>
    </message>
    <message>
        <source>The flyer runs to %1 pages, not one: shorten its texts to fit it on one page. %2</source>
        <translation>Le flyer tient sur %1 pages, et non une : raccourcissez ses textes pour qu&apos;il tienne sur une page. %2</translation>
    </message>
    <message>
        <source>The picture holds the first page only.</source>
        <translation>L&apos;image ne montre que la première page.</translation>
    </message>
    <message>
        <source>The file holds every page; the picture shows the first.</source>
        <translation>Le fichier contient toutes les pages ; l&apos;image montre la première.</translation>
    </message>
    <message>
        <source>The flyer was made, but a picture of its page could not be made:

%1

&quot;Save Results To Word File&quot; saves the flyer all the same.</source>
        <translation>Le flyer a été créé, mais l&apos;image de sa page n&apos;a pas pu l&apos;être :

%1

« Enregistrer en fichier Word » enregistre quand même le flyer.</translation>
    </message>
</context>
<context>
    <name>lumarel::Form1</name>
    <message>
        <source>No flyer was made from &quot;%1&quot;: %2. Please shorten it; it is kept as it is.</source>
        <translation>Aucun flyer n&apos;a été créé à partir de « %1 » : %2. Veuillez le raccourcir ; il est conservé tel quel.</translation>
    </message>
    <message>
        <source>&amp;Undo</source>
        <translation>&amp;Annuler</translation>
    </message>
    <message>
        <source>Event details</source>
        <translation>Détails de l&apos;événement</translation>
    </message>
    <message>
        <source>&amp;Design</source>
        <translation>&amp;Mise en page</translation>
    </message>
    <message>
        <source>Choose &amp;file…</source>
        <translation>&amp;Choisir un fichier…</translation>
    </message>
    <message>
        <source>Choose a Flyer Design</source>
        <translation>Choisir une mise en page de flyer</translation>
    </message>
    <message>
        <source>Event date:</source>
        <translation>Date :</translation>
    </message>
    <message>
        <source>Event time:</source>
        <translation>Heure :</translation>
    </message>
    <message>
        <source>Your organization&apos;s name:</source>
        <translation>Votre organisation :</translation>
    </message>
    <message>
        <source>Name of your event:</source>
        <translation>Nom de l&apos;événement :</translation>
    </message>
    <message>
        <source>Street address:</source>
        <translation>Adresse :</translation>
    </message>
    <message>
        <source>More about your event:</source>
        <translation>Plus sur l&apos;événement :</translation>
    </message>
    <message>
        <source>Information about your organization:</source>
        <translation>Informations sur votre organisation :</translation>
    </message>
    <message>
        <source>Plans you are making for the event:</source>
        <translation>Ce que vous prévoyez pour l&apos;événement :</translation>
    </message>
    <message>
        <source>Items attendees should bring:</source>
        <translation>Ce qu&apos;il faut apporter :</translation>
    </message>
    <message>
        <source>&amp;Start Creating Template</source>
        <translation>&amp;Créer le modèle</translation>
    </message>
    <message>
        <source>&amp;Clear/Reset Data</source>
        <translation>&amp;Effacer les données</translation>
    </message>
    <message>
        <source>&amp;Load Sample/Example Data</source>
        <translation>Charger l&apos;e&amp;xemple</translation>
    </message>
    <message>
        <source>Making the flyer…</source>
        <translation>Création du flyer…</translation>
    </message>
    <message>
        <source>The flyer is made; the preview shows its page.</source>
        <translation>Le flyer est créé ; l&apos;aperçu montre sa page.</translation>
    </message>
    <message>
        <source>No flyer was made.</source>
        <translation>Aucun flyer n&apos;a été créé.</translation>
    </message>
    <message>
        <source>&amp;A4 Paper (A5 for the Handout)</source>
        <translation>Papier &amp;A4 (A5 pour le modèle handout)</translation>
    </message>
    <message>
        <source>&amp;Letter Paper (Half-Letter for the Handout)</source>
        <translation>Papier &amp;Letter (demi-Letter pour le modèle handout)</translation>
    </message>
</context>
<context>
    <name>lumarel::Form2</name>
    <message>
        <source>Save File</source>
        <translation>Enregistrer le fichier</translation>
    </message>
    <message>
        <source>Are you sure you wish to overwrite %1 ?</source>
        <translation>Voulez-vous vraiment remplacer %1 ?</translation>
    </message>
    <message>
        <source>Done.</source>
        <translation>Terminé.</translation>
    </message>
    <message>
        <source>Page area</source>
        <translation>Zone de la page</translation>
    </message>
    <message>
        <source>The flyer&apos;s page. Arrow and Page keys scroll it, Ctrl+Plus and Ctrl+Minus zoom.</source>
        <translation>La page du flyer. Les flèches et les touches Page la font défiler, Ctrl+Plus et Ctrl+Moins zooment.</translation>
    </message>
    <message>
        <source>Zoom:</source>
        <translation>Zoom :</translation>
    </message>
    <message>
        <source>Zoom &amp;In</source>
        <translation>Zoom a&amp;vant</translation>
    </message>
    <message>
        <source>Zoom &amp;Out</source>
        <translation>Zoom a&amp;rrière</translation>
    </message>
    <message>
        <source>&amp;Save Results To Word File</source>
        <translation>&amp;Enregistrer en fichier Word</translation>
    </message>
    <message>
        <source>&lt; &amp;Back</source>
        <translation>&lt; Re&amp;tour</translation>
    </message>
    <message>
        <source>&amp;Print…</source>
        <translation>&amp;Imprimer…</translation>
    </message>
    <message>
        <source>Save &amp;As…</source>
        <translation>Enregistrer &amp;sous…</translation>
    </message>
    <message>
        <source>Flyer page, zoom %1 %</source>
        <translation>Page du flyer, zoom %1 %</translation>
    </message>
    <message>
        <source>Back</source>
        <translation>Retour</translation>
    </message>
</context>
<context>
    <name>lumarel::Help</name>
    <message>
        <source>%1 Help</source>
        <translation>Aide de %1</translation>
    </message>
</context>
<context>
    <name>lumarel::LiveFlyer</name>
    <message>
        <source>&amp;Live Page</source>
        <translation>Page en &amp;direct</translation>
    </message>
    <message>
        <source>The page could not be made: &quot;%1&quot;: %2.</source>
        <translation>La page n’a pas pu être créée : « %1 » : %2.</translation>
    </message>
    <message>
        <source>The page could not be made: %1</source>
        <translation>La page n’a pas pu être créée : %1</translation>
    </message>
    <message>
        <source>The page may lack a text: %1</source>
        <translation>Il manque peut-être un texte à la page : %1</translation>
    </message>
</context>
<context>
    <name>lumarel::LivePage</name>
    <message>
        <source>%1: Live Page</source>
        <translation>%1 : page en direct</translation>
    </message>
    <message>
        <source>%1: live page</source>
        <translation>%1 : page en direct</translation>
    </message>
    <message>
        <source>The page is being made…</source>
        <translation>La page est en cours de création…</translation>
    </message>
    <message>
        <source>Updated %1</source>
        <translation>Mise à jour à %1</translation>
    </message>
    <message>
        <source>Flyer page, not made yet</source>
        <translation>Page du flyer, pas encore créée</translation>
    </message>
    <message>
        <source>Flyer page, updated %1</source>
        <translation>Page du flyer, mise à jour à %1</translation>
    </message>
    <message>
        <source>Zoom %1 %. Arrow and Page keys scroll the page, Ctrl+Plus and Ctrl+Minus zoom. %2</source>
        <translation>Zoom %1 %. Les flèches et les touches Page font défiler la page, Ctrl+Plus et Ctrl+Moins zooment. %2</translation>
    </message>
</context>
<context>
    <name>lumarel::StepTrap</name>
    <message>
        <source>at line </source>
        <translation>à la ligne </translation>
    </message>
    <message>
        <source><byte value="xd"/><byte value="xd"/>Please email screenshot of this message to </source>
        <translation><byte value="xd"/><byte value="xd"/>Veuillez envoyer une capture d&apos;écran de ce message à </translation>
    </message>
    <message>
        <source>Application Error</source>
        <translation>Erreur de l&apos;application</translation>
    </message>
</context>
</TS>
