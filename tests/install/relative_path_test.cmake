# SPDX-License-Identifier: GPL-3.0-or-later
# The paths an installation finds its folders by, from one to another:
# cmake -DNARRO_SOURCE_DIR=... -P relative_path_test.cmake
include(${NARRO_SOURCE_DIR}/cmake/NarroInstallRelativePath.cmake)

function(expect from to expected)
  narro_install_relative_path(found "${from}" "${to}")
  if(NOT found STREQUAL expected)
    message(SEND_ERROR "from \"${from}\" to \"${to}\": \"${found}\", not \"${expected}\"")
  endif()
endfunction()

# The usual layouts: GNUInstallDirs' defaults and Debian's multiarch one.
expect(bin share ../share)
expect(lib share ../share)
expect(lib/x86_64-linux-gnu share ../../share)
expect(bin lib/x86_64-linux-gnu ../lib/x86_64-linux-gnu)
# pkg-config's way back to the prefix.
expect(lib/pkgconfig . ../..)
expect(lib/x86_64-linux-gnu/pkgconfig . ../../..)
# Spelt loosely, as a cache entry may be.
expect(bin/ ./share/ ../share)
expect(./bin share//x/.. ../share)
expect(bin bin .)
expect(. share share)
# A folder with spaces and quotes is a folder like any other.
expect("my bin" "my \"share\"" "../my \"share\"")
# An absolute folder does not move with the prefix: no relative path.
expect(/usr/bin share "")
expect(bin /usr/share "")
expect(/opt/bin /opt/share "")
