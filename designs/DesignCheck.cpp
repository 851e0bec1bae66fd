#include "designs/DesignCheck.h"

#include "app/Failure.h"
#include "app/RegularFile.h"
#include "designs/ZipArchive.h"
#include "word97/WordBookmarks.h"
#include "word97/WordFile.h"
#include "word97/WordParagraphs.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QIODevice>
#include <QMap>
#include <QRegularExpression>
#include <QXmlStreamReader>
#include <QtEndian>

#include <optional>

namespace lumarel {

namespace {

// A flyer page shows a few thousand characters: a design with far more is no flyer, and the
// office takes minutes over megabytes of text.
constexpr qint64 kMaxDesignText = 100000;

// What the reading of a design found so far.
struct Found
{
    QMap<QString, DesignPlace> places;
    QStringList twice;    // the flyer's bookmarks that the design names more than once
    QStringList inShapes; // those in a drawn shape's own text
    qint64 text = 0;      // characters
    bool linksToWeb = false;
};

void note(Found& found, const QString& name, DesignPlace place)
{
    if (!designBookmarkNames().contains(name))
        return;
    if (!found.places.contains(name))
        found.places.insert(name, place);
    else if (!found.twice.contains(name))
        found.twice << name;
}

void countText(Found& found, qint64 characters, const QString& path)
{
    found.text += characters;
    if (found.text > kMaxDesignText)
        throw Failure(QStringLiteral("\"%1\" holds more text than a flyer design can: over %L2 "
                                     "characters, more than a flyer page shows.")
                          .arg(path)
                          .arg(kMaxDesignText));
}

// Whether a link leads to another machine: a URL with a scheme other than a local file's, or a
// Windows network path. A relative link names a part of the document itself.
bool isRemoteLink(const QString& link)
{
    if (link.startsWith(QLatin1String("\\\\")) || link.startsWith(QLatin1String("//")))
        return true;
    static const QRegularExpression scheme(QStringLiteral("^([A-Za-z][A-Za-z0-9+.-]+):"));
    const QString name = scheme.match(link).captured(1).toLower();
    // One letter is a drive.
    return !name.isEmpty() && name != u"file" && name != u"data" && name != u"vnd.sun.star.package";
}

// --- Word 97-2003 -----------------------------------------------------------------------------

constexpr QByteArrayView kCompoundFileMagic("\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1", 8);
constexpr quint16 kSprmPFInTable = 0x2416;
constexpr quint16 kSprmPItap = 0x6649;
constexpr int kCcpHdrTxbx = wordfile::kCcpTxbx + 1;

// Whether the paragraph holding character position `cp` lies in a table cell. The piece table
// covers the text from position 0 on without gaps, each paragraph its text and then its mark.
bool inTable(const WordParagraphs& document, qint64 cp)
{
    qint64 start = 0;
    for (const WordParagraph& paragraph : document.paragraphs) {
        const qint64 end = start + paragraph.text.size() + 1;
        if (cp < end) {
            const auto flag = document.paragraphProperty(paragraph, kSprmPFInTable);
            const auto depth = document.paragraphProperty(paragraph, kSprmPItap);
            return (flag && !flag->isEmpty() && flag->at(0) != 0) ||
                   (depth && depth->size() >= 4 && qFromLittleEndian<qint32>(depth->data()) > 0);
        }
        start = end;
    }
    return false;
}

// The stories after the main text, in the order of the document's whole text.
DesignPlace otherStoryPlace(const wordfile::Fib& fib, qint64 cp)
{
    using namespace wordfile;
    qint64 start = fib.ccp[kCcpText];
    for (int story = kCcpFtn; story <= kCcpHdrTxbx; ++story) {
        const qint64 end = start + fib.ccp[story];
        if (cp >= start && cp < end) {
            if (story == kCcpHdd || story == kCcpHdrTxbx)
                return DesignPlace::HeaderFooter;
            if (story == kCcpTxbx)
                return DesignPlace::TextBox;
            return DesignPlace::Note;
        }
        start = end;
    }
    return DesignPlace::Note;
}

Found wordBookmarks(const QString& path)
{
    using namespace wordfile;
    const Fib fib =
        readOrFail(QStringLiteral("bookmarks"), path, [](auto& p) { return openWordFile(p).fib; });
    Found found;
    qint64 characters = 0;
    for (int story = kCcpText; story <= kCcpHdrTxbx; ++story)
        characters += fib.ccp[story];
    countText(found, characters, path);
    std::optional<WordParagraphs> paragraphs;
    for (const WordBookmark& mark : readWordBookmarks(path)) {
        if (!designBookmarkNames().contains(mark.name) || found.places.contains(mark.name))
            continue;
        DesignPlace place = DesignPlace::TextBox;
        if (mark.story == Story::Main) {
            if (!paragraphs)
                paragraphs = readWordParagraphs(path);
            place = inTable(*paragraphs, mark.start) ? DesignPlace::Table : DesignPlace::MainText;
        } else if (mark.story == Story::Other) {
            place = otherStoryPlace(fib, mark.start);
        }
        note(found, mark.name, place);
    }
    return found;
}

// --- XML: Word 2007 and OpenDocument -----------------------------------------------------------

// What the scan of one XML part looks for: the elements that mark a bookmark, the attribute
// that names it, and the elements that make a place of their own for what they hold.
struct XmlKind
{
    QStringList namespaces;
    QStringList bookmarkElements;
    QString nameNamespace;
    QString nameAttribute;
    QHash<QString, DesignPlace> containers; // by local name, in any of the namespaces
    // The elements whose xlink:href the office loads as it opens the document: pictures,
    // objects, frames, linked sections.
    QStringList linkElements;
    // Drawn shapes whose own text the office reads without its bookmarks.
    QStringList shapes;
};

const QString kXLink = QStringLiteral("http://www.w3.org/1999/xlink");

const QString kWordMl =
    QStringLiteral("http://schemas.openxmlformats.org/wordprocessingml/2006/main");
const QString kWordMlStrict = QStringLiteral("http://purl.oclc.org/ooxml/wordprocessingml/main");
const QString kOdfText = QStringLiteral("urn:oasis:names:tc:opendocument:xmlns:text:1.0");

const XmlKind& wordMl()
{
    static const XmlKind kind{{kWordMl, kWordMlStrict},
                              {QStringLiteral("bookmarkStart")},
                              QString(),
                              QStringLiteral("name"),
                              {{QStringLiteral("tbl"), DesignPlace::Table},
                               {QStringLiteral("txbxContent"), DesignPlace::TextBox}},
                              {}, // its links are in its relationships
                              {}};
    return kind;
}

const XmlKind& openDocument()
{
    static const XmlKind kind{
        {kOdfText, QStringLiteral("urn:oasis:names:tc:opendocument:xmlns:table:1.0"),
         QStringLiteral("urn:oasis:names:tc:opendocument:xmlns:drawing:1.0"),
         QStringLiteral("urn:oasis:names:tc:opendocument:xmlns:style:1.0"),
         QStringLiteral("urn:oasis:names:tc:opendocument:xmlns:office:1.0"),
         QStringLiteral("urn:org:documentfoundation:names:experimental:office:xmlns:loext:1.0")},
        {QStringLiteral("bookmark"), QStringLiteral("bookmark-start")},
        kOdfText,
        QStringLiteral("name"),
        {{QStringLiteral("table-cell"), DesignPlace::Table},
         {QStringLiteral("covered-table-cell"), DesignPlace::Table},
         {QStringLiteral("text-box"), DesignPlace::TextBox},
         {QStringLiteral("custom-shape"), DesignPlace::TextBox},
         {QStringLiteral("header"), DesignPlace::HeaderFooter},
         {QStringLiteral("footer"), DesignPlace::HeaderFooter},
         {QStringLiteral("header-left"), DesignPlace::HeaderFooter},
         {QStringLiteral("footer-left"), DesignPlace::HeaderFooter},
         {QStringLiteral("header-first"), DesignPlace::HeaderFooter},
         {QStringLiteral("footer-first"), DesignPlace::HeaderFooter},
         {QStringLiteral("note"), DesignPlace::Note},
         {QStringLiteral("annotation"), DesignPlace::Note}},
        {QStringLiteral("image"), QStringLiteral("object"), QStringLiteral("object-ole"),
         QStringLiteral("fill-image"), QStringLiteral("background-image"),
         QStringLiteral("floating-frame"), QStringLiteral("plugin"), QStringLiteral("applet"),
         QStringLiteral("section-source")},
        {QStringLiteral("custom-shape"), QStringLiteral("rect"), QStringLiteral("circle"),
         QStringLiteral("ellipse"), QStringLiteral("polygon"), QStringLiteral("regular-polygon"),
         QStringLiteral("polyline"), QStringLiteral("path"), QStringLiteral("line"),
         QStringLiteral("connector"), QStringLiteral("caption"), QStringLiteral("measure")}};
    return kind;
}

// A place inside a header or a note stays there, whatever holds it there; otherwise the
// innermost container gives the place.
DesignPlace placeOf(DesignPlace base, const QList<std::optional<DesignPlace>>& open)
{
    DesignPlace place = base;
    for (const auto& container : open) {
        if (place == DesignPlace::HeaderFooter || place == DesignPlace::Note)
            break;
        if (container)
            place = *container;
    }
    return place;
}

void scanXml(const ZipArchive& archive, const QString& path, const QString& part,
             const XmlKind& kind, DesignPlace base, Found& found)
{
    // Read as it is parsed, so that a design with too much text is refused at its limit.
    const std::unique_ptr<QIODevice> bytes = archive.stream(part);
    QXmlStreamReader xml(bytes.get());
    QList<std::optional<DesignPlace>> open;
    // A text box's text is there twice, for readers that know its drawing and for those that
    // do not: the second copy's bookmarks are the first's.
    qsizetype fallbackDepth = -1;
    qsizetype shapeDepth = -1;
    QHash<QString, QPair<QString, DesignPlace>> started; // a Word bookmark's start, by its id
    while (!xml.atEnd()) {
        const QXmlStreamReader::TokenType token = xml.readNext();
        if (token == QXmlStreamReader::EndElement && !open.isEmpty()) {
            open.removeLast();
            if (open.size() == fallbackDepth)
                fallbackDepth = -1;
            if (open.size() == shapeDepth)
                shapeDepth = -1;
        }
        if (token == QXmlStreamReader::Characters && !xml.isWhitespace())
            countText(found, xml.text().size(), path);
        if (token != QXmlStreamReader::StartElement)
            continue;
        const bool known = kind.namespaces.contains(xml.namespaceUri());
        const QString local = xml.name().toString();
        if (known && kind.linkElements.contains(local) &&
            isRemoteLink(xml.attributes().value(kXLink, QStringLiteral("href")).toString()))
            found.linksToWeb = true;
        if (fallbackDepth < 0 && local == u"Fallback" &&
            xml.namespaceUri() == u"http://schemas.openxmlformats.org/markup-compatibility/2006")
            fallbackDepth = open.size();
        if (known && shapeDepth < 0 && kind.shapes.contains(local))
            shapeDepth = open.size();
        if (known && fallbackDepth < 0 && kind.bookmarkElements.contains(local)) {
            const QXmlStreamAttributes attributes = xml.attributes();
            const QString ns =
                kind.nameNamespace.isEmpty() ? xml.namespaceUri().toString() : kind.nameNamespace;
            const QString name = attributes.value(ns, kind.nameAttribute).toString();
            // A Word bookmark is its start with its end; the office writes a lone start
            // beside each bookmark that is a point.
            if (&kind == &wordMl())
                started.insert(attributes.value(ns, QStringLiteral("id")).toString(),
                               {name, placeOf(base, open)});
            else
                note(found, name, placeOf(base, open));
            if (shapeDepth >= 0 && designBookmarkNames().contains(name) &&
                !found.inShapes.contains(name))
                found.inShapes << name;
        }
        if (known && fallbackDepth < 0 && &kind == &wordMl() && local == u"bookmarkEnd") {
            const auto start =
                started.constFind(xml.attributes()
                                      .value(xml.namespaceUri().toString(), QStringLiteral("id"))
                                      .toString());
            if (start != started.cend())
                note(found, start->first, start->second);
        }
        const auto container = kind.containers.constFind(local);
        open.append(known && container != kind.containers.cend()
                        ? std::optional<DesignPlace>(*container)
                        : std::nullopt);
    }
    if (xml.hasError())
        throw Failure(QStringLiteral("Cannot read \"%1\": its part %2 is damaged (%3).")
                          .arg(path, part, xml.errorString()));
}

struct Relationship
{
    QString type; // the last part of its type: "header", "image", "hyperlink", ...
    QString target;
    bool external = false;
};

// The relationships of a part, from the part's .rels beside it; none when it has none.
QList<Relationship> relationships(const ZipArchive& archive, const QString& path,
                                  const QString& part)
{
    const int slash = part.lastIndexOf(QLatin1Char('/')) + 1;
    const QString rels =
        part.left(slash) + QStringLiteral("_rels/") + part.mid(slash) + QStringLiteral(".rels");
    if (!archive.contains(rels))
        return {};
    QList<Relationship> list;
    QXmlStreamReader xml(archive.part(rels));
    while (xml.readNextStartElement()) {
        if (xml.name() == u"Relationship") {
            const QXmlStreamAttributes attributes = xml.attributes();
            list.append({attributes.value(QStringLiteral("Type")).toString().section('/', -1),
                         attributes.value(QStringLiteral("Target")).toString(),
                         attributes.value(QStringLiteral("TargetMode")) == u"External"});
            xml.skipCurrentElement();
        } else if (xml.name() != u"Relationships") {
            xml.skipCurrentElement();
        }
    }
    if (xml.hasError())
        throw Failure(QStringLiteral("Cannot read \"%1\": its part %2 is damaged (%3).")
                          .arg(path, rels, xml.errorString()));
    return list;
}

// A link to content elsewhere that the office would load; a hyperlink is only followed when
// clicked.
void noteLinks(const QList<Relationship>& links, Found& found)
{
    for (const Relationship& link : links)
        if (link.external && link.type != u"hyperlink" && isRemoteLink(link.target))
            found.linksToWeb = true;
}

Found wordMlBookmarks(const ZipArchive& archive, const QString& path)
{
    Found found;
    const QString main = QStringLiteral("word/document.xml");
    scanXml(archive, path, main, wordMl(), DesignPlace::MainText, found);
    const QList<Relationship> links = relationships(archive, path, main);
    noteLinks(links, found);
    // Only the stories the document refers to: others in the archive are never shown.
    static const QHash<QString, DesignPlace> stories{
        {QStringLiteral("header"), DesignPlace::HeaderFooter},
        {QStringLiteral("footer"), DesignPlace::HeaderFooter},
        {QStringLiteral("footnotes"), DesignPlace::Note},
        {QStringLiteral("endnotes"), DesignPlace::Note},
        {QStringLiteral("comments"), DesignPlace::Note}};
    QStringList scanned{main};
    for (const Relationship& link : links) {
        const auto story = stories.constFind(link.type);
        if (link.external || story == stories.cend())
            continue;
        const QString part = QDir::cleanPath(link.target.startsWith(QLatin1Char('/'))
                                                 ? link.target.mid(1)
                                                 : QStringLiteral("word/") + link.target);
        if (scanned.contains(part) || !archive.contains(part))
            continue;
        scanned << part;
        scanXml(archive, path, part, wordMl(), *story, found);
        noteLinks(relationships(archive, path, part), found);
    }
    return found;
}

Found openDocumentBookmarks(const ZipArchive& archive, const QString& path)
{
    Found found;
    scanXml(archive, path, QStringLiteral("content.xml"), openDocument(), DesignPlace::MainText,
            found);
    if (archive.contains(QStringLiteral("styles.xml")))
        scanXml(archive, path, QStringLiteral("styles.xml"), openDocument(), DesignPlace::MainText,
                found);
    return found;
}

bool isOpenDocumentText(const ZipArchive& archive)
{
    return archive.contains(QStringLiteral("mimetype")) &&
           archive.contains(QStringLiteral("content.xml")) &&
           archive.part(QStringLiteral("mimetype"))
               .startsWith("application/vnd.oasis.opendocument.text");
}

// Word and the office both open a Rich Text file named .doc; it is said what it is.
Failure notADesign(const QString& path, const QByteArray& head)
{
    const QString kind = head.startsWith("{\\rtf") ? QStringLiteral("a Rich Text (RTF) file")
                                                   : QStringLiteral("not a design");
    return Failure(QStringLiteral("\"%1\" is %2: a design is a Word file (.doc, .dot, .docx, "
                                  ".dotx) or an OpenDocument text (.odt, .ott).")
                       .arg(path, kind));
}

} // namespace

const QStringList& designBookmarkNames()
{
    static const QStringList names{QStringLiteral("OrgName"),   QStringLiteral("EventName"),
                                   QStringLiteral("EventDate"), QStringLiteral("EventTime"),
                                   QStringLiteral("EventAddr"), QStringLiteral("EventMore")};
    return names;
}

QString designPlaceText(DesignPlace place)
{
    switch (place) {
    case DesignPlace::MainText:
        return QStringLiteral("main text");
    case DesignPlace::TextBox:
        return QStringLiteral("text box");
    case DesignPlace::Table:
        return QStringLiteral("table");
    case DesignPlace::HeaderFooter:
        return QStringLiteral("header or footer");
    case DesignPlace::Note:
        return QStringLiteral("note or comment");
    }
    return QString();
}

QString noDesignBookmarksText(const QString& path)
{
    return QStringLiteral("\"%1\" holds none of the bookmarks that a flyer design fills: %2.")
        .arg(path, designBookmarkNames().join(QStringLiteral(", ")));
}

DesignContents readDesign(const QString& path)
{
    if (const QString problem = regularFileProblem(path); !problem.isEmpty())
        throw Failure(QStringLiteral("Cannot read \"%1\": it %2.").arg(path, problem));
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw Failure(QStringLiteral("Cannot read \"%1\": %2.").arg(path, file.errorString()));
    const QByteArray head = file.read(8);
    file.close();

    Found found;
    if (head == kCompoundFileMagic) {
        found = wordBookmarks(path);
    } else if (ZipArchive::looksLikeZip(head)) {
        const ZipArchive archive(path);
        if (archive.contains(QStringLiteral("word/document.xml")))
            found = wordMlBookmarks(archive, path);
        else if (isOpenDocumentText(archive))
            found = openDocumentBookmarks(archive, path);
        else
            throw notADesign(path, head);
    } else {
        throw notADesign(path, head);
    }
    if (found.places.isEmpty())
        throw Failure(noDesignBookmarksText(path));
    // The office keeps one bookmark of a name: the text would go to one place of the design's.
    if (!found.twice.isEmpty())
        throw Failure(QStringLiteral("\"%1\" holds the bookmark %2 more than once, and a flyer "
                                     "fills only one of them: rename or remove the others.")
                          .arg(path, found.twice.join(QStringLiteral(", "))));

    if (!found.inShapes.isEmpty())
        throw Failure(QStringLiteral("\"%1\" holds the bookmark %2 in the text of a drawn shape, "
                                     "where the office keeps no bookmark: put it in a text frame "
                                     "or in the main text.")
                          .arg(path, found.inShapes.join(QStringLiteral(", "))));

    DesignContents design;
    for (const QString& name : designBookmarkNames())
        if (found.places.contains(name))
            design.bookmarks.append({name, found.places.value(name)});
    design.linksToWeb = found.linksToWeb;
    return design;
}

QList<DesignBookmark> readDesignBookmarks(const QString& path)
{
    return readDesign(path).bookmarks;
}

QString webContentText(const QString& path)
{
    return QStringLiteral("The design \"%1\" links to content on the web, which is not loaded: "
                          "the flyer leaves it out.")
        .arg(path);
}

} // namespace lumarel
