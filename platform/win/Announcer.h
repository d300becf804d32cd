// SPDX-License-Identifier: GPL-3.0-or-later
// What the window layer says aloud: a button reached in a message box, a
// folder reached in the folder chooser. The layer knows no speech engine;
// the library puts one in place through the seam, and without it nothing is
// said.
//
// The seam (platform/Seam.h): Current<Announcer>() is the one in use; the
// real one says nothing. The library, or a test that records what would be
// said, puts its own in place with a ScopedAnnouncer.
#ifndef NARRO_PLATFORM_WIN_ANNOUNCER_H_
#define NARRO_PLATFORM_WIN_ANNOUNCER_H_

#include <string>

#include "platform/Seam.h"

namespace platform {

class Announcer {
 public:
  virtual ~Announcer() = default;
  static Announcer& Real();
  // flags are the speak flags (3: at once, cutting off what is being said).
  virtual void Announce(const std::wstring& text, int flags) = 0;
};

using ScopedAnnouncer = ScopedReplacement<Announcer>;

}  // namespace platform

#endif  // NARRO_PLATFORM_WIN_ANNOUNCER_H_
