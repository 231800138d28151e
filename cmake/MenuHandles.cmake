# SPDX-License-Identifier: GPL-3.0-or-later
# The menu bar's menus and items are reached through MenuBar's handles. A search for one by its object
# name finds nothing once the name or the place changes, and the item is quietly not set up.
#   cmake -DUI=ui -P MenuHandles.cmake
#       fails naming each line under UI that looks a menu or a menu item up by name.
file(GLOB_RECURSE sources "${UI}/*.cpp" "${UI}/*.h")
set(found "")
foreach(source IN LISTS sources)
    file(STRINGS "${source}" lines REGEX "findChild(ren)?<[ ]*Q(Menu|Action)[ ]*\\*|menu\\(\\)->objectName\\(\\)")
    foreach(line IN LISTS lines)
        string(STRIP "${line}" line)
        string(APPEND found "\n  ${source}: ${line}")
    endforeach()
endforeach()
if(found)
    message(FATAL_ERROR "menus or menu items looked up by name instead of by MenuBar's handles:${found}")
endif()
