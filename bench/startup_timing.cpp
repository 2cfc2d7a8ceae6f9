// Measures the host's start-up on the sample game: process start to the first
// frame of the real mirecrest (median of several runs), and how long
// cpuidInitialize takes in this process (median), to give its share.
// Usage: host_startup_timing [runs]   (it prints numbers)
#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "engine/kernel/Cpuid.h"
#include "host/modules/filesystem_module.h"

extern char** environ;

namespace {

namespace fsys = std::filesystem;
using clock_type = std::chrono::steady_clock;

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    size_t n = values.size();
    return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

// Starts mirecrest in a fresh home and working directory and returns the
// milliseconds from fork to the "first frame" line on its standard error;
// negative when the line never came.
double time_to_first_frame(const fsys::path& root)
{
    fsys::remove_all(root);
    fsys::create_directories(root / "home");
    fsys::create_directories(root / "runtime");
    fsys::copy(MC_SAMPLE_DIR, root / "wd", fsys::copy_options::recursive);
    std::vector<std::string> env_text = { "HOME=" + (root / "home").string(),
        "XDG_RUNTIME_DIR=" + (root / "runtime").string(), "XDG_CONFIG_HOME=" + (root / "home").string(),
        "MC_MESSAGEBOX_ANSWER=ok", "MC_REGISTRY_FILE=" + (root / "none.ini").string(), "PATH=/usr/bin:/bin" };
    std::vector<char*> envp;
    for (std::string& e : env_text)
        envp.push_back(e.data());
    envp.push_back(nullptr);
    std::string exe = MC_MIRECREST_PATH;
    std::string wd = (root / "wd").string();
    char frames[] = "-frames=1";
    char* argv[] = { exe.data(), frames, nullptr };

    int pipe_fds[2];
    if (pipe(pipe_fds) != 0)
        return -1;
    clock_type::time_point start = clock_type::now();
    pid_t pid = fork();
    if (pid == 0) {
        dup2(pipe_fds[1], 2);
        close(pipe_fds[0]);
        if (chdir(wd.c_str()) != 0)
            _exit(127);
        execve(argv[0], argv, envp.data());
        _exit(127);
    }
    close(pipe_fds[1]);
    std::string seen;
    double elapsed = -1;
    char buffer[4096];
    for (ssize_t n; (n = read(pipe_fds[0], buffer, sizeof buffer)) > 0;) {
        seen.append(buffer, size_t(n));
        if (elapsed < 0 && seen.find("first frame") != std::string::npos)
            elapsed = std::chrono::duration<double, std::milli>(clock_type::now() - start).count();
    }
    close(pipe_fds[0]);
    int status = 0;
    waitpid(pid, &status, 0);
    return elapsed;
}

double time_cpuid_initialize()
{
    cpuid_detail::reset();
    clock_type::time_point start = clock_type::now();
    cpuidInitialize();
    return std::chrono::duration<double, std::milli>(clock_type::now() - start).count();
}

} // namespace

int main(int argc, char** argv)
{
    int runs = argc > 1 ? std::atoi(argv[1]) : 15;
    if (runs < 1 || runs > 1000)
        runs = 15;
    Log::Settings::Instance().SetCategoryLevel("System", 0);
    fsys::path root = fsys::temp_directory_path() / ("mc-timing-" + std::to_string(getpid()));
    std::vector<double> startup, cpuid;
    for (int i = 0; i < runs; ++i) {
        double ms = time_to_first_frame(root);
        if (ms >= 0)
            startup.push_back(ms);
        cpuid.push_back(time_cpuid_initialize());
    }
    fsys::remove_all(root);
    if (startup.empty()) {
        std::fprintf(stderr, "mirecrest never reached its first frame\n");
        return 1;
    }
    double s = median(startup);
    double c = median(cpuid);
    std::printf("process start to first frame: median %.1f ms (min %.1f, max %.1f, %zu runs)\n", s,
        *std::min_element(startup.begin(), startup.end()), *std::max_element(startup.begin(), startup.end()),
        startup.size());
    std::printf("cpuidInitialize: median %.2f ms (%.0f%% of start-up)\n", c, 100.0 * c / s);
    return 0;
}
