// SPDX-License-Identifier: GPL-3.0-or-later
// An ELF executable without version strings.
int main() { return 0; }
