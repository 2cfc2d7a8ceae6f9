// Text and speech language selection with its four information records.
#include "host/language_selection.h"

#include "host/host_log.h"

namespace {

// Lines of the four records, kept stable for log readers.
constexpr int kSystemLocaleLine = 646;
constexpr int kLocaleFallbackLine = 650;
constexpr int kSpeechLocaleLine = 655;
constexpr int kSpeechFallbackLine = 659;

// A Steam client set to Spanish gets the Latin American text when the player's
// remote storage holds the marker file.
constexpr const char* kLatinAmericanMarker = "out/LanguageEl";

// The texts are only built when the "Game" category takes the record.
bool logging(Log::ELevel::TYPE level) { return Log::LogLine(level, kHostCategory, HostWhere(0)).enabled(); }

void log_text(Log::ELevel::TYPE level, int line, const string_base& text)
{
    Log::Category(level, kHostCategory, HostWhere(line), false, "%s", text.c_str());
}

void take_steam_locale(string_base& locale)
{
    if (!IGame::SteamClientStarted())
        return;
    locale = IGame::GetDefaultLocaleID();
    if (!(locale == "Es"))
        return;
    ISteamRemoteStorage* storage = SteamRemoteStorage();
    if (storage && storage->FileExists(kLatinAmericanMarker))
        locale = "El";
}

} // namespace

void SelectLanguages(Mount::IMountHelper& mount_helper, string_base& locale, string_base& speech)
{
    take_steam_locale(locale);
    if (logging(Log::ELevel::Info))
        log_text(Log::ELevel::Info, kSystemLocaleLine, string_base("System locale is '") + locale + "'\n");
    if (!mount_helper.IsLocaleAvailable(locale)) {
        if (logging(Log::ELevel::Warning))
            log_text(Log::ELevel::Warning, kLocaleFallbackLine,
                string_base("Locale '") + locale
                    + "' is unavailable switching to fallback locale: " + IGame::GetFallbackLocaleID() + " \n!");
        locale = IGame::GetFallbackLocaleID();
    }
    speech = IGame::GetDefaultSpeechID(locale);
    if (logging(Log::ELevel::Info))
        log_text(Log::ELevel::Info, kSpeechLocaleLine, string_base("Speech locale is '") + speech + "'\n");
    if (!mount_helper.IsSpeechAvailable(speech)) {
        if (logging(Log::ELevel::Warning))
            log_text(Log::ELevel::Warning, kSpeechFallbackLine,
                string_base("Speech '") + speech
                    + "' is unavailable switching to fallback speech locale: " + IGame::GetFallbackSpeechID() + " \n!");
        speech = IGame::GetFallbackSpeechID();
    }
}
