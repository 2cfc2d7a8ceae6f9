// The mount helper: records the sources the host adds (and logs them), and
// answers whether a language's data is there. A locale is available when the
// folder <working dir>/<game folder>/localization/<locale> exists, a speech
// language when <working dir>/<game folder>/speech/<speech> does. Names that are
// not plain folder names (empty, "..", or holding a path separator) are never
// available, so a language name cannot point outside the game folder.
#include <filesystem>
#include <string>
#include <system_error>
#include <vector>

#include "host/modules/engine_module.h"
#include "modules/engine/engine_log.h"

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
        std::error_code error;
        bool found = plain_name(name.c_str()) && std::filesystem::is_directory(game_root_ / kind / name.c_str(), error);
        ENGINE_LOG(
            Info, "%s '%s' %s under '%s'\n", kind, name.c_str(), found ? "found" : "not found", game_root_.c_str());
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
    return new mount_helper(working_dir, game_folder, prefix);
}

void DestroyMountHelper(IMountHelper* helper) { delete static_cast<mount_helper*>(helper); }

} // namespace Mount
