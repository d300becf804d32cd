#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Installs the built library into a fresh prefix and builds hosts against
# it the ways a Linux developer would: pkg-config, find_package and dlopen.
set -euo pipefail
unset NARRO_VERSION_SERVER
build_dir=$1
source_dir=$(cd "$(dirname "$0")" && pwd)
work=$(mktemp -d /tmp/narro-install-XXXXXX)
trap 'rm -rf "$work"' EXIT

cmake --install "$build_dir" --prefix "$work/prefix" >/dev/null
pc=$(find "$work/prefix" -name narro.pc)
libdir=$(dirname "$(dirname "$pc")")
test -f "$work/prefix/include/narro/Narro.h"
test -f "$libdir/cmake/Narro/NarroConfig.cmake"

# What the installation ships lies in share/narro, nothing beside the
# programs.
share="$work/prefix/share/narro"
for file in fingerprints.xml windfall.z5 cave.z5 tower.z5 lighthouse.z8; do
  test -f "$share/$file"
done
# The test stories, and every story built for Glulx as well.
for name in windfall cave tower lighthouse styles quotebox menu timer; do
  test -f "$share/$name.ulx"
done
for name in styles quotebox menu timer; do
  test -f "$share/$name.z5"
done
test -x "$work/prefix/bin/narro"
test ! -e "$work/prefix/bin/fingerprints.xml"

# The manual pages, installed and rendered without one warning.
for page in narro.1 narro-play.1; do
  test -f "$work/prefix/share/man/man1/$page"
  warnings=$(LC_ALL=C.UTF-8 groff -man -Tutf8 -ww -z "$work/prefix/share/man/man1/$page" 2>&1)
  if [ -n "$warnings" ]; then
    printf '%s: %s\n' "$page" "$warnings" >&2
    exit 1
  fi
done

export PKG_CONFIG_PATH=$(dirname "$pc")
g++ -std=c++17 -Wall -Wextra -Werror "$source_dir/sample_host.cpp" \
  $(pkg-config --cflags --libs narro) -o "$work/host"

mkdir "$work/data"
printf 'b\nA\r\n\nx' > "$work/data/scratchpad.txt"
NARRO_DATA_DIR="$work/data" NARRO_LOG="$work/data/log" LD_LIBRARY_PATH="$libdir" \
  "$work/host" > "$work/out"
grep -qx "root $work/data/" "$work/out"
# The host's version strings sit in its own executable.
readelf -p .narro_version "$work/host" | grep -q "Sample Host"

# The scratch list comes back sorted, CR LF ended and whole.
printf '\r\nA\r\nb\r\nx\r\n' | cmp - "$work/data/scratchpad.txt"

expected="DBGVIEWCLEAR
Construct CNarro...
ENTER DLL
Mode Change 5
host line %s
Narro::debug 7
debug 7
Releasing CNarro
EXIT DLL
Destructing CNarro..."
diff <(printf '%s\n' "$expected") "$work/data/log"

# find_package(Narro) gives Narro::Narro.
mkdir "$work/cmake-host"
cat > "$work/cmake-host/CMakeLists.txt" <<CMAKE
cmake_minimum_required(VERSION 3.25)
project(host CXX)
set(CMAKE_CXX_STANDARD 17)
find_package(Narro REQUIRED)
add_executable(host $source_dir/sample_host.cpp)
target_link_libraries(host PRIVATE Narro::Narro)
CMAKE
cmake -S "$work/cmake-host" -B "$work/cmake-host/build" \
  -DCMAKE_PREFIX_PATH="$work/prefix" >/dev/null
cmake --build "$work/cmake-host/build" >/dev/null
NARRO_DATA_DIR="$work/data" "$work/cmake-host/build/host" >/dev/null

# dlopen makes the facade, dlclose destroys it and saves the list.
g++ -std=c++17 "$source_dir/dlopen_host.cpp" -ldl -o "$work/dlopen_host"
rm "$work/data/scratchpad.txt"
NARRO_DATA_DIR="$work/data" "$work/dlopen_host" "$libdir/libNarro.so"
test -f "$work/data/scratchpad.txt"

# Without NARRO_DATA_DIR, a host that is not in the build tree keeps its
# data in the user's XDG data folder, made for the user alone, and never
# beside itself.
xdg="$work/xdg"
outside() {
  env -u NARRO_DATA_DIR XDG_DATA_HOME="$xdg" NARRO_SPEECH=none LD_LIBRARY_PATH="$libdir" "$@"
}
outside "$work/host" > "$work/out"
grep -qx "root $xdg/narro/" "$work/out"
test -f "$xdg/narro/scratchpad.txt"
test "$(stat -c %a "$xdg/narro")" = 700
test ! -e "$work/scratchpad.txt"

# It still knows the games the installation ships: the library finds
# share/narro/fingerprints.xml from its own folder.
NARRO_KEYS='<Enter>W<Enter>' outside "$work/host" games "$share" > "$work/out"
grep -qx "chosen $share/windfall.z5" "$work/out"

# An installed program runs as it is, from a prefix no loader knows of: no
# LD_LIBRARY_PATH, no ldconfig. Its run path names the library folder
# relative to its own, never the build tree, and the libNarro.so it loads
# is the installation's.
installed() {
  env -u LD_LIBRARY_PATH -u NARRO_DATA_DIR XDG_DATA_HOME="$xdg" NARRO_SPEECH=none "$@"
}
bin_to_lib=$(realpath --relative-to="$work/prefix/bin" "$libdir")
for program in narro narro-play; do
  runpath=$(readelf -d "$work/prefix/bin/$program" | sed -n 's/.*(\(RPATH\|RUNPATH\)).*\[\(.*\)\]$/\2/p')
  test "$runpath" = "\$ORIGIN/$bin_to_lib"
done
loads_library_in() {
  local loaded
  loaded=$(installed ldd "$1" | sed -n 's/^[[:space:]]*libNarro\.so\.0 => \(.*\) (0x[0-9a-f]*)$/\1/p')
  test -n "$loaded"
  test "$(realpath "$loaded")" = "$(realpath "$2/libNarro.so.0")"
}
loads_library_in "$work/prefix/bin/narro-play" "$libdir"
installed "$work/prefix/bin/narro-play" --version | grep . >/dev/null
# Given no story, it starts the demo story its installation ships, and
# goes as far as wanting a terminal, which a test has none of.
plays_the_demo_story() {
  local status=0
  installed "$1" </dev/null >"$work/play.out" 2>&1 || status=$?
  test "$status" -eq 2
  grep -q "narro-play needs a terminal" "$work/play.out"
}
plays_the_demo_story "$work/prefix/bin/narro-play"

# The installed narro tool knows the shipped games from its own folder,
# in every format it plays.
installed "$work/prefix/bin/narro" scan "$share" | sort > "$work/games"
diff - "$work/games" <<GAMES
43BBA87F	Quote Box	$share/quotebox.ulx
4626DB15	Lighthouse	$share/lighthouse.ulx
4E9E8A25	Windfall	$share/windfall.ulx
516989EA	Windfall	$share/windfall.z5
62242168	Timer	$share/timer.ulx
645EF002	The Tower	$share/tower.ulx
76B4E7FD	Styles	$share/styles.ulx
884A2912	The Tower	$share/tower.z5
8AC18852	Cave Quest	$share/cave.ulx
9AE38DFE	Cave Quest	$share/cave.z5
A954C3AB	Menu	$share/menu.z5
D567D15C	Quote Box	$share/quotebox.z5
DD800B5E	Styles	$share/styles.z5
F1990952	Timer	$share/timer.z5
F1F9B61D	Lighthouse	$share/lighthouse.z8
FCA7D917	Menu	$share/menu.ulx
GAMES
test -f "$xdg/narro/filecache.txt"
test ! -e "$share/filecache.txt"
test ! -e "$work/prefix/bin/scratchpad.txt"

# The whole prefix moved elsewhere still runs, and still finds its library
# and its shipped games, from wherever it lies now.
mkdir "$work/elsewhere"
mv "$work/prefix" "$work/elsewhere/moved"
moved="$work/elsewhere/moved"
moved_libdir="$moved/${libdir#"$work/prefix/"}"
loads_library_in "$moved/bin/narro-play" "$moved_libdir"
installed "$moved/bin/narro-play" --version | grep . >/dev/null
plays_the_demo_story "$moved/bin/narro-play"
installed "$moved/bin/narro" scan "$moved/share/narro" | grep -x \
  "516989EA	Windfall	$moved/share/narro/windfall.z5" >/dev/null
echo "install test passed"
