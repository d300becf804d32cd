# SPDX-License-Identifier: GPL-3.0-or-later
# Debian 12 packages: see scripts/install-deps.sh.
find_package(Threads REQUIRED)
find_package(Boost 1.74 REQUIRED)
find_package(PkgConfig REQUIRED)
# zlib: the tests and benchmarks check and time the CRC against it.
find_package(ZLIB REQUIRED)
pkg_check_modules(ICU_UC REQUIRED IMPORTED_TARGET icu-uc)
pkg_check_modules(TINYXML REQUIRED IMPORTED_TARGET tinyxml)
pkg_check_modules(LIBCURL REQUIRED IMPORTED_TARGET libcurl)
pkg_check_modules(LIBELF REQUIRED IMPORTED_TARGET libelf)
pkg_check_modules(ESPEAK_NG REQUIRED IMPORTED_TARGET espeak-ng)
pkg_check_modules(ALSA REQUIRED IMPORTED_TARGET alsa)
# The window layer draws with the wide-character ncurses.
pkg_check_modules(NCURSESW REQUIRED IMPORTED_TARGET ncursesw)

# libspeechd: speech through the player's speech-dispatcher.
pkg_check_modules(SPEECHD REQUIRED IMPORTED_TARGET speech-dispatcher)
# ISA-L: the story-file CRC at the speed memory delivers the bytes.
pkg_check_modules(ISAL REQUIRED IMPORTED_TARGET libisal)

# pcaudiolib ships no pkg-config file.
find_path(PCAUDIO_INCLUDE_DIR pcaudiolib/audio.h REQUIRED)
find_library(PCAUDIO_LIBRARY pcaudio REQUIRED)
add_library(Pcaudio::Pcaudio UNKNOWN IMPORTED)
set_target_properties(Pcaudio::Pcaudio PROPERTIES
  IMPORTED_LOCATION ${PCAUDIO_LIBRARY}
  INTERFACE_INCLUDE_DIRECTORIES ${PCAUDIO_INCLUDE_DIR})

# Inform 6 and its library compile the demo and test stories
# (stories). The tests play them, so a build with tests needs them;
# the library and the programs do not, and a build without them compiles,
# and installs, no story.
find_program(NARRO_INFORM6 inform6)
find_path(NARRO_INFORM6_LIBRARY Parser.h PATHS /usr/share/inform6/library)
if(NARRO_INFORM6 AND NARRO_INFORM6_LIBRARY)
  set(NARRO_HAVE_INFORM6 ON)
elseif(NARRO_BUILD_TESTS)
  message(FATAL_ERROR "The tests play stories compiled with Inform 6, which was not found "
    "(inform6: ${NARRO_INFORM6}, its library's Parser.h: ${NARRO_INFORM6_LIBRARY}). "
    "Install inform6-compiler and inform6-library (scripts/install-deps.sh does), "
    "or configure with -DNARRO_BUILD_TESTS=OFF to build the library and the programs alone.")
else()
  set(NARRO_HAVE_INFORM6 OFF)
  message(STATUS "Inform 6 not found: no story is compiled or installed, "
    "so narro-play has no demo story")
endif()
