#pragma once

#include "app/Failure.h"

#include <QString>

#include <rtl/ustring.hxx>

#include <limits>

namespace lumarel {

// Both sides hold UTF-16, so text crosses the UNO edge unchanged.
inline QString fromUno(const rtl::OUString& text)
{
    return QString::fromUtf16(reinterpret_cast<const char16_t*>(text.getStr()), text.getLength());
}

// The office counts a text's length in 32 bits: a longer one is refused rather than cut.
inline rtl::OUString toUno(const QString& text)
{
    if (text.size() > std::numeric_limits<sal_Int32>::max())
        throw Failure(QStringLiteral("A text of %1 characters is longer than the office takes "
                                     "(%2 characters at most); nothing of it was put in.")
                          .arg(text.size())
                          .arg(std::numeric_limits<sal_Int32>::max()));
    return rtl::OUString(reinterpret_cast<const sal_Unicode*>(text.utf16()),
                         static_cast<sal_Int32>(text.size()));
}

} // namespace lumarel
