// SPDX-License-Identifier: GPL-3.0-or-later
// The library's attach and detach steps. libNarro.so runs them when it is
// loaded into a process and when it is unloaded. A program that links the
// library's code statically (its tests, the narro tool) calls them itself,
// once each, so that a process never holds two facades:
//
//   int main() {
//     AttachLibrary();
//     ...                     // CNarro::GetSingleton() works here
//     DetachLibrary();
//   }
#ifndef NARRO_FACADE_LIBRARY_LIFETIME_H_
#define NARRO_FACADE_LIBRARY_LIFETIME_H_

// Clears debug-output viewers, makes the facade (unless one was made
// already) and registers the window classes.
void AttachLibrary();

// Destroys the facade, which saves the scratch list and shuts speech down.
void DetachLibrary();

#endif  // NARRO_FACADE_LIBRARY_LIFETIME_H_
