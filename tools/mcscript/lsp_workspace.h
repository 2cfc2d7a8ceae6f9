// The documents an editor has open and what the server knows of them: their
// texts, which take precedence over the files on disk when a script imports
// them, each document's last parse (diagnostics and symbol table), and the
// parsed imports kept between parses.
#pragma once

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "engine/kernel/Parser/diagnostics.h"
#include "engine/kernel/Parser/unit_loader.h"
#include "tools/mcscript/lsp_index.h"
#include "tools/mcscript/lsp_positions.h"

namespace parser {
class extern_interface;
class unit;
namespace diag {
class statement_positions;
}
} // namespace parser

namespace mcscript::lsp {

// file:// URIs and paths: percent-escapes decoded and made, a Windows drive
// letter ("/c:/...") kept as the path's start. Empty for another scheme.
std::string path_of_uri(const std::string& uri);
std::string uri_of_path(const std::string& path);

struct document {
    std::string uri;
    std::string path; // absolute; for a URI of another scheme, the URI itself
    std::string folder; // where its imports are resolved: the game's folder
    std::string name; // the file name its parse gives, relative to folder
    std::string text;
    line_index lines;
    std::shared_ptr<file_index> index; // of the last parse
    parser::diag::sink diagnostics; // of the last parse
    std::vector<std::string> reads; // absolute paths of the files it imports, directly or not
    bool settings = false; // read as game.ini: its settings are linted, its keys hovered and completed
};

class workspace final : public parser::text_source {
public:
    // With settings_everywhere, every document is read as a settings file;
    // otherwise only those named game.ini (ASCII case ignored).
    explicit workspace(parser::extern_interface* externs, bool settings_everywhere = false);
    ~workspace();

    document* find(const std::string& uri);
    // Opening or changing a document parses it again; the documents whose
    // parse read it are parsed again too. Returns every document parsed.
    std::vector<document*> open(const std::string& uri, std::string text);
    std::vector<document*> change(const std::string& uri, std::string text);
    // Saving drops the imports kept between parses (the files on disk may
    // have changed with it) and parses the document again.
    std::vector<document*> save(const std::string& uri);
    // Closing one re-parses the documents that read it (they now read the file).
    std::vector<document*> close(const std::string& uri);

    const index_map& files() const { return files_; }

    bool read(const char* file_name, std::string& text) override;

private:
    void parse(document& d);
    void lint(document& d, parser::unit* u, const parser::diag::statement_positions& positions);
    std::vector<document*> parse_with_readers(document& d);
    void forget_imports_of(const std::string& path);

    parser::extern_interface* externs_;
    bool settings_everywhere_;
    std::map<std::string, document> documents_;
    index_map files_;
    declaration_table known_;
    std::map<std::string, std::unique_ptr<parser::unit_cache>> caches_; // by folder
    std::string parsing_folder_; // the folder of the parse running now
};

// The folder a script's imports are opened from: the game's folder (the
// nearest one above it holding game.ini, where the game runs), else its own.
std::string game_folder(const std::string& path);

} // namespace mcscript::lsp
