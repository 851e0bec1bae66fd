<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="es_ES">
<context>
    <name>lumarel::FieldWriter</name>
    <message>
        <source>

The fields are empty, and what you type is not saved: the file is left as it is until it can be read or is moved away.</source>
        <translation>

Los campos están vacíos y lo que escriba no se guarda: el archivo queda como está hasta que pueda leerse o se mueva a otro lugar.</translation>
    </message>
    <message>
        <source>

The fields show what could be read. The file as it is will be kept beside it before the first change is saved.</source>
        <translation>

Los campos muestran lo que se pudo leer. El archivo tal como está se guardará a su lado antes de guardar el primer cambio.</translation>
    </message>
    <message>
        <source>The event details could not be saved.

%1</source>
        <translation>No se pudieron guardar los datos del evento.

%1</translation>
    </message>
</context>
<context>
    <name>lumarel::FlyerNotices</name>
    <message>
        <source>Your organization&apos;s name</source>
        <translation>Nombre de su organización</translation>
    </message>
    <message>
        <source>Name of your event</source>
        <translation>Nombre del evento</translation>
    </message>
    <message>
        <source>Street address</source>
        <translation>Dirección</translation>
    </message>
    <message>
        <source>More about your event</source>
        <translation>Más sobre el evento</translation>
    </message>
    <message>
        <source>Information about your organization</source>
        <translation>Información sobre su organización</translation>
    </message>
    <message>
        <source>Plans you are making for the event</source>
        <translation>Planes para el evento</translation>
    </message>
    <message>
        <source>Items attendees should bring</source>
        <translation>Qué deben traer los asistentes</translation>
    </message>
    <message>
        <source>&quot;%1&quot; holds characters that no installed font can draw; the flyer shows them as empty boxes: %2.</source>
        <translation>«%1» contiene caracteres que ninguna fuente instalada puede dibujar; el folleto los muestra como cuadros vacíos: %2.</translation>
    </message>
    <message>
        <source>&quot;%1&quot; did not fit its place on the flyer, even in smaller type: part of it is cut off. A shorter text fits.</source>
        <translation>«%1» no cabía en su lugar del folleto, ni siquiera con letra más pequeña: una parte queda cortada. Un texto más corto cabe.</translation>
    </message>
    <message>
        <source>&quot;%1&quot; mixes right-to-left and left-to-right writing, which this design&apos;s turned strip cannot show together: part of it reads upside down. Another design shows it as typed.</source>
        <translation>«%1» mezcla escritura de derecha a izquierda y de izquierda a derecha, que la franja girada de este diseño no puede mostrar juntas: una parte se lee al revés. Otro diseño lo muestra tal como se escribió.</translation>
    </message>
    <message>
        <source>The flyer runs to %1 pages, not one: shorten its texts to fit it on one page. %2</source>
        <translation>El folleto ocupa %1 páginas, no una: acorte sus textos para que quepa en una página. %2</translation>
    </message>
    <message>
        <source>The picture holds the first page only.</source>
        <translation>La imagen muestra solo la primera página.</translation>
    </message>
    <message>
        <source>The file holds every page; the picture shows the first.</source>
        <translation>El archivo contiene todas las páginas; la imagen muestra la primera.</translation>
    </message>
    <message>
        <source>The flyer was made, but a picture of its page could not be made:

%1

&quot;Save Results To Word File&quot; saves the flyer all the same.</source>
        <translation>El folleto se creó, pero no se pudo crear una imagen de su página:

%1

«Guardar como archivo Word» guarda el folleto de todos modos.</translation>
    </message>
</context>
<context>
    <name>lumarel::Form1</name>
    <message>
        <source>No flyer was made from &quot;%1&quot;: %2. Please shorten it; it is kept as it is.</source>
        <translation>No se creó ningún folleto con «%1»: %2. Acórtelo, por favor; se conserva tal como está.</translation>
    </message>
    <message>
        <source>&amp;Undo</source>
        <translation>&amp;Deshacer</translation>
    </message>
    <message>
        <source>Event details</source>
        <translation>Datos del evento</translation>
    </message>
    <message>
        <source>&amp;Design</source>
        <translation>D&amp;iseño</translation>
    </message>
    <message>
        <source>Choose &amp;file…</source>
        <translation>&amp;Elegir archivo…</translation>
    </message>
    <message>
        <source>Choose a Flyer Design</source>
        <translation>Elegir un diseño de folleto</translation>
    </message>
    <message>
        <source>Event date:</source>
        <translation>Fecha:</translation>
    </message>
    <message>
        <source>Event time:</source>
        <translation>Hora:</translation>
    </message>
    <message>
        <source>Your organization&apos;s name:</source>
        <translation>Su organización:</translation>
    </message>
    <message>
        <source>Name of your event:</source>
        <translation>Nombre del evento:</translation>
    </message>
    <message>
        <source>Street address:</source>
        <translation>Dirección:</translation>
    </message>
    <message>
        <source>More about your event:</source>
        <translation>Más sobre el evento:</translation>
    </message>
    <message>
        <source>Information about your organization:</source>
        <translation>Información sobre su organización:</translation>
    </message>
    <message>
        <source>Plans you are making for the event:</source>
        <translation>Planes para el evento:</translation>
    </message>
    <message>
        <source>Items attendees should bring:</source>
        <translation>Qué deben traer los asistentes:</translation>
    </message>
    <message>
        <source>&amp;Start Creating Template</source>
        <translation>&amp;Crear plantilla</translation>
    </message>
    <message>
        <source>&amp;Clear/Reset Data</source>
        <translation>&amp;Borrar datos</translation>
    </message>
    <message>
        <source>&amp;Load Sample/Example Data</source>
        <translation>Cargar datos de &amp;ejemplo</translation>
    </message>
    <message>
        <source>Making the flyer…</source>
        <translation>Creando el folleto…</translation>
    </message>
    <message>
        <source>The flyer is made; the preview shows its page.</source>
        <translation>El folleto está hecho; la vista previa muestra su página.</translation>
    </message>
    <message>
        <source>No flyer was made.</source>
        <translation>No se hizo ningún folleto.</translation>
    </message>
    <message>
        <source>&amp;A4 Paper (A5 for the Handout)</source>
        <translation>Papel &amp;A4 (A5 para el modelo handout)</translation>
    </message>
    <message>
        <source>&amp;Letter Paper (Half-Letter for the Handout)</source>
        <translation>Papel &amp;Carta (media carta para el modelo handout)</translation>
    </message>
</context>
<context>
    <name>lumarel::Form2</name>
    <message>
        <source>Save File</source>
        <translation>Guardar archivo</translation>
    </message>
    <message>
        <source>Are you sure you wish to overwrite %1 ?</source>
        <translation>¿Seguro que desea sobrescribir %1?</translation>
    </message>
    <message>
        <source>Done.</source>
        <translation>Hecho.</translation>
    </message>
    <message>
        <source>Page area</source>
        <translation>Área de la página</translation>
    </message>
    <message>
        <source>The flyer&apos;s page. Arrow and Page keys scroll it, Ctrl+Plus and Ctrl+Minus zoom.</source>
        <translation>La página del folleto. Las flechas y las teclas de página la desplazan; Ctrl+Más y Ctrl+Menos cambian el zoom.</translation>
    </message>
    <message>
        <source>Zoom:</source>
        <translation>Zoom:</translation>
    </message>
    <message>
        <source>Zoom &amp;In</source>
        <translation>&amp;Ampliar</translation>
    </message>
    <message>
        <source>Zoom &amp;Out</source>
        <translation>&amp;Reducir</translation>
    </message>
    <message>
        <source>&amp;Save Results To Word File</source>
        <translation>&amp;Guardar como archivo Word</translation>
    </message>
    <message>
        <source>&lt; &amp;Back</source>
        <translation>&lt; &amp;Volver</translation>
    </message>
    <message>
        <source>&amp;Print…</source>
        <translation>&amp;Imprimir…</translation>
    </message>
    <message>
        <source>Save &amp;As…</source>
        <translation>Guardar &amp;como…</translation>
    </message>
    <message>
        <source>Flyer page, zoom %1 %</source>
        <translation>Página del folleto, zoom %1 %</translation>
    </message>
    <message>
        <source>Back</source>
        <translation>Atrás</translation>
    </message>
</context>
<context>
    <name>lumarel::Help</name>
    <message>
        <source>%1 Help</source>
        <translation>Ayuda de %1</translation>
    </message>
</context>
<context>
    <name>lumarel::LiveFlyer</name>
    <message>
        <source>&amp;Live Page</source>
        <translation>Página en &amp;vivo</translation>
    </message>
    <message>
        <source>The page could not be made: &quot;%1&quot;: %2.</source>
        <translation>No se pudo crear la página: «%1»: %2.</translation>
    </message>
    <message>
        <source>The page could not be made: %1</source>
        <translation>No se pudo crear la página: %1</translation>
    </message>
    <message>
        <source>The page may lack a text: %1</source>
        <translation>Puede que a la página le falte un texto: %1</translation>
    </message>
</context>
<context>
    <name>lumarel::LivePage</name>
    <message>
        <source>%1: Live Page</source>
        <translation>%1: página en vivo</translation>
    </message>
    <message>
        <source>%1: live page</source>
        <translation>%1: página en vivo</translation>
    </message>
    <message>
        <source>The page is being made…</source>
        <translation>La página se está creando…</translation>
    </message>
    <message>
        <source>Updated %1</source>
        <translation>Actualizada a las %1</translation>
    </message>
    <message>
        <source>Flyer page, not made yet</source>
        <translation>Página del folleto, aún no creada</translation>
    </message>
    <message>
        <source>Flyer page, updated %1</source>
        <translation>Página del folleto, actualizada a las %1</translation>
    </message>
    <message>
        <source>Zoom %1 %. Arrow and Page keys scroll the page, Ctrl+Plus and Ctrl+Minus zoom. %2</source>
        <translation>Zoom %1 %. Las flechas y las teclas de página desplazan la página; Ctrl+Más y Ctrl+Menos cambian el zoom. %2</translation>
    </message>
</context>
<context>
    <name>lumarel::StepTrap</name>
    <message>
        <source>at line </source>
        <translation>en la línea </translation>
    </message>
    <message>
        <source><byte value="xd"/><byte value="xd"/>Please email screenshot of this message to </source>
        <translation><byte value="xd"/><byte value="xd"/>Envíe una captura de pantalla de este mensaje a </translation>
    </message>
    <message>
        <source>Application Error</source>
        <translation>Error de la aplicación</translation>
    </message>
</context>
</TS>
