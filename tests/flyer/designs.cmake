# Tests of the built-in designs, of reading design files and of the commands that do both.
find_package(Qt6 REQUIRED COMPONENTS Network) # a web server that sees what the office fetches
pkg_check_modules(POPPLER_QT6 REQUIRED IMPORTED_TARGET poppler-qt6) # the flyer's text as printed
lumarel_add_test(tst_designs SOURCES tst_designs.cpp
                 LIBS lumarel_record lumarel_cli Qt6::Network PkgConfig::POPPLER_QT6 TIMEOUT 600)
