#include "DocumentReading.h"

#include "app/Failure.h"
#include "office/DocumentWork.h"
#include "office/InsertedText.h"
#include "office/OfficeEngine.h"
#include "office/UnoText.h"
#include "wordimport/TextBoxRepair.h"

#include <com/sun/star/container/XEnumerationAccess.hpp>
#include <com/sun/star/container/XIndexAccess.hpp>
#include <com/sun/star/container/XNamed.hpp>
#include <com/sun/star/lang/XMultiServiceFactory.hpp>
#include <com/sun/star/lang/XServiceInfo.hpp>
#include <com/sun/star/text/XBookmarksSupplier.hpp>
#include <com/sun/star/text/XTextDocument.hpp>
#include <com/sun/star/text/XTextFrame.hpp>
#include <com/sun/star/text/XTextFramesSupplier.hpp>

#include <memory>

using css::uno::Reference;
using css::uno::UNO_QUERY;
using css::uno::UNO_QUERY_THROW;

namespace lumarel::test {

namespace {

using Document = Reference<css::lang::XComponent>;

// The result of `read` on the active document; shared with the work, which may outlive the call.
template <typename Read> auto readDocument(OfficeEngine& office, const QString& doing, Read read)
{
    const auto result = std::make_shared<decltype(read(Document()))>();
    office.workOnDocument(doing,
                          {[result, read](const Document& document) { *result = read(document); }});
    return *result;
}

QStringList paragraphsOf(const Reference<css::text::XText>& text)
{
    QStringList result;
    Reference<css::container::XEnumerationAccess> access(text, UNO_QUERY_THROW);
    Reference<css::container::XEnumeration> items = access->createEnumeration();
    while (items->hasMoreElements()) {
        Reference<css::lang::XServiceInfo> item(items->nextElement(), UNO_QUERY);
        if (item.is() && item->supportsService("com.sun.star.text.Paragraph"))
            result << fromUno(Reference<css::text::XTextRange>(item, UNO_QUERY_THROW)->getString());
    }
    return result;
}

Reference<css::text::XTextDocument> textOf(const Reference<css::lang::XComponent>& document)
{
    Reference<css::text::XTextDocument> text(document, UNO_QUERY);
    if (!text.is())
        throw Failure(QStringLiteral("The open document is not a text document."));
    return text;
}

Reference<css::container::XNameAccess> bookmarksOf(const Reference<css::lang::XComponent>& document)
{
    Reference<css::text::XBookmarksSupplier> supplier(document, UNO_QUERY);
    if (!supplier.is())
        throw Failure(QStringLiteral("The open document has no bookmarks."));
    return supplier->getBookmarks();
}

Reference<css::container::XIndexAccess> framesOf(const Reference<css::lang::XComponent>& document)
{
    return Reference<css::container::XIndexAccess>(
        Reference<css::text::XTextFramesSupplier>(textOf(document), UNO_QUERY_THROW)
            ->getTextFrames(),
        UNO_QUERY_THROW);
}

} // namespace

QStringList paragraphs(OfficeEngine& office)
{
    return readDocument(office, QStringLiteral("reading the document"),
                        [](const Document& d) { return paragraphsOf(textOf(d)->getText()); });
}

QStringList paragraphStyles(OfficeEngine& office)
{
    return readDocument(office, QStringLiteral("reading the document"), [](const Document& d) {
        return paragraphStyleNames(textOf(d)->getText());
    });
}

QList<QStringList> textBoxParagraphs(OfficeEngine& office)
{
    return readDocument(office, QStringLiteral("reading the document's text boxes"),
                        [](const Document& d) { return lumarel::textBoxParagraphs(d); });
}

QStringList bookmarkNames(OfficeEngine& office)
{
    return readDocument(
        office, QStringLiteral("reading the document's bookmarks"), [](const Document& document) {
            QStringList names;
            for (const rtl::OUString& name : bookmarksOf(document)->getElementNames())
                names << fromUno(name);
            return names;
        });
}

void addBookmarkInTextFrame(OfficeEngine& office, int frameIndex, int offset, const QString& name)
{
    const rtl::OUString unoName = toUno(name);
    const QString problem = readDocument(
        office, QStringLiteral("adding the bookmark \"%1\"").arg(name),
        [=](const Document& document) -> QString {
            if (bookmarksOf(document)->hasByName(unoName))
                return QStringLiteral("the document already has a bookmark of that name");
            Reference<css::container::XIndexAccess> frames = framesOf(document);
            if (frameIndex < 0 || frameIndex >= frames->getCount())
                return QStringLiteral("the document has no text frame number %1")
                    .arg(frameIndex + 1);
            Reference<css::text::XTextFrame> frame(frames->getByIndex(frameIndex), UNO_QUERY_THROW);
            Reference<css::text::XText> text = frame->getText();
            Reference<css::text::XTextCursor> cursor = text->createTextCursor();
            cursor->gotoStart(false);
            if (offset < 0 || offset > 0x7fff ||
                (offset > 0 && !cursor->goRight(sal_Int16(offset), false)))
                return QStringLiteral("the text frame has fewer than %1 characters").arg(offset);
            Reference<css::lang::XMultiServiceFactory> factory(document, UNO_QUERY_THROW);
            Reference<css::text::XTextContent> bookmark(
                factory->createInstance("com.sun.star.text.Bookmark"), UNO_QUERY_THROW);
            Reference<css::container::XNamed>(bookmark, UNO_QUERY_THROW)->setName(unoName);
            text->insertTextContent(Reference<css::text::XTextRange>(cursor.get()), bookmark,
                                    false);
            return QString();
        });
    if (!problem.isEmpty())
        throw Failure(
            QStringLiteral("The bookmark \"%1\" could not be added: %2.").arg(name, problem));
}

} // namespace lumarel::test
