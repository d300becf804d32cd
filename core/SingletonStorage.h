// SPDX-License-Identifier: GPL-3.0-or-later
// The storage of MySingleton<T>::ms_Singleton. Included by exactly the one
// source file that instantiates MySingleton for its T, so that the library
// holds a single instance of each registration.
#ifndef NARRO_CORE_SINGLETON_STORAGE_H_
#define NARRO_CORE_SINGLETON_STORAGE_H_

#include "narro/Narro.h"

template <class T>
T* MySingleton<T>::ms_Singleton = nullptr;

#endif  // NARRO_CORE_SINGLETON_STORAGE_H_
