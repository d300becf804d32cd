// SPDX-License-Identifier: GPL-3.0-or-later
// Loads and unloads the library at run time, as a plug-in host would.
#include <dlfcn.h>

#include <cstdio>

int main(int argc, char** argv) {
  if (argc != 2) return 2;
  void* library = dlopen(argv[1], RTLD_NOW | RTLD_LOCAL);
  if (!library) {
    std::fprintf(stderr, "%s\n", dlerror());
    return 1;
  }
  // CNarro* MySingleton<CNarro>::ms_Singleton
  void** singleton = static_cast<void**>(dlsym(library, "_ZN11MySingletonI6CNarroE12ms_SingletonE"));
  const bool made = singleton && *singleton;
  dlclose(library);
  return made ? 0 : 1;
}
