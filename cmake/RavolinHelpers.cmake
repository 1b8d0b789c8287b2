# Every room lists its sources by name in its CMakeLists.txt: a folder may feed two libraries
# (ranking/'s pure rules and its screen), and the lint test sources_are_compiled names any
# .cpp under src/ or tools/ that no target compiles, so a forgotten file fails the tests
# rather than waiting unbuilt. Each room's library carries the include folder its users need.

# rv_add_gtest(NAME SOURCES... LIBS ...): one GoogleTest executable registered with CTest.
find_package(GTest QUIET)
include(GoogleTest OPTIONAL)
# RUN_SERIAL: the executable's tests hold wall-clock bounds, so they run with no other test
# beside them.
function(rv_add_gtest name)
  cmake_parse_arguments(T "RUN_SERIAL" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${T_SOURCES})
  # Helpers shared by the tests of several rooms ("support/...") come with rv_test_support.
  target_link_libraries(${name} PRIVATE ${T_LIBS} rv_test_support GTest::gtest GTest::gtest_main
                        GTest::gmock)
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

# rv_write_compiled_sources(FILE): every source file any target of the tree compiles, one
# absolute path a line, for the lint test sources_are_compiled.
function(rv_write_compiled_sources file)
  set(folders ${CMAKE_SOURCE_DIR})
  set(compiled "")
  while(folders)
    list(POP_FRONT folders folder)
    get_property(subfolders DIRECTORY ${folder} PROPERTY SUBDIRECTORIES)
    list(APPEND folders ${subfolders})
    get_property(targets DIRECTORY ${folder} PROPERTY BUILDSYSTEM_TARGETS)
    foreach(target IN LISTS targets)
      get_target_property(sources ${target} SOURCES)
      get_target_property(target_dir ${target} SOURCE_DIR)
      foreach(source IN LISTS sources)
        if(source AND NOT source MATCHES "^\\$<")
          get_filename_component(path ${source} ABSOLUTE BASE_DIR ${target_dir})
          list(APPEND compiled ${path})
        endif()
      endforeach()
    endforeach()
  endwhile()
  list(REMOVE_DUPLICATES compiled)
  list(JOIN compiled "\n" text)
  file(WRITE ${file} "${text}\n")
endfunction()
