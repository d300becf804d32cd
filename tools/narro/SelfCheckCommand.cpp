// SPDX-License-Identifier: GPL-3.0-or-later
// narro self-check: the library starts and shows its state.
#include <cstdio>

#include "platform/locale/TextEncoding.h"
#include "narro/Narro.h"
#include "text/TextStore.h"
#include "tools/narro/CommandLine.h"

namespace narro_tool {

int RunSelfCheck(const Arguments& arguments) {
  if (!arguments.empty()) throw UsageError("takes no arguments");
  CNarro* facade = MySingleton<CNarro>::GetSingletonPtr();
  if (facade == nullptr) {
    std::fprintf(stderr, "narro self-check: the library made no facade\n");
    return 1;
  }
  CTTSString root;
  facade->GetRoot(root);
  std::printf("flags: %u\n", facade->getFlags());
  std::printf("root folder: %s\n", static_cast<const char*>(root));
  const CTextStore* store = CTextStore::GetSingletonPtr();
  const size_t words = store ? store->Scratch().size() : 0;
  std::printf("scratch list: %zu %s\n", words, words == 1 ? "word" : "words");
  if (store) {
    for (const auto& entry : store->Scratch()) {
      std::printf("  %s\n", platform::BytesFromWide(entry.first).c_str());
    }
  }
  std::printf("self-check passed\n");
  return 0;
}

}  // namespace narro_tool
