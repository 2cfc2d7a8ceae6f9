// The table of per-category log levels behind Log::Settings, and the parser of
// the MC_LOG text ("Parser=5,Game=3,*=4") that sets them at start.
#pragma once

namespace log_levels {

// 64 categories are far more than the program uses (Game, EXIT, System, Parser,
// Engine, Filesystem...); a category beyond them is not stored and keeps the
// default level.
constexpr int max_categories = 64;
// Category names are short words; a longer name is refused and keeps the default.
constexpr int max_name = 32;
// Levels run from 0 (none) to 15 (extreme); anything else is refused.
constexpr int max_level = 15;
// Every category starts at warning unless MC_LOG or SetCategoryLevel says otherwise.
constexpr int default_level = 4;

struct entry {
    char name[max_name];
    int level;
};

class table {
public:
    // The level of a category (names compare ignoring ASCII case).
    int level(const char* category) const;
    // False when the name is empty or too long, the level out of range, or the table full.
    bool set(const char* category, int level);
    // The level of categories not named; "*" in MC_LOG sets it.
    void set_default(int level) { default_ = level; }
    int count() const { return count_; }

private:
    entry* find(const char* category);
    const entry* find(const char* category) const;

    entry entries_[max_categories] = {};
    int count_ = 0;
    int default_ = default_level;
};

// Applies a comma-separated list of name=level pairs; pairs that do not read are
// skipped. Returns the number of pairs that were refused.
int parse(const char* text, table& levels);

} // namespace log_levels
