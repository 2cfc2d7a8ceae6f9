// The engine module's entry points: start, version (MC_ENGINE_VERSION may give
// another one, decimal or 0x hexadecimal, so that a mismatch can be tried), the
// splash screen (logged; the stand-in shows none) and the class dump.
#include <cstdio>
#include <cstdlib>

#include "host/modules/engine_module.h"
#include "modules/engine/engine_log.h"
#include "platform/platform.h"

namespace {

// The demo module's classes, as DumpRTTI lists them.
struct class_entry {
    const char* name;
    const char* base;
};
constexpr class_entry classes[] = {
    { "IGame", nullptr },
    { "DemoGame", "IGame" },
    { "Mount::IMountHelper", nullptr },
    { "MountHelper", "Mount::IMountHelper" },
    { "AssetManager", nullptr },
    { "DemoAssetManager", "AssetManager" },
    { "ISteamRemoteStorage", nullptr },
    { "SimulatedRemoteStorage", "ISteamRemoteStorage" },
};

// The version MC_ENGINE_VERSION names, when it is a whole number.
bool version_override(int* version)
{
    const char* text = std::getenv("MC_ENGINE_VERSION");
    if (!text || !text[0])
        return false;
    char* end = nullptr;
    long value = std::strtol(text, &end, 0);
    if (*end != 0 || value < INT32_MIN || value > INT32_MAX) {
        ENGINE_LOG(Warning, "MC_ENGINE_VERSION '%s' is not a number: ignored\n", text);
        return false;
    }
    *version = int(value);
    return true;
}

} // namespace

bool Main(InstanceHandle, const char* command_line)
{
    ENGINE_LOG(Info, "engine started with '%s'\n", command_line ? command_line : "");
    return true;
}

int GetEngineDllVersion()
{
    int version = kEngineDllVersion;
    if (version_override(&version))
        ENGINE_LOG(Info, "engine version 0x%08X from MC_ENGINE_VERSION\n", unsigned(version));
    return version;
}

bool ShowSplashscreen(InstanceHandle instance, int bitmap_id, int title_id, IconHandle)
{
    char title[64];
    if (platform::load_string(instance, title_id, title, sizeof(title)) == 0)
        title[0] = 0;
    platform::handle bitmap = platform::load_bitmap(instance, bitmap_id);
    ENGINE_LOG(Info, "splash screen '%s' (bitmap %d %s)\n", title, bitmap_id, bitmap ? "found" : "missing");
    if (bitmap)
        platform::destroy_bitmap(bitmap);
    return bitmap != nullptr;
}

void HideSplashscreen() { ENGINE_LOG(Info, "splash screen hidden\n"); }

void DumpRTTI()
{
    for (const class_entry& entry : classes) {
        if (entry.base)
            std::printf("class %s : public %s\n", entry.name, entry.base);
        else
            std::printf("class %s\n", entry.name);
    }
    std::fflush(stdout);
    ENGINE_LOG(Info, "%d classes listed\n", int(sizeof(classes) / sizeof(classes[0])));
}
