// Recording double of the engine module: start, version, splash, mount helper,
// asset manager, Steam statics, game script start and the game object.
#include <string>

#include "host/modules/gamescript_module.h"
#include "platform/fake/fake_platform.h"
#include "tests/host/fakes/describe.h"
#include "tests/host/fakes/fake_modules.h"

namespace fakes {
namespace {

using platform::fake::record;

class fake_mount_helper final : public Mount::IMountHelper {
public:
    virtual ~fake_mount_helper() = default;
    void AddSource(int kind, int flags, const string_base& path, int priority, bool optional) override
    {
        record("AddSource(" + std::to_string(kind) + ", " + std::to_string(flags) + ", '" + path.c_str() + "', "
            + std::to_string(priority) + ", " + flag(optional) + ")");
    }
    void RemoveSources() override { record("RemoveSources()"); }
    bool IsLocaleAvailable(const string_base& locale) override
    {
        record(std::string("IsLocaleAvailable(") + locale.c_str() + ")");
        return set().locale_available;
    }
    bool IsSpeechAvailable(const string_base& speech) override
    {
        record(std::string("IsSpeechAvailable(") + speech.c_str() + ")");
        return set().speech_available;
    }
};

class fake_asset_manager final : public AssetManager {
public:
    virtual ~fake_asset_manager() = default;
    void Initialize(
        const char* game_folder, const char* working_dir, int workers, bool streaming, void* reserved) override
    {
        record("AssetManager::Initialize(" + text(game_folder) + ", " + text(working_dir) + ", "
            + std::to_string(workers) + ", " + flag(streaming) + ", " + (reserved ? "ptr" : "null") + ")");
    }
    void Shutdown() override { record("AssetManager::Shutdown()"); }
    int GetLoadedCount() override { return 0; }
    int GetDefaultWorkerCount() override
    {
        record("AssetManager::GetDefaultWorkerCount()");
        return set().worker_count;
    }
};

class fake_remote_storage final : public ISteamRemoteStorage {
public:
    virtual ~fake_remote_storage() = default;
    bool FileExists(const char* name) override
    {
        record("SteamRemoteStorage::FileExists(" + text(name) + ")");
        return set().remote_file_exists;
    }
};

class fake_game : public IGame {
public:
    void SetGameDirectories(const char* working_dir, const char* game_folder, const char* prefix) override
    {
        record("IGame::SetGameDirectories(" + text(working_dir) + ", " + text(game_folder) + ", " + text(prefix) + ")");
    }
    void SetNamedValue(const string_base& name, const TaggedValue& value) override
    {
        bool helper = value.payload == reinterpret_cast<uintptr_t>(mount_helper());
        record(std::string("IGame::SetNamedValue(") + name.c_str() + ", " + std::to_string(value.type) + ", "
            + (helper ? "mount helper" : "other") + ")");
    }
    int Initialize(const char* command_line, int show_command, IconHandle large_icon, IconHandle small_icon,
        unsigned long reserved1, unsigned long reserved2, IProgressIndicator* progress) override
    {
        record("IGame::Initialize(" + text(command_line) + ", " + std::to_string(show_command) + ", " + hex(large_icon)
            + ", " + hex(small_icon) + ", " + std::to_string(reserved1) + ", " + std::to_string(reserved2) + ", "
            + (progress ? "ptr" : "null") + ")");
        return set().initialize_result;
    }
    void OnPaint() override
    {
        ++frames;
        record("IGame::OnPaint()");
        if (frames == set().crash_at_frame)
            platform::fake::raise_fault(set().crash_code);
        if (frames == set().frames_before_quit)
            platform::post_quit_message(set().quit_code);
    }
    int frames = 0;
};

fake_mount_helper g_mount_helper;
fake_asset_manager g_asset_manager;
fake_remote_storage g_remote_storage;
fake_game* g_game = nullptr;

} // namespace

Mount::IMountHelper* mount_helper() { return &g_mount_helper; }

void destroy_game_object()
{
    delete g_game;
    g_game = nullptr;
}

} // namespace fakes

using fakes::flag;
using fakes::hex;
using fakes::text;
using platform::fake::record;

IGame::~IGame() = default;

bool IGame::SetLocaleID(const string_base& locale)
{
    record(std::string("IGame::SetLocaleID(") + locale.c_str() + ")");
    locale_ = locale;
    return true;
}

bool IGame::SetSpeechID(const string_base& speech, bool reload)
{
    record(std::string("IGame::SetSpeechID(") + speech.c_str() + ", " + flag(reload) + ")");
    speech_ = speech;
    return true;
}

bool IGame::SetRootDirectory(const char* path)
{
    record("IGame::SetRootDirectory(" + text(path) + ")");
    root_directory_ = path;
    return true;
}

bool IGame::SteamInitialize(const char* game_folder, int app_id)
{
    record("IGame::SteamInitialize(" + text(game_folder) + ", " + std::to_string(app_id) + ")");
    return true;
}

bool IGame::SteamClientStarted()
{
    record("IGame::SteamClientStarted()");
    return fakes::set().steam_client_started;
}

void IGame::SteamTerminate() { record("IGame::SteamTerminate()"); }

string_base IGame::GetDefaultLocaleID()
{
    record("IGame::GetDefaultLocaleID()");
    return fakes::set().default_locale.c_str();
}

string_base IGame::GetFallbackLocaleID()
{
    record("IGame::GetFallbackLocaleID()");
    return fakes::set().fallback_locale.c_str();
}

// The speech language of a locale: the locale's own name in this double.
string_base IGame::GetDefaultSpeechID(const string_base& locale)
{
    record(std::string("IGame::GetDefaultSpeechID(") + locale.c_str() + ")");
    return locale;
}

string_base IGame::GetFallbackSpeechID()
{
    record("IGame::GetFallbackSpeechID()");
    return fakes::set().fallback_speech.c_str();
}

ISteamRemoteStorage* SteamRemoteStorage()
{
    record("SteamRemoteStorage()");
    return fakes::set().remote_storage_present ? &fakes::g_remote_storage : nullptr;
}

namespace Mount {
IMountHelper* CreateMountHelper(const char* working_dir, const char* game_folder, const char* prefix)
{
    record("Mount::CreateMountHelper(" + text(working_dir) + ", " + text(game_folder) + ", " + text(prefix) + ")");
    return fakes::set().no_mount_helper ? nullptr : &fakes::g_mount_helper;
}

void DestroyMountHelper(IMountHelper* helper)
{
    record(std::string("Mount::DestroyMountHelper(") + (helper == &fakes::g_mount_helper ? "mount helper" : "other")
        + ")");
}
} // namespace Mount

bool Main(InstanceHandle instance, const char* command_line)
{
    record(std::string("Main(") + (instance ? "instance" : "null") + ", " + text(command_line) + ")");
    return fakes::set().main_result;
}

int GetEngineDllVersion()
{
    record("GetEngineDllVersion()");
    return fakes::set().engine_version;
}

bool ShowSplashscreen(InstanceHandle, int bitmap_id, int title_id, IconHandle icon)
{
    record("ShowSplashscreen(" + std::to_string(bitmap_id) + ", " + std::to_string(title_id) + ", " + hex(icon) + ")");
    return true;
}

void HideSplashscreen() { record("HideSplashscreen()"); }

AssetManager* GetAssetManager()
{
    record("GetAssetManager()");
    return fakes::set().no_asset_manager ? nullptr : &fakes::g_asset_manager;
}

bool InitializeGameScript(const char* module_path, bool fast_init)
{
    record("InitializeGameScript(" + text(module_path) + ", " + flag(fast_init) + ")");
    return true;
}

bool InitializeGameScriptFn(GameScriptInitFunction init, GameScriptShutdownFunction shutdown, bool fast_init)
{
    bool exports = init == &InitializeGameScriptDLL && shutdown == &ShutdownGameScriptDLL;
    record(
        std::string("InitializeGameScriptFn(") + (exports ? "module exports" : "other") + ", " + flag(fast_init) + ")");
    return true;
}

void UninitializeGameScript() { record("UninitializeGameScript()"); }

void DumpRTTI()
{
    record("DumpRTTI()");
    if (fakes::set().crash_in_dump_rtti)
        platform::fake::raise_fault(fakes::set().crash_code);
}

IGame* CreateGame(const char* class_name, InstanceHandle instance, bool create_window, const char* game_folder)
{
    record("CreateGame(" + text(class_name) + ", " + (instance ? "instance" : "null") + ", " + flag(create_window)
        + ", " + text(game_folder) + ")");
    fakes::destroy_game_object();
    if (fakes::set().no_game)
        return nullptr;
    fakes::g_game = new fakes::fake_game;
    return fakes::g_game;
}

void DestroyGame()
{
    record("DestroyGame()");
    fakes::destroy_game_object();
}
