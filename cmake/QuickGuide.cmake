# SPDX-License-Identifier: GPL-3.0-or-later
# The program's quick guide is the README's section "Operating the simulated device" (with its
# subsections), so the two cannot drift apart.
#   cmake -DREADME=README.md -DOUTPUT=FILE -P QuickGuide.cmake
#       writes the section to FILE;
#   cmake -DREADME=README.md -DGERMAN=FILE -P QuickGuide.cmake
#       checks that the German guide FILE has the section's shape, so a change to the README that was
#       not translated is noticed.
set(heading "## Operating the simulated device")

file(READ "${README}" readme)
string(FIND "${readme}" "${heading}\n" begin)
if(begin LESS 0)
    message(FATAL_ERROR "${README} has no section '${heading}'")
endif()
string(SUBSTRING "${readme}" ${begin} -1 section)
string(LENGTH "${heading}\n" skip)
string(SUBSTRING "${section}" ${skip} -1 rest)
string(FIND "${rest}" "\n## " end)
if(end GREATER_EQUAL 0)
    math(EXPR end "${end} + ${skip} + 1")
    string(SUBSTRING "${section}" 0 ${end} section)
endif()

if(DEFINED OUTPUT)
    file(WRITE "${OUTPUT}" "${section}")
    return()
endif()

# The same number of headings, list items, table rows and paragraphs.
file(READ "${GERMAN}" german)
foreach(block "\n#+ " "\n- " "\n\\|" "\n\n[^-|#\n]")
    string(REGEX MATCHALL "${block}" in_english "\n${section}")
    string(REGEX MATCHALL "${block}" in_german "\n${german}")
    list(LENGTH in_english english_count)
    list(LENGTH in_german german_count)
    if(NOT english_count EQUAL german_count)
        string(REPLACE "\n" "\\n" shown "${block}")
        message(FATAL_ERROR "The German quick guide ${GERMAN} no longer follows the README's section "
            "'${heading}': ${german_count} blocks matching '${shown}', the README ${english_count}. "
            "Translate the change.")
    endif()
endforeach()
