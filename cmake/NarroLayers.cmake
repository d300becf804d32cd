# SPDX-License-Identifier: GPL-3.0-or-later
# The library's layers, each folder a static archive of its own:
#
#   platform  <  core  <  speech  <  text  <  games  <  dialogs, update
#             <  facade (the CNarro bodies, which use them all)
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
  # What a layer calls above itself it reaches through an interface of its
  # own that the layer above fills in (text/DialogHost.h), so the archives
  # link in the order of their layers, each only as far as it is used.
  target_link_libraries(${target} PRIVATE ${LAYER_USES})
  set_property(TARGET ${target} PROPERTY NARRO_LAYER_USES ${LAYER_USES})
endfunction()
