// fs::init / fs::shutdown and the file operations of the filesystem module:
// existence tests and fs::file, a read-only file over the C library.
#include <cstdio>
#include <filesystem>
#include <system_error>

#include "host/modules/filesystem_module.h"
#include "modules/filesystem/log_writer.h"
#include "modules/filesystem/module_log.h"
#include "modules/filesystem/sdl_state.h"
#include "modules/filesystem/write_directory.h"
#include "platform/platform.h"

namespace fs {

static bool make_directories(const char* path)
{
    std::error_code error;
    std::filesystem::create_directories(path, error);
    return std::filesystem::is_directory(path, error);
}

// Instances let in beside a running one each keep a log of their own: the
// first free of mirecrest.log, mirecrest-2.log ... mirecrest-64.log. 64
// instances of the game at once are far more than any player runs; past them an
// instance logs to standard error only, and says so.
constexpr int max_log_files = 64;

static bool log_file_path(int number, char* out, uint32_t size)
{
    char name[64];
    if (number == 1)
        std::snprintf(name, sizeof(name), "%s", log_writer::file_name);
    else
        std::snprintf(name, sizeof(name), "mirecrest-%d.log", number);
    return write_directory::join(write_directory::get(), name, out, size);
}

static void open_log_file()
{
    char path[write_directory::path_size];
    for (int number = 1; number <= max_log_files; ++number) {
        if (!log_file_path(number, path, sizeof(path))) {
            FS_LOG(Error, "log file path in '%s' does not fit %u characters\n", write_directory::get(),
                write_directory::path_size);
            return;
        }
        if (log_writer::open_file(path)) {
            if (number > 1)
                FS_LOG(Warning, "another running instance holds '%s': this instance logs to '%s'\n",
                    log_writer::file_name, path);
            return;
        }
        if (platform::last_error() != platform::error_sharing_violation) {
            char reason[256];
            platform::error_text(platform::last_error(), reason, sizeof(reason));
            FS_LOG(Error, "cannot create the log file '%s': %s\n", path, reason);
            return;
        }
    }
    FS_LOG(Error, "the log files mirecrest.log to mirecrest-%d.log are all held by running instances: no log file\n",
        max_log_files);
}

bool init(const char* write_dir, FFSAddSourceFlags::ENUM flags, const char* cache_dir, bool, bool,
    const char* const* user_files)
{
    if (!write_directory::set(write_dir) || !make_directories(write_dir)) {
        write_directory::clear();
        FS_LOG(Error, "cannot use '%s' as the write directory\n", write_dir ? write_dir : "");
        return false;
    }
    open_log_file();
    sdl_state::create();
    FS_LOG(Info, "write directory '%s' (flags %d, cache '%s')\n", write_dir, int(flags), cache_dir ? cache_dir : "");
    for (const char* const* name = user_files; name && *name; ++name)
        FS_LOG(Debug, "user file '%s'\n", *name);
    return true;
}

void shutdown()
{
    FS_LOG(Info, "filesystem shut down\n");
    log_writer::flush_pending();
    log_writer::close_file();
    write_directory::clear();
}

bool exists(const char* path)
{
    char found[write_directory::path_size];
    return write_directory::resolve(path, found, sizeof(found));
}

bool does_dir_exist(const char* path)
{
    char found[write_directory::path_size];
    std::error_code error;
    return write_directory::resolve(path, found, sizeof(found)) && std::filesystem::is_directory(found, error);
}

bool is_full_path(const char* path) { return write_directory::is_full(path); }

static std::FILE* stream(void* handle) { return static_cast<std::FILE*>(handle); }

file::file() = default;
file::~file() { close(); }

bool file::open(const char* name, EFSMode::TYPE mode, FFSOpenFlags::FLAGS)
{
    close();
    char path[write_directory::path_size];
    std::error_code error;
    if (mode != EFSMode::Read || !write_directory::resolve(name, path, sizeof(path))
        || !std::filesystem::is_regular_file(path, error))
        return false;
    handle_ = std::fopen(path, "rb");
    return handle_ != nullptr;
}

uint64_t file::length()
{
    std::FILE* f = stream(handle_);
    if (!f)
        return 0;
    long here = std::ftell(f);
    if (here < 0 || std::fseek(f, 0, SEEK_END) != 0)
        return 0;
    long end = std::ftell(f);
    std::fseek(f, here, SEEK_SET);
    return end < 0 ? 0 : uint64_t(end);
}

uint64_t file::read(void* buffer, uint64_t length)
{
    std::FILE* f = stream(handle_);
    if (!f || !buffer)
        return 0;
    return std::fread(buffer, 1, size_t(length), f);
}

void file::close()
{
    if (handle_)
        std::fclose(stream(handle_));
    handle_ = nullptr;
}

} // namespace fs
