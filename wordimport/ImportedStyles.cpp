#include "wordimport/ImportedStyles.h"

#include "office/UnoText.h"

#include <com/sun/star/beans/XPropertySet.hpp>
#include <com/sun/star/container/XNameAccess.hpp>
#include <com/sun/star/container/XNameContainer.hpp>
#include <com/sun/star/style/XStyle.hpp>
#include <com/sun/star/style/XStyleFamiliesSupplier.hpp>

using css::uno::Any;
using css::uno::Reference;
using css::uno::UNO_QUERY_THROW;

namespace lumarel {

namespace {

// A family of the document's styles ("ParagraphStyles", "PageStyles"...) by its name.
Reference<css::container::XNameAccess> styleFamily(const Reference<css::lang::XComponent>& document,
                                                   const char* family)
{
    return Reference<css::container::XNameAccess>(
        Reference<css::style::XStyleFamiliesSupplier>(document, UNO_QUERY_THROW)
            ->getStyleFamilies()
            ->getByName(rtl::OUString::createFromAscii(family)),
        UNO_QUERY_THROW);
}

} // namespace

QStringList removeUnusedStyles(const Reference<css::lang::XComponent>& document,
                               const QStringList& kept)
{
    QStringList removed;
    const Reference<css::container::XNameContainer> styles(styleFamily(document, "ParagraphStyles"),
                                                           UNO_QUERY_THROW);
    for (const rtl::OUString& name : styles->getElementNames()) {
        // Every text falls back to the default style: the office cannot lose it.
        if (name == "Standard" || kept.contains(fromUno(name)) ||
            Reference<css::style::XStyle>(styles->getByName(name), UNO_QUERY_THROW)->isInUse())
            continue;
        try {
            styles->removeByName(name);
            removed << fromUno(name);
        } catch (const css::uno::Exception&) {
            // A style the office does not let go of stays.
        }
    }
    return removed;
}

void clearWhitePageBackground(const Reference<css::lang::XComponent>& document)
{
    const Reference<css::container::XNameAccess> pages = styleFamily(document, "PageStyles");
    for (const rtl::OUString& name : pages->getElementNames()) {
        const Reference<css::beans::XPropertySet> page(pages->getByName(name), UNO_QUERY_THROW);
        bool transparent = true;
        sal_Int32 colour = 0;
        page->getPropertyValue("BackTransparent") >>= transparent;
        page->getPropertyValue("BackColor") >>= colour;
        if (!transparent && colour == 0xFFFFFF)
            page->setPropertyValue("BackTransparent", Any(true));
    }
}

} // namespace lumarel
