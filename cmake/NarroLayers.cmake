# SPDX-License-Identifier: GPL-3.0-or-later
# The library's layers, each folder a static archive of its own:
#
#   platform  <  core  <  speech  <  text  <  games  <  dialogs, update
#             <  core/facade (the CNarro bodies, which use them all)
#
# A folder's headers are reachable only through its own include root, a
# folder in the build tree holding one link named after the source folder.
# An archive gets that root from what it links, and links PRIVATE, so a
# folder sees the headers of the folders it names and of none above it: an
# include that runs upward fails to build instead of creeping in.

# The include root that lets "<folder>/Header.h" be found, and nothing else.
function(narro_include_root out folder)
  set(root ${PROJECT_BINARY_DIR}/include-roots/${folder})
  if(NOT EXISTS ${root}/${folder})
    file(MAKE_DIRECTORY ${root})
    file(CREATE_LINK ${PROJECT_SOURCE_DIR}/${folder} ${root}/${folder} SYMBOLIC)
  endif()
  set(${out} ${root} PARENT_SCOPE)
endfunction()

#   narro_layer(target folder [USES lower-layer-target...])
function(narro_layer target folder)
  cmake_parse_arguments(PARSE_ARGV 2 LAYER "" "" "USES")
  narro_include_root(root ${folder})
  add_library(${target} STATIC)
  target_include_directories(${target} PUBLIC
    $<BUILD_INTERFACE:${root}>
    $<BUILD_INTERFACE:${PROJECT_SOURCE_DIR}/include>)
  target_link_libraries(${target} PUBLIC Boost::headers)
  # Whole archives, the platform layer apart: the lower layers reach the
  # facade's flags and speech through the public interface, which only the
  # top layer defines, so no order of archives would resolve every symbol.
  set(layers ${LAYER_USES})
  list(REMOVE_ITEM layers narro_platform)
  if(layers)
    list(JOIN layers "," joined)
    target_link_libraries(${target} PRIVATE "$<LINK_LIBRARY:WHOLE_ARCHIVE,${joined}>")
  endif()
  if(narro_platform IN_LIST LAYER_USES)
    target_link_libraries(${target} PRIVATE narro_platform)
  endif()
endfunction()
