// SPDX-License-Identifier: GPL-3.0-or-later
// The facade as the lists' and dialogs' host (text/DialogHost.h): each call
// goes to the facade registered now, and does nothing when there is none.
#ifndef NARRO_FACADE_FACADE_DIALOG_HOST_H_
#define NARRO_FACADE_FACADE_DIALOG_HOST_H_

#include "text/DialogHost.h"

// The one host the facade puts in place from the library's load to its
// unload.
CDialogHost& FacadeDialogHost();

#endif  // NARRO_FACADE_FACADE_DIALOG_HOST_H_
