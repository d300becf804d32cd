# SPDX-License-Identifier: GPL-3.0-or-later
include(CMakePackageConfigHelpers)

install(TARGETS Narro EXPORT NarroTargets
  LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR}
  INCLUDES DESTINATION ${CMAKE_INSTALL_INCLUDEDIR})
install(DIRECTORY include/narro DESTINATION ${CMAKE_INSTALL_INCLUDEDIR})
install(EXPORT NarroTargets NAMESPACE Narro::
  DESTINATION ${CMAKE_INSTALL_LIBDIR}/cmake/Narro)

configure_package_config_file(cmake/NarroConfig.cmake.in
  ${CMAKE_CURRENT_BINARY_DIR}/NarroConfig.cmake
  INSTALL_DESTINATION ${CMAKE_INSTALL_LIBDIR}/cmake/Narro)
write_basic_package_version_file(
  ${CMAKE_CURRENT_BINARY_DIR}/NarroConfigVersion.cmake
  COMPATIBILITY SameMajorVersion)
install(FILES ${CMAKE_CURRENT_BINARY_DIR}/NarroConfig.cmake
              ${CMAKE_CURRENT_BINARY_DIR}/NarroConfigVersion.cmake
  DESTINATION ${CMAKE_INSTALL_LIBDIR}/cmake/Narro)

# Relocatable: the prefix is found from where narro.pc lies, unless the
# library folder was configured absolute and so stays where it is.
narro_install_relative_path(narro_pc_to_prefix "${CMAKE_INSTALL_LIBDIR}/pkgconfig" ".")
if(narro_pc_to_prefix STREQUAL "")
  set(NARRO_PC_PREFIX "${CMAKE_INSTALL_PREFIX}")
else()
  set(NARRO_PC_PREFIX "\${pcfiledir}/${narro_pc_to_prefix}")
endif()
foreach(kind LIB INCLUDE)
  if(IS_ABSOLUTE "${CMAKE_INSTALL_${kind}DIR}")
    set(NARRO_PC_${kind}DIR "${CMAKE_INSTALL_${kind}DIR}")
  else()
    set(NARRO_PC_${kind}DIR "\${prefix}/${CMAKE_INSTALL_${kind}DIR}")
  endif()
endforeach()
configure_file(cmake/narro.pc.in ${CMAKE_CURRENT_BINARY_DIR}/narro.pc @ONLY)
install(FILES ${CMAKE_CURRENT_BINARY_DIR}/narro.pc
  DESTINATION ${CMAKE_INSTALL_LIBDIR}/pkgconfig)

# An installed program finds libNarro.so from its own folder, as the data:
# a prefix that is no system one (~/.local, /opt/narro) has no ldconfig
# entry, and a moved installation has none either. With an absolute
# library folder the run path is that folder, which does not move.
narro_install_relative_path(narro_bin_to_lib "${CMAKE_INSTALL_BINDIR}" "${CMAKE_INSTALL_LIBDIR}")
if(narro_bin_to_lib STREQUAL "")
  set(NARRO_PROGRAM_INSTALL_RPATH "${CMAKE_INSTALL_FULL_LIBDIR}")
else()
  set(NARRO_PROGRAM_INSTALL_RPATH "$ORIGIN/${narro_bin_to_lib}")
endif()

# Installs a program into bin with that run path. The build tree keeps its
# own run path (CMake's, naming the build folders) until the install
# rewrites it.
function(narro_install_program target)
  set_target_properties(${target} PROPERTIES INSTALL_RPATH "${NARRO_PROGRAM_INSTALL_RPATH}")
  install(TARGETS ${target} RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
endfunction()

# The programs, and their manual pages. narro-play comes with the player.
narro_install_program(narro)
install(FILES tools/narro/narro.1 DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
if(TARGET narro-play)
  narro_install_program(narro-play)
endif()
install(FILES player/narro-play.1 DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)

# What the installation ships, read only, in share/narro: the game database
# and the demo and test stories it names, Z-code and Glulx (none when Inform
# 6 was not there to compile them: cmake/NarroDependencies.cmake). An
# installed program finds it relative to itself or to the library, else
# where this build configured it (core/AppDirectory.h, NarroInstallPaths.h);
# its user's own files go to the XDG data folder.
install(FILES games/fingerprints.xml ${NARRO_DEMO_STORIES}
  DESTINATION ${CMAKE_INSTALL_DATADIR}/narro)

# narro-play's interpreters for the formats it has no native one for:
# emglken, as the setup script installed it from the lock file (npm ci).
# narro-play finds it in share/narro/node_modules beside its own bin
# folder. The one-file runner the setup script bundled needs only
# emglken's build folder (its interpreters and their WebAssembly); without
# it, emglken's own runner needs the packages it imports too.
set(narro_emglken ${PROJECT_SOURCE_DIR}/node_modules/emglken)
if(TARGET narro-play AND EXISTS ${narro_emglken}/build/narro-runner.mjs)
  install(DIRECTORY ${narro_emglken}/build
    DESTINATION ${CMAKE_INSTALL_DATADIR}/narro/node_modules/emglken
    USE_SOURCE_PERMISSIONS)
  install(FILES ${narro_emglken}/package.json ${narro_emglken}/LICENSE
    DESTINATION ${CMAKE_INSTALL_DATADIR}/narro/node_modules/emglken)
elseif(TARGET narro-play AND EXISTS ${narro_emglken})
  install(DIRECTORY ${PROJECT_SOURCE_DIR}/node_modules
    DESTINATION ${CMAKE_INSTALL_DATADIR}/narro
    USE_SOURCE_PERMISSIONS
    PATTERN ".package-lock.json" EXCLUDE
    PATTERN ".bin" EXCLUDE
    PATTERN "esbuild" EXCLUDE
    PATTERN "@esbuild" EXCLUDE)
endif()

# The cage every interpreter runs in, beside the native interpreters
# (third_party/), in libexec/narro.
if(TARGET narro-cage)
  install(TARGETS narro-cage RUNTIME DESTINATION ${CMAKE_INSTALL_LIBEXECDIR}/narro)
endif()
