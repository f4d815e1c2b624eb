// Runs a program with its output thrown away and prints its wall time, user
// and system CPU time in seconds and its peak RSS in KiB. The peak is wait4's: the largest of the
// program and of any descendant it waited for, never their sum.
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <cstdio>

namespace {

double Now()
{
    struct timespec ts;
    if (clock_gettime(CLOCK_MONOTONIC, &ts) != 0)
        return 0.0;
    return static_cast<double>(ts.tv_sec) + static_cast<double>(ts.tv_nsec) * 1e-9;
}

double Seconds(struct timeval tv)
{
    return static_cast<double>(tv.tv_sec) + static_cast<double>(tv.tv_usec) * 1e-6;
}

}  // namespace

int main(int argc, char **argv)
{
    if (argc < 2) {
        std::fputs("usage: bench_measure PROGRAM [ARG...]\n", stderr);
        return 2;
    }
    int null = open("/dev/null", O_WRONLY | O_CLOEXEC);
    if (null < 0) {
        std::perror("bench_measure: /dev/null");
        return 1;
    }
    double start = Now();
    pid_t pid = fork();
    if (pid < 0) {
        std::perror("bench_measure: fork");
        return 1;
    }
    if (pid == 0) {
        if (dup2(null, STDOUT_FILENO) < 0)
            _exit(126);
        execvp(argv[1], argv + 1);
        _exit(127);
    }
    int status = 0;
    struct rusage usage;
    if (wait4(pid, &status, 0, &usage) != pid) {
        std::perror("bench_measure: wait4");
        return 1;
    }
    double wall = Now() - start;
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
        std::fprintf(stderr, "bench_measure: %s failed (status %d)\n", argv[1], status);
        return 1;
    }
    std::printf("%.6f %ld %.6f %.6f\n", wall, usage.ru_maxrss, Seconds(usage.ru_utime),
                Seconds(usage.ru_stime));
    return 0;
}
