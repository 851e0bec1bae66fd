#include "flyer/WordMlStyles.h"

#include "designs/ZipArchive.h"

#include <QHash>
#include <QList>
#include <QRegularExpression>
#include <QSet>
#include <QXmlStreamReader>
#include <QXmlStreamWriter>

namespace lumarel {

namespace {

const QString kWordMl =
    QStringLiteral("http://schemas.openxmlformats.org/wordprocessingml/2006/main");

// The name an identifier was made from: "ListBullet3" is "List Bullet 3".
QString nameOfId(const QString& id)
{
    static const QRegularExpression joint(
        QStringLiteral("(?<=[a-z])(?=[A-Z0-9])|(?<=[0-9])(?=[A-Za-z])"));
    return QString(id).replace(joint, QStringLiteral(" "));
}

// The new name of each style (by its identifier) whose name another style holds and that was
// not made from it.
QHash<QString, QString> renamedStyles(const QByteArray& styles)
{
    QXmlStreamReader xml(styles);
    QList<std::pair<QString, QString>> named; // identifier, name
    QString id;
    while (!xml.atEnd()) {
        if (xml.readNext() != QXmlStreamReader::StartElement || xml.namespaceUri() != kWordMl)
            continue;
        if (xml.name() == u"style")
            id = xml.attributes().value(kWordMl, QStringLiteral("styleId")).toString();
        else if (xml.name() == u"name" && !id.isEmpty())
            named.append({std::exchange(id, QString()),
                          xml.attributes().value(kWordMl, QStringLiteral("val")).toString()});
    }
    QHash<QString, int> uses;
    for (const auto& style : named)
        ++uses[style.second];
    QSet<QString> taken(uses.keyBegin(), uses.keyEnd());
    QHash<QString, QString> renamed;
    for (const auto& [styleId, name] : named) {
        QString own = nameOfId(styleId);
        if (uses.value(name) < 2 || QString(name).remove(QLatin1Char(' ')) == styleId)
            continue;
        while (taken.contains(own))
            own += QStringLiteral(" (") + styleId + QLatin1Char(')');
        taken.insert(own);
        renamed.insert(styleId, own);
    }
    return renamed;
}

// The part rewritten; empty when nothing changed.
QByteArray tidied(const QByteArray& part, const QHash<QString, QString>& renamed)
{
    QXmlStreamReader xml(part);
    QByteArray out;
    QXmlStreamWriter writer(&out);
    bool changed = false;
    QString style;
    while (!xml.atEnd()) {
        xml.readNext();
        if (xml.hasError())
            return {};
        const bool fonts =
            xml.isStartElement() && xml.namespaceUri() == kWordMl && xml.name() == u"rFonts";
        const bool name = xml.isStartElement() && xml.namespaceUri() == kWordMl &&
                          xml.name() == u"name" && renamed.contains(style);
        if (xml.isStartElement() && xml.namespaceUri() == kWordMl && xml.name() == u"style")
            style = xml.attributes().value(kWordMl, QStringLiteral("styleId")).toString();
        if (!fonts && !name) {
            writer.writeCurrentToken(xml);
            continue;
        }
        writer.writeStartElement(xml.namespaceUri().toString(), xml.name().toString());
        for (const QXmlStreamNamespaceDeclaration& declared : xml.namespaceDeclarations())
            writer.writeNamespace(declared.namespaceUri().toString(), declared.prefix().toString());
        for (QXmlStreamAttribute attribute : xml.attributes()) {
            QString value = attribute.value().toString();
            if (name && attribute.name() == u"val")
                value = renamed.value(style);
            else if (fonts && value.contains(QLatin1Char(';')))
                value = value.section(QLatin1Char(';'), 0, 0);
            changed = changed || value != attribute.value();
            writer.writeAttribute(attribute.namespaceUri().toString(), attribute.name().toString(),
                                  value);
        }
    }
    return changed ? out : QByteArray();
}

} // namespace

void tidyWordMlExport(const QString& path)
{
    QList<std::pair<QString, QByteArray>> parts;
    {
        const ZipArchive archive(path);
        for (const QString& name : archive.names())
            if (name.startsWith(QLatin1String("word/")) && name.endsWith(QLatin1String(".xml")))
                parts.append({name, archive.part(name)});
    }
    QHash<QString, QString> renamed;
    for (const auto& [name, bytes] : parts)
        if (name == u"word/styles.xml")
            renamed = renamedStyles(bytes);
    for (auto& [name, bytes] : parts)
        bytes = tidied(bytes, name == u"word/styles.xml" ? renamed : QHash<QString, QString>());
    ZipArchive::replaceParts(path, parts);
}

} // namespace lumarel
