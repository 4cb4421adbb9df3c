# Tests build natively on Linux (portable code, with sanitizers) and as
# Windows exes that ctest runs under Wine through tools/wine.
include(CTest)
include(GoogleTest)

# The test exes spent most of their build reading gtest.h (and windows.h)
# again in every file and optimising test bodies that run once. They share
# one precompiled header and build lightly optimised; the code they test is
# built as the program is. A clean win64 build on two cores: 209 s without
# the header, 190 s with it at -O0 (unoptimised objects carry every inline
# function out of line and the links grew fivefold), 164 s at -O1, 144 s at
# -Og. The native build keeps its debug information for the sanitizers'
# reports.
option(VELNOIR_TEST_PCH "Tests: one precompiled header, light optimisation" ON)

if(BUILD_TESTING)
  if(WIN32)
    set(gtest_force_shared_crt ON CACHE BOOL "" FORCE)
    set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
    set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
    add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
    if(VELNOIR_TEST_PCH)
      target_compile_options(gtest PRIVATE -Og)
      target_compile_options(gtest_main PRIVATE -Og)
    endif()
  else()
    find_package(GTest REQUIRED)
  endif()
endif()

# Every Windows test takes one "wine" worker (a prefix and a display of its
# own, see tools/wine-session.sh) while it runs, so that ctest can run tests
# side by side on separate workers. Without a resource file ctest ignores it.
set(VELNOIR_WINE_TEST_PROPERTIES "")
if(WIN32)
  set(VELNOIR_WINE_TEST_PROPERTIES RESOURCE_GROUPS wine:1)
endif()

set(VELNOIR_TEST_PCH_HOST "")
if(BUILD_TESTING AND VELNOIR_TEST_PCH)
  set(VELNOIR_TEST_PCH_HOST velnoir_test_pch)
  if(WIN32)
    set(VELNOIR_TEST_COMPILE_OPTIONS -Og)
    set(VELNOIR_TEST_PCH_SYSTEM_HEADERS <windows.h> <commctrl.h> <shellapi.h>)
  else()
    set(VELNOIR_TEST_COMPILE_OPTIONS -O1)
    set(VELNOIR_TEST_PCH_SYSTEM_HEADERS "")
  endif()
endif()

# Called once, from the folder of the tests: the target that builds the
# shared header, with the compile settings every test exe has.
function(velnoir_add_test_pch)
  if(NOT VELNOIR_TEST_PCH_HOST)
    return()
  endif()
  file(CONFIGURE OUTPUT ${CMAKE_CURRENT_BINARY_DIR}/velnoir_test_pch.cpp
       CONTENT "// Builds the precompiled header the test exes share.\n")
  add_library(${VELNOIR_TEST_PCH_HOST} OBJECT ${CMAKE_CURRENT_BINARY_DIR}/velnoir_test_pch.cpp)
  target_link_libraries(${VELNOIR_TEST_PCH_HOST} PRIVATE GTest::gtest)
  target_include_directories(${VELNOIR_TEST_PCH_HOST} PRIVATE ${PROJECT_SOURCE_DIR})
  target_compile_options(${VELNOIR_TEST_PCH_HOST} PRIVATE ${VELNOIR_TEST_COMPILE_OPTIONS})
  target_precompile_headers(${VELNOIR_TEST_PCH_HOST} PRIVATE
    ${VELNOIR_TEST_PCH_SYSTEM_HEADERS} <gtest/gtest.h>
    <algorithm> <chrono> <cstdint> <functional> <map> <memory> <string> <thread> <vector>)
endfunction()

# velnoir_add_gtest(NAME SOURCES a.cpp ... LIBS lib ... [LABELS window] [TIMEOUT s]
#                   [SERIAL | SERIAL_ONLY gtest-filter] [PORTABLE])
# Tests labelled "window" create windows and need the virtual display.
# SERIAL: the exe's tests time real events (a clock, a sound device, input
# driven from outside) within tight bounds; each runs with no other test
# beside it to take the machine from it. SERIAL_ONLY: only the tests the
# filter names do; the others run beside other tests.
# PORTABLE: the exe tests portable code only, which touches no window, file
# or registry shared between its tests. Under Wine, where starting a process
# costs 0.15-0.3 s against the few milliseconds such a test takes, all its
# tests run in one process as one ctest test named after the exe; natively
# each test is a ctest test of its own.
function(velnoir_add_gtest name)
  if(NOT BUILD_TESTING)
    return()
  endif()
  cmake_parse_arguments(T "SERIAL;PORTABLE" "TIMEOUT;SERIAL_ONLY" "SOURCES;LIBS;LABELS" ${ARGN})
  if(NOT T_TIMEOUT)
    set(T_TIMEOUT 60)
  endif()
  # An empty LABELS value would be dropped and shift the properties after it.
  set(T_PROPERTIES TIMEOUT ${T_TIMEOUT} ${VELNOIR_WINE_TEST_PROPERTIES})
  if(T_LABELS)
    list(APPEND T_PROPERTIES LABELS "${T_LABELS}")
  endif()
  if(T_SERIAL)
    list(APPEND T_PROPERTIES RUN_SERIAL TRUE)
  endif()
  add_executable(${name} ${T_SOURCES})
  target_link_libraries(${name} PRIVATE ${T_LIBS} GTest::gtest GTest::gtest_main)
  target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR})
  if(VELNOIR_TEST_PCH_HOST)
    target_compile_options(${name} PRIVATE ${VELNOIR_TEST_COMPILE_OPTIONS})
    target_precompile_headers(${name} REUSE_FROM ${VELNOIR_TEST_PCH_HOST})
  endif()
  if(WIN32 AND T_PORTABLE)
    add_test(NAME ${name} COMMAND ${name})
    set_tests_properties(${name} PROPERTIES ${T_PROPERTIES})
    return()
  endif()
  set(T_OTHERS "")
  if(T_SERIAL_ONLY)
    gtest_discover_tests(${name}
      DISCOVERY_MODE PRE_TEST
      DISCOVERY_TIMEOUT 120
      TEST_FILTER "${T_SERIAL_ONLY}"
      PROPERTIES ${T_PROPERTIES} RUN_SERIAL TRUE)
    set(T_OTHERS TEST_FILTER "-${T_SERIAL_ONLY}")
  endif()
  gtest_discover_tests(${name}
    DISCOVERY_MODE PRE_TEST
    DISCOVERY_TIMEOUT 120
    ${T_OTHERS}
    PROPERTIES ${T_PROPERTIES})
endfunction()
