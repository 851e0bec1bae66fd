# The engine check and the date texts.
include(${CMAKE_SOURCE_DIR}/tools/UnoCpp.cmake)
pkg_check_modules(POPPLER_QT6 REQUIRED IMPORTED_TARGET poppler-qt6)

target_sources(lumarel_flyer PRIVATE
    DateTexts.cpp DateTexts.h
    EngineCheck.cpp EngineCheck.h)
target_link_libraries(lumarel_flyer PRIVATE PkgConfig::POPPLER_QT6)
lumarel_uno_headers(lumarel_flyer TYPES ${LUMAREL_OFFICE_UNO_TYPES})
