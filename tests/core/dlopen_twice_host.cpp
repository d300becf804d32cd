// SPDX-License-Identifier: GPL-3.0-or-later
// A plug-in host that loads the library, unloads it, and loads it again:
// each unload must really take the library out of the process (saving the
// scratch list then), and each load must make a facade of its own.
#include <dlfcn.h>
#include <sys/stat.h>

#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

// CNarro* MySingleton<CNarro>::ms_Singleton
const char kSingleton[] = "_ZN11MySingletonI6CNarroE12ms_SingletonE";

bool LoadedAndMadeAFacade(const char* path) {
  void* library = dlopen(path, RTLD_NOW | RTLD_LOCAL);
  if (!library) {
    std::fprintf(stderr, "%s\n", dlerror());
    return false;
  }
  void** singleton = static_cast<void**>(dlsym(library, kSingleton));
  const bool made = singleton && *singleton;
  dlclose(library);
  return made;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) return 2;
  const char* path = argv[1];
  const std::string scratch = std::string(argv[2]) + "/scratchpad.txt";
  struct stat st;
  if (!LoadedAndMadeAFacade(path)) return 3;
  if (dlopen(path, RTLD_NOW | RTLD_NOLOAD) != nullptr) {
    std::fprintf(stderr, "still loaded after dlclose\n");
    return 4;
  }
  if (stat(scratch.c_str(), &st) != 0) return 5;  // saved at the unload
  if (!LoadedAndMadeAFacade(path)) return 6;
  return 0;
}
