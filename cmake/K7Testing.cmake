# Test helpers shared by every folder.
#
# Each GoogleTest program is one ctest entry that also writes a gtest XML report,
# so that the closing summary of `make test` counts the individual test cases.

set(K7_REPORT_DIR ${CMAKE_BINARY_DIR}/reports)
file(MAKE_DIRECTORY ${K7_REPORT_DIR})

if(CMAKE_CROSSCOMPILING)
  # Wine resolves a drive-letter path; Z: is the Unix root.
  set(K7_REPORT_ARG_PREFIX "Z:")
  set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_SOURCE_DIR}/testbed/wine/k7wine --prefix ${CMAKE_BINARY_DIR}/wineprefix)
  set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
  add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/_googletest EXCLUDE_FROM_ALL)
  foreach(t gtest gtest_main gmock gmock_main)
    target_compile_options(${t} PRIVATE -w -O1 -g1)  # as the tests' own code: see tests/CMakeLists.txt
  endforeach()
else()
  set(K7_REPORT_ARG_PREFIX "")
  find_package(GTest REQUIRED)
endif()

# k7_add_gtest(<name> SOURCES <files...> [LIBS <libs...>] [TIMEOUT <s>] [WINE_PREFIX <name>])
# Under Wine a program runs in the test bed's prefix, one at a time since they share its
# agent, registry and virtual keyboard; WINE_PREFIX gives it a prefix of its own, booted on
# its first run and ended after it, so that it runs beside the others.
function(k7_add_gtest name)
  cmake_parse_arguments(T "" "TIMEOUT;WINE_PREFIX" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${T_SOURCES})
  target_link_libraries(${name} PRIVATE ${T_LIBS} GTest::gtest_main GTest::gmock)
  add_test(NAME ${name}
           COMMAND ${name} --gtest_output=xml:${K7_REPORT_ARG_PREFIX}${K7_REPORT_DIR}/${name}.xml)
  if(NOT T_TIMEOUT)
    set(T_TIMEOUT 300)
  endif()
  set_tests_properties(${name} PROPERTIES LABELS gtest TIMEOUT ${T_TIMEOUT})
  if(K7_SANITIZE)
    # Stricter than the defaults: stale stack frames, initialisation order, leaks, and a
    # stack trace with every undefined-behaviour report.
    set_tests_properties(${name} PROPERTIES ENVIRONMENT
      "ASAN_OPTIONS=detect_stack_use_after_return=1:check_initialization_order=1:strict_init_order=1:detect_leaks=1;UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1")
  endif()
  if(CMAKE_CROSSCOMPILING)
    if(T_WINE_PREFIX)
      k7_wine_prefix(${T_WINE_PREFIX} prefix)
      set_target_properties(${name} PROPERTIES CROSSCOMPILING_EMULATOR
                            "${CMAKE_SOURCE_DIR}/testbed/wine/k7wine;--prefix;${CMAKE_BINARY_DIR}/${prefix}")
      set_tests_properties(${name} PROPERTIES FIXTURES_REQUIRED ${prefix})
    else()
      set(prefix wineprefix)
    endif()
    set_tests_properties(${name} PROPERTIES RESOURCE_LOCK ${prefix})
  endif()
endfunction()

# k7_wine_prefix(<name> <out>): a Wine prefix of the build folder's own, <name>-wineprefix,
# with a test that ends its server, display and virtual keyboard after the tests using it.
function(k7_wine_prefix name out)
  set(prefix ${name}-wineprefix)
  if(NOT TEST ${name}_wine_down)
    add_test(NAME ${name}_wine_down
             COMMAND ${CMAKE_SOURCE_DIR}/testbed/wine/k7env --prefix ${CMAKE_BINARY_DIR}/${prefix} down)
    set_tests_properties(${name}_wine_down PROPERTIES FIXTURES_CLEANUP ${prefix} RESOURCE_LOCK ${prefix})
  endif()
  set(${out} ${prefix} PARENT_SCOPE)
endfunction()
