# Fails when a source of one core layer includes a header of a layer it may
# not use. Run by the build (cmake -P) before the layer compiles, with
#   LAYER   the layer's folder name
#   ALLOWED the folders it may include besides its own, separated by |
#   FILES   its sources, separated by |
#   STAMP   the file written when every include is allowed
cmake_minimum_required(VERSION 3.20)
string(REPLACE "|" ";" allowed "${ALLOWED}")
string(REPLACE "|" ";" files "${FILES}")
list(APPEND allowed "${LAYER}")
set(violations "")
foreach(file IN LISTS files)
    file(STRINGS "${file}" includes REGEX "^[ \t]*#[ \t]*include[ \t]*\"")
    foreach(line IN LISTS includes)
        string(REGEX REPLACE "^[ \t]*#[ \t]*include[ \t]*\"([^\"]*)\".*" "\\1" header "${line}")
        string(REGEX MATCH "^[^/]+/" folder "${header}")
        string(REGEX REPLACE "/$" "" folder "${folder}")
        if(NOT folder IN_LIST allowed)
            string(APPEND violations "\n  ${file}: #include \"${header}\"")
        endif()
    endforeach()
endforeach()
if(violations)
    string(REPLACE ";" ", " allowedText "${allowed}")
    message(FATAL_ERROR "The ${LAYER} layer may include only ${allowedText}:${violations}")
endif()
file(WRITE "${STAMP}" "")
