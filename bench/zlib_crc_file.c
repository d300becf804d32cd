// SPDX-License-Identifier: GPL-3.0-or-later
/* The yardstick for narro crc: the plain way to take a file's CRC, reading
 * it in 1 MiB blocks through zlib's crc32. Prints the CRC text, a tab and
 * the path, as narro crc does.
 * With --read-only it reads the file the same way and takes no CRC: the
 * floor that any program reading the file through read() pays. */
#include <fcntl.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <unistd.h>
#include <zlib.h>

int main(int argc, char** argv) {
  const int readOnly = argc == 3 && strcmp(argv[1], "--read-only") == 0;
  if (argc != 2 && !readOnly) {
    fprintf(stderr, "usage: zlib_crc_file [--read-only] FILE\n");
    return 2;
  }
  const char* path = argv[argc - 1];
  const size_t block = 1u << 20;
  unsigned char* buffer = malloc(block);
  const int fd = open(path, O_RDONLY);
  if (buffer == NULL || fd < 0) {
    fprintf(stderr, "zlib_crc_file: cannot read %s\n", path);
    return 1;
  }
  uLong crc = crc32(0, Z_NULL, 0);
  for (;;) {
    const ssize_t n = read(fd, buffer, block);
    if (n < 0) {
      fprintf(stderr, "zlib_crc_file: cannot read %s\n", path);
      return 1;
    }
    if (n == 0) break;
    if (!readOnly) crc = crc32(crc, buffer, (uInt)n);
  }
  close(fd);
  free(buffer);
  printf("%08lX\t%s\n", crc, path);
  return 0;
}
