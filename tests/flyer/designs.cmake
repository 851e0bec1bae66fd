# Tests of the built-in designs, of reading design files and of the commands that do both; a web
# server of its own (Qt Network) sees whether the office fetches what a design links to.
find_package(Qt6 REQUIRED COMPONENTS Network)
lumarel_add_test(tst_designs SOURCES tst_designs.cpp
                 LIBS lumarel_record lumarel_cli Qt6::Network TIMEOUT 600)
