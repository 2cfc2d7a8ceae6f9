// Splitting the command line into the token table, and the token switches.
#include "host/command_line.h"

#include <cstring>

#include "engine/kernel/ascii_case.h"
#include "host/crash_guard.h"
#include "host/host_log.h"

CommandLineTokens g_CommandLineTokens;

namespace {

// The "gn=" and "pre=" values live for the whole process: the engine keeps the
// pointers it is given.
PathText g_GameFolderName;
PathText g_Prefix;

bool is_blank(char c) { return c == ' ' || c == '\t'; }

const char* skip_blanks(const char* p)
{
    while (*p && is_blank(*p))
        ++p;
    return p;
}

const char* token_end(const char* p)
{
    while (*p && !is_blank(*p))
        ++p;
    return p;
}

int count_tokens(const char* p)
{
    int n = 0;
    for (p = skip_blanks(p); *p; p = skip_blanks(token_end(p)))
        ++n;
    return n;
}

// Entry 0: the module file name, at most kModuleNameSize - 1 characters. The
// instance is the executable, so when its name cannot be read the executable's
// own name stands in.
size_t store_module_name(CommandLineTokens& tokens, InstanceHandle instance)
{
    uint32_t n = platform::module_file_name(instance, tokens.text, kModuleNameSize);
    if (n == 0 && instance)
        n = platform::module_file_name(nullptr, tokens.text, kModuleNameSize);
    size_t end = n < uint32_t(kModuleNameSize) ? n : size_t(kModuleNameSize - 1);
    tokens.text[end] = 0;
    tokens.entries[0] = tokens.text;
    tokens.count = 1;
    return end + 1;
}

bool starts_with(const char* token, const char* prefix)
{
    return std::strncmp(token, prefix, std::strlen(prefix)) == 0;
}

bool copy_value(PathText& buffer, const char*& target, const char* value, const char* what)
{
    if (!buffer.assign(value)) {
        LogPathTooLong(what, value, nullptr);
        return false;
    }
    target = buffer.c_str();
    return true;
}

bool set_ini(const char* value, TokenSwitches& s)
{
    s.ini_file_name = value;
    return true;
}
bool set_game_folder(const char* value, TokenSwitches& s)
{
    return copy_value(g_GameFolderName, s.game_folder, value, "The game folder name (gn=)");
}
bool set_prefix(const char* value, TokenSwitches& s)
{
    return copy_value(g_Prefix, s.prefix, value, "The prefix (pre=)");
}
bool set_dump_rtti(const char*, TokenSwitches& s)
{
    s.dump_rtti = true;
    return true;
}
bool set_full_dump(const char*, TokenSwitches&)
{
    SetFullDump(true);
    return true;
}

// A token is tested against these in order and the first match applies.
struct TokenSwitch {
    const char* text;
    bool whole_token_any_case; // otherwise: the token starts with text, case-sensitive
    bool (*apply)(const char* value, TokenSwitches& switches);
};
constexpr TokenSwitch kTokenSwitches[] = {
    { "ini=", false, set_ini },
    { "gn=", false, set_game_folder },
    { "pre=", false, set_prefix },
    { "/DumpRTTI", true, set_dump_rtti },
    { "/fulldump", true, set_full_dump },
};

bool apply_token(const char* token, TokenSwitches& switches)
{
    for (const TokenSwitch& s : kTokenSwitches) {
        if (s.whole_token_any_case ? ascii::equal_ignoring_case(token, s.text) : starts_with(token, s.text))
            return s.apply(token + std::strlen(s.text), switches);
    }
    return true;
}

} // namespace

int SplitCommandLine(const char* command_line, InstanceHandle instance)
{
    CommandLineTokens& tokens = g_CommandLineTokens;
    size_t used = store_module_name(tokens, instance);
    const char* p = skip_blanks(command_line ? command_line : "");
    for (; *p; p = skip_blanks(p)) {
        const char* end = token_end(p);
        size_t n = size_t(end - p);
        if (tokens.count == kMaxTokens || used + n + 1 > size_t(kTokenTextSize))
            break;
        std::memcpy(tokens.text + used, p, n);
        tokens.text[used + n] = 0;
        tokens.entries[tokens.count++] = tokens.text + used;
        used += n + 1;
        p = end;
    }
    int dropped = count_tokens(p);
    if (dropped > 0)
        Log::Category(Log::ELevel::Error, kHostCategory, HostWhere(__LINE__, "SplitCommandLine"), false,
            "The command line does not fit the token table (%d tokens, %d bytes): %d tokens dropped\n", kMaxTokens - 1,
            kTokenTextSize, dropped);
    return dropped;
}

bool ScanTokenSwitches(const CommandLineTokens& tokens, TokenSwitches& switches)
{
    for (int i = 0; i < tokens.count; ++i)
        if (!apply_token(tokens.entries[i], switches))
            return false;
    return true;
}

bool HasSwitch(const char* command_line, const char* name)
{
    return command_line && std::strstr(command_line, name) != nullptr;
}
