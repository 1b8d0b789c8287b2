# Fails naming every C++ source of src/, tools/, tests/, bench/ and fuzz/ that clang-format
# (the .clang-format at the root) would change.
#
# Usage: cmake -DROOT=<source folder> -DCLANG_FORMAT=<clang-format-14> -P check_format.cmake
cmake_minimum_required(VERSION 3.25)

set(sources "")
foreach(dir IN ITEMS src tools tests bench fuzz)
  file(GLOB_RECURSE found ${ROOT}/${dir}/*.h ${ROOT}/${dir}/*.cpp)
  list(APPEND sources ${found})
endforeach()
# The lint fixtures are bad on purpose.
list(FILTER sources EXCLUDE REGEX "/tests/lint/fixtures/")

set(unformatted "")
foreach(f IN LISTS sources)
  execute_process(COMMAND ${CLANG_FORMAT} --dry-run -Werror ${f}
                  RESULT_VARIABLE status OUTPUT_QUIET ERROR_QUIET)
  if(NOT status EQUAL 0)
    file(RELATIVE_PATH shown ${ROOT} ${f})
    list(APPEND unformatted ${shown})
  endif()
endforeach()
list(LENGTH sources n)
if(unformatted)
  list(LENGTH unformatted count)
  list(JOIN unformatted "\n" text)
  message(FATAL_ERROR "${count} of ${n} sources are not formatted (clang-format-14 -i FILE):\n${text}")
endif()
message(STATUS "${n} sources formatted")
