#include "platform/debugout/DebugOutputNames.h"

#include <unistd.h>

namespace platform {

DebugOutputNames DebugOutputNames::ForThisUser() {
  const std::string uid = "." + std::to_string(getuid());
  return DebugOutputNames{"/DBWIN_BUFFER" + uid, "/DBWIN_CONTROL" + uid,
                          "/DBWIN_LISTENER" + uid};
}

}  // namespace platform
