# Tests build natively on Linux (portable code, with sanitizers) and as
# Windows exes that ctest runs under Wine through tools/wine.
include(CTest)
include(GoogleTest)

if(BUILD_TESTING)
  if(WIN32)
    set(gtest_force_shared_crt ON CACHE BOOL "" FORCE)
    set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
    set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
    add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
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

# velnoir_add_gtest(NAME SOURCES a.cpp ... LIBS lib ... [LABELS window] [TIMEOUT s])
# Tests labelled "window" create windows and need the virtual display.
function(velnoir_add_gtest name)
  if(NOT BUILD_TESTING)
    return()
  endif()
  cmake_parse_arguments(T "" "TIMEOUT" "SOURCES;LIBS;LABELS" ${ARGN})
  if(NOT T_TIMEOUT)
    set(T_TIMEOUT 60)
  endif()
  # An empty LABELS value would be dropped and shift the properties after it.
  set(T_PROPERTIES TIMEOUT ${T_TIMEOUT} ${VELNOIR_WINE_TEST_PROPERTIES})
  if(T_LABELS)
    list(APPEND T_PROPERTIES LABELS "${T_LABELS}")
  endif()
  add_executable(${name} ${T_SOURCES})
  target_link_libraries(${name} PRIVATE ${T_LIBS} GTest::gtest GTest::gtest_main)
  target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR})
  gtest_discover_tests(${name}
    DISCOVERY_MODE PRE_TEST
    DISCOVERY_TIMEOUT 120
    PROPERTIES ${T_PROPERTIES})
endfunction()
