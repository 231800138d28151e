# SPDX-License-Identifier: GPL-3.0-or-later
# The program's quick guide is written twice, doc/quick-guide.en.md and its German translation
# doc/quick-guide.de.md, both built into the program. A change to one that the other did not follow
# is noticed here:
#   cmake -DENGLISH=doc/quick-guide.en.md -DGERMAN=doc/quick-guide.de.md -P QuickGuide.cmake
#       fails unless both have the same number of headings, list items, table rows and paragraphs.
file(READ "${ENGLISH}" english)
file(READ "${GERMAN}" german)
foreach(block "\n#+ " "\n- " "\n\\|" "\n\n[^-|#\n]")
    string(REGEX MATCHALL "${block}" in_english "\n${english}")
    string(REGEX MATCHALL "${block}" in_german "\n${german}")
    list(LENGTH in_english english_count)
    list(LENGTH in_german german_count)
    if(NOT english_count EQUAL german_count)
        string(REPLACE "\n" "\\n" shown "${block}")
        message(FATAL_ERROR "The German quick guide ${GERMAN} no longer follows the English one ${ENGLISH}: "
            "${german_count} blocks matching '${shown}', the English ${english_count}. Translate the change.")
    endif()
endforeach()
