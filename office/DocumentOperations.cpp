#include "office/DocumentLocks.h"
#include "office/DocumentWork.h"
#include "office/EngineState.h"
#include "office/PageRenderer.h"

#include <QFile>
#include <QFileInfo>

#include <com/sun/star/beans/XPropertySet.hpp>
#include <com/sun/star/container/XNameAccess.hpp>
#include <com/sun/star/container/XNamed.hpp>
#include <com/sun/star/document/MacroExecMode.hpp>
#include <com/sun/star/document/UpdateDocMode.hpp>
#include <com/sun/star/frame/XController.hpp>
#include <com/sun/star/frame/XModel.hpp>
#include <com/sun/star/frame/XStorable.hpp>
#include <com/sun/star/lang/XMultiServiceFactory.hpp>
#include <com/sun/star/text/XBookmarksSupplier.hpp>
#include <com/sun/star/text/XTextContent.hpp>
#include <com/sun/star/util/CloseVetoException.hpp>
#include <com/sun/star/util/XCloseable.hpp>

using css::uno::Reference;
using css::uno::UNO_QUERY;
using css::uno::UNO_QUERY_THROW;

namespace lumarel {

namespace {

// Every query of a remote object is a call to the office too: this runs inside a timed call.
Reference<css::container::XNameAccess> bookmarksOf(const Reference<css::lang::XComponent>& document)
{
    Reference<css::text::XBookmarksSupplier> supplier(document, UNO_QUERY);
    if (!supplier.is())
        throw Failure(QStringLiteral("The open document has no bookmarks."));
    return supplier->getBookmarks();
}

} // namespace

void OfficeEngine::Impl::storeCopy(const Reference<css::lang::XComponent>& document,
                                   const QString& path,
                                   const css::uno::Sequence<css::beans::PropertyValue>& arguments,
                                   const QString& doing, bool withStatistics)
{
    const rtl::OUString url = fileUrl(path);
    call(doing.arg(path), limit(kDocumentLimitMs), [=] {
        // The office counts words, characters and pages only when idle, so a document stored
        // right after it was opened or filled would carry no statistics (or the template's) in
        // the formats whose filters do not count for themselves (.docx). Asking for a count
        // recounts the whole document and gives its properties the new figures. A PDF carries
        // none.
        Reference<css::beans::XPropertySet> counts(document, UNO_QUERY);
        if (withStatistics && counts.is())
            counts->getPropertyValue("WordCount");
        Reference<css::frame::XStorable>(document, UNO_QUERY_THROW)->storeToURL(url, arguments);
    });
}

void OfficeEngine::open(const QString& path, bool readOnly)
{
    d->requireRunning();
    if (!QFileInfo(path).isFile())
        throw Failure(QStringLiteral("The document \"%1\" does not exist.").arg(path));
    removeStaleLock(path);
    const rtl::OUString url = fileUrl(path);
    const Reference<css::frame::XDesktop2> desktop = d->desktop;
    const css::uno::Sequence<css::beans::PropertyValue> arguments = properties({
        property("Hidden", css::uno::Any(true)),
        property("ReadOnly", css::uno::Any(readOnly)),
        property("MacroExecutionMode",
                 css::uno::Any(sal_Int16(css::document::MacroExecMode::NEVER_EXECUTE))),
        property("UpdateDocMode",
                 css::uno::Any(sal_Int16(css::document::UpdateDocMode::NO_UPDATE))),
    });
    Reference<css::lang::XComponent> opened =
        d->call(QStringLiteral("opening \"%1\"").arg(path), limit(kDocumentLimitMs),
                [=] { return desktop->loadComponentFromURL(url, "_blank", 0, arguments); });
    if (!opened.is() && !readOnly) {
        if (const QString owner = lockOwner(path); !owner.isEmpty())
            throw Failure(QStringLiteral("The office could not open \"%1\": it is open in another "
                                         "office (%2). Please close it there.")
                              .arg(path, owner));
    }
    if (!opened.is())
        throw Failure(
            QStringLiteral("The office could not open \"%1\": it is not a document it can read.")
                .arg(path));
    if (d->document.is())
        d->setAside << d->document;
    d->document = opened;
    d->openedPaths << path;
}

void OfficeEngine::findBookmarks(const QStringList& names, bool formats)
{
    const Reference<css::lang::XComponent> document = d->requireDocument();
    d->placesOf(document);
    QStringList wanted;
    for (const QString& name : names)
        if (!d->filled.contains(name))
            wanted << name;
    if (wanted.isEmpty())
        return;
    const QHash<QString, TextPlace> found =
        d->call(QStringLiteral("finding the bookmarks"), limit(kCallLimitMs), [=] {
            QHash<QString, TextPlace> places;
            const Reference<css::container::XNameAccess> marks = bookmarksOf(document);
            for (const QString& name : wanted) {
                const rtl::OUString unoName = toUno(name);
                if (!marks->hasByName(unoName))
                    continue;
                TextPlace place;
                place.range =
                    Reference<css::text::XTextContent>(marks->getByName(unoName), UNO_QUERY_THROW)
                        ->getAnchor();
                prepareParagraphs(place, formats);
                places.insert(name, place);
            }
            return places;
        });
    d->filled.insert(found);
}

void OfficeEngine::setBookmarkText(const QString& name, const QString& text)
{
    const Reference<css::lang::XComponent> document = d->requireDocument();
    const QStringList paragraphs = documentParagraphs(text);
    const rtl::OUString unoName = toUno(name);
    d->placesOf(document);
    const TextPlace earlier = d->filled.value(name);
    const std::optional<TextPlace> filled = d->call(
        QStringLiteral("setting the text of the bookmark \"%1\"").arg(name), limit(kCallLimitMs),
        [=]() -> std::optional<TextPlace> {
            // The text put in last time is replaced, so one open template serves many
            // flyers (the bookmark itself stays an empty point before it).
            TextPlace place = earlier;
            if (!place.range.is()) {
                Reference<css::container::XNameAccess> marks = bookmarksOf(document);
                if (!marks->hasByName(unoName))
                    return std::nullopt;
                place.range =
                    Reference<css::text::XTextContent>(marks->getByName(unoName), UNO_QUERY_THROW)
                        ->getAnchor();
            }
            insertParagraphs(place, paragraphs);
            // Writer drops a bookmark that is a point where the replaced text began:
            // it goes back there, so that every flyer of the open template keeps it.
            if (earlier.range.is() && !bookmarksOf(document)->hasByName(unoName)) {
                const Reference<css::text::XTextContent> mark(
                    Reference<css::lang::XMultiServiceFactory>(document, UNO_QUERY_THROW)
                        ->createInstance("com.sun.star.text.Bookmark"),
                    UNO_QUERY_THROW);
                Reference<css::container::XNamed>(mark, UNO_QUERY_THROW)->setName(unoName);
                place.range->getText()->insertTextContent(place.range->getStart(), mark, false);
            }
            return place;
        });
    if (!filled)
        throw Failure(QStringLiteral("The document has no bookmark named \"%1\".").arg(name));
    d->filled.insert(name, *filled);
}

bool OfficeEngine::fitBookmarkText(const QString& name, const TextFit& fit)
{
    const Reference<css::lang::XComponent> document = d->requireDocument();
    d->placesOf(document);
    if (!d->filled.contains(name))
        throw Failure(QStringLiteral("The text of the bookmark \"%1\" is fitted before it was put "
                                     "in.")
                          .arg(name));
    const TextPlace earlier = d->filled.value(name);
    const auto [fits, place] = d->call(
        QStringLiteral("fitting the text of the bookmark \"%1\"").arg(name), limit(kCallLimitMs),
        [=] {
            TextPlace place = earlier;
            const Reference<css::frame::XController> view =
                Reference<css::frame::XModel>(document, UNO_QUERY_THROW)->getCurrentController();
            const bool fits = fitText(place, view, fit);
            return std::pair{fits, place};
        });
    d->filled.insert(name, place);
    return fits;
}

void OfficeEngine::saveAs(const QString& path, const QString& filterName)
{
    const Reference<css::lang::XComponent> document = d->requireDocument();
    if (!QFileInfo(QFileInfo(path).absolutePath()).isDir())
        throw Failure(QStringLiteral("The document cannot be saved as \"%1\": the folder does "
                                     "not exist.")
                          .arg(path));
    const rtl::OUString url = fileUrl(path);
    const css::uno::Sequence<css::beans::PropertyValue> arguments = properties({
        property("FilterName", css::uno::Any(toUno(filterName))),
        property("Overwrite", css::uno::Any(true)),
    });
    d->openedPaths << path;
    d->call(
        QStringLiteral("saving the document as \"%1\"").arg(path), limit(kDocumentLimitMs), [=] {
            Reference<css::frame::XStorable>(document, UNO_QUERY_THROW)->storeAsURL(url, arguments);
        });
}

void OfficeEngine::closeWithoutSaving()
{
    const Reference<css::lang::XComponent> document = d->requireDocument();
    d->call(QStringLiteral("closing the document"), limit(kCallLimitMs), [document] {
        Reference<css::util::XCloseable> closeable(document, UNO_QUERY);
        try {
            if (closeable.is()) {
                closeable->close(true);
                return;
            }
        } catch (const css::util::CloseVetoException&) {
        }
        document->dispose();
    });
    d->document =
        d->setAside.isEmpty() ? Reference<css::lang::XComponent>() : d->setAside.takeLast();
}

void OfficeEngine::exportPdf(const QString& path, const QString& pageRange)
{
    const Reference<css::lang::XComponent> document = d->requireDocument();
    const css::uno::Sequence<css::beans::PropertyValue> filterData = properties({
        property("PageRange", css::uno::Any(toUno(pageRange))),
    });
    const css::uno::Sequence<css::beans::PropertyValue> arguments = properties({
        property("FilterName", css::uno::Any(rtl::OUString("writer_pdf_Export"))),
        property("FilterData", css::uno::Any(filterData)),
    });
    d->storeCopy(document, path, arguments, QStringLiteral("exporting \"%1\" as PDF"), false);
}

void OfficeEngine::exportCopy(const QString& path, const QString& filterName)
{
    const Reference<css::lang::XComponent> document = d->requireDocument();
    const rtl::OUString filter = toUno(filterName);
    css::uno::Sequence<css::beans::PropertyValue> arguments = properties({
        property("FilterName", css::uno::Any(filter)),
        property("Overwrite", css::uno::Any(true)),
    });
    if (filter == "writer_pdf_Export") {
        const css::uno::Sequence<css::beans::PropertyValue> allFonts = properties({
            property("EmbedStandardFonts", css::uno::Any(true)),
        });
        arguments.realloc(3);
        arguments.getArray()[2] = property("FilterData", css::uno::Any(allFonts));
    }
    d->storeCopy(document, path, arguments, QStringLiteral("storing a copy as \"%1\""),
                 filter != "writer_pdf_Export");
}

int OfficeEngine::pageCount()
{
    const Reference<css::lang::XComponent> document = d->requireDocument();
    return d->call(QStringLiteral("counting the pages"), limit(kCallLimitMs), [document] {
        // The document's view lays it out, hidden or not.
        const Reference<css::frame::XController> view =
            Reference<css::frame::XModel>(document, UNO_QUERY_THROW)->getCurrentController();
        sal_Int32 pages = 0;
        if (view.is())
            Reference<css::beans::XPropertySet>(view, UNO_QUERY_THROW)
                ->getPropertyValue("PageCount") >>= pages;
        return int(pages);
    });
}

QImage OfficeEngine::renderFirstPage(int dotsPerMeter)
{
    if (dotsPerMeter <= 0)
        throw Failure(
            QStringLiteral("A page cannot be rendered at %1 dots per metre.").arg(dotsPerMeter));
    const QString pdf = d->folder.path() + QStringLiteral("/page.pdf");
    QFile::remove(pdf);
    exportPdf(pdf, QStringLiteral("1"));
    const auto removePdf = qScopeGuard([&] { QFile::remove(pdf); });
    return renderFirstPdfPage(pdf, dotsPerMeter);
}

void OfficeEngine::workOnDocument(const QString& doing, const DocumentWork& work)
{
    const Reference<css::lang::XComponent> document = d->requireDocument();
    d->call(doing, limit(kCallLimitMs), [document, run = work.run] { run(document); });
}

} // namespace lumarel
