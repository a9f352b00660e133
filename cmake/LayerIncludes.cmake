# Makes the build check, before a layer compiles, that its sources include
# only the folders it may use (LAYERS, besides its own) and none of the
# system headers in the FORBIDDEN folders.
function(kv_check_layer_includes target name)
    cmake_parse_arguments(CHECK "" "" "SOURCES;LAYERS;FORBIDDEN" ${ARGN})
    set(stamp ${CMAKE_CURRENT_BINARY_DIR}/${name}.includes-checked)
    set(script ${PROJECT_SOURCE_DIR}/cmake/CheckLayerIncludes.cmake)
    string(REPLACE ";" "|" allowed "${CHECK_LAYERS}")
    string(REPLACE ";" "|" files "${CHECK_SOURCES}")
    string(REPLACE ";" "|" forbidden "${CHECK_FORBIDDEN}")
    add_custom_command(OUTPUT ${stamp}
        COMMAND ${CMAKE_COMMAND} -DLAYER=${name} -DALLOWED=${allowed} -DFILES=${files}
                -DFORBIDDEN=${forbidden} -DSTAMP=${stamp} -P ${script}
        DEPENDS ${CHECK_SOURCES} ${script}
        COMMENT "Checking the includes of the ${name} layer" VERBATIM)
    add_custom_target(${target}_includes ALL DEPENDS ${stamp})
    add_dependencies(${target} ${target}_includes)
endfunction()
