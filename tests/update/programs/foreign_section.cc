// SPDX-License-Identifier: GPL-3.0-or-later
// A section of the right name that some other tool wrote.
__attribute__((section(".narro_version"), used, retain))
static const char foreign[] = "OtherLayout\0Translation\0" "0x0409,0x04B0\0"
                              "FileVersion\0" "1.0.0.1\0";

int main() { return 0; }
