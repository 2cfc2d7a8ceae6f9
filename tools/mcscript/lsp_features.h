// The answers of the language server, as the protocol's JSON: diagnostics of a
// document's last parse, hover, go to definition, completion and the
// document's symbols.
#pragma once

#include <cstdint>

#include <nlohmann/json.hpp>

#include "tools/mcscript/lsp_workspace.h"

namespace mcscript::lsp {

using json = nlohmann::json;

json range_json(const document& d, parser::span where);
// The Diagnostic[] of the document's last parse: its own problems at their
// places, problems in the files it imports at the import that brought them.
json diagnostics_json(const workspace& w, const document& d);
json hover_json(const workspace& w, const document& d, uint32_t offset);
json definition_json(const workspace& w, const document& d, uint32_t offset);
json completion_json(const workspace& w, const document& d, uint32_t offset);
json symbols_json(const document& d);

} // namespace mcscript::lsp
