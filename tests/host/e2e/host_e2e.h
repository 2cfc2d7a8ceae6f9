// The real mirecrest run end to end: the fixture every case uses, and the
// platform's side of it (starting the executable, its registry values, the
// single-instance lock), one implementation per platform.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace e2e {

namespace fsys = std::filesystem;

struct Outcome {
    bool exited = false; // it ended by itself (no signal, no unhandled fault, not hung)
    int code = -1; // its exit status when it exited
    bool faulted = false; // it ended by the access violation the crash guard passed on
    std::string output; // standard error and standard output
};

// One start of the executable.
struct Start {
    std::vector<std::string> args;
    std::vector<std::string> env; // NAME=VALUE added to the test's environment
    fsys::path folder; // its current folder; empty: the copy of the sample game
    bool ends_early = false; // it ends without the shutdown sequence (a leak checker is told)
    std::string executable = MC_MIRECREST_PATH;

    // Changes chained on a Start(): Start().with_env("A=1").ending_early().
    Start& ending_early()
    {
        ends_early = true;
        return *this;
    }
    Start& with_env(const std::string& e)
    {
        env.push_back(e);
        return *this;
    }
    Start& in(const fsys::path& f)
    {
        folder = f;
        return *this;
    }
    Start& from(const std::string& e)
    {
        executable = e;
        return *this;
    }
};

// What one test changes on the machine, undone when it goes: registry values
// and the held instance lock. On POSIX the registry is a file under the root
// and the home, runtime and configuration folders are the root's own.
class Machine {
public:
    explicit Machine(fsys::path root);
    ~Machine();
    Machine(const Machine&) = delete;
    Machine& operator=(const Machine&) = delete;

    void set_registry(const std::string& name, const std::string& value);
    // Holds the lock a running first instance holds; false when it cannot.
    bool hold_instance_lock();
    // Where a relative write directory name goes (the documents folder).
    fsys::path personal_folder() const;
    Outcome run(const Start& start) const;

private:
    fsys::path root_;
    std::vector<std::pair<std::string, std::string>> values_;
    std::intptr_t lock_ = -1; // the held lock's descriptor or handle; -1: none
};

// The separator in the paths the host logs.
#ifdef _WIN32
constexpr char kSeparator = '\\';
#else
constexpr char kSeparator = '/';
#endif

// Each test in a fresh root: a copy of the sample game as working directory
// and a registry WriteDir naming the root's own write directory.
class HostE2E : public ::testing::Test {
protected:
    void SetUp() override
    {
        const auto* test = ::testing::UnitTest::GetInstance()->current_test_info();
        root_ = fsys::temp_directory_path() / ("mc-e2e-" + std::string(test->name()) + "-" + std::to_string(unique()));
        fsys::remove_all(root_);
        fsys::create_directories(write_dir());
        fsys::copy(MC_SAMPLE_DIR, root_ / "wd", fsys::copy_options::recursive);
        machine_.emplace(root_);
        machine_->set_registry("WriteDir", write_dir().string());
    }

    void TearDown() override
    {
        machine_.reset();
        std::error_code ignored;
        fsys::remove_all(root_, ignored);
    }

    Outcome run(std::vector<std::string> args, Start start = {}) const
    {
        start.args = std::move(args);
        if (start.folder.empty())
            start.folder = root_ / "wd";
        return machine_->run(start);
    }

    fsys::path write_dir() const { return root_ / "write"; }

    std::vector<fsys::path> crash_reports() const
    {
        std::vector<fsys::path> out;
        for (const auto& entry : fsys::directory_iterator(write_dir()))
            if (entry.path().filename().string().rfind("crash-", 0) == 0 && entry.path().extension() == ".txt")
                out.push_back(entry.path());
        return out;
    }

    static bool has(const Outcome& o, const std::string& text) { return o.output.find(text) != std::string::npos; }

    static long unique(); // the process id: parallel test processes get their own roots

    fsys::path root_;
    std::optional<Machine> machine_;
};

} // namespace e2e
