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
    com.sun.star.beans.PropertyAttribute
    com.sun.star.beans.XPropertySet
    com.sun.star.beans.XPropertyState
    com.sun.star.beans.NamedValue
    com.sun.star.beans.XMultiPropertySet
    com.sun.star.configuration.theDefaultProvider
    com.sun.star.container.XNameReplace
    com.sun.star.container.XNameContainer
    com.sun.star.style.XStyle
    com.sun.star.style.XStyleFamiliesSupplier
    com.sun.star.util.XChangesBatch
    com.sun.star.container.XNameAccess
    com.sun.star.drawing.XDrawPageSupplier
    com.sun.star.drawing.XShape
    com.sun.star.drawing.XShapes
    com.sun.star.table.BorderLine2
    com.sun.star.text.ControlCharacter
    com.sun.star.text.XParagraphCursor
    com.sun.star.text.HoriOrientation
    com.sun.star.text.RelOrientation
    com.sun.star.text.SizeType
    com.sun.star.text.TextContentAnchorType
    com.sun.star.text.VertOrientation
    com.sun.star.text.WrapTextMode
    com.sun.star.text.WritingMode2
    com.sun.star.text.XText
    com.sun.star.text.XTextContent
    com.sun.star.beans.PropertyValue
    com.sun.star.bridge.UnoUrlResolver
    com.sun.star.connection.ConnectionSetupException
    com.sun.star.connection.NoConnectException
    com.sun.star.container.XEnumerationAccess
    com.sun.star.container.XIndexAccess
    com.sun.star.container.XNamed
    com.sun.star.document.MacroExecMode
    com.sun.star.document.UpdateDocMode
    com.sun.star.frame.Desktop
    com.sun.star.frame.XStorable
    com.sun.star.frame.XModel
    com.sun.star.frame.XController
    com.sun.star.lang.DisposedException
    com.sun.star.lang.XMultiServiceFactory
    com.sun.star.lang.XServiceInfo
    com.sun.star.text.XBookmarksSupplier
    com.sun.star.text.XTextDocument
    com.sun.star.text.XTextFrame
    com.sun.star.text.XTextFramesSupplier
    com.sun.star.uno.DeploymentException
    com.sun.star.uno.XComponentContext
    com.sun.star.util.CloseVetoException
    com.sun.star.util.XCloseable)
