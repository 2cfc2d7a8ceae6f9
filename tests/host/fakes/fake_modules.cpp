// The shared state of the module doubles: answers, log records, the fs::init
// file list.
#include "tests/host/fakes/fake_modules.h"

#include "platform/fake/fake_platform.h"

namespace fakes {
namespace {

struct state {
    module_answers set;
    std::vector<log_entry> log;
    std::vector<std::string> user_files;
};

state& current()
{
    static state s;
    return s;
}

} // namespace

void reset_dump_function();

void reset()
{
    platform::fake::reset();
    destroy_game_object();
    reset_dump_function();
    current() = state {};
}

module_answers& set() { return current().set; }

const std::vector<log_entry>& log_entries() { return current().log; }

std::vector<log_entry> log_entries_of(const std::string& category)
{
    std::vector<log_entry> out;
    for (const log_entry& entry : current().log)
        if (entry.category == category)
            out.push_back(entry);
    return out;
}

const std::vector<std::string>& user_files() { return current().user_files; }

void add_log_entry(log_entry entry) { current().log.push_back(std::move(entry)); }

void set_user_files(const char* const* files)
{
    current().user_files.clear();
    for (; files && *files; ++files)
        current().user_files.push_back(*files);
}

} // namespace fakes
