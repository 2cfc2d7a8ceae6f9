// ParseUnit and the import of one file into another.
#include "engine/kernel/Parser/unit_loader.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <optional>
#include <string>

#include "engine/kernel/Parser/context.h"
#include "engine/kernel/Parser/diagnostics.h"
#include "engine/kernel/Parser/extern_interface.h"
#include "engine/kernel/Parser/front_end_trace.h"
#include "engine/kernel/Parser/grammar_actions.h"
#include "engine/kernel/Parser/parser_y.hpp"
#include "engine/kernel/Parser/program_log.h"
#include "engine/kernel/Parser/scanner.h"
#include "engine/kernel/Parser/script_text.h"
#include "engine/kernel/Parser/statement_positions.h"
#include "engine/kernel/Parser/unit.h"
#include "engine/kernel/Parser/variable.h"
#include "engine/kernel/ascii_case.h"
#include "host/modules/filesystem_module.h"
#include "platform/critical_section.h"

namespace parser {
namespace {

// Guards every look-up in and append to any unit cache; created at program
// start, deleted at exit.
struct cache_lock {
    cache_lock() { platform::initialize_critical_section(&section); }
    ~cache_lock() { platform::delete_critical_section(&section); }
    platform::critical_section section;
};
cache_lock unit_cache_lock;

void warn(int line, const char* format, const char* file_name)
{
    Log::Category(Log::ELevel::Warning, "Parser", nodes_where(line, "ParseUnit"), true, format, file_name);
}

unit* find_cached(unit_cache* cache, const char* file_name)
{
    platform::scoped_lock hold(unit_cache_lock.section);
    for (unit* u : cache->units) {
        if (ascii::equal_ignoring_case(u->name.c_str(), file_name)) {
            u->add_ref();
            return u;
        }
    }
    return nullptr;
}

void add_to_cache(unit_cache* cache, unit* u)
{
    platform::scoped_lock hold(unit_cache_lock.section);
    u->add_ref();
    cache->units.push_back(u);
}

void declare_predefined(context& ctx, extern_interface* externs)
{
    for (uint32_t i = 0; i < externs->predefined_count(); ++i) {
        variable* v = externs->predefined_variable(i);
        v->add_ref();
        ctx.scopes[0].insert(v);
    }
}

// Why a file cannot be opened, in the system's words, for the diagnostic
// (the filesystem module says only that it failed).
std::string open_failure_reason(const char* file_name)
{
    std::error_code error;
    if (std::filesystem::is_directory(file_name, error))
        return std::strerror(EISDIR);
    errno = 0;
    std::FILE* f = std::fopen(file_name, "rb");
    int reason = errno;
    if (f) {
        std::fclose(f);
        return "not a regular file";
    }
    return std::strerror(reason ? reason : ENOENT);
}

// A file that cannot be opened: the import that asked for it reports it, or
// the file itself when the tool named it.
void diagnose_open_failure(const char* file_name)
{
    diag::sink* out = diag::collecting::active();
    if (!out)
        return;
    std::string reason = open_failure_reason(file_name);
    if (diag::trace* importing = diag::trace::current()) {
        importing->open_failed(reason);
        return;
    }
    diag::diagnostic d;
    d.where.file = file_name;
    d.message = std::string("cannot open '") + file_name + "': " + reason;
    out->add(std::move(d));
}

thread_local text_source* active_source = nullptr; // a plain pointer: the source lives with its scope

// The text source's text of the file, with the two zero bytes; no bytes when
// the source has none.
script_text read_from_source(const char* file_name, size_t* size)
{
    std::string text;
    if (!active_source || !active_source->read(file_name, text))
        return {};
    script_text copy(text.size() + 2);
    if (!copy.bytes())
        return {};
    std::memcpy(copy.bytes(), text.data(), text.size());
    copy.bytes()[text.size()] = 0;
    copy.bytes()[text.size() + 1] = 0;
    *size = text.size() + 2;
    return copy;
}

// The whole file followed by the two zero bytes the scanner needs; null
// (after the warning or error) when it cannot be opened, is too large for the
// scanner or the buffer is not allocated.
script_text read_text(const char* file_name, size_t* size)
{
    if (script_text text = read_from_source(file_name, size); text.bytes())
        return text;
    fs::file f;
    if (!f.open(file_name, EFSMode::Read, FFSOpenFlags::None)) {
        warn(__LINE__, "cannot open file '%s'\n", file_name);
        diagnose_open_failure(file_name);
        return {};
    }
    uint64_t length = f.length();
    if (!script_size_fits(length)) {
        f.close();
        Log::Category(Log::ELevel::Error, "Parser", nodes_where(__LINE__, "ParseUnit"), true,
            "script '%s' has %llu bytes: a script must be smaller than 2 GiB\n", file_name,
            static_cast<unsigned long long>(length));
        return {};
    }
    script_text text = length < SIZE_MAX - 2 ? script_text(size_t(length) + 2) : script_text();
    if (!text.bytes()) {
        f.close();
        warn(__LINE__, "cannot find file '%s'\n", file_name);
        return {};
    }
    uint64_t got = f.read(text.bytes(), length);
    f.close();
    text.bytes()[got] = 0;
    text.bytes()[got + 1] = 0;
    *size = size_t(got) + 2;
    return text;
}

// Runs the grammar over text (or standard input when text is null); true when
// accepted. *line receives the scanner's line number at the end.
bool run_grammar(context& ctx, char* text, size_t size, void* environment, int* line)
{
    yyscan_t scanner = nullptr;
    if (yylex_init(&scanner) != 0)
        return false;
    yyset_extra(&ctx, scanner);
    if (text)
        yy_scan_buffer(text, size, scanner);
    if (text)
        yyset_lineno(1, scanner);
    int result = yyparse(scanner, &ctx, environment);
    *line = yyget_lineno(scanner);
    yylex_destroy(scanner);
    return result == 0;
}

// The files this thread is parsing right now, innermost first, each entry on
// the stack of its parse: an import of one of them would parse it again inside
// itself, without end.
struct parsing_file {
    explicit parsing_file(const char* file_name);
    ~parsing_file();
    parsing_file(const parsing_file&) = delete;
    parsing_file& operator=(const parsing_file&) = delete;

    const char* name;
    parsing_file* outer;
    int32_t depth; // 0 for the top-level file, 1 for its imports, ...
};
thread_local parsing_file* innermost_file = nullptr;

parsing_file::parsing_file(const char* file_name)
    : name(file_name)
    , outer(innermost_file)
    , depth(innermost_file ? innermost_file->depth + 1 : 0)
{
    innermost_file = this;
}
parsing_file::~parsing_file() { innermost_file = outer; }

bool in_progress(const char* file_name)
{
    for (const parsing_file* f = innermost_file; f; f = f->outer)
        if (f->name && ascii::equal_ignoring_case(f->name, file_name))
            return true;
    return false;
}

void finish_scopes(context& ctx)
{
    ctx.end_block();
    ctx.release_scopes();
}

// The files one top-level parse without a unit cache has imported so far, on
// the stack of that parse: a file reached again along another import path is
// taken from here (a failed one fails again) instead of being parsed once per
// path, which a diamond-shaped import graph multiplies without bound.
class import_session {
public:
    import_session();
    ~import_session();
    import_session(const import_session&) = delete;
    import_session& operator=(const import_session&) = delete;

    // The unit parsed before for that file, with a reference added; null with
    // *known false when the file was never imported in this parse.
    static unit* reuse(const char* file_name, bool* known);
    // Remembers what importing the file gave (null for a failure).
    static void remember(const char* file_name, unit* u);

private:
    struct entry {
        std::string name;
        unit* parsed;
    };
    std::vector<entry> imported_;
    bool outermost_;
};
thread_local import_session* session = nullptr;

import_session::import_session()
    : outermost_(session == nullptr)
{
    if (outermost_)
        session = this;
}

import_session::~import_session()
{
    if (!outermost_)
        return;
    session = nullptr;
    for (entry& e : imported_)
        if (e.parsed)
            e.parsed->release();
}

unit* import_session::reuse(const char* file_name, bool* known)
{
    *known = false;
    if (!session)
        return nullptr;
    for (entry& e : session->imported_) {
        if (ascii::equal_ignoring_case(e.name.c_str(), file_name)) {
            *known = true;
            if (e.parsed)
                e.parsed->add_ref();
            return e.parsed;
        }
    }
    return nullptr;
}

void import_session::remember(const char* file_name, unit* u)
{
    if (!session)
        return;
    if (u)
        u->add_ref();
    session->imported_.push_back({ file_name, u });
}

// Parses an import, or takes it from the session when there is no cache.
unit* parse_import(const char* file_name, extern_interface* externs, unit_cache* cache, void* environment)
{
    if (cache)
        return ParseUnit(file_name, externs, cache, false, environment);
    bool known = false;
    unit* u = import_session::reuse(file_name, &known);
    if (known)
        return u;
    u = ParseUnit(file_name, externs, cache, false, environment);
    import_session::remember(file_name, u);
    return u;
}

} // namespace

bool script_size_fits(uint64_t bytes) { return bytes <= uint64_t(max_script_bytes); }

reading_from::reading_from(text_source& source)
    : previous_(active_source)
{
    active_source = &source;
}

reading_from::~reading_from() { active_source = previous_; }

text_source* reading_from::active() { return active_source; }

unit_cache::~unit_cache()
{
    for (unit* u : units)
        u->release();
}

void context::import(const char* file_name, void* environment)
{
    if (unit* found = current_unit->find_import(file_name)) {
        found->release(); // a file is imported once per import graph
        return;
    }
    if (trace)
        trace->import_started(here);
    if (in_progress(file_name)) {
        explain("this import leads back to a file that is importing it");
        error(__LINE__, "parser::context::import", true, "import of '%s' in '%s' leads back to itself\n", file_name,
            current_unit->name.c_str());
        return;
    }
    if (innermost_file && innermost_file->depth >= max_import_depth) {
        error(__LINE__, "parser::context::import", true, "import of '%s' in '%s' nests imports more than %d deep\n",
            file_name, current_unit->name.c_str(), int(max_import_depth));
        return;
    }
    unit* u = parse_import(file_name, externs, cache, environment);
    if (!u) {
        std::string reason = trace ? trace->take_open_failure() : std::string();
        // Errors inside the file were shown at their places, with the import.
        explain(reason.empty() ? nullptr : (std::string("cannot open '") + file_name + "': " + reason).c_str());
        error(__LINE__, "parser::context::import", true, "Cannot find import file '%s' in '%s'\n", file_name,
            current_unit->name.c_str());
        return;
    }
    // Units the new import brings already leave the direct import list.
    std::vector<unit*>& imports = current_unit->imports;
    for (size_t i = 0; i < imports.size();) {
        if (unit* reached = u->find_import(imports[i]->name.c_str())) {
            reached->release();
            imports[i]->release();
            imports.erase(imports.begin() + long(i));
        } else {
            ++i;
        }
    }
    imports.push_back(u);
}

} // namespace parser

namespace parser {

unit* parse_text(const char* unit_name, char* text, size_t size, extern_interface* externs, unit_cache* cache,
    bool standalone, void* environment)
{
    parsing_file marked(unit_name);
    import_session imports;
    grammar::depth_notes depths;
    unit* u = new unit(unit_name);
    context ctx(u, externs, cache);
    diag::sink* diagnostics = diag::collecting::active();
    std::optional<diag::trace> trace;
    if (diagnostics && text) {
        trace.emplace(*diagnostics, unit_name, text, uint32_t(size - 2));
        ctx.trace = &*trace;
        ctx.events = &*trace;
        if (diag::statement_positions* positions = diag::statement_positions::active())
            positions->add_file(unit_name, text, uint32_t(size - 2));
    }
    ctx.start_block(nullptr);
    if (externs)
        declare_predefined(ctx, externs);
    int line = 0;
    bool accepted = run_grammar(ctx, text, size, environment, &line);
    bool failed = text && (!accepted || ctx.has_error());
    if (trace)
        trace->finish(ctx, failed);
    ctx.events = nullptr;
    ctx.trace = nullptr; // the file's own failure record is no diagnostic: its causes are
    if (failed) {
        ctx.error(__LINE__, "ParseUnit", true, "syntax error in '%s' line %d\n", unit_name, line);
        u->release();
        ctx.release_scopes();
        return nullptr;
    }
    if (text && cache && !standalone)
        add_to_cache(cache, u);
    ctx.export_outer_scope();
    finish_scopes(ctx);
    return u;
}

} // namespace parser

using namespace parser;

unit* ParseUnit(const char* file_name, extern_interface* externs, unit_cache* cache, bool standalone, void* environment)
{
    if (file_name && cache)
        if (unit* cached = find_cached(cache, file_name))
            return cached;
    if (!file_name)
        return parse_text(nullptr, nullptr, 0, externs, cache, standalone, environment);
    size_t size = 0;
    script_text text = read_text(file_name, &size);
    if (!text.bytes())
        return nullptr;
    return parse_text(file_name, text.bytes(), size, externs, cache, standalone, environment);
}
