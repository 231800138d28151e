# SPDX-License-Identifier: GPL-3.0-or-later
# Included by CTest right after a GoogleTest executable's cases were listed: sets each case's labels
# (its folder's, and those of the rows of vp7_case_labels whose expression matches its Suite.Case),
# environment and timeout. The variables come from the file vp7_discover_cases writes beside it.
foreach(case IN LISTS vp7_cases)
    string(LENGTH "${vp7_folder}." skip)
    string(SUBSTRING "${case}" ${skip} -1 suite_and_case)
    set(labels ${vp7_folder})
    set(rows ${vp7_case_labels})
    while(rows)
        list(POP_FRONT rows expression label)
        if(suite_and_case MATCHES "${expression}")
            list(APPEND labels ${label})
        endif()
    endwhile()
    set_tests_properties("${case}" PROPERTIES LABELS "${labels}" TIMEOUT "${vp7_timeout}")
    if(vp7_environment)
        set_tests_properties("${case}" PROPERTIES ENVIRONMENT "${vp7_environment}")
    endif()
endforeach()
