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

# Relocatable: the prefix is found from where narro.pc lies.
file(RELATIVE_PATH NARRO_PC_TO_PREFIX "/p/${CMAKE_INSTALL_LIBDIR}/pkgconfig" "/p")
configure_file(cmake/narro.pc.in ${CMAKE_CURRENT_BINARY_DIR}/narro.pc @ONLY)
install(FILES ${CMAKE_CURRENT_BINARY_DIR}/narro.pc
  DESTINATION ${CMAKE_INSTALL_LIBDIR}/pkgconfig)

install(TARGETS narro RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(FILES games/fingerprints.xml DESTINATION ${CMAKE_INSTALL_BINDIR})
