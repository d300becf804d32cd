// SPDX-License-Identifier: GPL-3.0-or-later
// A stand-in for dfrotz in the player benchmark: for each line it reads it
// prints a turn of real-looking game text in three pieces, a little apart,
// then its prompt, and notes in $BENCH_GAME_LOG the CLOCK_MONOTONIC moment
// its last byte was written. The player cannot tell it from a game.
#define _GNU_SOURCE
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <time.h>
#include <unistd.h>

static const char* const kRooms[] = {
    "You are in a narrow passage that smells of salt. Water drips somewhere ahead",
    "The lamp room is cold; its great lens turns slowly above a brass rail",
    "A wooden jetty creaks under your feet. Gulls wheel over the harbour",
    "Shelves of old charts fill the keeper's study from floor to ceiling",
};

static void Put(const char* text) {
  size_t done = 0;
  const size_t length = strlen(text);
  while (done < length) {
    const ssize_t n = write(STDOUT_FILENO, text + done, length - done);
    if (n <= 0) exit(1);
    done += (size_t)n;
  }
}

static void Turn(int number, FILE* log) {
  char text[512];
  snprintf(text, sizeof text, "\n\n%s, turn %d.\n", kRooms[number % 4], number);
  Put(text);
  const struct timespec apart = {0, 2 * 1000 * 1000};
  nanosleep(&apart, NULL);
  Put("Exits lead north and south.\n");
  nanosleep(&apart, NULL);
  Put("\n>");
  struct timespec now;
  clock_gettime(CLOCK_MONOTONIC, &now);
  if (log) {
    fprintf(log, "%d\t%lld\n", number, (long long)now.tv_sec * 1000000000LL + now.tv_nsec);
    fflush(log);
  }
}

int main(void) {
  const char* path = getenv("BENCH_GAME_LOG");
  FILE* log = path ? fopen(path, "a") : NULL;
  char line[1024];
  int number = 0;
  Turn(number++, log);
  while (fgets(line, sizeof line, stdin) != NULL) {
    if (strncmp(line, "quit", 4) == 0) return 0;
    Turn(number++, log);
  }
  return 0;
}
