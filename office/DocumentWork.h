#pragma once

#include <com/sun/star/lang/XComponent.hpp>

#include <functional>

namespace lumarel {

// Work on the active document's own UNO objects, for the steps above the driver that know what
// the document holds (OfficeEngine::workOnDocument runs it inside a timed call). The work may
// outlive the call when the office hangs: it must own everything it touches, results included
// (shared with the caller, not referred to).
struct DocumentWork
{
    std::function<void(const com::sun::star::uno::Reference<com::sun::star::lang::XComponent>&)>
        run;
};

} // namespace lumarel
