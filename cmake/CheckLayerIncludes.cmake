# Fails when a source of one layer includes a header it may not use. Run by
# the build (cmake -P) before the layer compiles, with
#   LAYER     the layer's folder name
#   ALLOWED   the folders it may include ("folder/Header.h") besides its
#             own, separated by |
#   FILES     its sources, separated by |
#   FORBIDDEN folders of system headers (<Header>) it may not include,
#             separated by | (may be empty)
#   STAMP     the file written when every include is allowed
cmake_minimum_required(VERSION 3.20)
string(REPLACE "|" ";" allowed "${ALLOWED}")
string(REPLACE "|" ";" files "${FILES}")
string(REPLACE "|" ";" forbidden "${FORBIDDEN}")
list(APPEND allowed "${LAYER}")
set(violations "")
foreach(file IN LISTS files)
    file(STRINGS "${file}" includes REGEX "^[ \t]*#[ \t]*include[ \t]*[\"<]")
    foreach(line IN LISTS includes)
        if(line MATCHES "^[ \t]*#[ \t]*include[ \t]*\"([^\"]*)\"")
            set(header "${CMAKE_MATCH_1}")
            string(REGEX MATCH "^[^/]+/" folder "${header}")
            string(REGEX REPLACE "/$" "" folder "${folder}")
            if(NOT folder IN_LIST allowed)
                string(APPEND violations "\n  ${file}: #include \"${header}\"")
            endif()
        elseif(line MATCHES "^[ \t]*#[ \t]*include[ \t]*<([^>]*)>")
            set(header "${CMAKE_MATCH_1}")
            foreach(dir IN LISTS forbidden)
                get_filename_component(module "${dir}" NAME)
                if(EXISTS "${dir}/${header}" OR header MATCHES "^${module}/")
                    string(APPEND violations "\n  ${file}: #include <${header}> (${module})")
                endif()
            endforeach()
        endif()
    endforeach()
endforeach()
if(violations)
    string(REPLACE ";" ", " allowedText "${allowed}")
    message(FATAL_ERROR "The ${LAYER} layer may include only ${allowedText}:${violations}")
endif()
file(WRITE "${STAMP}" "")
