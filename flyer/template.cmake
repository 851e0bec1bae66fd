# Remakes resources/template.dot from its source; run by hand after changing the source
# (`cmake --build <build> --target remake-template`), and check the result in.
add_executable(make-template EXCLUDE_FROM_ALL ${PROJECT_SOURCE_DIR}/tools/make-template.cpp)
target_link_libraries(make-template PRIVATE lumarel_flyer)
add_custom_target(remake-template
    COMMAND make-template ${PROJECT_SOURCE_DIR}/resources/flyer-template.fodt
            ${PROJECT_SOURCE_DIR}/resources/template.dot
    DEPENDS ${PROJECT_SOURCE_DIR}/resources/flyer-template.fodt
    COMMENT "Making resources/template.dot"
    VERBATIM)
