# Tests of the template part of flyer/.
lumarel_add_test(tst_template SOURCES tst_template.cpp LIBS lumarel_flyer PkgConfig::GSF)
