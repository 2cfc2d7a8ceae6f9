// The server's loop: one message at a time, each request answered before the
// next is read (so answers come in order), every fault in a message answered
// with the protocol's error and never fatal. The methods are two tables.
#include "tools/mcscript/lsp_server.h"

#include <string>

#include "tools/mcscript/lsp_features.h"
#include "tools/mcscript/lsp_transport.h"

namespace mcscript::lsp {
namespace {

// JSON-RPC and protocol error codes.
constexpr int parse_error = -32700;
constexpr int invalid_request = -32600;
constexpr int method_not_found = -32601;
constexpr int invalid_params = -32602;
constexpr int internal_error = -32603;
constexpr int server_not_initialized = -32002;
constexpr int request_failed = -32803;

constexpr int sync_full = 1;
constexpr int trigger_character = 2;

// A request that cannot be answered: its error response.
struct request_error {
    int code;
    std::string message;
};

const json& member(const json& object, const char* name)
{
    if (!object.is_object() || !object.contains(name))
        throw request_error { invalid_params, std::string("missing '") + name + "'" };
    return object[name];
}

std::string string_member(const json& object, const char* name)
{
    const json& value = member(object, name);
    if (!value.is_string())
        throw request_error { invalid_params, std::string("'") + name + "' must be a string" };
    return value.get<std::string>();
}

uint32_t count_member(const json& object, const char* name)
{
    const json& value = member(object, name);
    if (!value.is_number_integer() || value.get<int64_t>() < 0 || value.get<int64_t>() > INT32_MAX)
        throw request_error { invalid_params, std::string("'") + name + "' must be a non-negative integer" };
    return value.get<uint32_t>();
}

std::string uri_of(const json& params) { return string_member(member(params, "textDocument"), "uri"); }

place place_of(const json& position) { return { count_member(position, "line"), count_member(position, "character") }; }

class server {
public:
    server(std::FILE* in, std::FILE* out, parser::extern_interface* externs, const char* version, bool settings)
        : io_(in, out)
        , documents_(externs, settings)
        , version_(version)
    {
    }

    int run();

private:
    using request_handler = json (server::*)(const json& params);
    using notification_handler = void (server::*)(const json& params);
    struct request_method {
        const char* name;
        request_handler handler;
    };
    struct notification_method {
        const char* name;
        notification_handler handler;
    };
    static const request_method requests[];
    static const notification_method notifications[];

    void send(const json& message);
    void answer(const json& id, json result)
    {
        send({ { "jsonrpc", "2.0" }, { "id", id }, { "result", std::move(result) } });
    }
    void fail(const json& id, int code, const std::string& message);
    void publish(const std::vector<document*>& parsed);
    void handle(const std::string& body);
    void handle_safely(const std::string& body);
    void handle_request(const json& id, const std::string& method, const json& params);
    void handle_notification(const std::string& method, const json& params);
    document& opened(const json& params);
    uint32_t offset_in(const document& d, const json& params);

    json initialize(const json& params);
    json shutdown(const json& params);
    json hover(const json& params);
    json definition(const json& params);
    json completion(const json& params);
    json document_symbol(const json& params);
    void initialized(const json&) { }
    void exit(const json&) { exit_status_ = shut_down_ ? 0 : 1; }
    void did_open(const json& params);
    void did_change(const json& params);
    void did_save(const json& params);
    void did_close(const json& params);

    transport io_;
    workspace documents_;
    const char* version_;
    bool initialized_ = false;
    bool shut_down_ = false;
    int exit_status_ = -1; // set by the exit notification
};

const server::request_method server::requests[] = {
    { "initialize", &server::initialize },
    { "shutdown", &server::shutdown },
    { "textDocument/hover", &server::hover },
    { "textDocument/definition", &server::definition },
    { "textDocument/completion", &server::completion },
    { "textDocument/documentSymbol", &server::document_symbol },
};

const server::notification_method server::notifications[] = {
    { "initialized", &server::initialized },
    { "exit", &server::exit },
    { "textDocument/didOpen", &server::did_open },
    { "textDocument/didChange", &server::did_change },
    { "textDocument/didSave", &server::did_save },
    { "textDocument/didClose", &server::did_close },
};

void server::send(const json& message)
{
    // Texts from files on disk need not be UTF-8: such bytes become U+FFFD.
    io_.write(message.dump(-1, ' ', false, json::error_handler_t::replace));
}

void server::fail(const json& id, int code, const std::string& message)
{
    send({ { "jsonrpc", "2.0" }, { "id", id }, { "error", { { "code", code }, { "message", message } } } });
}

void server::publish(const std::vector<document*>& parsed)
{
    for (const document* d : parsed)
        send({ { "jsonrpc", "2.0" }, { "method", "textDocument/publishDiagnostics" },
            { "params", { { "uri", d->uri }, { "diagnostics", diagnostics_json(documents_, *d) } } } });
}

document& server::opened(const json& params)
{
    std::string uri = uri_of(params);
    document* d = documents_.find(uri);
    if (!d)
        throw request_error { request_failed, "document not open: " + uri };
    return *d;
}

uint32_t server::offset_in(const document& d, const json& params)
{
    return d.lines.to_offset(d.text, place_of(member(params, "position")));
}

json server::initialize(const json&)
{
    if (initialized_)
        throw request_error { invalid_request, "initialize was already requested" };
    initialized_ = true;
    json capabilities = {
        { "textDocumentSync",
            { { "openClose", true }, { "change", sync_full }, { "save", { { "includeText", false } } } } },
        { "hoverProvider", true },
        { "definitionProvider", true },
        { "documentSymbolProvider", true },
        { "completionProvider", { { "triggerCharacters", { " ", "(", "," } } } },
    };
    return { { "capabilities", capabilities }, { "serverInfo", { { "name", "mcscript" }, { "version", version_ } } } };
}

json server::shutdown(const json&)
{
    shut_down_ = true;
    return nullptr;
}

json server::hover(const json& params)
{
    document& d = opened(params);
    return hover_json(documents_, d, offset_in(d, params));
}

json server::definition(const json& params)
{
    document& d = opened(params);
    return definition_json(documents_, d, offset_in(d, params));
}

json server::completion(const json& params)
{
    document& d = opened(params);
    uint32_t offset = offset_in(d, params);
    // A space asks only after 'call': elsewhere it starts nothing to complete.
    const json* context = params.contains("context") ? &params["context"] : nullptr;
    bool after_space = context && context->is_object() && context->value("triggerKind", 0) == trigger_character
        && context->value("triggerCharacter", "") == " ";
    json items = completion_json(documents_, d, offset);
    if (after_space && !items.empty() && items[0].value("kind", 0) != 3)
        items = json::array();
    return items;
}

json server::document_symbol(const json& params) { return symbols_json(opened(params)); }

void server::did_open(const json& params)
{
    const json& item = member(params, "textDocument");
    publish(documents_.open(string_member(item, "uri"), string_member(item, "text")));
}

// Full texts as advertised; a change with a range is applied to the text too.
void server::did_change(const json& params)
{
    document& d = opened(params);
    const json& changes = member(params, "contentChanges");
    if (!changes.is_array())
        throw request_error { invalid_params, "'contentChanges' must be an array" };
    std::string text = d.text;
    for (const json& change : changes) {
        std::string replacement = string_member(change, "text");
        if (!change.contains("range")) {
            text = std::move(replacement);
            continue;
        }
        line_index lines(text);
        const json& range = change["range"];
        uint32_t begin = lines.to_offset(text, place_of(member(range, "start")));
        uint32_t end = lines.to_offset(text, place_of(member(range, "end")));
        text.replace(begin, end > begin ? end - begin : 0, replacement);
    }
    publish(documents_.change(d.uri, std::move(text)));
}

void server::did_save(const json& params) { publish(documents_.save(opened(params).uri)); }

void server::did_close(const json& params)
{
    std::string uri = opened(params).uri;
    publish(documents_.close(uri));
    send({ { "jsonrpc", "2.0" }, { "method", "textDocument/publishDiagnostics" },
        { "params", { { "uri", uri }, { "diagnostics", json::array() } } } });
}

void server::handle_request(const json& id, const std::string& method, const json& params)
{
    if (!initialized_ && method != "initialize")
        return fail(id, server_not_initialized, "the server is not initialized");
    if (shut_down_)
        return fail(id, invalid_request, "the server is shutting down");
    for (const request_method& m : requests) {
        if (method != m.name)
            continue;
        try {
            answer(id, (this->*m.handler)(params));
        } catch (const request_error& e) {
            fail(id, e.code, e.message);
        } catch (const json::exception& e) {
            fail(id, invalid_params, e.what());
        } catch (const std::exception& e) {
            fail(id, internal_error, e.what());
        }
        return;
    }
    fail(id, method_not_found, "unknown method: " + method);
}

// Notifications have no answer: a fault in one is noted on standard error.
void server::handle_notification(const std::string& method, const json& params)
{
    if (method != "exit" && (!initialized_ || shut_down_))
        return;
    for (const notification_method& m : notifications) {
        if (method != m.name)
            continue;
        try {
            (this->*m.handler)(params);
        } catch (const request_error& e) {
            std::fprintf(stderr, "mcscript lsp: %s: %s\n", method.c_str(), e.message.c_str());
        } catch (const json::exception& e) {
            std::fprintf(stderr, "mcscript lsp: %s: %s\n", method.c_str(), e.what());
        }
        return;
    }
}

void server::handle(const std::string& body)
{
    json message = json::parse(body, nullptr, false);
    if (message.is_discarded())
        return fail(nullptr, parse_error, "the message is no JSON");
    if (!message.is_object())
        return fail(nullptr, invalid_request, "a message is a JSON object");
    bool has_id = message.contains("id");
    json id = has_id ? message["id"] : json(nullptr);
    bool valid_id = id.is_string() || id.is_number_integer();
    if (!message.contains("method")) {
        if (has_id && (message.contains("result") || message.contains("error")))
            return; // a response: the server sends no requests, so none is awaited
        return fail(valid_id ? id : json(nullptr), invalid_request, "the message has no method");
    }
    const json& method = message["method"];
    const json params = message.contains("params") ? message["params"] : json::object();
    bool version = message.contains("jsonrpc") && message["jsonrpc"] == "2.0";
    if (!version || !method.is_string() || (has_id && !valid_id))
        return fail(valid_id ? id : json(nullptr), invalid_request, "not a JSON-RPC 2.0 request or notification");
    if (!params.is_object() && !params.is_array())
        return has_id ? fail(id, invalid_params, "params must be an object or an array") : void();
    if (has_id)
        handle_request(id, method.get<std::string>(), params);
    else
        handle_notification(method.get<std::string>(), params);
}

void server::handle_safely(const std::string& body)
{
    try {
        handle(body);
    } catch (const json::exception& e) {
        fail(nullptr, invalid_request, e.what());
    } catch (const std::exception& e) {
        fail(nullptr, internal_error, e.what());
    }
}

int server::run()
{
    std::string body;
    while (exit_status_ < 0) {
        read_result r = io_.read(body);
        if (r == read_result::end)
            return shut_down_ ? 0 : 1;
        if (r == read_result::malformed)
            fail(nullptr, parse_error, "the message's header has no valid Content-Length");
        else
            handle_safely(body);
    }
    return exit_status_;
}

} // namespace

int serve(
    std::FILE* in, std::FILE* out, parser::extern_interface* externs, const char* version, bool settings_everywhere)
{
    server s(in, out, externs, version, settings_everywhere);
    return s.run();
}

} // namespace mcscript::lsp
