# SPDX-License-Identifier: GPL-3.0-or-later
# The browser's build: the toolkit-free layers compiled to WebAssembly with emscripten (scripts/build.sh
# web). Only what a page can have comes in; the layers that need threads, libmodbus, libmosquitto or Qt
# stay out through their options.

# The runner, exercises and states report errors by exceptions. WebAssembly's own exceptions run the
# stroke benchmark 1.4 times as fast as emscripten's JavaScript ones, 2.5 times as fast as those with
# Asyncify, and make the smallest module (doc/performance.md); the other
# modes stay buildable in trees of their own for bench/web/figures.sh: "js", emscripten's JavaScript
# exceptions, and "asyncify", those with Asyncify, which lets a call wait for the page (this
# emscripten's Asyncify does not take WebAssembly's exceptions).
set(VP7_WEB_EXCEPTIONS wasm CACHE STRING "How the browser's build throws: wasm, js or asyncify")
set_property(CACHE VP7_WEB_EXCEPTIONS PROPERTY STRINGS wasm js asyncify)
if(VP7_WEB_EXCEPTIONS STREQUAL "wasm")
    add_compile_options(-fwasm-exceptions)
    add_link_options(-fwasm-exceptions)
elseif(VP7_WEB_EXCEPTIONS MATCHES "^(js|asyncify)$")
    add_compile_options(-fexceptions)
    add_link_options(-fexceptions)
    if(VP7_WEB_EXCEPTIONS STREQUAL "asyncify")
        add_link_options(-sASYNCIFY)
    endif()
else()
    message(FATAL_ERROR "VP7_WEB_EXCEPTIONS is wasm, js or asyncify, not ${VP7_WEB_EXCEPTIONS}")
endif()

# memcpy and memset as WebAssembly's own memory.copy and memory.fill instead of loops in the C
# library: the stroke benchmark's module spends a twentieth less time (doc/performance.md). Every
# browser of the last five years has them.
add_compile_options(-mbulk-memory)
add_link_options(-mbulk-memory)

# JSON and {fmt} are header-only: the build takes the system's headers alone, without the rest of
# /usr/include, which belongs to the host's C library, not the browser's.
set(VP7_WEB_INCLUDE "${CMAKE_BINARY_DIR}/web-include")
file(MAKE_DIRECTORY "${VP7_WEB_INCLUDE}")
file(CREATE_LINK /usr/include/nlohmann "${VP7_WEB_INCLUDE}/nlohmann" SYMBOLIC)
file(CREATE_LINK /usr/include/fmt "${VP7_WEB_INCLUDE}/fmt" SYMBOLIC)
add_library(nlohmann_json::nlohmann_json INTERFACE IMPORTED)
target_include_directories(nlohmann_json::nlohmann_json SYSTEM INTERFACE "${VP7_WEB_INCLUDE}")
add_library(fmt::fmt-header-only INTERFACE IMPORTED)
target_include_directories(fmt::fmt-header-only SYSTEM INTERFACE "${VP7_WEB_INCLUDE}")
target_compile_definitions(fmt::fmt-header-only INTERFACE FMT_HEADER_ONLY=1)

# Every program is a module a page or Node instantiates, as often as it likes; its memory grows with what
# it holds: states, recordings, the trend.
set(VP7_WEB_LINK_OPTIONS -sALLOW_MEMORY_GROWTH=1 -sMODULARIZE=1)
