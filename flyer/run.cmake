# The flyer run: bookmark texts, the run, the page picture.
target_sources(lumarel_flyer PRIVATE BookmarkTexts.cpp BookmarkTexts.h)
target_sources(lumarel_flyer PRIVATE FlyerRun.cpp FlyerRun.h PageCapture.cpp PageCapture.h)
# What the flyer says of itself: a page overflow, characters that no font draws.
pkg_check_modules(FONTCONFIG REQUIRED IMPORTED_TARGET fontconfig)
target_sources(lumarel_flyer PRIVATE FontCoverage.cpp FontCoverage.h)
target_link_libraries(lumarel_flyer PRIVATE PkgConfig::FONTCONFIG)
# The one service the faces call, on offices of a loan.
target_sources(lumarel_flyer PRIVATE FlyerService.cpp FlyerService.h)
# The window's office work, on a thread of its own.
target_sources(lumarel_flyer PRIVATE FlyerJobs.cpp FlyerJobs.h)
