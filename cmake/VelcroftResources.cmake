# velcroft_add_resources(<target> DIRECTORY <dir> [FILES <file>...]
#                        [GENERATED_DIRECTORIES <dir>...] [DEPENDS <file or target>...])
#
# Compiles every file of <dir> (not recursive) and the extra FILES into a static library
# that holds one table of embedded resources, keyed by file name ("NAME.TYPE").
# GENERATED_DIRECTORIES are read when the table is built, not when CMake runs: folders
# that a build step fills (name in DEPENDS what fills them). framework/EmbeddedResources
# looks the resources up at run time.
function(velcroft_add_resources target)
    cmake_parse_arguments(ARG "" "DIRECTORY" "FILES;GENERATED_DIRECTORIES;DEPENDS" ${ARGN})
    set(inputs ${ARG_FILES})
    if(ARG_DIRECTORY)
        file(GLOB dir_files CONFIGURE_DEPENDS ${ARG_DIRECTORY}/*)
        list(APPEND inputs ${dir_files})
    endif()
    list(SORT inputs)
    set(output ${CMAKE_CURRENT_BINARY_DIR}/${target}.cpp)
    add_custom_command(
        OUTPUT ${output}
        COMMAND velcroft_embed ${output} ${inputs} ${ARG_GENERATED_DIRECTORIES}
        DEPENDS velcroft_embed ${inputs} ${ARG_DEPENDS}
        COMMENT "Embedding resources into ${target}"
        VERBATIM)
    add_library(${target} STATIC ${output})
    target_include_directories(${target} PRIVATE ${CMAKE_SOURCE_DIR})
endfunction()
