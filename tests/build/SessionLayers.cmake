# SPDX-License-Identifier: GPL-3.0-or-later
# The folders inside session/ and ui/ in their order, with the build's own rules on copies of the clean
# tree: the session's own files and the exercises may not reach up into the interpreter (session/ and,
# from session/exercise, the whole session/ would take it in otherwise), nor the language's words
# across into the trend beside them; the device's window may not reach up into the program's window nor
# into the training windows that show it, nor the training windows into the program's window, nor the
# classroom station into the program's window. Each
# row: a tree, the file planted in it, and what that file includes.
set(planted_includes
    "session_own|session/Planted.cpp|session/script/Code.h"
    "session_exercise|session/exercise/Planted.h|session/script/Code.h"
    "session_sideways|session/language/Planted.h|session/trend/Code.h"
    "ui_device_app|ui/device/Planted.cpp|ui/app/MainWindow.h"
    "ui_device_training|ui/device/Planted.h|ui/training/Player.h"
    "ui_training_app|ui/training/Planted.cpp|ui/app/MainWindow.h"
    "ui_classroom_app|ui/classroom/Planted.cpp|ui/app/ClassroomControl.h")
foreach(row IN LISTS planted_includes)
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
