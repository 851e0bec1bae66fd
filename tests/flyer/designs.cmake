# Tests of the built-in designs, of reading design files and of the commands that do both.
lumarel_add_test(tst_designs SOURCES tst_designs.cpp LIBS lumarel_record lumarel_cli TIMEOUT 600)
