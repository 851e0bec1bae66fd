# Paper sizes: the user's paper from the locale and the system's setting (libpaper).
find_path(PAPER_INCLUDE_DIR paper.h REQUIRED)
find_library(PAPER_LIBRARY paper REQUIRED)
target_sources(lumarel_flyer PRIVATE PaperSize.cpp PaperSize.h)
target_include_directories(lumarel_flyer PRIVATE ${PAPER_INCLUDE_DIR})
target_link_libraries(lumarel_flyer PRIVATE ${PAPER_LIBRARY})
