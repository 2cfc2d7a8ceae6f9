// The mount helper: records the sources the host adds (and logs them), and
// answers whether a language's data is there. A locale is available when the
// folder <working dir>/<game folder>/localization/<locale> exists, a speech
// language when <working dir>/<game folder>/speech/<speech> does. Names that are
// not plain folder names (empty, "..", or holding a path separator) are never
// available, so a language name cannot point outside the game folder. Names
// match with their letter case on every system, also where file names ignore
// it (Windows): "es" does not find the folder "Es". The working directory is
// also where the filesystem module looks up relative file names (game.ini and
// every script), from the helper's creation to its end.
#include <filesystem>
#include <string>
#include <system_error>
#include <vector>

#include "host/modules/engine_module.h"
#include "modules/engine/engine_log.h"
#include "modules/filesystem/working_directory.h"

namespace {

struct source {
    int kind;
    int flags;
    std::string path;
    int priority;
    bool optional;
};

bool plain_name(const char* name)
{
    std::string text = name;
    if (text.empty() || text == "." || text == "..")
        return false;
    return text.find_first_of("/\\") == std::string::npos;
}

bool has_folder(const std::filesystem::path& parent, const char* name)
{
    std::error_code error;
    for (std::filesystem::directory_iterator it(parent, error), end; !error && it != end; it.increment(error))
        if (it->path().filename().string() == name && it->is_directory(error))
            return true;
    return false;
}

class mount_helper final : public Mount::IMountHelper {
public:
    mount_helper(const char* working_dir, const char* game_folder, const char* prefix)
        : game_root_(std::filesystem::path(working_dir ? working_dir : "") / (game_folder ? game_folder : ""))
        , prefix_(prefix ? prefix : "")
    {
    }
    virtual ~mount_helper() = default;

    void AddSource(int kind, int flags, const string_base& path, int priority, bool optional) override
    {
        sources_.push_back({ kind, flags, path.c_str(), priority, optional });
        ENGINE_LOG(Debug, "mount source %d flags %d path '%s' priority %d%s\n", kind, flags, path.c_str(), priority,
            optional ? " (optional)" : "");
    }
    void RemoveSources() override { sources_.clear(); }
    bool IsLocaleAvailable(const string_base& locale) override { return available("localization", locale); }
    bool IsSpeechAvailable(const string_base& speech) override { return available("speech", speech); }

private:
    bool available(const char* kind, const string_base& name)
    {
        bool found = plain_name(name.c_str()) && has_folder(game_root_ / kind, name.c_str());
        ENGINE_LOG(Info, "%s '%s' %s under '%s'\n", kind, name.c_str(), found ? "found" : "not found",
            game_root_.string().c_str());
        return found;
    }

    std::filesystem::path game_root_;
    std::string prefix_;
    std::vector<source> sources_;
};

} // namespace

namespace Mount {

IMountHelper* CreateMountHelper(const char* working_dir, const char* game_folder, const char* prefix)
{
    ENGINE_LOG(Info, "mount helper for '%s%s' (prefix '%s')\n", working_dir ? working_dir : "",
        game_folder ? game_folder : "", prefix ? prefix : "");
    if (!fs::set_working_directory(working_dir))
        ENGINE_LOG(Error, "working directory '%s' is too long: relative names are looked up in the current folder\n",
            working_dir);
    return new mount_helper(working_dir, game_folder, prefix);
}

void DestroyMountHelper(IMountHelper* helper)
{
    fs::set_working_directory(nullptr);
    delete static_cast<mount_helper*>(helper);
}

} // namespace Mount
