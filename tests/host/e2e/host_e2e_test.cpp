// The real mirecrest over the POSIX platform and the stand-in modules: each
// test runs the executable in its own temporary home, runtime and working
// directories (a copy of the sample game), so the tests can run in parallel.
#include <fcntl.h>
#include <sys/file.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

extern char** environ;

namespace {

namespace fsys = std::filesystem;

// A hung run is ended by SIGALRM after this many seconds (alarms survive exec).
constexpr unsigned kRunLimitSeconds = 60;

struct Outcome {
    bool exited = false;
    int code = -1;
    int signal = 0;
    std::string output; // standard error and standard output
};

// How the process is started beyond its arguments and environment.
struct Start {
    fsys::path folder; // its current folder; empty: the copy of the sample game
    bool no_room = false; // files may not grow (a full disk): writes to them fail
    std::string executable = MC_MIRECREST_PATH;
};

class HostE2E : public ::testing::Test {
protected:
    void SetUp() override
    {
        std::string pattern = (fsys::temp_directory_path() / "mc-e2e-XXXXXX").string();
        ASSERT_NE(mkdtemp(pattern.data()), nullptr);
        root_ = pattern;
        for (const char* dir : { "home", "runtime", "config" })
            fsys::create_directories(root_ / dir);
        fsys::copy(MC_SAMPLE_DIR, root_ / "wd", fsys::copy_options::recursive);
        write_registry("");
    }

    void TearDown() override
    {
        if (lock_fd_ >= 0)
            close(lock_fd_);
        std::error_code ignored;
        fsys::remove_all(root_, ignored);
    }

    // The registry values file: the host's key with the given lines.
    void write_registry(const std::string& lines)
    {
        std::ofstream(root_ / "registry.ini") << "[SOFTWARE\\Quillon\\Mirecrest]\n" << lines;
    }

    // Holds the single-instance lock as a running first instance would.
    void hold_instance_lock()
    {
        std::string path = (root_ / "runtime" / "mc-mutex-Global_IronveilMutex").string();
        lock_fd_ = open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
        ASSERT_GE(lock_fd_, 0);
        ASSERT_EQ(flock(lock_fd_, LOCK_EX | LOCK_NB), 0);
    }

    // Runs that end without the shutdown sequence ("/DumpRTTI", a crash) leave
    // the objects it would release (icons, mount helper) to the end of the
    // process, as the host does on purpose; a leak checker in the executable is
    // told so. Every other run, refusals included, must release all it made.
    static void allow_process_lifetime_objects(std::vector<std::string>& env)
    {
        for (std::string& e : env)
            if (e.rfind("ASAN_OPTIONS=", 0) == 0) {
                e += ":detect_leaks=0";
                return;
            }
        env.push_back("ASAN_OPTIONS=detect_leaks=0");
    }

    std::vector<std::string> environment(const std::vector<std::string>& extra, bool ends_early) const
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
        env.push_back("HOME=" + (root_ / "home").string());
        env.push_back("XDG_RUNTIME_DIR=" + (root_ / "runtime").string());
        env.push_back("XDG_CONFIG_HOME=" + (root_ / "config").string());
        env.push_back("MC_REGISTRY_FILE=" + (root_ / "registry.ini").string());
        env.push_back("MC_MESSAGEBOX_ANSWER=ok");
        env.insert(env.end(), extra.begin(), extra.end());
        if (ends_early)
            allow_process_lifetime_objects(env);
        return env;
    }

    enum Ending { Shutdown, EndsEarly };

    Outcome run(const std::vector<std::string>& args, Ending ending = Shutdown,
        const std::vector<std::string>& extra_env = {}, const Start& start = {})
    {
        std::vector<std::string> argv_text = { start.executable };
        argv_text.insert(argv_text.end(), args.begin(), args.end());
        std::vector<std::string> env_text = environment(extra_env, ending == EndsEarly);
        std::vector<char*> argv, envp;
        for (std::string& a : argv_text)
            argv.push_back(a.data());
        argv.push_back(nullptr);
        for (std::string& e : env_text)
            envp.push_back(e.data());
        envp.push_back(nullptr);
        std::string folder = (start.folder.empty() ? root_ / "wd" : start.folder).string();
        int output[2];
        if (pipe(output) != 0)
            return Outcome {};

        pid_t pid = fork();
        if (pid == 0) {
            int in = open("/dev/null", O_RDONLY);
            if (in < 0 || chdir(folder.c_str()) != 0)
                _exit(127);
            dup2(in, 0);
            dup2(output[1], 1);
            dup2(output[1], 2);
            close(output[0]);
            if (start.no_room) {
                std::signal(SIGXFSZ, SIG_IGN); // kept across exec: writes fail instead
                rlimit none { 0, 0 };
                setrlimit(RLIMIT_FSIZE, &none);
            }
            alarm(kRunLimitSeconds);
            execve(argv[0], argv.data(), envp.data());
            _exit(127);
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
        outcome.signal = WIFSIGNALED(status) ? WTERMSIG(status) : 0;
        return outcome;
    }

    fsys::path write_dir() const { return root_ / "home" / "Mirecrest"; }

    // A copy of the executable whose path has exactly length characters, beside
    // links to its modules.
    std::string executable_with_path_length(size_t length) const
    {
        const std::string exe_name = "/mirecrest";
        std::string dir = (root_ / "p").string();
        while (dir.size() + exe_name.size() < length) {
            size_t room = length - exe_name.size() - dir.size();
            if (room > 101)
                dir += "/" + std::string(100, 'd');
            else if (room >= 2)
                dir += "/" + std::string(room - 1, 'd');
            else
                dir += "d"; // one more character in the last folder's name
        }
        fsys::create_directories(dir);
        fsys::path source = fsys::path(MC_MIRECREST_PATH).parent_path();
        fsys::copy_file(MC_MIRECREST_PATH, dir + exe_name);
        for (const auto& entry : fsys::directory_iterator(source))
            if (entry.path().extension() == ".so")
                fsys::create_symlink(entry.path(), fsys::path(dir) / entry.path().filename());
        return dir + exe_name;
    }

    std::vector<fsys::path> crash_reports(const fsys::path& dir) const
    {
        std::vector<fsys::path> out;
        if (!fsys::is_directory(dir))
            return out;
        for (const auto& entry : fsys::directory_iterator(dir))
            if (entry.path().filename().string().rfind("crash-", 0) == 0)
                out.push_back(entry.path());
        return out;
    }

    static bool has(const Outcome& o, const std::string& text) { return o.output.find(text) != std::string::npos; }

    fsys::path root_;
    int lock_fd_ = -1;
};

TEST_F(HostE2E, RunsTheDemoGameAndExitsWithTheQuitCode)
{
    Outcome o = run({ "-frames=2", "-exitcode=7" });
    ASSERT_TRUE(o.exited) << "signal " << o.signal << "\n" << o.output;
    EXPECT_EQ(o.code, 7) << o.output;
    EXPECT_TRUE(has(o, "quitting after 2 frames")) << o.output;
    EXPECT_TRUE(has(o, "filesystem shut down")) << o.output;
    EXPECT_TRUE(fsys::exists(write_dir() / "mirecrest.log"));
}

TEST_F(HostE2E, FailedInitializeExitsWithOneWithoutShuttingDown)
{
    Outcome o = run({ "-initfail" });
    ASSERT_TRUE(o.exited) << o.output;
    EXPECT_EQ(o.code, 1) << o.output;
    EXPECT_FALSE(has(o, "filesystem shut down")) << o.output;
    EXPECT_FALSE(has(o, "game destroyed")) << o.output;
}

TEST_F(HostE2E, SecondInstanceIsRefusedUnlessAmiIsGiven)
{
    hold_instance_lock();
    Outcome refused = run({ "-frames=1", "-exitcode=3" });
    ASSERT_TRUE(refused.exited) << refused.output;
    EXPECT_EQ(refused.code, 0) << refused.output;
    EXPECT_TRUE(has(refused, "Mire Crest is already running")) << refused.output;
    EXPECT_FALSE(has(refused, "first frame")) << refused.output;

    Outcome allowed = run({ "-ami", "-frames=1", "-exitcode=3" });
    ASSERT_TRUE(allowed.exited) << allowed.output;
    EXPECT_EQ(allowed.code, 3) << allowed.output;
    EXPECT_FALSE(has(allowed, "already running")) << allowed.output;
}

TEST_F(HostE2E, RegistryTextsReplaceTheAlreadyRunningMessage)
{
    write_registry("AlreadyRunningText=The game runs elsewhere\nAlreadyRunningCaption=\n");
    hold_instance_lock();
    Outcome o = run({ "-frames=1" });
    ASSERT_TRUE(o.exited) << o.output;
    EXPECT_EQ(o.code, 0) << o.output;
    EXPECT_TRUE(has(o, "The game runs elsewhere")) << o.output;
    EXPECT_TRUE(has(o, "Mire Crest Error")) << o.output;
}

TEST_F(HostE2E, CrashInAFrameWritesACrashReportAndReturnsAsTheGuardSays)
{
    Outcome o = run({ "-crash", "-exitcode=5" }, EndsEarly);
    ASSERT_TRUE(o.exited) << "signal " << o.signal << "\n" << o.output;
    EXPECT_EQ(o.code, 0) << "no message was taken before the fault\n" << o.output;
    EXPECT_EQ(crash_reports(write_dir()).size(), 1u) << o.output;
    EXPECT_FALSE(has(o, "filesystem shut down")) << o.output;
}

TEST_F(HostE2E, CrashWithContinueSearchEndsByTheSignal)
{
    Outcome o = run({ "-crash" }, EndsEarly, { "MC_DUMP_VERDICT=search" });
    EXPECT_FALSE(o.exited) << o.output;
    EXPECT_EQ(o.signal, SIGSEGV) << o.output;
    EXPECT_EQ(crash_reports(write_dir()).size(), 1u) << o.output;
}

TEST_F(HostE2E, EmptyWriteDirFallsBackUnderTheWorkingDirectory)
{
    write_registry("WriteDir=\n");
    Outcome o = run({ "--wd", "-frames=1" });
    ASSERT_TRUE(o.exited) << o.output;
    EXPECT_EQ(o.code, 0) << o.output;
    EXPECT_TRUE(fsys::exists(root_ / "wd" / "MC" / "out" / "mirecrest.log")) << o.output;
    EXPECT_FALSE(fsys::exists(write_dir()));
}

TEST_F(HostE2E, DumpRttiEndsWithoutCreatingTheGame)
{
    Outcome o = run({ "/DumpRTTI", "-exitcode=6" }, EndsEarly);
    ASSERT_TRUE(o.exited) << o.output;
    EXPECT_EQ(o.code, 0) << o.output;
    EXPECT_FALSE(has(o, "first frame")) << o.output;
}

// A refusal once the mount helper and the filesystem exist releases them (a
// leak checker in the executable sees nothing left).
TEST_F(HostE2E, RefusalAfterTheFilesystemStartedShutsItDown)
{
    std::ofstream(root_ / "wd" / "long.ini") << "sub main() { GameClassName('" << std::string(300, 'c') << "'); }\n";
    Outcome o = run({ "--wd", "ini=long.ini", "-frames=1", "-exitcode=2" });
    ASSERT_TRUE(o.exited) << o.output;
    EXPECT_EQ(o.code, 0) << o.output;
    EXPECT_TRUE(has(o, "The game class name (GameClassName) does not fit in 259 characters")) << o.output;
    EXPECT_TRUE(has(o, "crash handling closed")) << o.output;
    EXPECT_TRUE(has(o, "filesystem shut down")) << o.output;
    EXPECT_FALSE(has(o, "first frame")) << o.output;
}

// The registry's WriteDir is refused, saying why, when it does not fit; the
// default name is used.
TEST_F(HostE2E, OverLongWriteDirIsRefusedAndTheDefaultUsed)
{
    write_registry("WriteDir=" + std::string(300, 'w') + "\n");
    Outcome o = run({ "-frames=1" });
    ASSERT_TRUE(o.exited) << o.output;
    EXPECT_EQ(o.code, 0) << o.output;
    EXPECT_TRUE(has(o, "The registry value WriteDir is refused: its 300 characters do not fit in 259")) << o.output;
    EXPECT_TRUE(fsys::is_directory(write_dir())) << o.output;
}

// The executable's own path: entry 0 of the command line holds at most 255
// characters of it, and a path that does not fit 260 bytes refuses start-up
// (its directory, which the game's paths start from, cannot be known).
TEST_F(HostE2E, ExecutablePathsUpToTheLimitRunAndLongerOnesAreRefused)
{
    Outcome fits = run({ "--wd", "-frames=1", "-exitcode=3" }, Shutdown, {},
        Start { .folder = {}, .no_room = false, .executable = executable_with_path_length(259) });
    ASSERT_TRUE(fits.exited) << fits.output;
    EXPECT_EQ(fits.code, 3) << fits.output;

    Outcome too_long = run({ "--wd", "-frames=1", "-exitcode=3" }, Shutdown, {},
        Start { .folder = {}, .no_room = false, .executable = executable_with_path_length(300) });
    ASSERT_TRUE(too_long.exited) << too_long.output;
    EXPECT_EQ(too_long.code, 0) << too_long.output;
    EXPECT_TRUE(has(too_long, "The executable's path does not fit in 259 characters")) << too_long.output;
    EXPECT_FALSE(has(too_long, "first frame")) << too_long.output;
}

} // namespace

TEST_F(HostE2E, SampleGameIniChoosesTheGameClassAndLocale)
{
    Outcome o = run({ "--wd", "-frames=1" });
    ASSERT_TRUE(o.exited) << o.output;
    EXPECT_EQ(o.code, 0) << o.output;
    EXPECT_TRUE(has(o, "creating game class 'DemoGame'")) << o.output;
    EXPECT_TRUE(has(o, "System locale is 'Es'")) << o.output;
    EXPECT_TRUE(has(o, "locale is 'Es'")) << o.output;
    EXPECT_TRUE(has(o, "(app 480)")) << o.output;
}

TEST_F(HostE2E, IniSwitchReadsAnotherSettingsFile)
{
    std::ofstream(root_ / "wd" / "other.ini") << "sub main() { GameClassName('OtherGame'); Locale('En'); }\n";
    Outcome o = run({ "--wd", "-frames=1", "ini=other.ini" });
    ASSERT_TRUE(o.exited) << o.output;
    EXPECT_TRUE(has(o, "creating game class 'OtherGame'")) << o.output;
    EXPECT_TRUE(has(o, "System locale is 'En'")) << o.output;
}

TEST_F(HostE2E, RegistryFileThatIsNoRegularFileIsToldAndStartUpGoesOn)
{
    fsys::remove(root_ / "registry.ini");
    ASSERT_EQ(mkfifo((root_ / "registry.ini").c_str(), 0600), 0); // no writer: reading it used to hang start-up
    Outcome o = run({ "-frames=1", "-exitcode=3" });
    ASSERT_TRUE(o.exited) << "signal " << o.signal << "\n" << o.output;
    EXPECT_EQ(o.code, 3) << o.output;
    EXPECT_TRUE(has(o, "registry file '" + (root_ / "registry.ini").string() + "' is not read: it is a FIFO"))
        << o.output;
}

TEST_F(HostE2E, FullDiskIsToldAndNoReportIsAnnouncedThatWasNotWritten)
{
    Outcome o = run({ "-crash" }, EndsEarly, {}, { .folder = {}, .no_room = true });
    ASSERT_TRUE(o.exited) << "signal " << o.signal << "\n" << o.output;
    EXPECT_TRUE(has(o, "cannot write the log file '" + (write_dir() / "mirecrest.log").string() + "': File too large"))
        << o.output;
    EXPECT_TRUE(has(o, "cannot write the crash report '" + write_dir().string() + "/crash-")) << o.output;
    EXPECT_FALSE(has(o, "crash report written")) << o.output;
    EXPECT_TRUE(crash_reports(write_dir()).empty()) << "a report that is not whole is not left behind";
}

TEST_F(HostE2E, EveryResumedFaultKeepsItsOwnReport)
{
    Outcome o = run({ "-crash" }, EndsEarly, { "MC_DUMP_VERDICT=resume" });
    EXPECT_EQ(o.signal, SIGSEGV) << o.output;
    size_t announced = 0;
    for (size_t at = o.output.find("crash report written"); at != std::string::npos;
         at = o.output.find("crash report written", at + 1))
        ++announced;
    EXPECT_GE(announced, 16u) << o.output; // the guard resumes 16 faults before the default course
    EXPECT_EQ(crash_reports(write_dir()).size(), announced) << o.output;
}

TEST_F(HostE2E, InstanceLetInByAmiKeepsAWholeLogOfItsOwn)
{
    hold_instance_lock();
    fsys::create_directories(write_dir());
    std::string first_log = (write_dir() / "mirecrest.log").string();
    std::ofstream(first_log) << "the running instance's record\n";
    int held = open(first_log.c_str(), O_WRONLY | O_CLOEXEC); // the running instance holds its log
    ASSERT_GE(held, 0);
    ASSERT_EQ(flock(held, LOCK_EX | LOCK_NB), 0);
    Outcome o = run({ "-ami", "-frames=1", "-exitcode=3" });
    close(held);
    ASSERT_TRUE(o.exited) << o.output;
    EXPECT_EQ(o.code, 3) << o.output;
    std::string second_log = (write_dir() / "mirecrest-2.log").string();
    EXPECT_TRUE(has(o, "this instance logs to '" + second_log + "'")) << o.output;
    std::ifstream first(first_log);
    std::string line;
    std::getline(first, line);
    EXPECT_EQ(line, "the running instance's record");
    EXPECT_FALSE(std::getline(first, line)) << "the running instance's log was written to";
    std::ifstream second(second_log);
    std::string text((std::istreambuf_iterator<char>(second)), std::istreambuf_iterator<char>());
    EXPECT_NE(text.find("quitting after 1 frames"), std::string::npos) << text;
    EXPECT_NE(text.find("filesystem shut down"), std::string::npos) << text;
}

TEST_F(HostE2E, OnlyAHeldLockMeansARunningInstance)
{
    // A lock file left by another user's instance that has ended: as root it is
    // nobody's, as any other user one it may not open.
    std::string lock = (root_ / "runtime" / "mc-mutex-Global_IronveilMutex").string();
    std::ofstream(lock).close();
    ASSERT_EQ(chmod(lock.c_str(), 0), 0);
    if (geteuid() == 0) {
        ASSERT_EQ(chown(lock.c_str(), 65534, 65534), 0);
    }
    Outcome stale = run({ "-frames=1", "-exitcode=3" });
    ASSERT_TRUE(stale.exited) << stale.output;
    EXPECT_EQ(stale.code, 3) << stale.output;

    // A link planted at the lock path is not followed: its target is not made.
    fsys::remove(lock);
    fsys::create_symlink(root_ / "planted", lock);
    Outcome planted = run({ "-frames=1", "-exitcode=3" });
    ASSERT_TRUE(planted.exited) << planted.output;
    EXPECT_EQ(planted.code, 3) << planted.output;
    EXPECT_TRUE(has(planted, "the instance lock '" + lock + "' cannot be taken: it is a symbolic link"))
        << planted.output;
    EXPECT_FALSE(fsys::exists(root_ / "planted"));
}

TEST_F(HostE2E, GameDirStartedFromAnotherFolderReadsThatGamesFiles)
{
    fsys::create_directories(root_ / "elsewhere");
    std::ofstream(root_ / "elsewhere" / "game.ini") << "sub main() { GameClassName('WrongGame'); }\n";
    Outcome o = run({ "-game_dir=" + (root_ / "wd").string(), "-frames=1" }, Shutdown, {},
        { .folder = root_ / "elsewhere", .no_room = false });
    ASSERT_TRUE(o.exited) << o.output;
    EXPECT_EQ(o.code, 0) << o.output;
    EXPECT_TRUE(has(o, "creating game class 'DemoGame'")) << o.output;
    EXPECT_TRUE(has(o, "System locale is 'Es'")) << o.output;
}
