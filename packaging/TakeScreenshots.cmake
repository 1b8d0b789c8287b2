# cmake -DSIM=rv_sim -DOUT=folder -P TakeScreenshots.cmake
# Plays one fixed headless match (strongest computer, 3 rounds, seed 7, greedy player) with
# its frames captured, and keeps three of them as the AppStream screenshots. The frame
# numbers belong to this match: a busy board in round 2, the roulette of round 2, and the
# results panel fully shown before the last fade.
set(frames ${OUT}/frames)
file(REMOVE_RECURSE ${frames})
file(MAKE_DIRECTORY ${frames})
execute_process(
  COMMAND ${SIM} match --mode 2 --rounds 3 --seed 7 --player greedy --frames ${frames}
  OUTPUT_QUIET RESULT_VARIABLE rc)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "rv_sim match failed: ${rc}")
endif()
foreach(pick IN ITEMS match=000800 roulette=000249 results=001361)
  string(REPLACE "=" ";" pick ${pick})
  list(GET pick 0 name)
  list(GET pick 1 number)
  if(NOT EXISTS ${frames}/frame_${number}.png)
    message(FATAL_ERROR "the match has no frame ${number}: pick the screenshots anew")
  endif()
  file(COPY_FILE ${frames}/frame_${number}.png ${OUT}/${name}.png)
endforeach()
file(REMOVE_RECURSE ${frames})
message(STATUS "Screenshots in ${OUT}")
