# The Word 97 file reader and the flyer template.
pkg_check_modules(GSF REQUIRED IMPORTED_TARGET GLOBAL libgsf-1)
target_sources(lumarel_flyer PRIVATE WordBookmarks.cpp WordBookmarks.h)
target_link_libraries(lumarel_flyer PRIVATE PkgConfig::GSF)
