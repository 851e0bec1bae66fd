# Tests of the engine part of flyer/.
lumarel_add_test(tst_datetexts SOURCES tst_datetexts.cpp LIBS lumarel_flyer)
lumarel_add_test(tst_enginecheck SOURCES tst_enginecheck.cpp
                 LIBS lumarel_details TIMEOUT 300)
target_compile_definitions(tst_enginecheck PRIVATE
    LUMAREL_STANDIN_DIR="${CMAKE_CURRENT_SOURCE_DIR}/standin"
    LUMAREL_PROGRAM="$<TARGET_FILE:lumarel>")
add_dependencies(tst_enginecheck lumarel)
