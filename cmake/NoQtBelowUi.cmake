# SPDX-License-Identifier: GPL-3.0-or-later
# Only ui/ may use Qt: the simulation library must stay toolkit-free so that the headless runner and
# the tests drive exactly the code the desktop program runs. The check runs at configure time and again
# on every build, so a Qt include below ui/ fails the build.
set(VP7_NO_QT_DIRS platform core device storage training headless)
set(VP7_SOURCE_ROOT "${CMAKE_CURRENT_SOURCE_DIR}")
include(${CMAKE_CURRENT_LIST_DIR}/CheckNoQt.cmake)
# The build step gets the folders comma-separated and unquoted: a ";" would split the argument, and
# quotes would stay part of the first and last name. tests/build runs the same arguments.
string(JOIN "," _vp7_no_qt_dirs ${VP7_NO_QT_DIRS})
set(VP7_NO_QT_CHECK_ARGS -DVP7_NO_QT_DIRS=${_vp7_no_qt_dirs} -P ${CMAKE_CURRENT_LIST_DIR}/CheckNoQt.cmake)
add_custom_target(vp7_no_qt_check ALL
    COMMAND ${CMAKE_COMMAND} -DVP7_SOURCE_ROOT=${CMAKE_CURRENT_SOURCE_DIR} ${VP7_NO_QT_CHECK_ARGS}
    VERBATIM
    COMMENT "Checking that no Qt header is used outside ui/")
