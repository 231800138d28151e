# SPDX-License-Identifier: GPL-3.0-or-later
# cmake -DVP7_SOURCE_ROOT=DIR -DVP7_NO_QT_DIRS=a,b,c -P CheckNoQt.cmake (or include() with a list):
# fails when a .h or .cpp below one of the named folders includes a Qt header.
if(NOT IS_DIRECTORY "${VP7_SOURCE_ROOT}")
    message(FATAL_ERROR "VP7_SOURCE_ROOT '${VP7_SOURCE_ROOT}' is not a folder")
endif()
string(REPLACE "," ";" VP7_NO_QT_DIRS "${VP7_NO_QT_DIRS}")
if(NOT VP7_NO_QT_DIRS)
    message(FATAL_ERROR "VP7_NO_QT_DIRS names no folder to check")
endif()
foreach(dir IN LISTS VP7_NO_QT_DIRS)
    file(GLOB_RECURSE _sources "${VP7_SOURCE_ROOT}/${dir}/*.h" "${VP7_SOURCE_ROOT}/${dir}/*.cpp")
    # A misspelt or mangled folder name would otherwise let every include through unnoticed.
    if(NOT _sources)
        message(FATAL_ERROR "'${VP7_SOURCE_ROOT}/${dir}' holds no .h or .cpp file to check")
    endif()
    foreach(src IN LISTS _sources)
        # <QWidget>, <QtCore/QString> and whole modules such as <QtWidgets>.
        file(STRINGS "${src}" _qt REGEX "^[ \t]*#[ \t]*include[ \t]*[<\"](Q[A-Z][A-Za-z]*|Qt[A-Za-z]*[/>\"])")
        if(_qt)
            message(FATAL_ERROR "${src} includes a Qt header; only ui/ may use Qt")
        endif()
    endforeach()
endforeach()
