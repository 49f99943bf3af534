/* Runs a program and reports its wall time and peak resident memory alone:
 *   bench_child_peak FD PROGRAM [ARG...]
 * writes "STATUS PEAK-KB SECONDS\n" to descriptor FD (STATUS as wait4 gives it), or "error ERRNO\n"
 * when the program cannot start, and exits 0 once that is written.
 *
 * A child started straight from a large process reports that process's size as its own peak: the
 * size of the address space its exec replaced counts toward the child's peak. Started from this
 * small program instead, it reports what the same child reports under /usr/bin/time. */
#define _GNU_SOURCE
#include <errno.h>
#include <fcntl.h>
#include <spawn.h>
#include <stdio.h>
#include <stdlib.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

extern char** environ;

static double Now(void) {
  struct timespec t;
  clock_gettime(CLOCK_MONOTONIC, &t);
  return (double)t.tv_sec + (double)t.tv_nsec / 1e9;
}

int main(int argc, char** argv) {
  if (argc < 3) {
    fputs("usage: bench_child_peak FD PROGRAM [ARG...]\n", stderr);
    return 2;
  }
  const int fd = atoi(argv[1]);
  if (fcntl(fd, F_SETFD, FD_CLOEXEC) != 0) return 2;
  FILE* report = fdopen(fd, "w");
  if (!report) return 2;
  const double start = Now();
  pid_t pid = -1;
  const int rc = posix_spawnp(&pid, argv[2], NULL, NULL, argv + 2, environ);
  if (rc != 0) {
    fprintf(report, "error %d\n", rc);
    return fclose(report) == 0 ? 0 : 2;
  }
  int status = 0;
  struct rusage usage;
  pid_t got;
  do got = wait4(pid, &status, 0, &usage);
  while (got < 0 && errno == EINTR);
  if (got != pid) return 2;
  fprintf(report, "%d %ld %.9f\n", status, usage.ru_maxrss, Now() - start);
  return fclose(report) == 0 ? 0 : 2;
}
