// Executable and working directories.
#include "host/working_directory.h"

#include <cstring>

#include "host/host_log.h"
#include "host/modules/filesystem_module.h"
#include "platform/platform.h"

namespace {

// Line of the record for a "-game_dir=" directory that does not exist.
constexpr int kMissingGameDirLine = 394;

constexpr const char* kGameDirSwitch = "-game_dir=";

// The "-game_dir=" value: from after the switch to the first blank.
bool take_game_dir_value(const char* value, PathText& out)
{
    const char* blank = std::strchr(value, ' ');
    size_t n = blank ? size_t(blank - value) : std::strlen(value);
    if (n >= kPathSize)
        return false;
    std::memcpy(out.text, value, n);
    out.text[n] = 0;
    return out.end_with_separator();
}

} // namespace

bool FindExecutableDirectory(PathText& executable_dir)
{
    char module_name[kPathSize] = {};
    char drive[kPathSize] = {};
    char directory[kPathSize] = {};
    if (platform::module_file_name(nullptr, module_name, kPathSize) >= kPathSize) {
        LogPathTooLong("The executable's path", module_name, nullptr); // cut: its directory would be wrong
        return false;
    }
    platform::split_path(module_name, drive, directory, nullptr, nullptr);
    if (executable_dir.assign(drive) && executable_dir.append(directory))
        return true;
    LogPathTooLong("The executable directory", drive, directory);
    return false;
}

bool FindWorkingDirectory(const char* command_line, const PathText& executable_dir, PathText& working_dir)
{
    if (!std::strstr(command_line, "--wd")) {
        working_dir = executable_dir;
        return true;
    }
    char current[kPathSize] = {};
    uint32_t n = platform::current_directory(kPathSize, current);
    if (n == 0 || n >= kPathSize) {
        Log::Fatal(HostWhere(__LINE__), "--wd: the current directory cannot be read or does not fit in %d characters\n",
            int(kPathSize - 1));
        return false;
    }
    if (working_dir.assign(current) && working_dir.append(platform::path_separator()))
        return true;
    LogPathTooLong("The working directory (--wd)", current, nullptr);
    return false;
}

bool ApplyGameDirSwitch(const char* command_line, PathText& working_dir)
{
    const char* found = std::strstr(command_line, kGameDirSwitch);
    if (!found)
        return true;
    const char* value = found + std::strlen(kGameDirSwitch);
    if (*value == 0 || *value == ' ') {
        Log::Category(Log::ELevel::Error, kHostCategory, HostWhere(__LINE__), false,
            "-game_dir= names no directory: keeping the working directory %s\n", working_dir.c_str());
        return true;
    }
    PathText game_dir;
    if (!take_game_dir_value(value, game_dir)) {
        LogPathTooLong("The -game_dir= directory", value, nullptr);
        return false;
    }
    working_dir = game_dir;
    if (!fs::does_dir_exist(working_dir.c_str()))
        Log::Fatal(HostWhere(kMissingGameDirLine),
            "You are running game with -game_dir=%s but this dir is not existing!", working_dir.c_str());
    return true;
}
