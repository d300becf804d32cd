// SPDX-License-Identifier: GPL-3.0-or-later
#include "facade/FacadeDialogHost.h"

#include "narro/Narro.h"

namespace {

class CFacadeDialogHost final : public CDialogHost {
 public:
  bool checkFlags(uint32_t flags) override {
    CNarro* facade = CNarro::GetSingletonPtr();
    return facade != nullptr && facade->checkFlags(flags);
  }
  void Speak(const std::wstring& text, int flags) override {
    if (CNarro* facade = CNarro::GetSingletonPtr()) facade->Speak(text, flags);
  }
  void Speak(const std::string& text, int flags) override {
    if (CNarro* facade = CNarro::GetSingletonPtr()) facade->Speak(text, flags);
  }
  void SpeakDir(const std::string& folder, int flags) override {
    if (CNarro* facade = CNarro::GetSingletonPtr()) facade->SpeakDir(folder, flags);
  }
  void ChangeVoice(const std::string& voice, int rate, int volume) override {
    if (CNarro* facade = CNarro::GetSingletonPtr()) facade->ChangeVoice(voice, rate, volume);
  }
  void DebugLine(const std::string& line) override {
    if (CNarro* facade = CNarro::GetSingletonPtr()) facade->DebugStr("%s", line.c_str());
  }
  std::string ChooseFolder(const std::string& start, const char* title) override {
    CNarro* facade = CNarro::GetSingletonPtr();
    if (facade == nullptr) return std::string();
    CTTSString folder;
    facade->getDirectory(folder, start, title);
    return static_cast<const char*>(folder);
  }
};

}  // namespace

CDialogHost& FacadeDialogHost() {
  static CFacadeDialogHost host;
  return host;
}
