// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/AppDirectory.h"

#include <algorithm>
#include <filesystem>
#include <mutex>

#include "NarroInstallPaths.h"
#include "core/Log.h"
#include "platform/environment/Environment.h"
#include "platform/file/MakeFolders.h"
#include "platform/file/Path.h"
#include "platform/module/ModulePath.h"

namespace {

std::string FolderOf(const std::string& path) {
  const size_t slash = path.rfind('/');
  return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

std::string WithoutTrailingSlashes(std::string path) {
  while (path.size() > 1 && path.back() == '/') path.pop_back();
  return path;
}

// "/p/bin/" + "../share" -> "/p/share/narro/". The folders given are real
// paths (links resolved), so ".." may be taken away by name.
std::string NarroFolderUnder(const std::string& base, const std::string& relative) {
  const std::filesystem::path joined =
      (std::filesystem::path(base) / relative / "narro").lexically_normal();
  return platform::WithTrailingSlash(joined.string());
}

// The build tree as the file system names it, so that it compares with the
// program's path, which /proc/self/exe gives with every link resolved.
const std::string& BuildTree() {
  static const std::string tree = [] {
    // A tree that is gone keeps its name: nothing lies in it.
    return platform::ResolvedPath(NARRO_BUILD_TREE);
  }();
  return tree;
}

DataFolder CurrentDataFolder() {
  DataFolderEnvironment environment;
  environment.dataDir = platform::GetDataDirectoryOverride();
  if (environment.dataDir.empty()) {
    environment.xdgDataHome = platform::GetEnvironmentVariable("XDG_DATA_HOME");
    environment.home = platform::GetHomeFolder();
  }
  return ChooseDataFolder(platform::GetModuleFileName(), environment, BuildTree());
}

// Every call makes sure the folder is there (a player may remove it while
// a host runs), but a failure is logged once per folder, not at each of
// the many calls that follow.
void MakeUserDataFolder(const std::string& folder) {
  if (platform::MakeFolders(folder, 0700)) return;
  const std::string why = SystemErrorText();
  static std::mutex mutex;
  static std::string reported;
  std::lock_guard<std::mutex> lock(mutex);
  if (reported == folder) return;
  reported = folder;
  LogLine("Could not make the data folder %s: %s", folder, why);
}

}  // namespace

bool LiesInFolder(const std::string& path, const std::string& folder) {
  if (path.empty() || folder.empty()) return false;
  const std::string base = WithoutTrailingSlashes(folder);
  if (base == "/") return path[0] == '/';
  if (path.compare(0, base.size(), base) != 0) return false;
  return path.size() == base.size() || path[base.size()] == '/';
}

DataFolder ChooseDataFolder(const std::string& executable,
                            const DataFolderEnvironment& environment,
                            const std::string& buildTree) {
  if (!environment.dataDir.empty()) {
    return {platform::WithTrailingSlash(environment.dataDir), DataFolderKind::kOverride};
  }
  const std::string own = FolderOf(executable);
  if (LiesInFolder(executable, buildTree)) return {own, DataFolderKind::kBuildTree};
  // A relative XDG_DATA_HOME is invalid by the XDG base directory rules and
  // is ignored, as every other program ignores it: it would name a
  // different folder in each working folder.
  std::string base;
  if (!environment.xdgDataHome.empty() && environment.xdgDataHome[0] == '/') {
    base = environment.xdgDataHome;
  } else if (!environment.home.empty()) {
    base = platform::WithTrailingSlash(environment.home) + ".local/share";
  } else {
    return {own, DataFolderKind::kNoHome};
  }
  return {platform::WithTrailingSlash(base) + "narro/", DataFolderKind::kUserData};
}

std::vector<std::string> InstalledDataFolders(const std::string& executable,
                                              const std::string& library,
                                              const InstallLayout& layout) {
  std::vector<std::string> folders;
  auto add = [&folders](const std::string& folder) {
    if (std::find(folders.begin(), folders.end(), folder) == folders.end()) {
      folders.push_back(folder);
    }
  };
  if (!layout.binToData.empty() && !FolderOf(executable).empty()) {
    add(NarroFolderUnder(FolderOf(executable), layout.binToData));
  }
  if (!layout.libToData.empty() && !FolderOf(library).empty()) {
    add(NarroFolderUnder(FolderOf(library), layout.libToData));
  }
  if (!layout.dataDir.empty()) add(NarroFolderUnder(layout.dataDir, "."));
  return folders;
}

std::string GetAppDirectory() {
  const DataFolder folder = CurrentDataFolder();
  // A folder the player named is made as the XDG one is: without it the
  // player's database cannot be locked and no new story is ever added.
  if (folder.kind == DataFolderKind::kUserData || folder.kind == DataFolderKind::kOverride) {
    MakeUserDataFolder(folder.path);
  }
  return folder.path;
}

std::vector<std::string> InstalledDataFolders() {
  const std::string executable = platform::GetModuleFileName();
  if (LiesInFolder(executable, BuildTree())) return {};
  const InstallLayout layout{NARRO_BIN_TO_DATADIR, NARRO_LIB_TO_DATADIR,
                             NARRO_INSTALL_DATADIR};
  return InstalledDataFolders(executable, platform::GetLibraryFileName(), layout);
}
