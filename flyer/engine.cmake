# The flyer's steps on the office (the repair of the Word 97 import), the kept office, the
# engine check and the date texts.
include(${CMAKE_SOURCE_DIR}/tools/UnoCpp.cmake)
pkg_check_modules(POPPLER_QT6 REQUIRED IMPORTED_TARGET poppler-qt6)

target_sources(lumarel_flyer PRIVATE
    DateTexts.cpp DateTexts.h
    EngineCheck.cpp EngineCheck.h
    ImportedStyles.cpp ImportedStyles.h
    ReadyOffice.cpp ReadyOffice.h
    ImportedBoxes.cpp ImportedBoxes.h
    TextBoxRepair.cpp TextBoxRepair.h
    WordImportRepair.cpp WordImportRepair.h)
target_link_libraries(lumarel_flyer PRIVATE PkgConfig::POPPLER_QT6)
lumarel_uno_headers(lumarel_flyer TYPES
    com.sun.star.awt.Size
    com.sun.star.beans.PropertyValue
    com.sun.star.beans.XPropertySet
    com.sun.star.container.XEnumerationAccess
    com.sun.star.container.XIndexAccess
    com.sun.star.container.XNameAccess
    com.sun.star.container.XNameContainer
    com.sun.star.container.XNamed
    com.sun.star.drawing.XDrawPageSupplier
    com.sun.star.drawing.XShape
    com.sun.star.drawing.XShapes
    com.sun.star.lang.XComponent
    com.sun.star.lang.XMultiServiceFactory
    com.sun.star.lang.XServiceInfo
    com.sun.star.style.XStyle
    com.sun.star.style.XStyleFamiliesSupplier
    com.sun.star.text.ControlCharacter
    com.sun.star.text.HoriOrientation
    com.sun.star.text.RelOrientation
    com.sun.star.text.SizeType
    com.sun.star.text.TextContentAnchorType
    com.sun.star.text.VertOrientation
    com.sun.star.text.WrapTextMode
    com.sun.star.text.XBookmarksSupplier
    com.sun.star.text.XText
    com.sun.star.text.XTextContent
    com.sun.star.text.XTextCursor
    com.sun.star.text.XTextFrame
    com.sun.star.text.XTextFramesSupplier
    com.sun.star.text.XTextRange)
