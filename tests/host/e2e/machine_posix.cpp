// The end-to-end runs' machine on POSIX: the executable started by fork and
// exec in an environment of the test's own (home, runtime and configuration
// folders, registry file), the instance lock held with flock.
#include "host_e2e.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <cstring>
#include <fstream>

extern char** environ;

namespace e2e {

namespace {

// A hung run is ended by SIGALRM after this many seconds (alarms survive exec).
constexpr unsigned kRunLimitSeconds = 60;

// Runs that end without the shutdown sequence ("/DumpRTTI", a crash) leave the
// objects it would release (icons, mount helper) to the end of the process, as
// the host does on purpose; a leak checker in the executable is told so. Every
// other run, refusals included, must release all it made.
void allow_process_lifetime_objects(std::vector<std::string>& env)
{
    for (std::string& e : env)
        if (e.rfind("ASAN_OPTIONS=", 0) == 0) {
            e += ":detect_leaks=0";
            return;
        }
    env.push_back("ASAN_OPTIONS=detect_leaks=0");
}

std::vector<std::string> environment(const fsys::path& root, const Start& start)
{
    static const char* const dropped[] = { "HOME=", "XDG_", "DISPLAY=", "WAYLAND_DISPLAY=", "MC_" };
    std::vector<std::string> env;
    for (char** e = environ; *e; ++e) {
        bool drop = false;
        for (const char* prefix : dropped)
            drop = drop || std::strncmp(*e, prefix, std::strlen(prefix)) == 0;
        if (!drop)
            env.push_back(*e);
    }
    env.push_back("HOME=" + (root / "home").string());
    env.push_back("XDG_RUNTIME_DIR=" + (root / "runtime").string());
    env.push_back("XDG_CONFIG_HOME=" + (root / "config").string());
    env.push_back("MC_REGISTRY_FILE=" + (root / "registry.ini").string());
    env.push_back("MC_MESSAGEBOX_ANSWER=ok");
    env.insert(env.end(), start.env.begin(), start.env.end());
    if (start.ends_early)
        allow_process_lifetime_objects(env);
    return env;
}

std::vector<char*> pointers(std::vector<std::string>& texts)
{
    std::vector<char*> out;
    for (std::string& t : texts)
        out.push_back(t.data());
    out.push_back(nullptr);
    return out;
}

[[noreturn]] void become(const Start& start, std::vector<char*>& argv, std::vector<char*>& envp, int output)
{
    int in = open("/dev/null", O_RDONLY);
    if (in < 0 || chdir(start.folder.c_str()) != 0)
        _exit(127);
    dup2(in, 0);
    dup2(output, 1);
    dup2(output, 2);
    alarm(kRunLimitSeconds);
    execve(argv[0], argv.data(), envp.data());
    _exit(127);
}

} // namespace

long HostE2E::unique() { return long(getpid()); }

Machine::Machine(fsys::path root)
    : root_(std::move(root))
{
    for (const char* dir : { "home", "runtime", "config" })
        fsys::create_directories(root_ / dir);
    set_registry("", "");
}

Machine::~Machine()
{
    if (lock_ >= 0)
        close(int(lock_));
}

// The registry values file: the host's key with the values set so far.
void Machine::set_registry(const std::string& name, const std::string& value)
{
    if (!name.empty())
        values_.emplace_back(name, value);
    std::ofstream file(root_ / "registry.ini");
    file << "[SOFTWARE\\Quillon\\Mirecrest]\n";
    for (const auto& [n, v] : values_)
        file << n << '=' << v << '\n';
}

bool Machine::hold_instance_lock()
{
    std::string path = (root_ / "runtime" / "mc-mutex-Global_IronveilMutex").string();
    int fd = open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    if (fd < 0 || flock(fd, LOCK_EX | LOCK_NB) != 0)
        return false;
    lock_ = fd;
    return true;
}

fsys::path Machine::personal_folder() const { return root_ / "home"; }

Outcome Machine::run(const Start& start) const
{
    std::vector<std::string> argv_text = { start.executable };
    argv_text.insert(argv_text.end(), start.args.begin(), start.args.end());
    std::vector<std::string> env_text = environment(root_, start);
    std::vector<char*> argv = pointers(argv_text), envp = pointers(env_text);
    int output[2];
    if (pipe(output) != 0)
        return Outcome {};
    pid_t pid = fork();
    if (pid == 0) {
        close(output[0]);
        become(start, argv, envp, output[1]);
    }
    close(output[1]);
    Outcome outcome;
    char buffer[4096];
    for (ssize_t got; (got = read(output[0], buffer, sizeof(buffer))) > 0;)
        outcome.output.append(buffer, size_t(got));
    close(output[0]);
    int status = 0;
    if (pid < 0 || waitpid(pid, &status, 0) != pid)
        return outcome;
    outcome.exited = WIFEXITED(status);
    outcome.code = outcome.exited ? WEXITSTATUS(status) : -1;
    outcome.faulted = WIFSIGNALED(status) && WTERMSIG(status) == SIGSEGV;
    return outcome;
}

} // namespace e2e
