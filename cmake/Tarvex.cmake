# Build conventions shared by every folder.
#
#   tarvex_library(NAME PORTABLE|WINDOWS SOURCES ... [DEPS ...])
#       PORTABLE libraries build in every tree; WINDOWS ones only in the win tree.
#   tarvex_native_test(NAME SOURCES ... [DEPS ...])     GoogleTest, host and asan trees
#   tarvex_wine_test(NAME SOURCES ... [DEPS ...])       GoogleTest, win tree, run under Wine
#   tarvex_fuzz(NAME SOURCES ... [DEPS ...] [CORPUS dir] [OPTIONS -flag=value ...])
#                                                       libFuzzer, fuzz tree; OPTIONS go to its runs
#   tarvex_bench(NAME SOURCES ... [DEPS ...])           Google Benchmark, host tree
#   tarvex_tool(NAME SOURCES ... [DEPS ...])            test drivers, host and asan trees
# Includes are written from the source root: #include "framework/base/Exception.h".

set(CMAKE_CXX_STANDARD 20)
set(CMAKE_CXX_STANDARD_REQUIRED ON)
set(CMAKE_CXX_EXTENSIONS OFF)
set(CMAKE_POSITION_INDEPENDENT_CODE OFF)

find_program(CCACHE_PROGRAM ccache)
if(CCACHE_PROGRAM)
  # The win tree's precompiled header is cached only with these sloppiness settings.
  set(launcher ${CMAKE_COMMAND} -E env
      CCACHE_SLOPPINESS=pch_defines,time_macros,include_file_mtime,include_file_ctime ${CCACHE_PROGRAM})
  set(CMAKE_C_COMPILER_LAUNCHER ${launcher})
  set(CMAKE_CXX_COMPILER_LAUNCHER ${launcher})
endif()

set(TARVEX_WARNINGS -Wall -Wextra -Wpedantic -Wnon-virtual-dtor -Woverloaded-virtual
    -Wimplicit-fallthrough -Wmissing-declarations)
if(NOT TARVEX_KIND STREQUAL "fuzz")
  list(APPEND TARVEX_WARNINGS -Werror)
endif()
if(TARVEX_KIND STREQUAL "win")
  # Through a precompiled header the standard library's own code no longer counts as a system
  # header, and GCC 12 reports false bounds warnings in its string copies. The host trees keep
  # both checks for every portable file.
  list(APPEND TARVEX_WARNINGS -Wno-array-bounds -Wno-stringop-overread -Wno-stringop-overflow)
endif()

if(TARVEX_KIND STREQUAL "asan")
  add_compile_options(-fsanitize=address,undefined -fno-sanitize-recover=undefined -fno-omit-frame-pointer)
  add_link_options(-fsanitize=address,undefined)
elseif(TARVEX_KIND STREQUAL "fuzz")
  add_compile_options(-fsanitize=fuzzer-no-link,address,undefined -fno-omit-frame-pointer)
  add_link_options(-fsanitize=address,undefined)
  add_compile_definitions(TARVEX_FUZZING=1)
elseif(TARVEX_KIND STREQUAL "win")
  add_compile_definitions(WIN32_LEAN_AND_MEAN NOMINMAX _WIN32_WINNT=0x0601 WINVER=0x0601)
  # Wine's debugger reads DWARF 4, not the compiler's default 5: a crash's backtrace then names
  # functions and lines.
  add_compile_options(-gdwarf-4)
endif()
# Line tables and functions only: enough for backtraces and a debugger's stack, at a fraction of
# the compile time of full debug information. Last, so that it also holds after -gdwarf-4.
add_compile_options(-g1)

if(TARVEX_KIND STREQUAL "win")
  # GoogleTest compiled from the sources Debian's googletest package installs.
  if(NOT TARGET gtest)
    add_library(gtest STATIC /usr/src/googletest/googletest/src/gtest-all.cc)
    target_include_directories(gtest SYSTEM PUBLIC /usr/src/googletest/googletest/include
                                                 /usr/src/googletest/googlemock/include
                               PRIVATE /usr/src/googletest/googletest)
    add_library(gmock STATIC /usr/src/googletest/googlemock/src/gmock-all.cc)
    target_include_directories(gmock SYSTEM PUBLIC /usr/src/googletest/googlemock/include
                               PRIVATE /usr/src/googletest/googlemock)
    target_link_libraries(gmock PUBLIC gtest)
  endif()
  set(TARVEX_JPEG_PREFIX ${CMAKE_SOURCE_DIR}/build/deps/libjpeg-win)
  if(NOT EXISTS ${TARVEX_JPEG_PREFIX}/lib/libjpeg.a)
    message(FATAL_ERROR "libjpeg for Windows is not built yet (${TARVEX_JPEG_PREFIX}): run tools/bootstrap")
  endif()
  add_library(tarvex_jpeg STATIC IMPORTED GLOBAL)
  set_target_properties(tarvex_jpeg PROPERTIES
    IMPORTED_LOCATION ${TARVEX_JPEG_PREFIX}/lib/libjpeg.a
    INTERFACE_INCLUDE_DIRECTORIES ${TARVEX_JPEG_PREFIX}/include)
elseif(TARVEX_KIND STREQUAL "host" OR TARVEX_KIND STREQUAL "asan")
  find_package(GTest REQUIRED)
  if(TARVEX_KIND STREQUAL "host")
    find_package(benchmark REQUIRED)
  endif()
endif()

function(_tarvex_parse prefix)
  cmake_parse_arguments(PARSE_ARGV 1 ARG "PORTABLE;WINDOWS" "CORPUS" "SOURCES;DEPS;OPTIONS")
  foreach(v PORTABLE WINDOWS CORPUS SOURCES DEPS OPTIONS)
    set(${prefix}_${v} "${ARG_${v}}" PARENT_SCOPE)
  endforeach()
endfunction()

# The win tree compiles <windows.h> and the common standard headers once (cmake/pch/) and every
# C++ target reuses them.
if(TARVEX_KIND STREQUAL "win")
  add_library(_tarvex_windows_pch STATIC ${CMAKE_SOURCE_DIR}/cmake/pch/WindowsPch.cpp)
  target_compile_options(_tarvex_windows_pch PRIVATE ${TARVEX_WARNINGS})
  target_precompile_headers(_tarvex_windows_pch PRIVATE ${CMAKE_SOURCE_DIR}/cmake/pch/WindowsPch.h)
endif()

function(_tarvex_common target)
  target_compile_options(${target} PRIVATE ${TARVEX_WARNINGS})
  target_include_directories(${target} PUBLIC ${CMAKE_SOURCE_DIR})
endfunction()

# Window code only: portable code never sees <windows.h>.
function(_tarvex_use_windows_pch target)
  if(TARVEX_KIND STREQUAL "win")
    target_precompile_headers(${target} REUSE_FROM _tarvex_windows_pch)
  endif()
endfunction()

function(tarvex_library name)
  _tarvex_parse(L ${ARGN})
  if(L_WINDOWS AND NOT TARVEX_KIND STREQUAL "win")
    return()
  endif()
  add_library(${name} STATIC ${L_SOURCES})
  _tarvex_common(${name})
  if(L_WINDOWS)
    _tarvex_use_windows_pch(${name})
  endif()
  if(L_DEPS)
    target_link_libraries(${name} PUBLIC ${L_DEPS})
  endif()
endfunction()

function(_tarvex_executable name)
  add_executable(${name} ${ARGN})
  _tarvex_common(${name})
endfunction()

function(tarvex_native_test name)
  _tarvex_parse(T ${ARGN})
  if(NOT (TARVEX_KIND STREQUAL "host" OR TARVEX_KIND STREQUAL "asan"))
    return()
  endif()
  _tarvex_executable(${name} ${T_SOURCES})
  target_link_libraries(${name} PRIVATE ${T_DEPS} GTest::gtest GTest::gmock tarvex_test_main)
  set_property(GLOBAL APPEND PROPERTY TARVEX_TESTS ${name})
endfunction()

function(tarvex_wine_test name)
  _tarvex_parse(T ${ARGN})
  if(NOT TARVEX_KIND STREQUAL "win")
    return()
  endif()
  _tarvex_executable(${name} ${T_SOURCES})
  _tarvex_use_windows_pch(${name})
  target_link_libraries(${name} PRIVATE ${T_DEPS} wine_test_support gmock tarvex_test_main)
  set_property(GLOBAL APPEND PROPERTY TARVEX_TESTS ${name})
endfunction()

# What every test binary links: its main, GoogleTest's with a watchdog that ends a hanging test
# (tests/TestMain.cpp); Wine tests also get the GDI/USER census (tests/framework/win/TGuiCensus.h) and
# actions run later from a message loop, dropped at the end of each test (tests/framework/win/RunLater.h).
if(TARVEX_KIND STREQUAL "win")
  tarvex_library(wine_test_support WINDOWS SOURCES ${CMAKE_SOURCE_DIR}/tests/framework/win/TGuiCensus.cpp
                 ${CMAKE_SOURCE_DIR}/tests/framework/win/RunLater.cpp)
  target_link_libraries(wine_test_support PUBLIC gdi32 user32 ntdll)
  tarvex_library(tarvex_test_main WINDOWS SOURCES ${CMAKE_SOURCE_DIR}/tests/TestMain.cpp DEPS gtest wine_test_support)
elseif(TARVEX_KIND STREQUAL "host" OR TARVEX_KIND STREQUAL "asan")
  tarvex_library(tarvex_test_main SOURCES ${CMAKE_SOURCE_DIR}/tests/TestMain.cpp DEPS GTest::gtest)
endif()

function(tarvex_fuzz name)
  _tarvex_parse(F ${ARGN})
  if(NOT TARVEX_KIND STREQUAL "fuzz")
    return()
  endif()
  _tarvex_executable(${name} ${F_SOURCES})
  target_link_libraries(${name} PRIVATE ${F_DEPS})
  target_link_options(${name} PRIVATE -fsanitize=fuzzer)
  if(F_CORPUS)
    get_filename_component(corpus ${F_CORPUS} ABSOLUTE)
  else()
    set(corpus "")
  endif()
  string(JOIN " " options ${F_OPTIONS})
  set_property(GLOBAL APPEND PROPERTY TARVEX_FUZZERS "${name}|${corpus}|${options}")
endfunction()

function(tarvex_bench name)
  _tarvex_parse(B ${ARGN})
  if(NOT TARVEX_KIND STREQUAL "host")
    return()
  endif()
  _tarvex_executable(${name} ${B_SOURCES})
  target_link_libraries(${name} PRIVATE ${B_DEPS} benchmark::benchmark)
  set_property(GLOBAL APPEND PROPERTY TARVEX_BENCHES ${name})
endfunction()

# A Wine test that reads the bundled skins as the program finds them: TARVEX_BUNDLED_SKINS is their
# folder, reached through Wine's drive for the root.
function(tarvex_use_bundled_skins target)
  if(TARGET ${target} AND TARGET tarvex_skins)
    add_dependencies(${target} tarvex_skins)
    string(REPLACE "/" "\\\\" skins_dir "Z:${CMAKE_BINARY_DIR}/Tarvex/Skins")
    target_compile_definitions(${target} PRIVATE "TARVEX_BUNDLED_SKINS=\"${skins_dir}\"")
  endif()
endfunction()

# A Wine test that runs the program with its help file beside it, as Tarvex.exe has it.
function(tarvex_use_help_file target)
  if(TARGET ${target} AND TARGET tarvex_help)
    add_dependencies(${target} tarvex_help)
    add_custom_command(TARGET ${target} POST_BUILD
      COMMAND ${CMAKE_COMMAND} -E copy_if_different ${CMAKE_BINARY_DIR}/Tarvex/Tarvex.hlp $<TARGET_FILE_DIR:${target}>)
  endif()
endfunction()

# Built under the sanitizers too, so that the tests that feed them hostile files run there as well.
function(tarvex_tool name)
  _tarvex_parse(X ${ARGN})
  if(NOT (TARVEX_KIND STREQUAL "host" OR TARVEX_KIND STREQUAL "asan"))
    return()
  endif()
  _tarvex_executable(${name} ${X_SOURCES})
  target_link_libraries(${name} PRIVATE ${X_DEPS})
endfunction()

# Lists of what tools/test and tools/bench run: one line per executable.
function(tarvex_write_manifests)
  foreach(kind TESTS BENCHES)
    get_property(targets GLOBAL PROPERTY TARVEX_${kind})
    set(content "")
    foreach(t IN LISTS targets)
      string(APPEND content "$<TARGET_FILE:${t}>\n")
    endforeach()
    string(TOLOWER ${kind} lower)
    file(GENERATE OUTPUT ${CMAKE_BINARY_DIR}/${lower}.txt CONTENT "${content}")
  endforeach()
  get_property(fuzzers GLOBAL PROPERTY TARVEX_FUZZERS)
  set(content "")
  foreach(entry IN LISTS fuzzers)
    string(REPLACE "|" ";" parts "${entry}")
    list(GET parts 0 t)
    list(LENGTH parts n)
    set(corpus "")
    set(options "")
    if(n GREATER 1)
      list(GET parts 1 corpus)
    endif()
    if(n GREATER 2)
      list(GET parts 2 options)
    endif()
    string(APPEND content "$<TARGET_FILE:${t}>|${corpus}|${options}\n")
  endforeach()
  file(GENERATE OUTPUT ${CMAKE_BINARY_DIR}/fuzzers.txt CONTENT "${content}")
endfunction()
