# Tests of the engine part of flyer/.
lumarel_add_test(tst_datetexts SOURCES tst_datetexts.cpp LIBS lumarel_flyer)
lumarel_add_test(tst_enginecheck SOURCES tst_enginecheck.cpp
                 LIBS lumarel_details TIMEOUT 300)
target_compile_definitions(tst_enginecheck PRIVATE
    LUMAREL_STANDIN_DIR="${CMAKE_CURRENT_SOURCE_DIR}/standin"
    LUMAREL_PROGRAM="$<TARGET_FILE:lumarel>")
add_dependencies(tst_enginecheck lumarel)
lumarel_add_test(tst_officeengine SOURCES tst_officeengine.cpp LIBS lumarel_flyer lumarel_documentreading TIMEOUT 900)
target_compile_definitions(tst_officeengine PRIVATE
    LUMAREL_STANDIN_DIR="${CMAKE_CURRENT_SOURCE_DIR}/standin"
    LUMAREL_ENGINE_HOLDER="$<TARGET_FILE:tst_engineholder>")
# A program that holds an office and is then killed, for the test that nothing outlives it.
add_executable(tst_engineholder tst_engineholder.cpp)
target_link_libraries(tst_engineholder PRIVATE lumarel_flyer)
add_dependencies(tst_officeengine tst_engineholder)
