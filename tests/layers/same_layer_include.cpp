// SPDX-License-Identifier: GPL-3.0-or-later
// Compiled as the text layer: its own headers and those of the layers
// below it are found.
#include "core/Log.h"
#include "platform/file/Path.h"
#include "speech/SpeechTTS.h"
#include "text/TextStore.h"
