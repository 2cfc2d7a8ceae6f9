// Recording doubles of the engine, filesystem and game-script modules, linked
// statically into the host tests. Every call lands in the fake platform's call
// log, in order with the platform calls; the answers are settable.
#pragma once

#include <map>
#include <ostream>
#include <string>
#include <vector>

#include "host/modules/engine_module.h"
#include "host/modules/filesystem_module.h"

namespace fakes {

struct module_answers {
    // engine
    bool main_result = true;
    int engine_version = kEngineDllVersion;
    int initialize_result = 0;
    int worker_count = 4;
    bool no_mount_helper = false; // CreateMountHelper returns null
    bool no_asset_manager = false;
    bool no_game = false; // CreateGame returns null
    bool steam_client_started = false;
    std::string default_locale = "En";
    std::string fallback_locale = "En";
    std::string fallback_speech = "En";
    bool locale_available = true;
    bool speech_available = true;
    bool remote_storage_present = true;
    bool remote_file_exists = false;
    // frames: post the quit message after this many frames, with quit_code
    int frames_before_quit = 1;
    int quit_code = 0;
    // frame number (1 = first) that raises a fault with crash_code; 0 = none
    int crash_at_frame = 0;
    uint32_t crash_code = 0xC0000005;
    bool crash_in_dump_rtti = false;

    // filesystem
    bool does_dir_exist = true;
    int dump_verdict = 1; // what GenerateDump returns
    int default_category_level = 15;
    std::map<std::string, int> category_levels;
    // Files the filesystem double has: fs::exists and fs::file see these.
    std::map<std::string, std::string> files;
};

struct log_entry {
    int level;
    std::string category;
    std::string file;
    int line;
    std::string function;
    int action;
    int mode;
    std::string text;

    bool operator==(const log_entry&) const = default;
};

inline void PrintTo(const log_entry& e, std::ostream* out)
{
    *out << "{ " << e.level << ", \"" << e.category << "\", \"" << e.file << "\", " << e.line << ", \"" << e.function
         << "\", " << e.action << ", " << e.mode << ", \"" << e.text << "\" }";
}

// Restores the defaults (the fake platform too), empties both logs.
void reset();
module_answers& set();
const std::vector<log_entry>& log_entries();
// The log records of one category.
std::vector<log_entry> log_entries_of(const std::string& category);
// The file list fs::init was given.
const std::vector<std::string>& user_files();
// The dump function the filesystem module would call now.
DumpFunction installed_dump_function();
// What GetDumpFunction returned before the host installed its own.
EDumpResult::TYPE previous_dump_function(unsigned long code, ExceptionPointers* pointers);
// The mount helper object CreateMountHelper hands out.
Mount::IMountHelper* mount_helper();
// Deletes the game object CreateGame made, if any (reset does it too).
void destroy_game_object();
// Records a log record (the filesystem double's log calls).
void add_log_entry(log_entry entry);
// Remembers the file list fs::init was given.
void set_user_files(const char* const* files);

} // namespace fakes
