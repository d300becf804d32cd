# SPDX-License-Identifier: GPL-3.0-or-later
# Where this build lies and where its installation puts its files, written
# into one header (NarroInstallPaths.h, from NarroInstallPaths.h.in) that a
# program includes through the narro_install_paths target. configure_file
# rewrites the header only when a path changed, so a new prefix rebuilds the
# few files that include it and nothing else.

include(${CMAKE_CURRENT_LIST_DIR}/NarroInstallRelativePath.cmake)

# A C string literal's contents: a folder may hold a quote or a backslash.
function(narro_c_string out text)
  string(REPLACE "\\" "\\\\" text "${text}")
  string(REPLACE "\"" "\\\"" text "${text}")
  set(${out} "${text}" PARENT_SCOPE)
endfunction()

narro_install_relative_path(NARRO_BIN_TO_DATADIR
  "${CMAKE_INSTALL_BINDIR}" "${CMAKE_INSTALL_DATADIR}")
narro_install_relative_path(NARRO_LIB_TO_DATADIR
  "${CMAKE_INSTALL_LIBDIR}" "${CMAKE_INSTALL_DATADIR}")
narro_install_relative_path(NARRO_BIN_TO_LIBEXECDIR
  "${CMAKE_INSTALL_BINDIR}" "${CMAKE_INSTALL_LIBEXECDIR}")

narro_c_string(narro_build_tree_c "${PROJECT_BINARY_DIR}")
narro_c_string(narro_bin_to_data_c "${NARRO_BIN_TO_DATADIR}")
narro_c_string(narro_lib_to_data_c "${NARRO_LIB_TO_DATADIR}")
narro_c_string(narro_install_datadir_c "${CMAKE_INSTALL_FULL_DATADIR}")
narro_c_string(narro_bin_to_libexec_c "${NARRO_BIN_TO_LIBEXECDIR}")
narro_c_string(narro_install_libexecdir_c "${CMAKE_INSTALL_FULL_LIBEXECDIR}")
configure_file(${CMAKE_CURRENT_LIST_DIR}/NarroInstallPaths.h.in
  ${PROJECT_BINARY_DIR}/generated/NarroInstallPaths.h @ONLY)

add_library(narro_install_paths INTERFACE)
target_include_directories(narro_install_paths INTERFACE
  $<BUILD_INTERFACE:${PROJECT_BINARY_DIR}/generated>)
