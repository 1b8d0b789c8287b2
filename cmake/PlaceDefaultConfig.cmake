# Writes the two bytes 01 00 (normal priority) to ${CFG} unless the file already exists.
# CMake strings cannot hold a NUL byte, so printf writes the bytes.
if(NOT EXISTS "${CFG}")
  execute_process(COMMAND printf "\\001\\000" OUTPUT_FILE "${CFG}.tmp" RESULT_VARIABLE rc)
  if(NOT rc EQUAL 0)
    message(FATAL_ERROR "Could not write ${CFG}")
  endif()
  file(RENAME "${CFG}.tmp" "${CFG}")
endif()
