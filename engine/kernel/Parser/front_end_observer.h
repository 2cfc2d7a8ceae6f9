// What an editor learns from a parse besides its diagnostics: every file it
// reads, every token with the variable it names, and every declaration. Only
// parses that collect diagnostics report here, and only while a scope of type
// observing lives on the thread; the game's parse never does.
#pragma once

#include <cstdint>
#include <string>

#include "engine/kernel/Parser/source_span.h"

namespace parser {

class variable;

namespace diag {

class observer {
public:
    // A file's parse begins (imports nest inside); text is the file's whole
    // text of size bytes, still unscanned.
    virtual void file_started(const std::string& file, const char* text, uint32_t size) = 0;
    // A token as the grammar reads it; named is the variable of a variable
    // token, else null.
    virtual void token(int number, span where, variable* named) = 0;
    // A variable entering a scope. where covers the declaration from its type
    // word (a plain variable or parameter) or its name (an extern) onwards.
    virtual void declared(variable& v, span where) = 0;
    // The file's parse ended; failed when the file is rejected.
    virtual void file_finished(bool failed) = 0;

protected:
    ~observer() = default;
};

// The observer of the parses this thread runs while the scope lives.
class observing {
public:
    explicit observing(observer& target);
    ~observing();
    observing(const observing&) = delete;
    observing& operator=(const observing&) = delete;

    static observer* active();

private:
    observer* previous_;
};

} // namespace diag
} // namespace parser
