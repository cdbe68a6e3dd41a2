/* Runs a program and prints its wall time, user time (its waited-for children's included) and peak
 * resident memory on one line: "WALL USER PEAK-KIB". The measured program is forked from this
 * small process, so its peak is its own: a child forked from a large one starts with the parent's
 * pages counted.
 *
 *   measure_run PROGRAM [ARG...]   (the program's standard output goes to /dev/null) */
#define _GNU_SOURCE
#include <errno.h>
#include <fcntl.h>
#include <stdio.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

int main(int argc, char** argv) {
  if (argc < 2) {
    fprintf(stderr, "usage: measure_run PROGRAM [ARG...]\n");
    return 2;
  }
  struct timespec start, end;
  clock_gettime(CLOCK_MONOTONIC, &start);
  const pid_t child = fork();
  if (child < 0) return 1;
  if (child == 0) {
    const int null = open("/dev/null", O_WRONLY);
    if (null >= 0) dup2(null, 1);
    execv(argv[1], argv + 1);
    _exit(127);
  }
  int status = 0;
  struct rusage usage;
  while (wait4(child, &status, 0, &usage) < 0)
    if (errno != EINTR) return 1;
  clock_gettime(CLOCK_MONOTONIC, &end);
  const double wall =
      (double)(end.tv_sec - start.tv_sec) + (double)(end.tv_nsec - start.tv_nsec) / 1e9;
  const double user = (double)usage.ru_utime.tv_sec + (double)usage.ru_utime.tv_usec / 1e6;
  printf("%.3f %.3f %ld\n", wall, user, usage.ru_maxrss);
  return WIFEXITED(status) ? WEXITSTATUS(status) : 1;
}
