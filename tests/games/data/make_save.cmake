# SPDX-License-Identifier: GPL-3.0-or-later
# Plays a story in emglken's interpreter and saves the game: a real saved
# game (Quetzal for Z-code and Glulx), written under the name given (the
# interpreter adds ".glksave" only to a name with no extension).
#   cmake -DSCRIPT=narro-glk-script -DSTORY=story.z5 -DCOMMANDS=north,east -DSAVE=out.qzl -P make_save.cmake
get_filename_component(folder ${SAVE} DIRECTORY)
file(REMOVE ${SAVE})
string(REPLACE "," "\n" moves "${COMMANDS}")
file(WRITE ${SAVE}.input "${moves}\nsave\n")
execute_process(COMMAND ${SCRIPT} ${STORY} ${SAVE}
  INPUT_FILE ${SAVE}.input
  OUTPUT_QUIET
  WORKING_DIRECTORY ${folder}
  RESULT_VARIABLE result)
file(REMOVE ${SAVE}.input)
if(NOT result EQUAL 0 OR NOT EXISTS ${SAVE})
  message(FATAL_ERROR "${SCRIPT} did not save ${SAVE} (exit ${result})")
endif()
