# SPDX-License-Identifier: GPL-3.0-or-later
# The layers and what each may include: a folder sees the ones below it and never one above, and only
# ui/ may use Qt, so the headless runner and the tests drive exactly the code the desktop program runs.
# The check runs at configure time and again on every build, so a wrong include fails the build.
set(VP7_LAYERS
    "platform="
    "model=platform"
    "formats=platform+model"
    "sim=platform+model+formats"
    "session=platform+model+formats+sim"
    "classroom=platform+model+formats+sim+session"
    "broker=platform+model+formats+sim+session+classroom"
    "headless=platform+model+formats+sim+session+classroom+broker")
set(VP7_SOURCE_ROOT "${CMAKE_CURRENT_SOURCE_DIR}")
include(${CMAKE_CURRENT_LIST_DIR}/CheckLayers.cmake)
# The build step gets the rules comma-separated and unquoted: a ";" would split the argument, and
# quotes would stay part of the first and last rule. tests/build runs the same arguments.
string(JOIN "," _vp7_layers ${VP7_LAYERS})
set(VP7_LAYER_CHECK_ARGS -DVP7_LAYERS=${_vp7_layers} -P ${CMAKE_CURRENT_LIST_DIR}/CheckLayers.cmake)
add_custom_target(vp7_layer_check ALL
    COMMAND ${CMAKE_COMMAND} -DVP7_SOURCE_ROOT=${CMAKE_CURRENT_SOURCE_DIR} ${VP7_LAYER_CHECK_ARGS}
    VERBATIM
    COMMENT "Checking that each folder includes only the layers below it and that only ui/ uses Qt")
