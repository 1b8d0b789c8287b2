# The layering of the rooms: which room's sources may include which room's headers. Pure
# rules and pacing at the bottom, drawing and sound above them, the Game context above
# those, the screens on top; the platform interface below the game. Qt stays in the
# dialog and rv_message. Fails naming every include that breaks the table, and prints
# the count of includes that cross rooms.
#
# Usage: cmake -DROOT=<source folder> -P check_layering.cmake
cmake_minimum_required(VERSION 3.25)

# A room: its name, then the path prefixes (below src/) of its files. The longest prefix
# decides, so the ranking screens are a room apart from the pure ranking rules.
set(rooms
  "platform|platform/"
  "platform_sdl|platform/sdl/"
  "platform_headless|platform/headless/"
  "lang|lang/"
  "storage|storage/"
  "config|config/"
  "start|start/"
  "program_folder|start/program_folder."
  "dialog|config/dialog/"
  "mpng|mpng/"
  "board|game/board/"
  "cpu|game/cpu/"
  "pace|game/pace/"
  "ranking_rules|game/ranking/"
  "gfx|game/gfx/"
  "sound|game/sound/"
  "game|game/game."
  "ranking_screens|game/ranking/ranking_drawing.|game/ranking/ranking_marks.|game/ranking/ranking_screen."
  "match|game/match/"
  "shell|game/shell/"
  "headless_game|game/headless/"
  "app|app/")

# What each room may include besides itself.
set(game_below "platform;lang;storage;config;board;cpu;pace;ranking_rules;gfx;sound")
set(allowed_platform "")
set(allowed_platform_sdl "platform;platform_headless;storage;lang;program_folder")
set(allowed_platform_headless "platform;program_folder")
set(allowed_lang "")
# The players' messages are said in the language chosen.
set(allowed_storage "lang")
set(allowed_config "storage;lang")
# The command line, the language read from its catalogue, and the program folder.
set(allowed_start "lang;storage;config;program_folder")
set(allowed_program_folder "")
set(allowed_dialog "config;storage;lang;start;program_folder")
set(allowed_mpng "")
set(allowed_board "")
set(allowed_cpu "board")
set(allowed_pace "platform")
set(allowed_ranking_rules "storage;lang")
# Pictures are opened through the one opener of stored files.
set(allowed_gfx "platform;pace;storage;lang")
set(allowed_sound "platform;pace;storage")
set(allowed_game "${game_below}")
set(allowed_ranking_screens "${game_below};game")
set(allowed_match "${game_below};game;ranking_screens")
# The menu starts the match and shows the ranking.
set(allowed_shell "${game_below};game;ranking_screens;match")
# The game without a window: its own start-up and matches on the headless platform.
set(allowed_headless_game "${game_below};game;ranking_screens;match;shell;platform_headless")
set(allowed_app "platform;platform_sdl;platform_headless;lang;storage;config;start;program_folder;dialog;${game_below};game;ranking_screens;match;shell;headless_game")
# Rooms where Qt may be included.
set(qt_rooms "dialog;app")

# Sets `out` to the room of a path below src/, or "" when none claims it.
function(room_of path out)
  set(best "")
  set(best_len 0)
  foreach(entry IN LISTS rooms)
    string(REPLACE "|" ";" parts "${entry}")
    list(POP_FRONT parts name)
    foreach(prefix IN LISTS parts)
      string(LENGTH "${prefix}" len)
      string(FIND "${path}" "${prefix}" at)
      if(at EQUAL 0 AND len GREATER best_len)
        set(best "${name}")
        set(best_len ${len})
      endif()
    endforeach()
  endforeach()
  set(${out} "${best}" PARENT_SCOPE)
endfunction()

file(GLOB_RECURSE sources RELATIVE ${ROOT}/src ${ROOT}/src/*.h ${ROOT}/src/*.cpp)
set(offenders "")
set(crossing 0)
foreach(f IN LISTS sources)
  room_of("${f}" from)
  if(from STREQUAL "")
    list(APPEND offenders "${f}: in no room of the table")
    continue()
  endif()
  file(STRINGS ${ROOT}/src/${f} includes REGEX "^[ \t]*#[ \t]*include[ \t]*[<\"]")
  foreach(line IN LISTS includes)
    string(REGEX REPLACE "^[ \t]*#[ \t]*include[ \t]*[<\"]([^>\"]*)[>\"].*" "\\1" header "${line}")
    if(line MATCHES "<Q[A-Za-z]+" AND NOT from IN_LIST qt_rooms)
      list(APPEND offenders "${f}: includes ${header}: Qt only in the dialog and rv_message")
    endif()
    if(NOT line MATCHES "\"" OR NOT EXISTS ${ROOT}/src/${header})
      continue()
    endif()
    room_of("${header}" to)
    if(to STREQUAL from)
      continue()
    endif()
    math(EXPR crossing "${crossing} + 1")
    if(NOT to IN_LIST allowed_${from})
      list(APPEND offenders "${f}: includes ${header}: room ${from} may not include room ${to}")
    endif()
  endforeach()
endforeach()
if(offenders)
  list(LENGTH offenders count)
  list(JOIN offenders "\n" text)
  message(FATAL_ERROR "${count} includes break the layering:\n${text}")
endif()
list(LENGTH sources n)
message(STATUS "${n} sources checked; ${crossing} includes cross rooms, all downwards")
