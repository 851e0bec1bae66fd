# Tests of the built-in designs and of reading design files.
lumarel_add_test(tst_designs SOURCES tst_designs.cpp LIBS lumarel_record TIMEOUT 600)
