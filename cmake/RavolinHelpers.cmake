# rv_add_gtest(NAME SOURCES... LIBS ...): one GoogleTest executable registered with CTest.
find_package(GTest QUIET)
include(GoogleTest OPTIONAL)
# RUN_SERIAL: the executable's tests hold wall-clock bounds, so they run with no other test
# beside them.
function(rv_add_gtest name)
  cmake_parse_arguments(T "RUN_SERIAL" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${T_SOURCES})
  target_link_libraries(${name} PRIVATE ${T_LIBS} rv_test_support GTest::gtest GTest::gtest_main
                        GTest::gmock)
  # Helpers shared by the tests of several rooms: "support/...".
  target_include_directories(${name} PRIVATE ${CMAKE_SOURCE_DIR}/tests)
  set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${RV_TEST_BIN_DIR})
  set(serial FALSE)
  if(T_RUN_SERIAL)
    set(serial TRUE)
  endif()
  # The label names the executable, so a run can pick whole executables (ctest -L).
  gtest_discover_tests(${name} DISCOVERY_TIMEOUT 60
                       PROPERTIES TIMEOUT 300 LABELS ${name} RUN_SERIAL ${serial})
endfunction()

# rv_add_benchmark(NAME SOURCES... LIBS ...): a Google Benchmark executable (not run by CTest).
function(rv_add_benchmark name)
  cmake_parse_arguments(B "" "" "SOURCES;LIBS" ${ARGN})
  find_package(benchmark REQUIRED)
  add_executable(${name} ${B_SOURCES})
  target_link_libraries(${name} PRIVATE ${B_LIBS} benchmark::benchmark benchmark::benchmark_main)
  set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/bench)
endfunction()
