// The facade's dialogs. The spoken dialogs are drawn by the window layer,
// which this build does not have yet: every dialog gives the empty answer,
// as one the player cancelled would.
#include "narro/Narro.h"

void CNarro::getList(CTTSWString& result, if_list_type, const char*,
                     const char*) {
  result = CTTSWString();
}

void CNarro::getInput(CTTSWString& result, const std::string&, bool) {
  result = CTTSWString();
}

void CNarro::getDirectory(CTTSString& result, const std::string&,
                          const char*) {
  result = CTTSString();
}
