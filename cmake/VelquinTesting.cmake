# Test helpers shared by every build.
#
# Host builds use the system's GoogleTest. Windows builds compile GoogleTest from
# Debian's sources and run every test exe under Wine (scripts/wine.sh), in one fresh
# Wine prefix per build tree that a CTest fixture starts and stops.

if(CMAKE_CROSSCOMPILING)
  set(gtest_force_shared_crt ON CACHE BOOL "" FORCE)
  set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
  add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
  # libstdc++'s C++20 <chrono> holds a literal that code page 932 cannot encode;
  # GoogleTest needs nothing of our literals, so it keeps UTF-8.
  foreach(t gtest gtest_main gmock gmock_main)
    target_compile_options(${t} PRIVATE -fexec-charset=UTF-8)
  endforeach()
  set(VELQUIN_GTEST gtest gmock)
  set(VELQUIN_GTEST_MAIN gtest_main)

  set(VELQUIN_WINE ${CMAKE_SOURCE_DIR}/scripts/wine.sh)
  set(CMAKE_CROSSCOMPILING_EMULATOR ${VELQUIN_WINE} run)
  set(VELQUIN_WINE_ENV
      "WINEPREFIX=${CMAKE_BINARY_DIR}/wineprefix"
      "VELQUIN_WINE_BITS=${VELQUIN_WINE_BITS}")
  add_test(NAME wine.start COMMAND ${VELQUIN_WINE} start)
  add_test(NAME wine.stop COMMAND ${VELQUIN_WINE} stop)
  set_tests_properties(wine.start PROPERTIES FIXTURES_SETUP wine ENVIRONMENT "${VELQUIN_WINE_ENV}" TIMEOUT 300)
  set_tests_properties(wine.stop PROPERTIES FIXTURES_CLEANUP wine ENVIRONMENT "${VELQUIN_WINE_ENV}")
else()
  # The package's own configuration (GTest::gmock from libgmock-dev): CMake's
  # FindGTest module does not define GTest::gmock on every release.
  find_package(GTest CONFIG REQUIRED)
  set(VELQUIN_GTEST GTest::gtest GTest::gmock)
  set(VELQUIN_GTEST_MAIN GTest::gtest_main)
endif()

# velquin_add_test(<name> SOURCES <files…> [LIBRARIES <libs…>] [NO_MAIN])
# One test exe, run whole as one CTest test (a Wine start per exe, not per case).
function(velquin_add_test name)
  cmake_parse_arguments(T "NO_MAIN" "" "SOURCES;LIBRARIES" ${ARGN})
  add_executable(${name} ${T_SOURCES})
  target_link_libraries(${name} PRIVATE ${T_LIBRARIES} ${VELQUIN_GTEST})
  if(NOT T_NO_MAIN)
    target_link_libraries(${name} PRIVATE ${VELQUIN_GTEST_MAIN})
  endif()
  target_include_directories(${name} PRIVATE ${CMAKE_SOURCE_DIR})
  add_test(NAME ${name} COMMAND ${name} --gtest_brief=1)
  set_tests_properties(${name} PROPERTIES TIMEOUT 600)
  if(CMAKE_CROSSCOMPILING)
    set_tests_properties(${name} PROPERTIES FIXTURES_REQUIRED wine ENVIRONMENT "${VELQUIN_WINE_ENV}")
  endif()
endfunction()

# velquin_declare_dpi_aware(<target>)
# Gives a Windows helper the program's manifest (system code page variant), so that
# it is per-monitor DPI aware like Velquin: a program that is not sees another
# process's windows in scaled coordinates where the display scale is not 96 DPI.
function(velquin_declare_dpi_aware target)
  target_sources(${target} PRIVATE ${CMAKE_SOURCE_DIR}/tests/program/Manifest.rc)
  target_include_directories(${target} PRIVATE ${VELQUIN_SYSTEM_CODE_PAGE_MANIFEST_DIR})
endfunction()
