// SPDX-License-Identifier: GPL-3.0-or-later
// The entry point of libNarro.so: the dynamic loader runs these when the
// library is loaded into a process (dlopen included) and when it leaves it.
// Only the shared library is built with this file.
#include "facade/LibraryLifetime.h"

__attribute__((constructor)) static void NarroProcessAttach() {
  AttachLibrary();
}

__attribute__((destructor)) static void NarroProcessDetach() {
  DetachLibrary();
}
