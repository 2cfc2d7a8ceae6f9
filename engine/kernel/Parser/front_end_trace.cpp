// The front end's record of one parse and the diagnostics made from it: syntax
// errors in the words of the language with the hints for its traps, context
// errors at their constructs, and the warnings about bytes the game stops at.
// Helpers first, then the trace's operations in the order a parse calls them.
#include "engine/kernel/Parser/front_end_trace.h"

#include <algorithm>
#include <cstring>

#include "engine/kernel/Parser/context.h"
#include "engine/kernel/Parser/grammar_actions.h"
#include "engine/kernel/Parser/lexer_actions.h"
#include "engine/kernel/Parser/name_suggestion.h"
#include "engine/kernel/Parser/parser_y.hpp"
#include "engine/kernel/Parser/statement_positions.h"
#include "engine/kernel/Parser/subtree.h"
#include "engine/kernel/Parser/unit.h"
#include "engine/kernel/Parser/variable.h"

namespace parser::diag {

namespace {

thread_local trace* innermost = nullptr; // a plain pointer: each trace lives on its parse's stack
thread_local observer* active_observer = nullptr; // a plain pointer: the observer lives with its scope

// The keywords and operators from TOK_IMPORT (258) to TOK_UPPERCASE (318), as written.
const char* const token_words[] = { "import", "sub", "call", "if", "elseif", "else", "extern", "export", "modified",
    "empty", "bool", "int", "float", "vec3", "vec4", "mtx", "string", ".xyzw", ".xyz", ".x", ".y", ".z", ".w",
    "==", "!=", "<=", ">=", "||", "&&", "sin", "cos", "tan", "log", "ln", "exp", "pow", "mod", "min", "max", "abs",
    "clamp", "floor", "ceil", "scale", "rotate", "translate", "orient", "transpose", "invert", "dot", "cross",
    "normalize", "length", "dist", "dist2", "mul", "mulv", "mulp", "substr", "lowercase", "uppercase" };

bool is_constant(int t) { return t == TOK_BOOL_CONST || t == TOK_INT_CONST || t == TOK_FLOAT_CONST || t >= 330; }
bool is_variable(int t) { return t >= TOK_BOOL_VAR && t <= TOK_STRING_VAR; }
bool is_type_word(int t) { return t >= TOK_BOOL && t <= TOK_STRING; }

// Tokens that only continue an expression already begun.
bool is_operator(int t)
{
    if (t >= TOK_XYZW && t <= TOK_AND)
        return true;
    return t > 0 && t < 256 && std::strchr("?:<>|&^+-*/%", t) != nullptr;
}

// Tokens that may begin an expression.
bool starts_expression(int t)
{
    if (is_constant(t) || is_variable(t) || (t >= TOK_SIN && t <= TOK_UPPERCASE))
        return true;
    if (t == TOK_INT || t == TOK_FLOAT || t == TOK_EMPTY)
        return true;
    return t > 0 && t < 256 && std::strchr("([-!~", t) != nullptr;
}

std::string quoted(const char* word) { return std::string("'") + word + "'"; }

std::string word_of(int t)
{
    if (t == 0)
        return "end of file";
    if (t == TOK_IDENTIFIER)
        return "a name";
    if (t >= TOK_IMPORT && t <= TOK_UPPERCASE)
        return quoted(token_words[t - TOK_IMPORT]);
    if (t > 0 && t < 256)
        return std::string("'") + char(t) + "'";
    return "an expression";
}

bool contains(const std::vector<int>& set, int t) { return std::find(set.begin(), set.end(), t) != set.end(); }

// Drops the tokens that test true from the set; true when any was there.
template <typename Test> bool take(std::vector<int>& set, Test test)
{
    size_t before = set.size();
    set.erase(std::remove_if(set.begin(), set.end(), test), set.end());
    return set.size() != before;
}

// What the grammar expected, in the words a script writer knows: groups of
// tokens become "an expression", "a statement", "a declaration" or "a type".
std::string expected_words(std::vector<int> set)
{
    std::vector<std::string> words;
    bool expression = std::any_of(set.begin(), set.end(), is_constant);
    if (expression) {
        take(set, starts_expression);
        words.push_back("an expression");
    }
    if (contains(set, TOK_CALL) && contains(set, TOK_IF)) {
        take(set, [](int t) {
            return t == TOK_CALL || t == TOK_IF || t == TOK_IDENTIFIER || t == TOK_EXPORT || t == TOK_EXTERN
                || is_type_word(t);
        });
        words.push_back("a statement");
    }
    if (contains(set, TOK_EXTERN) && contains(set, TOK_SUB)) {
        take(set, [](int t) { return t == TOK_EXTERN || t == TOK_EXPORT || is_type_word(t); });
        words.push_back("a declaration");
    }
    if (std::count_if(set.begin(), set.end(), is_type_word) >= 3) {
        take(set, is_type_word);
        words.push_back("a type");
    }
    if (contains(set, TOK_IDENTIFIER))
        take(set, is_variable); // a visible variable's name may be reused as a name
    bool operators = take(set, is_operator);
    for (int t : set)
        words.push_back(word_of(t));
    if (words.empty() && operators)
        words.push_back("an operator");
    std::string text;
    for (size_t i = 0; i < words.size(); ++i)
        text += (i == 0 ? "" : i + 1 == words.size() ? " or " : ", ") + words[i];
    return text;
}

void exported_names(const unit* u, std::vector<std::string>& names)
{
    for (uint32_t i = 0; i < u->exports.size(); ++i)
        names.push_back(u->exports.at(i)->name);
    for (const unit* imported : u->imports)
        exported_names(imported, names);
}

void subtree_names(const unit* u, std::vector<std::string>& names)
{
    for (const subtree* s : u->subtrees)
        names.push_back(s->name.c_str());
    for (const unit* imported : u->imports)
        subtree_names(imported, names);
}

// Every name an expression could use at this point of the parse.
std::vector<std::string> visible_names(const context& ctx)
{
    std::vector<std::string> names;
    for (int32_t d = ctx.depth; d >= 0; --d)
        for (uint32_t i = 0; i < ctx.scopes[d].size(); ++i)
            names.push_back(ctx.scopes[d].at(i)->name);
    if (ctx.current_unit)
        exported_names(ctx.current_unit, names);
    return names;
}

} // namespace

// While a diagnostic reads the text, the byte the scanner holds is put back
// in place of the zero that marks the current token's end.
trace::held_byte_restored::held_byte_restored(const trace& t)
    : text_(t.recent(0).where.end < t.size_ && t.newest_ > 0 ? t.text_ + t.recent(0).where.end : nullptr)
{
    if (text_) {
        zero_ = *text_;
        *text_ = t.held_;
    }
}

trace::held_byte_restored::~held_byte_restored()
{
    if (text_)
        *text_ = zero_;
}

trace::trace(sink& out, const char* file, char* text, uint32_t size)
    : out_(out)
    , file_(file ? file : "<stdin>")
    , text_(text)
    , size_(size)
    , outer_(innermost)
    , errors_before_(out.count(severity::error))
    , watcher_(active_observer)
{
    innermost = this;
    if (watcher_)
        watcher_->file_started(file_, text, size);
    byte_order_mark_ = text && size >= 3 && std::memcmp(text, "\xEF\xBB\xBF", 3) == 0;
}

trace::~trace() { innermost = outer_; }

trace* trace::current() { return innermost; }

observing::observing(observer& target)
    : previous_(active_observer)
{
    active_observer = &target;
}

observing::~observing() { active_observer = previous_; }

observer* observing::active() { return active_observer; }

void trace::show_watcher(const token_seen& t, const token_value& value)
{
    watcher_->token(t.number, t.where, grammar::named_variable(t.number, value));
}

position trace::at(span where) const
{
    if (!text_)
        return position { file_, 0, 0, 0, 0, "" };
    uint32_t begin = std::min(where.begin, size_);
    held_byte_restored restore(*this);
    return locate(file_, text_, size_, begin, std::min(where.end, size_) - std::min(begin, where.end));
}

std::string trace::text_of(span where, size_t limit) const
{
    if (!text_ || where.begin >= size_)
        return "";
    size_t end = std::min(where.end, size_);
    held_byte_restored restore(*this);
    std::string text(text_ + where.begin, end - std::min<size_t>(where.begin, end));
    size_t cut = std::min(text.find('\n'), limit);
    if (cut < text.size())
        text = text.substr(0, cut) + "...";
    return text;
}

std::string trace::describe(const token_seen& t) const
{
    if (t.number == 0)
        return "end of file";
    std::string text = text_of(t.where);
    if (is_variable(t.number))
        return std::string(type_names[t.number - TOK_BOOL_VAR]) + " variable '" + text + "'";
    return "'" + text + "'";
}

// Diagnostics carry the import chain that brought their file in.
void trace::add(severity level, span where, std::string message, std::vector<note> notes)
{
    diagnostic d { level, at(where), std::move(message), std::move(notes) };
    for (const trace* t = outer_; t; t = t->outer_) {
        position p = t->at(t->importing_);
        d.notes.push_back({ p, "imported from " + p.file + ":" + std::to_string(p.line) });
    }
    made_.push_back(std::move(d));
}

// The token the error is at; the end of file stands just after the last token.
trace::token_seen trace::next_token() const
{
    token_seen next = recent(0);
    if (next.number == 0)
        next.where = { recent(1).where.end, recent(1).where.end };
    return next;
}

std::string trace::unknown_name(const std::string& name, const context& ctx) const
{
    for (const unexported& u : unexported_)
        if (u.name == name)
            return "unknown name '" + name + "': '" + u.file + "' declares it without 'export'";
    return "unknown name '" + name + "'" + did_you_mean(name, visible_names(ctx));
}

// A declaration or parameter that stops after its name: writers used to
// languages with default values leave the value out. The hint shows one.
std::string trace::value_hint(const std::vector<int>& expected) const
{
    static const char* const examples[]
        = { "false", "0", "0.0", "[0.0, 0.0, 0.0]", "[0.0, 0.0, 0.0, 0.0]", "scale(1.0)", "\"\"" };
    const token_seen& type = recent(2);
    const token_seen& name = recent(1);
    bool named = name.number == TOK_IDENTIFIER || is_variable(name.number);
    if (expected != std::vector<int> { '=' } || newest_ < 3 || !is_type_word(type.number) || !named)
        return "";
    bool parameter = recent(3).number == '(' || recent(3).number == ',';
    return std::string(parameter ? ": a parameter is declared with its default value"
                                 : ": a variable is declared with its value")
        + ", as in '" + text_of(type.where) + " " + text_of(name.where) + " = " + examples[type.number - TOK_BOOL]
        + "'";
}

bool trace::line_break_between(uint32_t from, uint32_t to) const
{
    if (!text_)
        return false;
    held_byte_restored restore(*this);
    to = std::min(to, size_);
    for (uint32_t i = from; i < to; ++i)
        if (text_[i] == '\n' || text_[i] == '\r')
            return true;
    return false;
}

diagnostic trace::syntax_diagnostic(const syntax_report& report, const context& ctx)
{
    const token_seen next = next_token();
    const token_seen& before = recent(1);
    std::string found = describe(next);
    if (report.stack_exhausted)
        return { severity::error, at(next.where), "the script nests too deeply to be parsed", {} };
    if (too_deep_)
        return { severity::error, at(next.where),
            "expression nests more than " + std::to_string(grammar::max_expression_depth) + " levels deep", {} };
    if (next.number == lex::refused_token && next.where.end - next.where.begin >= 64)
        return { severity::error, at(next.where),
            "name '" + text_of(next.where, 20) + "' is too long: names have at most 63 characters", {} };
    if (next.number < 0) {
        high_byte_shown_ = true; // this error says it
        char hex[8];
        std::snprintf(hex, sizeof hex, "0x%02X", unsigned(uint8_t(text_[next.where.begin])));
        return { severity::error, at(next.where),
            std::string("unexpected byte ") + hex + ", where the game's input ends; expected "
                + expected_words(report.expected),
            {} };
    }
    if (next.number == TOK_ELSEIF)
        return { severity::error, at(next.where), "unexpected 'elseif'; write 'else if'", {} };
    if (report.on_top >= 0 && report.would_fit >= 0) {
        std::string message = std::string(type_names[report.on_top]) + " expression where "
            + (report.would_fit == 0 || report.would_fit == 1 ? "an " : "a ") + type_names[report.would_fit]
            + " is needed";
        bool lone_literal = before.number == TOK_INT_CONST && !is_operator(recent(2).number);
        if (lone_literal && report.would_fit == 2)
            message += "; write '" + text_of(before.where) + ".0'";
        return { severity::error, at(before.where), message, {} };
    }
    bool ends_expression = before.number == TOK_IDENTIFIER || is_variable(before.number) || is_constant(before.number)
        || before.number == ')' || before.number == ']';
    bool negative_number = (next.number == TOK_INT_CONST || next.number == TOK_FLOAT_CONST)
        && text_of(next.where)[0] == '-' && ends_expression && before.where.end == next.where.begin;
    if (negative_number) {
        std::string left = text_of(before.where), number = text_of(next.where);
        return { severity::error, at(next.where),
            "'" + left + number + "' reads as '" + left + "' followed by the number '" + number + "'; write '" + left
                + " - " + number.substr(1) + "'",
            {} };
    }
    if (next.number == '"' || next.number == '\'')
        return { severity::error, at(next.where),
            "unexpected " + found + ": no closing quote follows, so it starts no string", {} };
    if (next.number == TOK_IDENTIFIER && contains(report.expected, TOK_INT_CONST))
        return { severity::error, at(next.where), unknown_name(text_of(next.where, 64), ctx), {} };
    bool import_text = before.number == TOK_STRING_CONST || before.number == TOK_LONG_STRING_CONST;
    if (next.number == ';' && import_text && recent(2).number == TOK_IMPORT)
        return { severity::error, at(next.where), "unexpected ';': an import ends at its file name", {} };
    std::string expected = expected_words(report.expected);
    std::string hint = value_hint(report.expected);
    // What is missing at the end of a line (most often a ';') is shown there,
    // where it must be written, not at the first token of the next line.
    if (!expected.empty() && next.number != 0 && newest_ >= 2 && line_break_between(before.where.end, next.where.begin))
        return { severity::error, at({ before.where.end, before.where.end }),
            "expected " + expected + " before " + found + hint, {} };
    std::string message = "unexpected " + found;
    if (!expected.empty())
        message += "; expected " + expected;
    return { severity::error, at(next.where), message + hint, {} };
}

// What stands open before offset, read again from the text: the brackets not
// yet closed and the last string that ran across a line break. Strings and
// comments are skipped as the lexer skips them.
struct open_things {
    std::vector<uint32_t> brackets;
    int64_t multiline_string = -1;
};

open_things scan_open(const char* text, uint32_t until)
{
    open_things found;
    for (uint32_t i = 0; i < until; ++i) {
        char c = text[i];
        if (c == '/' && text[i + 1] == '/') {
            while (i < until && text[i] != '\n' && text[i] != '\r')
                ++i;
        } else if (c == '/' && text[i + 1] == '*') {
            const char* end = std::strstr(text + i + 2, "*/");
            i = end ? uint32_t(end - text) + 1 : until;
        } else if (c == '"' || c == '\'') {
            const char* close = std::strchr(text + i + 1, c);
            if (close && uint32_t(close - text) < until) {
                if (std::memchr(text + i, '\n', size_t(close - text) - i))
                    found.multiline_string = i;
                i = uint32_t(close - text);
            }
        } else if (c == '{' || c == '(' || c == '[') {
            found.brackets.push_back(i);
        } else if ((c == '}' || c == ')' || c == ']') && !found.brackets.empty()) {
            found.brackets.pop_back();
        }
    }
    return found;
}

// Hints that point elsewhere: the bracket an end of file left open, and a
// string that ran across lines (strings may, so it is a hint, not an error).
void trace::add_context_notes(diagnostic& d, const token_seen& next) const
{
    held_byte_restored restore(*this);
    open_things open = scan_open(text_, std::min(next.where.begin, size_));
    if (next.number == 0 && !open.brackets.empty()) {
        uint32_t at_bracket = open.brackets.back();
        d.notes.push_back(
            { at({ at_bracket, at_bracket + 1 }), std::string("to match this '") + text_[at_bracket] + "'" });
    }
    if (open.multiline_string >= 0) {
        uint32_t quote = uint32_t(open.multiline_string);
        d.notes.push_back(
            { at({ quote, quote + 1 }), "this string runs across line breaks; is its closing quote missing?" });
    }
}

void trace::syntax_error(const syntax_report& report, const context& ctx)
{
    diagnostic d = syntax_diagnostic(report, ctx);
    if (text_)
        add_context_notes(d, next_token());
    add(d.level, { d.where.offset, d.where.offset + d.where.length }, d.message, d.notes);
}

void trace::error(span where, std::string message) { add(severity::error, where, std::move(message)); }

void trace::call(span where, const char* name) { calls_.push_back({ where, name ? name : "" }); }

// Only a definition that an earlier call waits for can be reported (a call
// after it finds the subtree), so only those are kept. Every definition starts
// a parameter list for the named-argument check.
void trace::subtree_defined(span where, unit& owner)
{
    std::string_view name = owner.subtrees.back()->name.c_str();
    if (std::any_of(calls_.begin(), calls_.end(), [&](const pending_call& c) { return c.name == name; }))
        subtrees_.push_back({ where, std::string(name) });
    outermost().arguments_.add_subtree(owner);
}

void trace::declared(variable& v, span where)
{
    if (watcher_)
        watcher_->declared(v, where);
}

trace& trace::outermost()
{
    trace* t = this;
    while (t->outer_)
        t = t->outer_;
    return *t;
}

void trace::parameter_declared(const unit& owner, const variable& parameter)
{
    outermost().arguments_.add_parameter(owner, parameter);
}

void trace::named_argument(const node_call& call, const variable& argument, span where)
{
    if (!call.subtree)
        return; // the unknown subtree is the error
    std::string problem = outermost().arguments_.unread(*call.subtree, argument);
    if (!problem.empty())
        add(severity::warning, where, problem);
}

void trace::statement_written(const node_statement* statement, const unit& u, span where)
{
    if (statement_positions* positions = statement_positions::active())
        positions->add_statement(statement, u.name.c_str(), where);
}

std::string trace::take_open_failure()
{
    std::string reason = std::move(open_failure_);
    open_failure_.clear();
    return reason;
}

// A call of a subtree not yet defined: either it comes further down (a
// subtree must be defined before its first call) or the name is a slip.
void trace::resolve_calls(const context& ctx)
{
    if (calls_.empty())
        return;
    std::vector<std::string> names;
    if (ctx.current_unit)
        subtree_names(ctx.current_unit, names);
    for (const pending_call& c : calls_) {
        auto below
            = std::find_if(subtrees_.begin(), subtrees_.end(), [&](const definition& s) { return s.name == c.name; });
        if (below != subtrees_.end() && below->where.begin > c.where.begin) {
            add(severity::error, c.where, "unknown subtree '" + c.name + "'",
                { { at(below->where),
                    "'" + c.name
                        + "' is defined here, below the call: a subtree must be defined before its first call" } });
        } else {
            add(severity::error, c.where, "unknown subtree '" + c.name + "'" + did_you_mean(c.name, names));
        }
    }
}

void trace::add_warnings()
{
    if (byte_order_mark_) {
        add(severity::warning, { 0, 3 }, "the file starts with a UTF-8 byte-order mark; the game reads it as empty");
        return;
    }
    if (recent(0).number >= 0 || high_byte_shown_)
        return; // a byte above 127 ends the input, so it is the last token read
    uint32_t offset = recent(0).where.begin;
    char message[128];
    std::snprintf(message, sizeof message,
        "byte 0x%02X outside a string or comment ends the game's input here; the rest of the file is ignored",
        unsigned(uint8_t(text_[offset])));
    add(severity::warning, { offset, offset + 1 }, message);
}

// The names this file declares without export travel to the importing file,
// so that an unknown name there can say what is missing.
void trace::pass_unexported(const context& ctx)
{
    if (!outer_)
        return;
    for (uint32_t i = 0; ctx.depth >= 0 && i < ctx.scopes[0].size(); ++i) {
        const variable* v = ctx.scopes[0].at(i);
        if (!v->is_exported())
            outer_->unexported_.push_back({ v->name, file_ });
    }
    for (const unexported& u : unexported_)
        outer_->unexported_.push_back(u);
}

void trace::finish(const context& ctx, bool failed)
{
    resolve_calls(ctx);
    add_warnings();
    pass_unexported(ctx);
    bool any_error
        = std::any_of(made_.begin(), made_.end(), [](const diagnostic& d) { return d.level == severity::error; });
    if (failed && !any_error && out_.count(severity::error) == errors_before_) // none shown, here or in an import
        add(severity::error, recent(0).where, "the game rejects this file");
    std::stable_sort(made_.begin(), made_.end(),
        [](const diagnostic& a, const diagnostic& b) { return a.where.offset < b.where.offset; });
    for (diagnostic& d : made_)
        out_.add(std::move(d));
    made_.clear();
    if (watcher_)
        watcher_->file_finished(failed);
}

} // namespace parser::diag
