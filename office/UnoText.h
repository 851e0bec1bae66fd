#pragma once

#include <QString>

#include <rtl/ustring.hxx>

namespace lumarel {

// Both sides hold UTF-16, so text crosses the UNO edge unchanged.
inline QString fromUno(const rtl::OUString& text)
{
    return QString::fromUtf16(reinterpret_cast<const char16_t*>(text.getStr()), text.getLength());
}

inline rtl::OUString toUno(const QString& text)
{
    return rtl::OUString(reinterpret_cast<const sal_Unicode*>(text.utf16()), text.size());
}

} // namespace lumarel
