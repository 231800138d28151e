# Only ui/ may use Qt: the simulation library must stay toolkit-free so that the headless runner and
# the tests drive exactly the code the desktop program runs. The check runs at configure time and again
# on every build, so a Qt include below ui/ fails the build.
set(VP7_NO_QT_DIRS platform core device storage headless)
set(VP7_SOURCE_ROOT "${CMAKE_CURRENT_SOURCE_DIR}")
include(${CMAKE_CURRENT_LIST_DIR}/CheckNoQt.cmake)
add_custom_target(vp7_no_qt_check ALL
    COMMAND ${CMAKE_COMMAND} -DVP7_SOURCE_ROOT=${CMAKE_CURRENT_SOURCE_DIR}
            -DVP7_NO_QT_DIRS="platform,core,device,storage,headless" -P ${CMAKE_CURRENT_LIST_DIR}/CheckNoQt.cmake
    VERBATIM
    COMMENT "Checking that no Qt header is used outside ui/")
