# SPDX-License-Identifier: GPL-3.0-or-later
# session/'s folders in their order, with the build's own rules on copies of the clean tree: the
# session's own files and the exercises may not reach up into the interpreter (session/ and, from
# session/exercise, the whole session/ would take it in otherwise), nor the language's words across
# into the trend beside them. Each row: a tree, the file planted in it, and what that file includes.
set(session_plants
    "session_own|session/Planted.cpp|session/script/Code.h"
    "session_exercise|session/exercise/Planted.h|session/script/Code.h"
    "session_sideways|session/language/Planted.h|session/trend/Code.h")
foreach(row IN LISTS session_plants)
    string(REPLACE "|" ";" row "${row}")
    list(GET row 0 tree)
    list(GET row 1 planted)
    list(GET row 2 included)
    file(COPY ${trees}/clean/ DESTINATION ${trees}/${tree})
    file(WRITE ${trees}/${tree}/${planted} "#include \"${included}\"\n")
    string(REPLACE "." "\\." expected "/${tree}/${planted}")
    add_test(NAME layer_check_${tree}
        COMMAND ${CMAKE_COMMAND} -DVP7_SOURCE_ROOT=${trees}/${tree} ${VP7_LAYER_CHECK_ARGS})
    set_tests_properties(layer_check_${tree} PROPERTIES LABELS layers PASS_REGULAR_EXPRESSION "${expected}")
endforeach()
