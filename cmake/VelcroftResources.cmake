# velcroft_add_resources(<target> DIRECTORY <dir> [FILES <file>...] [DEPENDS <target>...])
#
# Compiles every file of <dir> (not recursive) and the extra FILES into a static library
# that holds one table of embedded resources, keyed by file name ("NAME.TYPE").
# framework/EmbeddedResources looks them up at run time.
function(velcroft_add_resources target)
    cmake_parse_arguments(ARG "" "DIRECTORY" "FILES;DEPENDS" ${ARGN})
    set(inputs ${ARG_FILES})
    if(ARG_DIRECTORY)
        file(GLOB dir_files CONFIGURE_DEPENDS ${ARG_DIRECTORY}/*)
        list(APPEND inputs ${dir_files})
    endif()
    list(SORT inputs)
    set(output ${CMAKE_CURRENT_BINARY_DIR}/${target}.cpp)
    add_custom_command(
        OUTPUT ${output}
        COMMAND velcroft_embed ${output} ${inputs}
        DEPENDS velcroft_embed ${inputs} ${ARG_DEPENDS}
        COMMENT "Embedding resources into ${target}"
        VERBATIM)
    add_library(${target} STATIC ${output})
    target_include_directories(${target} PRIVATE ${CMAKE_SOURCE_DIR})
endfunction()
