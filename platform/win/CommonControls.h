// SPDX-License-Identifier: GPL-3.0-or-later
// InitCommonControlsEx: registers the window classes the dialogs draw with.
#ifndef NARRO_PLATFORM_WIN_COMMON_CONTROLS_H_
#define NARRO_PLATFORM_WIN_COMMON_CONTROLS_H_

namespace platform {

// The terminal needs no registration; kept so that the load steps keep their
// order when the window layer grows.
inline void InitCommonControls() {}

}  // namespace platform

#endif  // NARRO_PLATFORM_WIN_COMMON_CONTROLS_H_
