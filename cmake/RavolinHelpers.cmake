# Every room lists its sources by name in its CMakeLists.txt: a folder may feed two libraries
# (ranking/'s pure rules and its screen), and the lint test sources_are_compiled names any
# .cpp under src/ or tools/ that no target compiles, so a forgotten file fails the tests
# rather than waiting unbuilt. Each room's library carries the include folder its users need.

# The rooms a test may be labelled with (ctest -L '^board$', scripts/test.sh --room board).
set(RV_TEST_ROOMS lang board cpu pace ranking gfx sound platform game shell match sim config
                  storage start dialog assets packaging lint bench)

# rv_test_room(OUT): the room of the tests in the current folder of tests/: the folder's own
# name when it is a room, game_X for the game's room X, else empty (each test names its own).
function(rv_test_room out)
  get_filename_component(folder ${CMAKE_CURRENT_SOURCE_DIR} NAME)
  set(rooms_of_folders asset_sounds=assets game_window=game install=packaging soak=bench)
  string(REGEX REPLACE "^game_" "" room ${folder})
  if(NOT room IN_LIST RV_TEST_ROOMS)
    set(room "")
  endif()
  foreach(pair IN LISTS rooms_of_folders)
    if(pair MATCHES "^${folder}=(.*)$")
      set(room ${CMAKE_MATCH_1})
    endif()
  endforeach()
  set(${out} ${room} PARENT_SCOPE)
endfunction()

# rv_label_tests_by_room(): called at the end of a folder of tests/ that has add_test() tests;
# gives each of them that names no room in its LABELS the folder's room. A test left with none
# stops the configuration, and so does a folder with such tests that does not call it.
function(rv_label_tests_by_room)
  get_property(tests DIRECTORY PROPERTY TESTS)
  rv_test_room(room)
  foreach(test IN LISTS tests)
    get_test_property(${test} LABELS labels)
    set(named FALSE)
    foreach(label IN LISTS labels)
      if(label IN_LIST RV_TEST_ROOMS)
        set(named TRUE)
      endif()
    endforeach()
    if(NOT named AND NOT room)
      message(FATAL_ERROR "test ${test} names no room in its LABELS (one of ${RV_TEST_ROOMS})")
    elseif(NOT named)
      set_property(TEST ${test} APPEND PROPERTY LABELS ${room})
    endif()
  endforeach()
  set_property(DIRECTORY PROPERTY RV_TESTS_LABELLED TRUE)
endfunction()

# rv_check_tests_labelled(FOLDER): the check of the parent, after add_subdirectory(FOLDER).
function(rv_check_tests_labelled folder)
  get_property(tests DIRECTORY ${folder} PROPERTY TESTS)
  get_property(labelled DIRECTORY ${folder} PROPERTY RV_TESTS_LABELLED)
  if(tests AND NOT labelled)
    message(FATAL_ERROR "tests/${folder} adds tests but does not end with rv_label_tests_by_room()")
  endif()
endfunction()

# rv_add_gtest(NAME [ROOM room] [RUN_SERIAL] SOURCES... LIBS ...): one GoogleTest executable
# registered with CTest, labelled with its own name and its room (the folder's by default).
find_package(GTest QUIET)
include(GoogleTest OPTIONAL)
# RUN_SERIAL: the executable's tests hold wall-clock bounds, so they run with no other test
# beside them.
function(rv_add_gtest name)
  cmake_parse_arguments(T "RUN_SERIAL" "ROOM" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${T_SOURCES})
  # Helpers shared by the tests of several rooms ("support/...") come with rv_test_support.
  target_link_libraries(${name} PRIVATE ${T_LIBS} rv_test_support GTest::gtest GTest::gtest_main
                        GTest::gmock)
  set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${RV_TEST_BIN_DIR})
  set(serial FALSE)
  if(T_RUN_SERIAL)
    set(serial TRUE)
  endif()
  if(NOT T_ROOM)
    rv_test_room(T_ROOM)
  endif()
  if(NOT T_ROOM IN_LIST RV_TEST_ROOMS)
    message(FATAL_ERROR "${name}: ROOM '${T_ROOM}' is not one of ${RV_TEST_ROOMS}")
  endif()
  gtest_discover_tests(${name} DISCOVERY_TIMEOUT 60 PROPERTIES TIMEOUT 300 RUN_SERIAL ${serial})
  # The labels, set once ctest has read the discovered tests (gtest_discover_tests would split
  # a list of labels into properties). The executable's own label lets a run pick whole
  # executables (the sanitizer runs do).
  set(labels_file ${CMAKE_CURRENT_BINARY_DIR}/${name}_labels.cmake)
  file(WRITE ${labels_file} "if(${name}_TESTS)\n  set_tests_properties(\${${name}_TESTS} "
                            "PROPERTIES LABELS \"${name};${T_ROOM}\")\nendif()\n")
  set_property(DIRECTORY APPEND PROPERTY TEST_INCLUDE_FILES ${labels_file})
endfunction()

# rv_add_qt_test(NAME SOURCES... LIBS ... [ROOM room]): a Qt Test executable run offscreen, the
# boxes it would show written to standard error.
function(rv_add_qt_test name)
  cmake_parse_arguments(Q "" "ROOM" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${Q_SOURCES})
  set_target_properties(${name} PROPERTIES AUTOMOC ON RUNTIME_OUTPUT_DIRECTORY ${RV_TEST_BIN_DIR})
  target_link_libraries(${name} PRIVATE ${Q_LIBS} Qt6::Test rv_test_support)
  add_test(NAME ${name} COMMAND ${name})
  if(NOT Q_ROOM)
    rv_test_room(Q_ROOM)
  endif()
  set_tests_properties(${name} PROPERTIES LABELS "${name};${Q_ROOM}" TIMEOUT 180
    ENVIRONMENT "QT_QPA_PLATFORM=offscreen;RV_CONFIG_BOXES_TO_STDERR=1")
endfunction()

# rv_add_window_test(NAME SCRIPT script [SCREEN WxHxD [SERVER n]] [ARGS ...] [ENVIRONMENT ...]
#                    [LABELS ...] TIMEOUT s): a shell test of the real game, handed the program
# folder and a work folder named after the test, then ARGS. With SCREEN it runs under xvfb-run
# with the dummy sound driver, from server number SERVER up: each test its own range, as two
# xvfb-run -a started at once by a parallel ctest can pick the same free number; and one such
# test at a time.
function(rv_add_window_test name)
  cmake_parse_arguments(W "" "SCRIPT;SCREEN;SERVER;TIMEOUT" "ARGS;ENVIRONMENT;LABELS" ${ARGN})
  set(command bash ${CMAKE_CURRENT_SOURCE_DIR}/${W_SCRIPT} ${RV_DIST_DIR}
              ${CMAKE_CURRENT_BINARY_DIR}/${name} ${W_ARGS})
  if(W_SCREEN)
    set(server "")
    if(W_SERVER)
      set(server -n ${W_SERVER})
    endif()
    set(command ${RV_XVFB_RUN} -a ${server} -s "-screen 0 ${W_SCREEN}" ${command})
    list(PREPEND W_ENVIRONMENT SDL_AUDIODRIVER=dummy)
    list(APPEND W_LABELS window)
  endif()
  add_test(NAME ${name} COMMAND ${command})
  set_tests_properties(${name} PROPERTIES TIMEOUT ${W_TIMEOUT})
  if(W_SCREEN)
    # One real window at a time: their waits for fades and keys are sized for a game that
    # has the machine to itself, not for two of them drawing at once.
    set_tests_properties(${name} PROPERTIES RESOURCE_LOCK xvfb)
  endif()
  if(W_ENVIRONMENT)
    set_tests_properties(${name} PROPERTIES ENVIRONMENT "${W_ENVIRONMENT}")
  endif()
  if(W_LABELS)
    set_tests_properties(${name} PROPERTIES LABELS "${W_LABELS}")
  endif()
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
