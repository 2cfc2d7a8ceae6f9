// Runs one command and prints its CPU time (user + system, microseconds), its
// peak resident memory (KiB) and the system part of its CPU time (microseconds),
// as the kernel accounts them to the child:
//   mc_measure_run COMMAND [ARG]...      (its standard output goes to /dev/null)
#include <cstdio>

#include <fcntl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

long long micros(const timeval& t) { return t.tv_sec * 1000000LL + t.tv_usec; }

// Runs the command with standard output and error sent to /dev/null.
pid_t start(char** argv)
{
    pid_t child = fork();
    if (child != 0)
        return child;
    int null = open("/dev/null", O_WRONLY);
    if (null >= 0) {
        dup2(null, 1);
        dup2(null, 2);
    }
    execvp(argv[0], argv);
    _exit(127);
}

} // namespace

int main(int argc, char** argv)
{
    if (argc < 2) {
        std::fprintf(stderr, "usage: mc_measure_run COMMAND [ARG]...\n");
        return 2;
    }
    pid_t child = start(argv + 1);
    if (child < 0) {
        std::perror("mc_measure_run: fork");
        return 2;
    }
    int status = 0;
    rusage usage {};
    if (wait4(child, &status, 0, &usage) != child) {
        std::perror("mc_measure_run: wait4");
        return 2;
    }
    if (!WIFEXITED(status) || WEXITSTATUS(status) == 127) {
        std::fprintf(stderr, "mc_measure_run: '%s' did not run to its end\n", argv[1]);
        return 1;
    }
    std::printf("%lld %ld %lld\n", micros(usage.ru_utime) + micros(usage.ru_stime), usage.ru_maxrss,
        micros(usage.ru_stime));
    return 0;
}
