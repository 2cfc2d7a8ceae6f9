// Text and speech language choice: the Steam locale and the "Es"/"El" rule,
// availability fallbacks, and the four records with their exact texts.
#include "host/language_selection.h"

#include "tests/host/host_fixture.h"

namespace {

struct LocaleCase {
    const char* name;
    bool steam;
    std::string default_locale;
    bool storage;
    bool marker;
    std::string game_ini_locale;
    std::string locale;
};

const LocaleCase kLocaleCases[] = {
    { "NoSteamKeepsGameIni", false, "Fr", true, true, "De", "De" },
    { "NoSteamEmpty", false, "Fr", true, true, "", "" },
    { "SteamReplacesGameIni", true, "Fr", true, true, "De", "Fr" },
    { "SpanishWithMarkerIsLatinAmerican", true, "Es", true, true, "", "El" },
    { "SpanishWithoutMarker", true, "Es", true, false, "", "Es" },
    { "LowerCaseSpanishStays", true, "es", true, true, "", "es" },
    { "SpanishWithoutRemoteStorage", true, "Es", false, true, "", "Es" },
};

class LocaleTest : public HostTest, public ::testing::WithParamInterface<LocaleCase> { };

TEST_P(LocaleTest, ChoosesTheLocale)
{
    const LocaleCase& c = GetParam();
    fakes::set().steam_client_started = c.steam;
    fakes::set().default_locale = c.default_locale;
    fakes::set().remote_storage_present = c.storage;
    fakes::set().remote_file_exists = c.marker;
    string_base locale(c.game_ini_locale.c_str());
    string_base speech;
    SelectLanguages(*fakes::mount_helper(), locale, speech);
    EXPECT_STREQ(locale.c_str(), c.locale.c_str());
    EXPECT_STREQ(speech.c_str(), c.locale.c_str());
    EXPECT_TRUE(called("IsLocaleAvailable(" + c.locale + ")"));
    bool asked_storage = called("SteamRemoteStorage::FileExists(out/LanguageEl)");
    EXPECT_EQ(asked_storage, c.steam && c.default_locale == "Es" && c.storage);
}

INSTANTIATE_TEST_SUITE_P(Host, LocaleTest, ::testing::ValuesIn(kLocaleCases),
    [](const auto& param_info) { return std::string(param_info.param.name); });

struct Record {
    int level;
    int line;
    std::string text;

    bool operator==(const Record&) const = default;
};

void PrintTo(const Record& r, std::ostream* out)
{
    *out << "{ " << r.level << ", " << r.line << ", \"" << r.text << "\" }";
}

std::vector<Record> game_records()
{
    std::vector<Record> out;
    for (const fakes::log_entry& e : fakes::log_entries_of("Game")) {
        EXPECT_EQ(e.file, "WinFrame");
        EXPECT_EQ(e.function, "WinMain");
        out.push_back(Record { e.level, e.line, e.text });
    }
    return out;
}

TEST_F(HostTest, UnavailableLanguagesSwitchToTheFallbacksWithWarnings)
{
    fakes::set().steam_client_started = true;
    fakes::set().default_locale = "Pl";
    fakes::set().fallback_locale = "En";
    fakes::set().fallback_speech = "Us";
    fakes::set().locale_available = false;
    fakes::set().speech_available = false;
    string_base locale, speech;
    SelectLanguages(*fakes::mount_helper(), locale, speech);
    EXPECT_STREQ(locale.c_str(), "En");
    EXPECT_STREQ(speech.c_str(), "Us");
    EXPECT_TRUE(called("IGame::GetDefaultSpeechID(En)"));
    EXPECT_TRUE(called("IsSpeechAvailable(En)"));
    EXPECT_EQ(game_records(),
        (std::vector<Record> {
            { 3, 646, "System locale is 'Pl'\n" },
            { 4, 650, "Locale 'Pl' is unavailable switching to fallback locale: En \n!" },
            { 3, 655, "Speech locale is 'En'\n" },
            { 4, 659, "Speech 'En' is unavailable switching to fallback speech locale: Us \n!" },
        }));
}

TEST_F(HostTest, AvailableLanguagesLogOnlyTheInformation)
{
    string_base locale("De"), speech;
    SelectLanguages(*fakes::mount_helper(), locale, speech);
    EXPECT_EQ(game_records(),
        (std::vector<Record> { { 3, 646, "System locale is 'De'\n" }, { 3, 655, "Speech locale is 'De'\n" } }));
    EXPECT_FALSE(called_starting_with("IGame::GetFallback"));
}

TEST_F(HostTest, RecordsAreBuiltOnlyWhenTheGameCategoryTakesThem)
{
    fakes::set().category_levels["Game"] = 3; // information, no warnings
    fakes::set().locale_available = false;
    string_base locale("Pl"), speech;
    SelectLanguages(*fakes::mount_helper(), locale, speech);
    EXPECT_EQ(game_records(),
        (std::vector<Record> { { 3, 646, "System locale is 'Pl'\n" }, { 3, 655, "Speech locale is 'En'\n" } }));
    // The fallback was asked for once: for the choice, not for a record text.
    EXPECT_EQ(platform::fake::calls_starting_with({ "IGame::GetFallbackLocaleID" }).size(), 1u);
}

TEST_F(HostTest, TheChosenLanguagesReachTheMountHelperAndTheGame)
{
    fakes::set().steam_client_started = true;
    fakes::set().default_locale = "Es";
    fakes::set().remote_file_exists = true;
    run("");
    EXPECT_TRUE(called("AddSource(6, 48, 'El', 0, false)"));
    EXPECT_TRUE(called("AddSource(6, 192, 'El', 0, false)"));
    EXPECT_TRUE(called("IGame::SetLocaleID(El)"));
    EXPECT_TRUE(called("IGame::SetSpeechID(El, false)"));
}

} // namespace
