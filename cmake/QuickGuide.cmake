# SPDX-License-Identifier: GPL-3.0-or-later
# The program's quick guide is the README's section "Operating the simulated device" (with its
# subsections), so the two cannot drift apart.
#   cmake -DREADME=README.md -DOUTPUT=FILE -P QuickGuide.cmake
#       writes the section to FILE;
#   cmake -DREADME=README.md -DGERMAN=FILE -P QuickGuide.cmake
#       checks that the German guide FILE has the section's shape: as many headings, list items, table
#       rows and paragraphs, so a change to the README that was not translated is noticed.
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

# The shape of a Markdown text: one letter a block-starting line (H heading, L list item, T table row,
# P paragraph start), continuation lines left out.
function(shape text out)
    string(REPLACE ";" "," text "${text}")
    string(REPLACE "\n" ";" lines "${text}")
    set(result "")
    set(previous_blank TRUE)
    foreach(line IN LISTS lines)
        if(line MATCHES "^#+ ")
            string(APPEND result "H")
        elseif(line MATCHES "^- ")
            string(APPEND result "L")
        elseif(line MATCHES "^\\|")
            string(APPEND result "T")
        elseif(previous_blank AND NOT line STREQUAL "")
            string(APPEND result "P")
        endif()
        if(line STREQUAL "")
            set(previous_blank TRUE)
        else()
            set(previous_blank FALSE)
        endif()
    endforeach()
    set(${out} "${result}" PARENT_SCOPE)
endfunction()

file(READ "${GERMAN}" german)
shape("${section}" english_shape)
shape("${german}" german_shape)
if(NOT english_shape STREQUAL german_shape)
    message(FATAL_ERROR "The German quick guide ${GERMAN} no longer follows the README's section "
        "'${heading}': its blocks are ${german_shape}, the README's ${english_shape} (H heading, L list "
        "item, T table row, P paragraph). Translate the change.")
endif()
message(STATUS "The German quick guide follows the README: ${german_shape}")
