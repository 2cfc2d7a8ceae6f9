// Open documents and their parses. A parse runs in the document's game folder
// (imports are opened relative to the working directory, as the game does),
// reads open documents before files, and keeps the imports it parsed for the
// next parse until one of them changes.
#include "tools/mcscript/lsp_workspace.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <optional>
#include <set>

#include "engine/kernel/Parser/statement_positions.h"
#include "engine/kernel/Parser/subtree.h"
#include "engine/kernel/Parser/unit.h"
#include "engine/kernel/ascii_case.h"
#include "tools/mcscript/settings_lint.h"

namespace mcscript::lsp {
namespace {

int hex_value(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

bool drive_letter(const std::string& path, size_t at)
{
    return path.size() >= at + 2 && std::isalpha(uint8_t(path[at])) && path[at + 1] == ':';
}

void drop(parser::unit_cache& cache)
{
    for (parser::unit* u : cache.units)
        u->release();
    cache.units.clear();
}

// The files a file imports, directly or through others.
void imports_of(const index_map& files, const std::string& path, std::set<std::string>& seen)
{
    auto found = files.find(path);
    if (found == files.end())
        return;
    for (const std::string& imported : found->second->imports)
        if (seen.insert(imported).second)
            imports_of(files, imported, seen);
}

// Whether the file is the host's settings file: game.ini, ASCII case ignored.
bool is_settings_name(const std::string& path)
{
    std::string name = std::filesystem::path(path).filename().string();
    return ascii::equal_ignoring_case(name, "game.ini");
}

} // namespace

std::string path_of_uri(const std::string& uri)
{
    const std::string scheme = "file://";
    if (uri.compare(0, scheme.size(), scheme) != 0)
        return "";
    size_t slash = uri.find('/', scheme.size());
    if (slash == std::string::npos)
        return "";
    std::string path;
    for (size_t i = slash; i < uri.size(); ++i) {
        int high = uri[i] == '%' && i + 2 < uri.size() ? hex_value(uri[i + 1]) : -1;
        int low = high >= 0 ? hex_value(uri[i + 2]) : -1;
        if (low >= 0) {
            path += char(high * 16 + low);
            i += 2;
        } else {
            path += uri[i];
        }
    }
    return drive_letter(path, 1) ? path.substr(1) : path;
}

std::string uri_of_path(const std::string& path)
{
    static const char digits[] = "0123456789ABCDEF";
    std::string uri = drive_letter(path, 0) ? "file:///" : "file://";
    for (char c : path) {
        uint8_t b = uint8_t(c);
        if (std::isalnum(b) || std::strchr("-._~/", c))
            uri += c;
        else
            uri += std::string("%") + digits[b >> 4] + digits[b & 15];
    }
    return uri;
}

std::string game_folder(const std::string& path)
{
    std::error_code error;
    std::filesystem::path file(path);
    for (std::filesystem::path folder = file.parent_path(); !folder.empty(); folder = folder.parent_path()) {
        if (std::filesystem::is_regular_file(folder / "game.ini", error))
            return folder.generic_string();
        if (folder == folder.parent_path())
            break;
    }
    return file.parent_path().generic_string();
}

workspace::workspace(parser::extern_interface* externs, bool settings_everywhere)
    : externs_(externs)
    , settings_everywhere_(settings_everywhere)
{
}

workspace::~workspace() = default;

document* workspace::find(const std::string& uri)
{
    auto found = documents_.find(uri);
    return found == documents_.end() ? nullptr : &found->second;
}

bool workspace::read(const char* file_name, std::string& text)
{
    std::string path = absolute_path(parsing_folder_, file_name);
    for (const auto& [uri, d] : documents_) {
        if (d.path == path) {
            text = d.text;
            return true;
        }
    }
    return false;
}

void workspace::forget_imports_of(const std::string& path)
{
    for (auto& entry : caches_) {
        const std::string& folder = entry.first;
        parser::unit_cache& cache = *entry.second;
        bool holds = std::any_of(cache.units.begin(), cache.units.end(),
            [&](parser::unit* u) { return absolute_path(folder, u->name.c_str()) == path; });
        if (holds)
            drop(cache);
    }
}

void workspace::parse(document& d)
{
    std::error_code error;
    std::filesystem::path previous = std::filesystem::current_path(error);
    bool moved = !d.folder.empty();
    if (moved)
        std::filesystem::current_path(d.folder, error);
    moved = moved && !error;
    parsing_folder_ = moved ? d.folder : previous.generic_string();
    std::unique_ptr<parser::unit_cache>& cache = caches_[parsing_folder_];
    if (!cache)
        cache = std::make_unique<parser::unit_cache>();
    std::vector<char> text(d.text.begin(), d.text.end());
    text.insert(text.end(), 2, 0);
    indexer index(parsing_folder_, known_);
    d.diagnostics.clear();
    {
        // A settings file's imports are parsed afresh, so that every statement
        // the lint may point at has its place recorded.
        parser::diag::statement_positions positions;
        std::optional<parser::diag::statement_positions::recording> record;
        if (d.settings)
            record.emplace(positions);
        parser::diag::collecting collect(d.diagnostics);
        parser::diag::observing observe(index);
        parser::reading_from source(*this);
        parser::unit* u = parser::parse_text(
            d.name.c_str(), text.data(), text.size(), externs_, d.settings ? nullptr : cache.get(), true, nullptr);
        if (u && d.settings)
            lint(d, u, positions);
        if (u)
            u->release();
    }
    if (moved)
        std::filesystem::current_path(previous, error);
    d.index = nullptr;
    for (std::shared_ptr<file_index>& f : index.finished) {
        if (f->file == d.path)
            d.index = f;
        files_[f->file] = std::move(f);
    }
    if (!d.index) { // a parse that never started (the scanner could not be made)
        d.index = std::make_shared<file_index>();
        d.index->file = d.path;
        d.index->text = d.text;
    }
    files_[d.path] = d.index;
    std::set<std::string> reads;
    imports_of(files_, d.path, reads);
    d.reads.assign(reads.begin(), reads.end());
}

// The settings lint over main as the host reads it (a file without main is an
// error, as for mcscript settings). A warning about the file as a whole shows
// at its start; one in a file it imports, at the start too, naming the file,
// with the place in that file as related information.
void workspace::lint(document& d, parser::unit* u, const parser::diag::statement_positions& positions)
{
    parser::subtree* main = u->find_subtree("main");
    if (!main) { // the host fails to load such a file, as one that does not parse
        parser::diag::diagnostic missing { parser::diag::severity::error, {}, "no subtree 'main' in '" + d.name + "'",
            {} };
        missing.where.file = d.name;
        d.diagnostics.add(std::move(missing));
        return;
    }
    main->environment = nullptr; // as the host loads it
    parser::diag::sink warnings;
    lint_settings(*main, positions, warnings);
    main->release(); // find_subtree added a reference
    for (parser::diag::diagnostic w : warnings.items()) {
        if (w.where.file.empty()) {
            w.where.file = d.name;
        } else if (w.where.file != d.name) {
            w.notes.insert(w.notes.begin(), { w.where, w.message });
            w.message = "in '" + w.where.file + "': " + w.message;
            w.where = {};
            w.where.file = d.name;
        }
        d.diagnostics.add(std::move(w));
    }
}

std::vector<document*> workspace::parse_with_readers(document& d)
{
    forget_imports_of(d.path);
    parse(d);
    std::vector<document*> parsed { &d };
    for (auto& [uri, other] : documents_) {
        if (&other != &d && std::binary_search(other.reads.begin(), other.reads.end(), d.path)) {
            parse(other);
            parsed.push_back(&other);
        }
    }
    return parsed;
}

std::vector<document*> workspace::open(const std::string& uri, std::string text)
{
    document& d = documents_[uri];
    d.uri = uri;
    d.path = path_of_uri(uri);
    if (d.path.empty()) {
        d.path = uri;
        d.name = uri;
    } else {
        d.path = std::filesystem::path(d.path).lexically_normal().generic_string();
        d.folder = game_folder(d.path);
        std::filesystem::path relative = std::filesystem::path(d.path).lexically_relative(d.folder);
        bool inside = !relative.empty() && relative.begin()->string() != "..";
        d.name = inside ? relative.generic_string() : d.path;
    }
    d.settings = settings_everywhere_ || is_settings_name(d.path);
    d.text = std::move(text);
    d.lines = line_index(d.text);
    return parse_with_readers(d);
}

std::vector<document*> workspace::change(const std::string& uri, std::string text)
{
    document* d = find(uri);
    if (!d)
        return {};
    d->text = std::move(text);
    d->lines = line_index(d->text);
    return parse_with_readers(*d);
}

std::vector<document*> workspace::save(const std::string& uri)
{
    document* d = find(uri);
    if (!d)
        return {};
    for (auto& [folder, cache] : caches_)
        drop(*cache);
    return parse_with_readers(*d);
}

std::vector<document*> workspace::close(const std::string& uri)
{
    document* d = find(uri);
    if (!d)
        return {};
    std::string path = d->path;
    documents_.erase(uri);
    forget_imports_of(path);
    std::vector<document*> parsed;
    for (auto& [other_uri, other] : documents_) {
        if (std::binary_search(other.reads.begin(), other.reads.end(), path)) {
            parse(other);
            parsed.push_back(&other);
        }
    }
    return parsed;
}

} // namespace mcscript::lsp
