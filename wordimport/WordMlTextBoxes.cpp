#include "wordimport/WordMlTextBoxes.h"

#include "app/Failure.h"
#include "designs/DesignCheck.h"
#include "designs/ZipArchive.h"
#include "office/DocumentWork.h"
#include "office/OfficeEngine.h"
#include "office/UnoText.h"

#include <QFile>
#include <QXmlStreamReader>

#include <com/sun/star/container/XIndexAccess.hpp>
#include <com/sun/star/container/XNamed.hpp>
#include <com/sun/star/drawing/XDrawPageSupplier.hpp>
#include <com/sun/star/lang/XMultiServiceFactory.hpp>
#include <com/sun/star/lang/XServiceInfo.hpp>
#include <com/sun/star/text/XBookmarksSupplier.hpp>
#include <com/sun/star/text/XText.hpp>
#include <com/sun/star/text/XTextContent.hpp>
#include <com/sun/star/text/XTextCursor.hpp>
#include <com/sun/star/text/XTextFrame.hpp>
#include <com/sun/star/text/XTextFramesSupplier.hpp>

#include <memory>

namespace lumarel {

namespace {

using css::uno::Reference;
using css::uno::UNO_QUERY;
using css::uno::UNO_QUERY_THROW;

const QString kWordMl =
    QStringLiteral("http://schemas.openxmlformats.org/wordprocessingml/2006/main");
const QString kMarkup =
    QStringLiteral("http://schemas.openxmlformats.org/markup-compatibility/2006");

// Counts the box's text as the office does: a tab or a line break is one character, and each
// paragraph but the last ends with one.
void readBoxes(QXmlStreamReader& xml, WordMlTextBoxes& boxes)
{
    int fallbackDepth = 0; // inside mc:Fallback, what a drawing-aware reader skips
    int boxDepth = 0;      // inside w:txbxContent
    bool paragraphEnded = false;
    while (!xml.atEnd()) {
        const QXmlStreamReader::TokenType token = xml.readNext();
        const bool start = token == QXmlStreamReader::StartElement;
        if (!start && token != QXmlStreamReader::EndElement)
            continue;
        const QStringView local = xml.name();
        if (xml.namespaceUri() == kMarkup && local == u"Fallback") {
            fallbackDepth += start ? 1 : -1;
            continue;
        }
        if (fallbackDepth > 0 || xml.namespaceUri() != kWordMl)
            continue;
        if (local == u"txbxContent") {
            boxDepth += start ? 1 : -1;
            if (start && boxDepth == 1) {
                boxes.texts << QString();
                paragraphEnded = false;
            }
            continue;
        }
        if (boxDepth != 1 || !start)
            continue;
        QString& text = boxes.texts.last();
        if (local == u"p") {
            if (paragraphEnded)
                text += QLatin1Char('\n');
            paragraphEnded = true;
        } else if (local == u"t") {
            text += xml.readElementText();
        } else if (local == u"tab" || local == u"br") {
            text += local == u"tab" ? QLatin1Char('\t') : QLatin1Char('\v');
        } else if (local == u"bookmarkStart") {
            const QString name = xml.attributes().value(kWordMl, QStringLiteral("name")).toString();
            if (designBookmarkNames().contains(name))
                boxes.bookmarks << BoxBookmark{int(boxes.texts.size() - 1), int(text.size()), name};
        }
    }
}

QString plainText(const Reference<css::text::XText>& text)
{
    QString plain = fromUno(text->getString());
    plain.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    plain.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    plain.replace(QChar(0x2028), QLatin1Char('\n'));
    return plain;
}

QString comparable(QString text)
{
    return text.replace(QLatin1Char('\v'), QLatin1Char('\n'));
}

void putBack(const Reference<css::lang::XComponent>& document, const WordMlTextBoxes& file)
{
    const Reference<css::container::XNameAccess> present =
        Reference<css::text::XBookmarksSupplier>(document, UNO_QUERY_THROW)->getBookmarks();
    const Reference<css::container::XIndexAccess> frames(
        Reference<css::text::XTextFramesSupplier>(document, UNO_QUERY_THROW)->getTextFrames(),
        UNO_QUERY_THROW);
    QList<Reference<css::text::XText>> texts;
    QStringList officeTexts;
    for (sal_Int32 i = 0; i < frames->getCount(); ++i) {
        texts
            << Reference<css::text::XTextFrame>(frames->getByIndex(i), UNO_QUERY_THROW)->getText();
        officeTexts << plainText(texts.last());
    }
    // A text box the import makes a drawing shape holds its text in the shape.
    const Reference<css::drawing::XDrawPageSupplier> pages(document, UNO_QUERY_THROW);
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
    const Reference<css::container::XIndexAccess> shapes(pages->getDrawPage(), UNO_QUERY_THROW);
#pragma GCC diagnostic pop
    for (sal_Int32 i = 0; i < shapes->getCount(); ++i) {
        // Asked of the shape: its text may be a text frame's.
        const Reference<css::lang::XServiceInfo> info(shapes->getByIndex(i), UNO_QUERY);
        const Reference<css::text::XText> text(info, UNO_QUERY);
        if (text.is() && !(info.is() && info->supportsService("com.sun.star.text.TextFrame"))) {
            texts << text;
            officeTexts << plainText(text);
        }
    }
    // The file's box i is the office's first box of the same text not given to an earlier one.
    QList<int> officeBox;
    QList<bool> taken(texts.size(), false);
    for (const QString& boxText : file.texts) {
        int match = -1;
        for (int i = 0; i < officeTexts.size() && match < 0; ++i)
            if (!taken[i] && officeTexts[i] == comparable(boxText))
                match = i;
        if (match >= 0)
            taken[match] = true;
        officeBox << match;
    }
    const Reference<css::lang::XMultiServiceFactory> factory(document, UNO_QUERY_THROW);
    for (const BoxBookmark& mark : file.bookmarks) {
        const int box = officeBox.value(mark.box, -1);
        if (box < 0 || present->hasByName(toUno(mark.name)))
            continue;
        const Reference<css::text::XTextCursor> cursor = texts[box]->createTextCursor();
        cursor->gotoStart(false);
        if (mark.offset > 0 &&
            (mark.offset > 0x7fff || !cursor->goRight(sal_Int16(mark.offset), false)))
            continue;
        const Reference<css::text::XTextContent> bookmark(
            factory->createInstance("com.sun.star.text.Bookmark"), UNO_QUERY_THROW);
        Reference<css::container::XNamed>(bookmark, UNO_QUERY_THROW)->setName(toUno(mark.name));
        texts[box]->insertTextContent(Reference<css::text::XTextRange>(cursor.get()), bookmark,
                                      false);
    }
}

} // namespace

WordMlTextBoxes readWordMlTextBoxes(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly) || !ZipArchive::looksLikeZip(file.read(4)))
        throw Failure(QStringLiteral("\"%1\" is not a Word 2007 file.").arg(path));
    file.close();
    const ZipArchive archive(path);
    if (!archive.contains(QStringLiteral("word/document.xml")))
        throw Failure(QStringLiteral("\"%1\" is not a Word 2007 file.").arg(path));
    QXmlStreamReader xml(archive.part(QStringLiteral("word/document.xml")));
    WordMlTextBoxes boxes;
    readBoxes(xml, boxes);
    if (xml.hasError())
        throw Failure(QStringLiteral("Cannot read \"%1\": its main text is damaged (%2).")
                          .arg(path, xml.errorString()));
    return boxes;
}

void restoreWordMlTextBoxBookmarks(OfficeEngine& office, const QString& path)
{
    WordMlTextBoxes file;
    try {
        file = readWordMlTextBoxes(path);
    } catch (const Failure&) {
        return; // not Word 2007: its import keeps its bookmarks
    }
    if (file.bookmarks.isEmpty())
        return;
    office.workOnDocument(QStringLiteral("restoring the text boxes of \"%1\"").arg(path),
                          {[file](const auto& document) { putBack(document, file); }});
}

} // namespace lumarel
