// What the front end records as it parses one file while diagnostics are being
// collected: the last tokens, the open brackets, the calls, definitions and
// imports with their positions. From these it makes the diagnostics a script
// writer can act on; the game's parse runs without one and records nothing.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "engine/kernel/Parser/diagnostics.h"
#include "engine/kernel/Parser/front_end_observer.h"
#include "engine/kernel/Parser/source_span.h"

namespace parser {

class context;
class unit;

namespace diag {

// What the grammar's tables say at a syntax error.
struct syntax_report {
    std::vector<int> expected; // token numbers the automaton would have shifted
    int on_top = -1; // type number of the typed expression just read, or -1
    int would_fit = -1; // type number of an expression that would have fitted there, or -1
    bool stack_exhausted = false;
};

class trace {
public:
    // file is the path as the command line or the import statement wrote it;
    // text (size bytes, the two end zeros not counted) outlives the trace.
    trace(sink& out, const char* file, char* text, uint32_t size);
    ~trace();
    trace(const trace&) = delete;
    trace& operator=(const trace&) = delete;

    // The trace of the parse running on this thread, innermost import first.
    static trace* current();
    // The thread's observer when the trace began, or null.
    observer* watcher() const { return watcher_; }

    // The byte offset of a place in the text (its end for anything outside).
    uint32_t offset_of(const char* place) const
    {
        return place >= text_ && place < text_ + size_ ? uint32_t(place - text_) : size_;
    }
    // Every token the grammar reads, with its byte span.
    // held is the byte after it, which the scanner holds while it marks the
    // token's end with a zero in the text.
    void token(int number, span where, char held);
    int previous_token() const { return last_[1].number; }
    // The lexer refused the next token because an expression nested too deep.
    void expression_too_deep() { too_deep_ = true; }
    void syntax_error(const syntax_report& report, const context& ctx);

    // An error of the context at a construct, and the imports and subtree
    // calls and definitions whose errors are worked out at the end.
    void error(span where, std::string message);
    void call(span where, const char* name);
    void subtree_defined(span where, const char* name);
    void import_started(span where) { importing_ = where; }
    // The system's reason why a file could not be opened (the import reports it).
    void open_failed(std::string reason) { open_failure_ = std::move(reason); }
    std::string take_open_failure();

    // Resolves what waited for the end of the file, adds the warnings, and
    // hands this file's diagnostics to the sink in the order of the text.
    void finish(const context& ctx, bool failed);

private:
    struct token_seen {
        int number = 0;
        span where { 0, 0 };
    };
    struct pending_call {
        span where;
        std::string name;
    };
    struct definition {
        span where;
        std::string name;
    };
    struct unexported {
        std::string name;
        std::string file;
    };

    position at(span where) const;
    std::string text_of(span where, size_t limit = 40) const;
    std::string describe(const token_seen& t) const;
    void add(severity level, span where, std::string message, std::vector<note> notes = {});
    diagnostic syntax_diagnostic(const syntax_report& report, const context& ctx);
    void add_context_notes(diagnostic& d, const syntax_report& report) const;
    std::string unknown_name(const std::string& name, const context& ctx) const;
    void resolve_calls(const context& ctx);
    void add_warnings();
    void pass_unexported(const context& ctx);

    sink& out_;
    std::string file_;
    class held_byte_restored {
    public:
        explicit held_byte_restored(const trace& t);
        ~held_byte_restored();

    private:
        char* text_;
        char zero_ = 0;
    };

    char* text_;
    uint32_t size_;
    trace* outer_;
    observer* watcher_;
    std::vector<diagnostic> made_;
    token_seen last_[3]; // last_[0] the newest token
    std::vector<token_seen> brackets_; // '{', '(' and '[' not yet closed
    span multiline_string_ { 0, 0 };
    bool has_multiline_string_ = false;
    uint32_t held_offset_ = UINT32_MAX; // where the scanner's zero stands, and the byte it replaced
    char held_ = 0;
    bool byte_order_mark_ = false;
    int64_t high_byte_ = -1; // offset of the first byte above 127 outside strings and comments
    bool too_deep_ = false;
    std::vector<pending_call> calls_;
    std::vector<definition> subtrees_;
    std::vector<unexported> unexported_;
    span importing_ { 0, 0 };
    std::string open_failure_;
};

} // namespace diag
} // namespace parser
