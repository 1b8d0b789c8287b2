# Fails naming each .cpp under src/ and tools/ of ROOT that no target compiles: a file the
# build never sees. LIST holds the compiled sources, one absolute path a line, written by the
# configuration (rv_write_compiled_sources).
cmake_minimum_required(VERSION 3.25)
file(STRINGS ${LIST} compiled)
file(GLOB_RECURSE sources RELATIVE ${ROOT} ${ROOT}/src/*.cpp ${ROOT}/tools/*.cpp)
set(missing "")
foreach(source IN LISTS sources)
  if(NOT "${ROOT}/${source}" IN_LIST compiled)
    list(APPEND missing ${source})
  endif()
endforeach()
if(missing)
  list(JOIN missing "\n  " names)
  message(FATAL_ERROR "no target compiles (list it in its room's CMakeLists.txt):\n  ${names}")
endif()
