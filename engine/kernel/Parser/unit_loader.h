// Turning a script file into a unit: ParseUnit reads the file through the
// filesystem module, runs the lexer and the grammar over it with a context of
// its own, and keeps or discards the result. Imports recurse through it, and
// a unit cache shares parsed units between parses.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace parser {

class extern_interface;
class unit;

// Parsed units shared between parses, one reference each. ParseUnit only
// appends; the owner releases the entries when it is destroyed.
struct unit_cache {
    unit_cache() = default;
    unit_cache(const unit_cache&) = delete;
    unit_cache& operator=(const unit_cache&) = delete;
    ~unit_cache();

    std::vector<unit*> units;
};

// Imports nest at most this deep below the top-level file: each level holds a
// parse (grammar stacks, scanner, context) on the thread's stack, up to 17 KB
// in a release build and 65 KB in a sanitizer build, and the game parses
// game.ini on its main thread, whose stack is 1 MB on Windows.
constexpr int32_t max_import_depth = 8;

// The scanner addresses its buffer with int offsets: a script and the two zero
// bytes after it stay below 2 GiB.
constexpr uint64_t max_script_bytes = 0x7fffffffu - 2;
bool script_size_fits(uint64_t bytes);

// Where the parses of a thread read a file's text before the filesystem, while
// a scope of type reading_from lives: an editor's unsaved documents.
class text_source {
public:
    // The text of the file of that name; false to read the file itself.
    virtual bool read(const char* file_name, std::string& text) = 0;

protected:
    ~text_source() = default;
};

class reading_from {
public:
    explicit reading_from(text_source& source);
    ~reading_from();
    reading_from(const reading_from&) = delete;
    reading_from& operator=(const reading_from&) = delete;

    static text_source* active();

private:
    text_source* previous_;
};

// Parses text as the file unit_name: size counts the text and the two zero
// bytes that must end it. A null text parses standard input instead (the
// outcome is not looked at and the unit not cached). The rest as ParseUnit.
unit* parse_text(const char* unit_name, char* text, size_t size, extern_interface* externs, unit_cache* cache,
    bool standalone, void* environment);

} // namespace parser

// A null file name parses the scanner's default input (standard input) into a
// unit named "interactive". Standalone keeps a parsed unit out of the cache.
// Returns the unit with one reference for the caller, or null after logging.
parser::unit* ParseUnit(const char* file_name, parser::extern_interface* externs, parser::unit_cache* cache,
    bool standalone, void* environment);
