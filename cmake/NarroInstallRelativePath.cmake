# SPDX-License-Identifier: GPL-3.0-or-later
# How to go from the install folder `from` to the install folder `to`, both
# relative to the prefix ("bin", "share" -> "../share"); empty when either
# is absolute, since then the two do not move together with the prefix.
function(narro_install_relative_path out from to)
  if(IS_ABSOLUTE "${from}" OR IS_ABSOLUTE "${to}")
    set(${out} "" PARENT_SCOPE)
    return()
  endif()
  cmake_path(NORMAL_PATH from)
  cmake_path(NORMAL_PATH to)
  cmake_path(RELATIVE_PATH to BASE_DIRECTORY "${from}" OUTPUT_VARIABLE relative)
  cmake_path(NORMAL_PATH relative)
  # NORMAL_PATH keeps a trailing slash of "../" and makes "" of nothing.
  string(REGEX REPLACE "(.)/$" "\\1" relative "${relative}")
  if(relative STREQUAL "")
    set(relative ".")
  endif()
  set(${out} "${relative}" PARENT_SCOPE)
endfunction()
