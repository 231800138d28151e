# SPDX-License-Identifier: GPL-3.0-or-later
execute_process(COMMAND ${EXE} ${SCRIPT} OUTPUT_VARIABLE out ERROR_VARIABLE err RESULT_VARIABLE rc)
file(READ ${EXPECTED} expected)
if(NOT rc EQUAL 0)
    message(FATAL_ERROR "vp7-headless exited with ${rc}: ${err}")
endif()
if(NOT out STREQUAL expected)
    message(FATAL_ERROR "output differs from ${EXPECTED}\n--- got ---\n${out}--- expected ---\n${expected}")
endif()
