// Diagnostics for people who write scripts: plain records (severity, file,
// position, length, message, notes) collected in one sink and rendered by one
// printer, so the tool, a language server and the settings lint share them.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

namespace parser::diag {

enum class severity { error, warning, note };

// A place in a file: the byte offset and, worked out from it when the record is
// made, the 1-based line and byte column, with the text of that line. Line 0
// means the record concerns the file as a whole.
struct position {
    std::string file;
    uint32_t offset = 0;
    int line = 0;
    int column = 0;
    uint32_t length = 0; // bytes of the token at fault; 0 marks a point
    std::string line_text;
};

struct note {
    position where;
    std::string message;
};

struct diagnostic {
    severity level = severity::error;
    position where;
    std::string message;
    std::vector<note> notes;
};

// Where the diagnostics of one run go, in the order they were made.
class sink {
public:
    void add(diagnostic d) { items_.push_back(std::move(d)); }
    const std::vector<diagnostic>& items() const { return items_; }
    int count(severity level) const;
    void clear() { items_.clear(); }

private:
    std::vector<diagnostic> items_;
};

// The position of offset in text (size bytes): its line, column and line text.
position locate(const std::string& file, const char* text, uint32_t size, uint32_t offset, uint32_t length);

// gcc's form: "FILE:LINE:COL: error: MESSAGE", the line as "%5d | text" and a
// line "      | " with '^' under the column and '~' under the rest of the
// token; then each note the same way. A record with no line is printed as
// "PROGRAM: error: MESSAGE".
std::string render(const diagnostic& d, const char* program);
void print(std::FILE* out, const sink& diagnostics, const char* program);

// The sink the front end reports to while a scope of this type lives on the
// thread (one parse and the imports it runs happen on one thread). Without
// one, parsing records nothing beyond the game's own log records.
class collecting {
public:
    explicit collecting(sink& target);
    ~collecting();
    collecting(const collecting&) = delete;
    collecting& operator=(const collecting&) = delete;

    static sink* active();

private:
    sink* previous_;
};

} // namespace parser::diag
