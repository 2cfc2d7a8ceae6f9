// Write-directory name and choice.
#include "host/write_directory.h"

#include "host/host_log.h"
#include "host/registry_text.h"
#include "platform/platform.h"

namespace {

// GetVersionExA's major version 5 (Windows 2000) brought SHGetFolderPathA into
// shell32; older systems get it from SHFolder.dll.
constexpr uint32_t kShell32FolderPathVersion = 5;

platform::folder_path_function find_folder_path_function()
{
    platform::os_version version;
    if (!platform::get_version(&version))
        return nullptr;
    platform::handle module = version.major < kShell32FolderPathVersion
        ? platform::load_library_in_activation_context("SHFolder.dll")
        : platform::module_handle("shell32.dll");
    if (!module)
        return nullptr;
    return reinterpret_cast<platform::folder_path_function>(platform::proc_address(module, "SHGetFolderPathA"));
}

// The user's documents folder, or false on any failure on the way.
bool documents_folder(char (&folder)[kPathSize])
{
    platform::folder_path_function folder_path = find_folder_path_function();
    if (!folder_path || folder_path(nullptr, platform::csidl_personal, nullptr, 0, folder) < 0)
        return false;
    folder[kPathSize - 1] = 0;
    return true;
}

bool compose(PathText& out, const char* first, const char* second, const char* third)
{
    PathText path;
    bool fits = path.assign(first) && path.append(second) && path.append(third);
    if (!fits) {
        LogPathTooLong("The write directory", first, second);
        return false;
    }
    out = path;
    return true;
}

bool fall_back(
    const PathText& working_dir, const char* game_folder, PathText& write_dir, FFSAddSourceFlags::ENUM& flags)
{
    const char out_dir[] = { platform::path_separator(), 'o', 'u', 't', 0 };
    flags = FFSAddSourceFlags::ENUM(flags | FFSAddSourceFlags::FallbackWriteDir);
    return compose(write_dir, working_dir.c_str(), game_folder, out_dir);
}

} // namespace

void ReadWriteDirectoryName(PathText& name)
{
    platform::handle key = nullptr;
    if (!platform::registry_open(kRegistryKey, &key))
        return;
    uint32_t needed = 0;
    if (ReadRegistryText(key, "WriteDir", name.text, kPathSize, &needed) == RegistryRead::TooLong)
        Log::Category(Log::ELevel::Error, kHostCategory, HostWhere(__LINE__), false,
            "The registry value WriteDir is refused: its %u characters do not fit in %d; the write directory name "
            "stays %s\n",
            needed - 1, int(kPathSize - 1), name.c_str());
    platform::registry_close(key);
}

bool ChooseWriteDirectory(const PathText& name, const PathText& working_dir, const char* game_folder,
    PathText& write_dir, FFSAddSourceFlags::ENUM& flags)
{
    if (name.empty())
        return fall_back(working_dir, game_folder, write_dir, flags);
    if (fs::is_full_path(name.c_str()))
        return compose(write_dir, name.c_str(), "", "");
    char folder[kPathSize] = {};
    if (!documents_folder(folder))
        return fall_back(working_dir, game_folder, write_dir, flags);
    const char separator[] = { platform::path_separator(), 0 };
    return compose(write_dir, folder, separator, name.c_str());
}
