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
    target_compile_options(${t} PRIVATE -w)
  endforeach()
else()
  set(K7_REPORT_ARG_PREFIX "")
  find_package(GTest REQUIRED)
endif()

# k7_add_gtest(<name> SOURCES <files...> [LIBS <libs...>] [SERIAL] [TIMEOUT <s>])
function(k7_add_gtest name)
  cmake_parse_arguments(T "SERIAL" "TIMEOUT" "SOURCES;LIBS" ${ARGN})
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
  if(T_SERIAL OR CMAKE_CROSSCOMPILING)
    set_tests_properties(${name} PROPERTIES RUN_SERIAL TRUE)
  endif()
endfunction()
