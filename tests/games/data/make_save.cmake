# SPDX-License-Identifier: GPL-3.0-or-later
# Plays a story in dfrotz and saves the game: a real Quetzal file.
#   cmake -DDFROTZ=... -DSTORY=story.z5 -DCOMMANDS=north,east -DSAVE=out.qzl -P make_save.cmake
get_filename_component(folder ${SAVE} DIRECTORY)
get_filename_component(name ${SAVE} NAME)
file(REMOVE ${SAVE})
string(REPLACE "," "\n" moves "${COMMANDS}")
file(WRITE ${SAVE}.input "${moves}\nsave\n${name}\nquit\ny\n")
execute_process(COMMAND ${DFROTZ} -q -m ${STORY}
  INPUT_FILE ${SAVE}.input
  OUTPUT_QUIET
  WORKING_DIRECTORY ${folder}
  RESULT_VARIABLE result)
file(REMOVE ${SAVE}.input)
if(NOT result EQUAL 0 OR NOT EXISTS ${SAVE})
  message(FATAL_ERROR "dfrotz did not save ${SAVE} (exit ${result})")
endif()
