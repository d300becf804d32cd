// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/win/Announcer.h"

namespace platform {

namespace {

class Silent : public Announcer {
 public:
  void Announce(const std::wstring&, int) override {}
};

}  // namespace

Announcer& Announcer::Real() {
  static Silent silent;
  return silent;
}

}  // namespace platform
