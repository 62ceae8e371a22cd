/* Measures the CPU time (user + system) that one run of a program costs.
 *
 *   spawn_cost RUNS WARMUP LABEL PROGRAM [ARG...] [-- LABEL PROGRAM [ARG...]]...
 *
 * Each round starts every program once, in an order that rotates from round to
 * round so that no program always runs right after another; the rounds are
 * interleaved so that a burst of load on the machine hits all programs alike.
 * A run's cost is read from wait4's rusage of that child alone: the exec, the
 * program's own work and its exit. The programs inherit this process's
 * environment; their standard output goes to /dev/null. After WARMUP rounds
 * that are not counted, RUNS rounds are measured, and one line is printed per
 * program:
 *
 *   LABEL MEDIAN_US P10_US P90_US RUNS
 */
#include <fcntl.h>
#include <spawn.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

extern char **environ;

#define MAX_PROGRAMS 8

struct program {
  const char *label;
  char **argv;
  double *samples;
};

static int compare_doubles(const void *a, const void *b) {
  double x = *(const double *)a, y = *(const double *)b;
  return (x > y) - (x < y);
}

/* Runs the program once; its CPU time in microseconds, or -1 on failure. */
static double run_once(const struct program *p, posix_spawn_file_actions_t *actions) {
  pid_t pid;
  if (posix_spawn(&pid, p->argv[0], actions, NULL, p->argv, environ) != 0) return -1;
  int status;
  struct rusage usage;
  if (wait4(pid, &status, 0, &usage) != pid) return -1;
  if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) return -1;
  return (usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) * 1e6 + usage.ru_utime.tv_usec +
         usage.ru_stime.tv_usec;
}

int main(int argc, char **argv) {
  if (argc < 5) {
    fprintf(stderr, "usage: %s RUNS WARMUP LABEL PROGRAM [ARG...] [-- LABEL PROGRAM ...]...\n",
            argv[0]);
    return 2;
  }
  int runs = atoi(argv[1]), warmup = atoi(argv[2]);
  struct program programs[MAX_PROGRAMS];
  int count = 0;
  for (int i = 3; i < argc;) {
    if (count == MAX_PROGRAMS || i + 1 >= argc) {
      fprintf(stderr, "spawn_cost: give at most %d programs, each as LABEL PROGRAM\n", MAX_PROGRAMS);
      return 2;
    }
    programs[count].label = argv[i];
    programs[count].argv = &argv[i + 1];
    int end = i + 1;
    while (end < argc && strcmp(argv[end], "--") != 0) ++end;
    argv[end < argc ? end : argc] = NULL; /* ends this program's arguments */
    programs[count].samples = calloc((size_t)runs, sizeof(double));
    ++count;
    i = end + 1;
  }

  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);

  for (int round = -warmup; round < runs; ++round) {
    for (int k = 0; k < count; ++k) {
      struct program *p = &programs[(k + (round + warmup)) % count];
      double cost = run_once(p, &actions);
      if (cost < 0) {
        fprintf(stderr, "spawn_cost: %s (%s) did not run and exit with status 0\n", p->label,
                p->argv[0]);
        return 1;
      }
      if (round >= 0) p->samples[round] = cost;
    }
  }

  for (int k = 0; k < count; ++k) {
    struct program *p = &programs[k];
    qsort(p->samples, (size_t)runs, sizeof(double), compare_doubles);
    printf("%s %.1f %.1f %.1f %d\n", p->label, p->samples[runs / 2], p->samples[runs / 10],
           p->samples[runs - 1 - runs / 10], runs);
  }
  return 0;
}
