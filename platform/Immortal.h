// SPDX-License-Identifier: GPL-3.0-or-later
// The real implementations of the platform services are made on first use
// and never destroyed. A host's exit runs the static destructors before the
// library's own unload step, which still saves the scratch list through
// the file system; and a plug-in host that unloads the library must not be
// left with heap blocks nobody can free. So the object lives in the
// library's own memory and is simply never torn down.
#ifndef NARRO_PLATFORM_IMMORTAL_H_
#define NARRO_PLATFORM_IMMORTAL_H_

#include <new>

namespace platform {

template <class T>
T& Immortal() {
  alignas(T) static unsigned char storage[sizeof(T)];
  // The language makes the first call's construction safe across threads.
  static T* const object = new (storage) T();
  return *object;
}

}  // namespace platform

#endif  // NARRO_PLATFORM_IMMORTAL_H_
