lumarel_add_test(tst_flyertexts SOURCES tst_flyertexts.cpp LIBS lumarel_flyer lumarel_documentreading)
pkg_check_modules(POPPLER_QT6 REQUIRED IMPORTED_TARGET poppler-qt6)
lumarel_add_test(tst_pagecapture SOURCES tst_pagecapture.cpp
                 LIBS lumarel_flyer PkgConfig::POPPLER_QT6 TIMEOUT 600)
