# C++ headers for the office's UNO types, made by the SDK's cppumaker from the installed type
# libraries. Only the types named (and what they depend on) are made, into the build tree.
set(LUMAREL_CPPUMAKER /usr/lib/libreoffice/sdk/bin/cppumaker CACHE FILEPATH "The SDK's cppumaker")
set(LUMAREL_UNO_TYPE_LIBRARIES
    /usr/lib/libreoffice/program/types.rdb
    /usr/lib/libreoffice/program/types/offapi.rdb
    CACHE STRING "Type libraries the UNO headers are made from")
set(LUMAREL_UNO_INCLUDE /usr/include/libreoffice CACHE PATH "The SDK's C++ headers")

# lumarel_uno_headers(<target> TYPES <type>...): <target> is compiled against the made headers
# and linked to the UNO runtime.
function(lumarel_uno_headers target)
    cmake_parse_arguments(ARG "" "" "TYPES" ${ARGN})
    set(out ${CMAKE_BINARY_DIR}/uno-headers/${target})
    # The stamp names the type list, so that a changed list makes the headers again.
    string(MD5 types_hash "${ARG_TYPES}")
    set(stamp ${out}/.stamp-${types_hash})
    list(TRANSFORM ARG_TYPES PREPEND "-T" OUTPUT_VARIABLE type_options)
    add_custom_command(
        OUTPUT ${stamp}
        COMMAND ${CMAKE_COMMAND} -E make_directory ${out}
        COMMAND ${LUMAREL_CPPUMAKER} -Gc -O${out} ${type_options} ${LUMAREL_UNO_TYPE_LIBRARIES}
        COMMAND ${CMAKE_COMMAND} -E touch ${stamp}
        DEPENDS ${LUMAREL_UNO_TYPE_LIBRARIES}
        COMMENT "Making the UNO C++ headers for ${target}"
        VERBATIM)
    add_custom_target(${target}_uno_headers DEPENDS ${stamp})
    add_dependencies(${target} ${target}_uno_headers)

    find_library(UNO_CPPU uno_cppu PATHS /usr/lib/libreoffice/sdk/lib REQUIRED)
    find_library(UNO_CPPUHELPER uno_cppuhelpergcc3 PATHS /usr/lib/libreoffice/sdk/lib REQUIRED)
    find_library(UNO_SAL uno_sal PATHS /usr/lib/libreoffice/sdk/lib REQUIRED)
    find_library(UNO_SALHELPER uno_salhelpergcc3 PATHS /usr/lib/libreoffice/sdk/lib REQUIRED)
    # The made headers come first: the SDK ships only the core of com/sun/star/uno.
    target_include_directories(${target} SYSTEM PRIVATE ${out} ${LUMAREL_UNO_INCLUDE})
    target_compile_definitions(${target} PRIVATE LINUX UNX CPPU_ENV=gcc3)
    # The UNO bridge makes the vtables of the office's objects at run time, without the type
    # information UBSan's dynamic type check reads: that check is off for every file of a target
    # that calls them, since the inline functions of the UNO headers are shared between files.
    if(CMAKE_CXX_FLAGS MATCHES "-fsanitize=[^ ]*undefined")
        target_compile_options(${target} PRIVATE -fno-sanitize=vptr)
    endif()
    target_link_libraries(${target} PRIVATE ${UNO_CPPU} ${UNO_CPPUHELPER} ${UNO_SAL}
                          ${UNO_SALHELPER})
    # The UNO libraries need the office's private libraries beside them; loaded from the office's
    # folder they find those by their own. The build tree's programs load them from there
    # through their run path (CMAKE_BUILD_RPATH); the installed one through the library path
    # its starter script sets.
    get_filename_component(uno_program_dir ${UNO_CPPU} REALPATH)
    get_filename_component(uno_program_dir ${uno_program_dir} DIRECTORY)
    target_link_options(${target} PUBLIC "LINKER:-rpath-link,${uno_program_dir}")
endfunction()
