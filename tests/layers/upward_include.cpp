// SPDX-License-Identifier: GPL-3.0-or-later
// Compiled as the text layer: the dialogs are above it, so their header
// must not be found.
#include "text/TextStore.h"
#include "dialogs/ListDriver.h"
