// The non-virtual parts of IGame: the language and root directory the host
// gives the game, stored and logged.
#include "host/modules/engine_module.h"
#include "modules/engine/engine_log.h"

IGame::~IGame() = default;

bool IGame::SetLocaleID(const string_base& locale)
{
    locale_ = locale;
    ENGINE_LOG(Info, "locale is '%s'\n", locale_.c_str());
    return true;
}

bool IGame::SetSpeechID(const string_base& speech, bool reload)
{
    speech_ = speech;
    ENGINE_LOG(Info, "speech is '%s'%s\n", speech_.c_str(), reload ? " (reloaded)" : "");
    return true;
}

bool IGame::SetRootDirectory(const char* path)
{
    root_directory_ = path;
    ENGINE_LOG(Info, "root directory is '%s'\n", root_directory_.c_str());
    return true;
}
