// SPDX-License-Identifier: GPL-3.0-or-later
// The folder where every data file of the library lies: the host
// executable's folder, or NARRO_DATA_DIR when that is set. Always ends in /.
#ifndef NARRO_CORE_APP_DIRECTORY_H_
#define NARRO_CORE_APP_DIRECTORY_H_

#include <string>

std::string GetAppDirectory();

#endif  // NARRO_CORE_APP_DIRECTORY_H_
