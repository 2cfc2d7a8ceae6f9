// The Steam statics of IGame and the remote storage, simulated. By default no
// Steam client runs. MC_STEAM_CLIENT=1 simulates a started client whose default
// locale is MC_STEAM_LOCALE (default "En") and whose remote storage holds the
// files listed in MC_STEAM_FILES (comma-separated, e.g. "out/LanguageEl").
#include <cstdlib>
#include <cstring>

#include "host/modules/engine_module.h"
#include "modules/engine/engine_log.h"

namespace {

constexpr const char* fallback_language = "En";

bool client_started = false;

bool client_simulated()
{
    const char* client = std::getenv("MC_STEAM_CLIENT");
    return client && std::strcmp(client, "1") == 0;
}

// Is name one of the comma-separated entries of list?
bool listed(const char* list, const char* name)
{
    size_t length = std::strlen(name);
    for (const char* p = list; p && *p;) {
        const char* end = std::strchr(p, ',');
        size_t entry = end ? size_t(end - p) : std::strlen(p);
        if (entry == length && std::memcmp(p, name, length) == 0)
            return true;
        p = end ? end + 1 : nullptr;
    }
    return false;
}

class remote_storage final : public ISteamRemoteStorage {
public:
    bool FileExists(const char* name) override
    {
        bool found = client_started && name && listed(std::getenv("MC_STEAM_FILES"), name);
        ENGINE_LOG(Info, "Steam remote storage: '%s' %s\n", name ? name : "", found ? "exists" : "does not exist");
        return found;
    }
};

} // namespace

bool IGame::SteamInitialize(const char* game_folder, int app_id)
{
    client_started = client_simulated();
    ENGINE_LOG(Info, "Steam for '%s' (app %d): %s\n", game_folder ? game_folder : "", app_id,
        client_started ? "client started" : "no client");
    return client_started;
}

bool IGame::SteamClientStarted() { return client_started; }

void IGame::SteamTerminate()
{
    if (client_started)
        ENGINE_LOG(Info, "Steam client stopped\n");
    client_started = false;
}

string_base IGame::GetDefaultLocaleID()
{
    const char* locale = std::getenv("MC_STEAM_LOCALE");
    return string_base(locale && locale[0] ? locale : fallback_language);
}

string_base IGame::GetFallbackLocaleID() { return string_base(fallback_language); }
string_base IGame::GetDefaultSpeechID(const string_base& locale) { return locale; }
string_base IGame::GetFallbackSpeechID() { return string_base(fallback_language); }

ISteamRemoteStorage* SteamRemoteStorage()
{
    static remote_storage storage; // always there; without a client it holds nothing
    return &storage;
}
