// The settings lint: a walk of "main" that follows the host's own reading
// (calls entered with their arguments, the taken branch, the same depth limit)
// and also visits what the host does not reach this time (the other branch of
// each if), checking every statement against the reader's key table.
#include "tools/mcscript/settings_lint.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <map>
#include <set>
#include <utility>
#include <vector>

#include "engine/game/gameini_parser.h"
#include "engine/kernel/Parser/call_frame.h"
#include "engine/kernel/Parser/grammar_actions.h"
#include "engine/kernel/Parser/statement_positions.h"
#include "engine/kernel/Parser/statements.h"
#include "engine/kernel/Parser/subtree.h"
#include "engine/kernel/Parser/tree_iterator.h"
#include "engine/kernel/ascii_case.h"
#include "tools/mcscript/settings_printer.h"

namespace mcscript {
namespace {

namespace diag = parser::diag;
using parser::node_exp;
using parser::node_function;
using parser::statement_list;

// Names this close to a key are taken for misspellings of it: at most two
// edits, and one for keys under six letters, where two edits reach unrelated
// names (`A` is two edits from `Map`).
constexpr size_t max_distance = 2;
size_t allowed_distance(size_t key_length) { return std::clamp<size_t>(key_length / 3, 1, max_distance); }

// Edits (insert, delete, replace, swap of neighbours) from a to b, ASCII case
// ignored; any count over limit may come back as limit + 1.
size_t distance(const std::string& a, const std::string& b, size_t limit)
{
    if ((a.size() > b.size() ? a.size() - b.size() : b.size() - a.size()) > limit)
        return limit + 1;
    std::vector<std::vector<size_t>> d(a.size() + 1, std::vector<size_t>(b.size() + 1, 0));
    for (size_t i = 0; i <= a.size(); ++i)
        d[i][0] = i;
    for (size_t j = 0; j <= b.size(); ++j)
        d[0][j] = j;
    for (size_t i = 1; i <= a.size(); ++i) {
        for (size_t j = 1; j <= b.size(); ++j) {
            size_t replace = d[i - 1][j - 1] + (ascii::lower(a[i - 1]) == ascii::lower(b[j - 1]) ? 0 : 1);
            d[i][j] = std::min({ d[i - 1][j] + 1, d[i][j - 1] + 1, replace });
            if (i > 1 && j > 1 && ascii::lower(a[i - 1]) == ascii::lower(b[j - 2])
                && ascii::lower(a[i - 2]) == ascii::lower(b[j - 1]))
                d[i][j] = std::min(d[i][j], d[i - 2][j - 2] + 1);
        }
    }
    return d[a.size()][b.size()];
}

// The name without a "_pc" ending (any letter case), or empty when it has none.
std::string without_pc(const std::string& name)
{
    if (name.size() <= 3 || !ascii::equal_ignoring_case(name.substr(name.size() - 3), "_pc"))
        return {};
    return name.substr(0, name.size() - 3);
}

// The key row whose name or "_pc" name this is, ASCII case ignored; or null.
const GameIniKey* key_of(const std::string& name)
{
    for (const GameIniKey& k : GameIniKeys())
        if (ascii::equal_ignoring_case(name, k.name) || (k.pc_name && ascii::equal_ignoring_case(name, k.pc_name)))
            return &k;
    return nullptr;
}

// The key (or section name) a misspelt name is closest to, also with its
// "_pc" ending taken off; null when it is far from every one.
const char* near_key(const std::string& name)
{
    const char* best = nullptr;
    size_t best_distance = max_distance + 1;
    std::string stem = without_pc(name);
    auto consider = [&](const char* key) {
        if (!key)
            return;
        size_t d = distance(name, key, max_distance);
        if (!stem.empty())
            d = std::min(d, distance(stem, key, max_distance));
        if (d <= allowed_distance(std::strlen(key)) && d < best_distance) {
            best = key;
            best_distance = d;
        }
    };
    for (const GameIniKey& k : GameIniKeys()) {
        consider(k.name);
        consider(k.pc_name);
    }
    consider(kSkuSection);
    return best;
}

std::string with_article(const char* type)
{
    return std::string(type[0] == 'i' || type[0] == 'm' ? "an " : "a ") + type;
}

// What an argument is, in words ("a string"), or why there is none.
std::string what_is(const node_function& f)
{
    if (f.arguments.empty())
        return "no argument";
    node_exp* first = parser::argument_list::payload(f.arguments.first());
    int n = parser::value_type_of(first);
    return n < 0 ? "an argument of no type" : with_article(parser::type_names[n]);
}

std::string quoted(const std::string& text) { return "'" + text + "'"; }

std::string hex_value(uint32_t value)
{
    char text[32];
    std::snprintf(text, sizeof text, "0x%X (%u)", value, value);
    return text;
}

// Where the walk stands: the frame in force, whether inside a section, the
// lists and calls entered (the host stops past tree_iterator::max_levels),
// and whether the host's own walk comes here.
struct place {
    parser::call_frame* frame = nullptr;
    bool in_section = false;
    int depth = 0;
    int frames = 0;
    int32_t carried = 0; // how deep the callers' arguments can make a parameter read
    bool reached = true;
};

class walker {
public:
    walker(const diag::statement_positions& positions, diag::sink& out, void* environment)
        : positions_(positions)
        , out_(out)
        , environment_(environment)
    {
    }

    // Walks list; false when the host's own walk stops inside it.
    bool walk(statement_list& list, const place& p)
    {
        for (parser::list_element* e = list.first(); e; e = e->next) {
            parser::node_statement* s = statement_list::payload(e);
            if (auto* f = dynamic_cast<node_function*>(s))
                function(*f, p);
            else if (auto* call = dynamic_cast<parser::node_call*>(s)) {
                if (!enter_call(*call, p))
                    return false;
            } else if (!enter_if(*static_cast<parser::node_if*>(s), p)) {
                return false;
            }
        }
        return true;
    }

private:
    bool enter_call(parser::node_call& call, const place& p)
    {
        if (!call.subtree)
            return true;
        if (!p.reached && !unreached_subtrees_.insert(call.subtree).second)
            return true; // what the host does not reach is linted once, whatever calls it
        if (p.reached && (p.frames + 1 >= parser::tree_iterator::max_levels || !deeper(p)))
            return stopped(call);
        int32_t carried = p.carried + call.argument_depth;
        if (p.reached && carried + call.subtree->deepest_expression > parser::grammar::max_expression_depth)
            return stopped(call,
                "the arguments carried into this call nest expressions more than "
                    + std::to_string(parser::grammar::max_expression_depth) + " levels deep");
        parser::call_frame inner { &call.arguments, p.frame };
        place in = p;
        in.frame = &inner;
        ++in.depth;
        ++in.frames;
        in.carried = carried;
        return walk(call.subtree->statements, in);
    }

    bool enter_if(parser::node_if& branch, const place& p)
    {
        place in = p;
        ++in.depth;
        if (!p.reached) {
            walk(branch.statements, in);
            walk(branch.else_statements, in);
            return true;
        }
        if (!deeper(p))
            return stopped(branch);
        bool taken = false;
        branch.condition->evaluate(nullptr, taken, p.frame, environment_);
        place then_part = in, else_part = in; // walked in the order of the text
        (taken ? else_part : then_part).reached = false;
        bool went_on = walk(branch.statements, then_part);
        return walk(branch.else_statements, else_part) && went_on;
    }

    static bool deeper(const place& p) { return p.depth + 1 < parser::tree_iterator::max_levels; }

    bool stopped(const parser::node_statement& at, std::string why = {})
    {
        if (why.empty())
            why = "calls and conditionals nest more than " + std::to_string(parser::tree_iterator::max_levels)
                + " levels deep here";
        warn(at, why + ": the host stops reading settings at this point");
        return false;
    }

    void function(node_function& f, const place& p)
    {
        std::string name = f.name.c_str();
        if (ascii::equal_ignoring_case(name, kSkuSection)) {
            section(f, p);
        } else if (const GameIniKey* k = key_of(name)) {
            argument(f, *k, p);
        } else if (const char* near = near_key_of(name)) {
            warn(f, quoted(name) + " is not a setting; did you mean " + quoted(near) + "?");
        }
    }

    // A section is a statement named exactly "SkuOverride" outside a section;
    // the host walks its body in the frame in force.
    void section(node_function& f, const place& p)
    {
        std::string name = f.name.c_str();
        if (p.in_section)
            return;
        if (name != kSkuSection) {
            warn(f, quoted(name) + " is not a section; did you mean " + quoted(kSkuSection) + "?");
            return;
        }
        std::string got = what_is(f);
        if (got != "a string")
            warn(f,
                quoted(name) + " takes a string (the SKU's name) but got " + got + "; its keys apply as those of "
                    + name + "(" + quoted(kSkuIdentifier) + ")");
        place body = p;
        body.in_section = true;
        body.depth = 0; // the host walks a body with an iterator of its own, in the frames in force
        walk(f.statements, body);
    }

    void argument(node_function& f, const GameIniKey& k, const place& p)
    {
        const char* wanted = ArgumentType(k.reader);
        if (!wanted)
            return; // set by its presence
        std::string got = what_is(f);
        if (got != with_article(wanted)) {
            std::string outcome = p.in_section ? "the section leaves the setting as it was"
                                               : std::string("the setting keeps its default (") + k.default_value + ")";
            warn(f, quoted(f.name.c_str()) + " takes " + with_article(wanted) + " but got " + got + "; " + outcome);
            return;
        }
        if (k.reader == KeyReader::HexText)
            hex_text(f, p);
    }

    void hex_text(node_function& f, const place& p)
    {
        auto* e = static_cast<parser::node_expr<string_base>*>(parser::argument_list::payload(f.arguments.first()));
        string_base value;
        value.reserve(64);
        e->evaluate(nullptr, value, p.frame, environment_);
        std::string text(value.c_str(), value.size());
        size_t used = 0;
        bool too_large = false;
        uint32_t number = ReadHexText(text.c_str(), used, too_large);
        std::string head = quoted(f.name.c_str()) + " text " + quoted(text);
        if (used == 0)
            warn(f, head + " does not start with a hexadecimal number: the setting is 0");
        else if (used < text.size())
            warn(f,
                head + " is read only up to " + quoted(text.substr(0, used)) + ": the setting is " + hex_value(number));
        else if (too_large)
            warn(f, head + " is more than 32 bits of hexadecimal: the setting is " + hex_value(number));
    }

    // near_key, once per name: a walk passes the same statements many times.
    const char* near_key_of(const std::string& name)
    {
        auto found = near_keys_.find(name);
        if (found == near_keys_.end())
            found = near_keys_.emplace(name, near_key(name)).first;
        return found->second;
    }

    // One warning per statement and message, however often the walk comes by.
    void warn(const parser::node_statement& at, std::string message)
    {
        if (!shown_.insert({ &at, message }).second)
            return;
        diag::diagnostic d;
        d.level = diag::severity::warning;
        positions_.find(&at, d.where); // a statement not recorded concerns the file as a whole
        d.message = std::move(message);
        out_.add(std::move(d));
    }

    const diag::statement_positions& positions_;
    diag::sink& out_;
    void* environment_;
    std::set<std::pair<const parser::node_statement*, std::string>> shown_;
    std::set<const parser::subtree*> unreached_subtrees_;
    std::map<std::string, const char*> near_keys_;
};

} // namespace

void lint_settings(parser::subtree& main, const diag::statement_positions& positions, diag::sink& out)
{
    walker(positions, out, main.environment).walk(main.statements, place {});
}

settings_result run_settings(const std::string& file, bool strict)
{
    settings_result r;
    uint32_t stopped = parser::tree_iterator::stopped_walks();
    diag::statement_positions positions;
    diag::collecting collect(r.diagnostics);
    diag::statement_positions::recording record(positions);
    GameIniSettings settings(file.c_str());
    switch (settings.status) {
    case GameIniSettings::LoadStatus::Missing:
        r.diagnostics.add(
            { diag::severity::error, {}, "cannot open " + quoted(file) + ": No such file or directory", {} });
        r.status = 1;
        return r;
    case GameIniSettings::LoadStatus::Unparsable:
        if (r.diagnostics.count(diag::severity::error) == 0)
            r.diagnostics.add({ diag::severity::error, {}, "no subtree 'main' in " + quoted(file), {} });
        r.status = 1;
        return r;
    case GameIniSettings::LoadStatus::Loaded:
        break;
    }
    r.record = settings_text(settings);
    lint_settings(*settings.parse_result, positions, r.diagnostics);
    bool walk_stopped = parser::tree_iterator::stopped_walks() != stopped; // settings were lost: a failure
    r.status = walk_stopped || (strict && r.diagnostics.count(diag::severity::warning) > 0) ? 1 : 0;
    return r;
}

} // namespace mcscript
