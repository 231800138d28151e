# SPDX-License-Identifier: GPL-3.0-or-later
# The layers and what each may include: a folder sees the ones below it and never one above, and only
# ui/ may use Qt, so the headless runner and the tests drive exactly the code the desktop program runs.
# The check runs at configure time and again on every build, so a wrong include fails the build.
# Inside session/ the scenario language's words and the trend come first, then the session's own
# files, the exercises, and the interpreter on top, which plays states, recordings and exercises.
# Of ui/'s folders, the Qt helpers and the artwork come first, then the device's window, its view and
# its small windows, which show a session and know nothing of the program around them, and beside them
# the instructor's classroom station; then the training windows, each a device window of its own (the
# player, an exercise's device with its recording and panel, the trend), which know nothing of the
# program's window; ui/app, the program's shell, stays without a rule on top. The browser's front end
# (web/) stands on the toolkit-free layers and the classroom's protocol. headless stays the last
# rule, the top the build's own tests plant into.
set(VP7_LAYERS
    "platform="
    "model=platform"
    "formats=platform+model"
    "sim=platform+model+formats"
    "session=platform+model+formats+sim+session/language+session/trend"
    "session/language=platform+model+formats+sim"
    "session/trend=platform+model+formats+sim"
    "session/exercise=platform+model+formats+sim+session+session/language+session/trend"
    "session/script=platform+model+formats+sim+session+session/language+session/trend+session/exercise"
    "plant=platform+model+formats+sim+session"
    "classroom=platform+model+formats+sim+session"
    "broker=platform+model+formats+sim+session+classroom"
    "ui/qt=platform+model+formats+sim+session"
    "ui/artwork=platform+model+formats+sim+session+ui/qt"
    "ui/device=platform+model+formats+sim+session+ui/qt+ui/artwork"
    "ui/classroom=platform+model+formats+sim+session+classroom+broker+ui/qt+ui/artwork+ui/device"
    "ui/training=platform+model+formats+sim+session+ui/qt+ui/artwork+ui/device"
    "web=platform+model+formats+sim+session+classroom"
    "headless=platform+model+formats+sim+session+plant+classroom+broker")
# A layer that needs what a build may lack (a browser's has no threads, no libmodbus) stays out of the
# build when it is missing, said once; the rules above still hold for its sources, and the layers it
# stands on build the same. The desktop program serves a plant from its menu and cannot go without.
if(VP7_BUILD_PLANT)
    find_package(PkgConfig QUIET)
    find_package(Threads QUIET)
    if(PKG_CONFIG_FOUND)
        pkg_check_modules(MODBUS QUIET IMPORTED_TARGET GLOBAL libmodbus)
    endif()
    if(NOT MODBUS_FOUND OR NOT Threads_FOUND)
        message(STATUS "No libmodbus or no threads: building without the plant's Modbus server (plant/)")
        set(VP7_BUILD_PLANT OFF)
    endif()
endif()
if(VP7_BUILD_UI AND NOT VP7_BUILD_PLANT)
    message(FATAL_ERROR "The desktop program needs the plant's Modbus server (libmodbus); "
        "configure with -DVP7_BUILD_UI=OFF to build without both")
endif()
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
