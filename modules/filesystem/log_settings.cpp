// Log::Settings: the process-wide category levels, read from MC_LOG on first
// use and changed at run time by SetCategoryLevel. Guarded for parser threads.
#include <cstdio>
#include <cstdlib>

#include "host/modules/filesystem_module.h"
#include "modules/filesystem/log_levels.h"
#include "platform/critical_section.h"

namespace {

struct level_state {
    level_state()
    {
        platform::initialize_critical_section(&lock);
        const char* text = std::getenv("MC_LOG");
        // Logging is not ready while the levels are being built: say it directly.
        if (log_levels::parse(text, levels) > 0)
            std::fprintf(stderr, "MC_LOG: some entries of \"%s\" were not understood and are ignored\n", text);
    }
    platform::critical_section lock;
    log_levels::table levels;
};

level_state& state()
{
    static level_state instance; // the lock is never deleted: late destructors may still log
    return instance;
}

} // namespace

namespace Log {

Settings& Settings::Instance()
{
    static Settings settings;
    state();
    return settings;
}

int Settings::GetCategoryLevel(const char* category) const
{
    level_state& s = state();
    platform::scoped_lock hold(s.lock);
    return s.levels.level(category);
}

void Settings::SetCategoryLevel(const char* category, int level)
{
    level_state& s = state();
    platform::scoped_lock hold(s.lock);
    s.levels.set(category, level);
}

} // namespace Log
