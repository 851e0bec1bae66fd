# Tests of the built-in designs, of reading design files and of the commands that do both.
find_package(Qt6 REQUIRED COMPONENTS Network) # a web server that sees what the office fetches
lumarel_add_test(tst_designs SOURCES tst_designs.cpp
                 LIBS lumarel_record lumarel_cli lumarel_documentreading Qt6::Network TIMEOUT 600)
