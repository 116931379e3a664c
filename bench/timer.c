/* timer: times two commands against each other for the benchmark. It runs them alternately,
 * RUNS times each, with standard output on /dev/null, so that a drift in the machine's speed
 * affects both alike, and prints one line per command:
 *     <median wall time in microseconds> <largest peak resident set in KiB>
 * Usage: timer RUNS command-a [args...] -- command-b [args...]
 * Exits 1 when a command cannot be started or does not exit with status 0. */
#define _DEFAULT_SOURCE
#include <fcntl.h>
#include <spawn.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

extern char **environ;

static double now_us(void)
{
    struct timespec t;
    clock_gettime(CLOCK_MONOTONIC, &t);
    return (double)t.tv_sec * 1e6 + (double)t.tv_nsec / 1e3;
}

/* Runs argv once; stores its wall time and peak resident set. Returns 0 when it exited 0. */
static int run_once(char **argv, const posix_spawn_file_actions_t *actions, double *us, long *rss_kib)
{
    pid_t pid;
    int status;
    struct rusage usage;
    const double start = now_us();

    if (posix_spawnp(&pid, argv[0], actions, NULL, argv, environ) != 0)
        return -1;
    if (wait4(pid, &status, 0, &usage) != pid)
        return -1;
    *us = now_us() - start;
    *rss_kib = usage.ru_maxrss;
    return WIFEXITED(status) && WEXITSTATUS(status) == 0 ? 0 : -1;
}

static int by_value(const void *a, const void *b)
{
    const double x = *(const double *)a, y = *(const double *)b;
    return (x > y) - (x < y);
}

static double median(double *values, int count)
{
    qsort(values, (size_t)count, sizeof *values, by_value);
    return count % 2 ? values[count / 2] : (values[count / 2 - 1] + values[count / 2]) / 2;
}

int main(int argc, char **argv)
{
    char **commands[2];
    double *times[2];
    long rss[2] = {0, 0};
    posix_spawn_file_actions_t actions;
    const char *failed = NULL;
    int runs, split, i, c;

    for (split = 2; split < argc && strcmp(argv[split], "--") != 0; ++split)
        ;
    runs = argc > 1 ? atoi(argv[1]) : 0;
    if (runs < 1 || split < 3 || split + 1 >= argc) {
        fputs("usage: timer RUNS command-a [args...] -- command-b [args...]\n", stderr);
        return 2;
    }
    argv[split] = NULL;
    commands[0] = argv + 2;
    commands[1] = argv + split + 1;
    times[0] = calloc((size_t)runs, sizeof(double));
    times[1] = calloc((size_t)runs, sizeof(double));
    if (times[0] == NULL || times[1] == NULL) {
        fputs("timer: out of memory\n", stderr);
        free(times[0]);
        free(times[1]);
        return 1;
    }
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);

    for (i = 0; i < runs && failed == NULL; ++i)
        for (c = 0; c < 2 && failed == NULL; ++c) {
            long peak = 0;
            if (run_once(commands[c], &actions, &times[c][i], &peak) != 0)
                failed = commands[c][0];
            if (peak > rss[c])
                rss[c] = peak;
        }
    if (failed != NULL)
        fprintf(stderr, "timer: %s did not run and exit 0\n", failed);
    else
        for (c = 0; c < 2; ++c)
            printf("%.1f %ld\n", median(times[c], runs), rss[c]);
    posix_spawn_file_actions_destroy(&actions);
    free(times[0]);
    free(times[1]);
    return failed != NULL;
}
