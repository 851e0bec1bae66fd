#pragma once

#include "office/UnoText.h"

#include <QFileInfo>
#include <QString>
#include <QUrl>

#include <com/sun/star/beans/PropertyValue.hpp>
#include <com/sun/star/uno/Exception.hpp>
#include <com/sun/star/uno/Sequence.hxx>

#include <initializer_list>

namespace lumarel {

inline rtl::OUString fileUrl(const QString& path)
{
    return toUno(
        QUrl::fromLocalFile(QFileInfo(path).absoluteFilePath()).toString(QUrl::FullyEncoded));
}

inline com::sun::star::beans::PropertyValue property(const char* name,
                                                     const com::sun::star::uno::Any& value)
{
    com::sun::star::beans::PropertyValue result;
    result.Name = rtl::OUString::createFromAscii(name);
    result.Value = value;
    return result;
}

inline com::sun::star::uno::Sequence<com::sun::star::beans::PropertyValue>
properties(std::initializer_list<com::sun::star::beans::PropertyValue> list)
{
    return com::sun::star::uno::Sequence<com::sun::star::beans::PropertyValue>(
        list.begin(), sal_Int32(list.size()));
}

// The office's reason for a failed call, in words the user can read.
inline QString officeMessage(const com::sun::star::uno::Exception& e)
{
    const QString message = fromUno(e.Message).trimmed();
    return message.isEmpty() ? QStringLiteral("the office gave no reason") : message;
}

} // namespace lumarel
