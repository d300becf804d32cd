// SPDX-License-Identifier: GPL-3.0-or-later
// libspeechd 0.11.4's spd_open2 never frees the autospawn report it formats
// (g_strdup_printf) when the connection cannot be opened: a failed open, which
// these tests make on purpose, leaks it. With the fast unwinder the leak's
// stack ends in vasprintf, so that is the frame named.
// Seen by the sanitizer runtime only when exported from the program.
extern "C" __attribute__((visibility("default"), used)) const char* __lsan_default_suppressions() {
  return "leak:__vasprintf_internal\n";
}
