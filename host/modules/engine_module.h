// Operations of the engine module (engine_x64_rwdi): start, version, splash
// screen, mount helper, asset manager, Steam statics, game script start and the
// game object the host drives from its message loop.
#pragma once

#include <cstdint>

#include "engine/kernel/string_base.h"
#include "host/modules/module_export.h"

// Engine value holder: tag 17 holds an object pointer, tag 12 a text.
struct TaggedValue {
    enum : uint32_t { Text = 12, Object = 17 };
    uint32_t type = 0;
    uint64_t payload = 0;
    string_base text;
};

class IProgressIndicator;

namespace Mount {
class IMountHelper {
public:
    // (source kind, source flags, path, priority, optional): meaning belongs to the engine.
    virtual void AddSource(int kind, int flags, const string_base& path, int priority, bool optional) = 0;
    virtual void RemoveSources() = 0;
    // False makes the host switch to the fallback language.
    virtual bool IsLocaleAvailable(const string_base& locale) = 0;
    virtual bool IsSpeechAvailable(const string_base& speech) = 0;

protected:
    ~IMountHelper() = default;
};

MC_ENGINE_API IMountHelper* CreateMountHelper(const char* working_dir, const char* game_folder, const char* prefix);
MC_ENGINE_API void DestroyMountHelper(IMountHelper* helper);
} // namespace Mount

class AssetManager {
public:
    virtual void Initialize(
        const char* game_folder, const char* working_dir, int workers, bool streaming, void* reserved)
        = 0;
    virtual void Shutdown() = 0;
    virtual int GetLoadedCount() = 0;
    virtual int GetDefaultWorkerCount() = 0;

protected:
    ~AssetManager() = default;
};

class MC_ENGINE_API IGame {
public:
    virtual ~IGame();
    virtual void SetGameDirectories(const char* working_dir, const char* game_folder, const char* prefix) = 0;
    virtual void SetNamedValue(const string_base& name, const TaggedValue& value) = 0;
    // 0 = success.
    virtual int Initialize(const char* command_line, int show_command, IconHandle large_icon, IconHandle small_icon,
        unsigned long reserved1, unsigned long reserved2, IProgressIndicator* progress)
        = 0;
    // Runs one frame.
    virtual void OnPaint() = 0;

    bool SetLocaleID(const string_base& locale);
    bool SetSpeechID(const string_base& speech, bool reload);
    bool SetRootDirectory(const char* path);

    static bool SteamInitialize(const char* game_folder, int app_id);
    static bool SteamClientStarted();
    static void SteamTerminate();
    static string_base GetDefaultLocaleID();
    static string_base GetFallbackLocaleID();
    static string_base GetDefaultSpeechID(const string_base& locale);
    static string_base GetFallbackSpeechID();

protected:
    string_base locale_;
    string_base speech_;
    string_base root_directory_;
};

// Steam's remote storage as the host uses it: one file-exists query.
class ISteamRemoteStorage {
public:
    virtual bool FileExists(const char* name) = 0;

protected:
    ~ISteamRemoteStorage() = default;
};
MC_ENGINE_API ISteamRemoteStorage* SteamRemoteStorage();

using GameScriptInitFunction = bool (*)(bool fast_init);
using GameScriptShutdownFunction = void (*)();

MC_ENGINE_API bool Main(InstanceHandle instance, const char* command_line);
MC_ENGINE_API int GetEngineDllVersion();
MC_ENGINE_API bool ShowSplashscreen(InstanceHandle instance, int bitmap_id, int title_id, IconHandle icon);
MC_ENGINE_API void HideSplashscreen();
MC_ENGINE_API AssetManager* GetAssetManager();
MC_ENGINE_API bool InitializeGameScript(const char* module_path, bool fast_init);
MC_ENGINE_API bool InitializeGameScriptFn(
    GameScriptInitFunction init, GameScriptShutdownFunction shutdown, bool fast_init);
MC_ENGINE_API void UninitializeGameScript();
MC_ENGINE_API void DumpRTTI();
MC_ENGINE_API IGame* CreateGame(
    const char* class_name, InstanceHandle instance, bool create_window, const char* game_folder);
MC_ENGINE_API void DestroyGame();

// The one version the host runs with.
constexpr int kEngineDllVersion = 0x00060001;
