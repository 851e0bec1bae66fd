#include "designs/OdfTextFrames.h"

#include "app/Failure.h"
#include "designs/ZipArchive.h"

#include <QFile>
#include <QList>
#include <QSet>
#include <QXmlStreamReader>
#include <QXmlStreamWriter>

namespace lumarel {

namespace {

const QString kDraw = QStringLiteral("urn:oasis:names:tc:opendocument:xmlns:drawing:1.0");
const QString kStyle = QStringLiteral("urn:oasis:names:tc:opendocument:xmlns:style:1.0");

// The styles of the frames that hold a text box.
void frameStyles(const QByteArray& xmlBytes, QSet<QString>& styles)
{
    QXmlStreamReader xml(xmlBytes);
    QList<QString> open; // each open element's frame style, empty for other elements
    while (!xml.atEnd()) {
        const QXmlStreamReader::TokenType token = xml.readNext();
        if (token == QXmlStreamReader::EndElement && !open.isEmpty())
            open.removeLast();
        if (token != QXmlStreamReader::StartElement)
            continue;
        const bool draw = xml.namespaceUri() == kDraw;
        if (draw && xml.name() == u"text-box" && !open.isEmpty() && !open.last().isEmpty())
            styles.insert(open.last());
        open.append(draw && xml.name() == u"frame"
                        ? xml.attributes().value(kDraw, QStringLiteral("style-name")).toString()
                        : QString());
    }
}

// The part with a parent for each of `styles` that has none; empty when nothing changed.
QByteArray withFrameParent(const QByteArray& xmlBytes, const QSet<QString>& styles)
{
    QXmlStreamReader xml(xmlBytes);
    QByteArray out;
    QXmlStreamWriter writer(&out);
    bool changed = false;
    while (!xml.atEnd()) {
        xml.readNext();
        if (xml.hasError())
            return {};
        writer.writeCurrentToken(xml);
        if (xml.isStartElement() && xml.namespaceUri() == kStyle && xml.name() == u"style") {
            const QXmlStreamAttributes attributes = xml.attributes();
            if (attributes.value(kStyle, QStringLiteral("family")) == u"graphic" &&
                styles.contains(attributes.value(kStyle, QStringLiteral("name")).toString()) &&
                !attributes.hasAttribute(kStyle, QStringLiteral("parent-style-name"))) {
                writer.writeAttribute(kStyle, QStringLiteral("parent-style-name"),
                                      QStringLiteral("Frame"));
                changed = true;
            }
        }
    }
    return changed ? out : QByteArray();
}

} // namespace

void keepOpenDocumentTextFrames(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly) || !ZipArchive::looksLikeZip(file.read(4)))
        return;
    file.close();
    QList<std::pair<QString, QByteArray>> parts;
    {
        const ZipArchive archive(path);
        if (!archive.contains(QStringLiteral("mimetype")) ||
            !archive.part(QStringLiteral("mimetype"))
                 .startsWith("application/vnd.oasis.opendocument.text"))
            return;
        for (const QString& name : {QStringLiteral("content.xml"), QStringLiteral("styles.xml")})
            if (archive.contains(name))
                parts.append({name, archive.part(name)});
    }
    QSet<QString> styles;
    for (const auto& part : parts)
        frameStyles(part.second, styles);
    if (styles.isEmpty())
        return;
    for (auto& part : parts)
        part.second = withFrameParent(part.second, styles);

    ZipArchive::replaceParts(path, parts);
}

} // namespace lumarel
