# Run by CPack (CPACK_PRE_BUILD_SCRIPTS) on the staged tree of the Debian package, after the
# install and before the package is made, for what Debian asks of a package beyond what
# `cmake --install` does elsewhere:
# - a game's commands stand in /usr/games, not in the launcher folder a plain install uses;
# - programs carry no .comment and .note sections (the compiler's name and version), as
#   dh_strip leaves them; CPack's strip keeps them.
# Reads CPACK_TEMPORARY_DIRECTORY and CPACK_PACKAGING_INSTALL_PREFIX from CPack, and
# CPACK_RV_LAUNCHER_DIR, CPACK_RV_PROGRAM_DIR, CPACK_RV_LAUNCHERS and CPACK_RV_STRIP from
# packaging/CMakeLists.txt.

set(root "${CPACK_TEMPORARY_DIRECTORY}${CPACK_PACKAGING_INSTALL_PREFIX}")
if(NOT IS_DIRECTORY "${root}/${CPACK_RV_PROGRAM_DIR}")
  message(FATAL_ERROR "DebianLayout: no program folder at ${root}/${CPACK_RV_PROGRAM_DIR}")
endif()

# The launchers: the same relative links, made again in games/ (one level below the prefix,
# like the launcher folder of a plain install, so "../" still leads back to the prefix).
file(MAKE_DIRECTORY "${root}/games")
foreach(pair IN LISTS CPACK_RV_LAUNCHERS)
  string(REPLACE "=" ";" pair "${pair}")
  list(GET pair 0 link)
  list(GET pair 1 program)
  set(staged "${root}/${CPACK_RV_LAUNCHER_DIR}/${link}")
  if(NOT IS_SYMLINK "${staged}")
    message(FATAL_ERROR "DebianLayout: ${staged} is not a link")
  endif()
  file(REMOVE "${staged}")
  file(CREATE_LINK "../${CPACK_RV_PROGRAM_DIR}/${program}" "${root}/games/${link}" SYMBOLIC)
  if(NOT EXISTS "${root}/games/${link}")
    message(FATAL_ERROR "DebianLayout: games/${link} leads nowhere")
  endif()
endforeach()
# Left empty, the launcher folder would be an empty folder of the package.
file(GLOB left "${root}/${CPACK_RV_LAUNCHER_DIR}/*")
if(NOT left)
  file(REMOVE_RECURSE "${root}/${CPACK_RV_LAUNCHER_DIR}")
endif()

# Every ELF file of the program folder (the programs and the PNG module).
file(GLOB_RECURSE files LIST_DIRECTORIES false "${root}/${CPACK_RV_PROGRAM_DIR}/*")
foreach(file IN LISTS files)
  if(IS_SYMLINK "${file}")
    continue()
  endif()
  file(READ "${file}" magic LIMIT 4 HEX)
  if(NOT magic STREQUAL "7f454c46")
    continue()
  endif()
  execute_process(COMMAND "${CPACK_RV_STRIP}" --remove-section=.comment --remove-section=.note
                          "${file}"
                  RESULT_VARIABLE status)
  if(NOT status EQUAL 0)
    message(FATAL_ERROR "DebianLayout: ${CPACK_RV_STRIP} failed on ${file}")
  endif()
endforeach()
