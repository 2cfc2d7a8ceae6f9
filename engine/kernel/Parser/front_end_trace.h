// What the front end records as it parses one file while diagnostics are being
// collected: the last tokens, the open brackets, the calls, definitions and
// imports with their positions. From these it makes the diagnostics a script
// writer can act on; the game's parse runs without one and records nothing.
#pragma once

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

#include "engine/kernel/Parser/argument_check.h"
#include "engine/kernel/Parser/context_events.h"
#include "engine/kernel/Parser/diagnostics.h"
#include "engine/kernel/Parser/front_end_observer.h"
#include "engine/kernel/Parser/source_span.h"
#include "engine/kernel/Parser/token_value.h"

namespace parser {

class context;
class node_call;
class unit;

namespace diag {

// What the grammar's tables say at a syntax error.
struct syntax_report {
    std::vector<int> expected; // token numbers the automaton would have shifted
    int on_top = -1; // type number of the typed expression just read, or -1
    int would_fit = -1; // type number of an expression that would have fitted there, or -1
    bool stack_exhausted = false;
};

class trace final : public context_events {
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

    // Every token the grammar reads, as the scanner leaves it in the text:
    // held is the byte after it, which the scanner keeps while a zero marks
    // the token's end. Kept to a few stores, as it runs for every token; the
    // rest is worked out when a diagnostic is made.
    void token(int number, const char* token_text, int length, char held, const token_value& value)
    {
        uint32_t begin = std::min(uint32_t(token_text - text_), size_); // the end of file sits at size_
        token_seen& t = recent_[++newest_ & 3];
        t = { number, { begin, begin + uint32_t(length) } };
        held_ = held;
        if (watcher_) [[unlikely]]
            show_watcher(t, value);
    }
    // The span of the token the grammar shifted last (back 0) or before it;
    // a lookahead already read is newer still.
    span shifted(bool lookahead_read, uint32_t back) const { return recent(back + lookahead_read).where; }
    // The number of the last token shifted before a syntax error's token, or
    // none_shifted.
    static constexpr int none_shifted = -1000;
    int last_shifted() const { return newest_ >= 2 ? recent(1).number : none_shifted; }
    int shifted_number(bool lookahead_read, uint32_t back) const { return recent(back + lookahead_read).number; }
    // A declaration's type word and the name it declares, once read.
    void declaration_started(span type_word, span name)
    {
        declaration_begin_ = type_word.begin;
        declared_name_ = name;
    }
    span declared_name() const { return declared_name_; }
    // Every name the grammar reads as a name (not as a variable's token).
    void name_read(span where) { last_name_ = where; }
    span last_name() const { return last_name_; }
    // The declaration being read, through the end of last.
    span declaration_through(span last) const { return { declaration_begin_, last.end }; }
    // The lexer refused the next token because an expression nested too deep.
    void expression_too_deep() { too_deep_ = true; }
    void syntax_error(const syntax_report& report, const context& ctx);

    // An error of the context at a construct, and the imports and subtree
    // calls and definitions whose errors are worked out at the end.
    void error(span where, std::string message) override;
    void call(span where, const char* name) override;
    void subtree_defined(span where, unit& owner) override;
    // Passed on to the observer, and to the statement recorder when one is active.
    void declared(variable& v, span where) override;
    void parameter_declared(const unit& owner, const variable& parameter) override;
    void named_argument(const node_call& call, const variable& argument, span where) override;
    void statement_written(const node_statement* statement, const unit& u, span where) override;
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

    void show_watcher(const token_seen& t, const token_value& value);
    position at(span where) const;
    std::string text_of(span where, size_t limit = 40) const;
    std::string describe(const token_seen& t) const;
    void add(severity level, span where, std::string message, std::vector<note> notes = {});
    diagnostic syntax_diagnostic(const syntax_report& report, const context& ctx);
    void add_context_notes(diagnostic& d, const token_seen& next) const;
    token_seen next_token() const;
    bool line_break_between(uint32_t from, uint32_t to) const;
    std::string value_hint(const std::vector<int>& expected) const;
    trace& outermost();
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
    int errors_before_; // the sink's errors when this file's parse began
    observer* watcher_;
    std::vector<diagnostic> made_;
    // The last tokens read, in a ring: recent(0) the newest.
    token_seen recent_[4];
    uint32_t newest_ = 0;
    const token_seen& recent(uint32_t back) const { return recent_[(newest_ - back) & 3]; }
    char held_ = 0; // the byte the scanner's zero replaced, just after the newest token
    bool byte_order_mark_ = false;
    bool high_byte_shown_ = false; // a syntax error said that a byte above 127 ended the input
    bool too_deep_ = false;
    std::vector<pending_call> calls_;
    std::vector<definition> subtrees_; // only those a pending call names
    std::vector<unexported> unexported_;
    span importing_ { 0, 0 };
    uint32_t declaration_begin_ = 0;
    span declared_name_ { 0, 0 };
    span last_name_ { 0, 0 };
    argument_check arguments_; // kept by the outermost trace, for the subtrees of every file
    std::string open_failure_;
};

} // namespace diag
} // namespace parser
