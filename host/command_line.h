// The command line: the process-wide token table that SplitCommandLine fills,
// the token switches scanned from it ("ini=", "gn=", "pre=", "/DumpRTTI",
// "/fulldump") and the substring switches searched in the raw text.
#pragma once

#include "host/modules/module_export.h"
#include "host/path_text.h"

// Entry 0 (the module file name) plus 63 tokens, far more than any launcher
// passes; tokens past that are dropped and the drop is logged, start-up goes on
// with the ones that fit.
constexpr int kMaxTokens = 64;
// Every token's text with its terminator, entry 0 included, in the host's usual
// 1024-byte text size; a token that no longer fits is dropped with all that
// follow it, and the drop is logged.
constexpr int kTokenTextSize = 1024;
// GetModuleFileNameA is asked for 256 characters for entry 0; a longer module
// file name is cut to 255, which leaves the text area room for the tokens.
constexpr int kModuleNameSize = 256;

struct CommandLineTokens {
    const char* entries[kMaxTokens] = {};
    int count = 0;
    char text[kTokenTextSize] = {};
};

// Lives for the whole process.
extern CommandLineTokens g_CommandLineTokens;

// Fills g_CommandLineTokens: entry 0 the module file name of instance, then the
// runs of characters between blanks and tabs (quotes mean nothing). Returns how
// many tokens did not fit (0 normally).
int SplitCommandLine(const char* command_line, InstanceHandle instance);

// The start-up values the token switches set. game_folder and prefix point into
// process-wide 260-byte buffers once a switch set them; ini_file_name points into
// the token text.
struct TokenSwitches {
    const char* ini_file_name = "game.ini";
    const char* game_folder = "MC";
    const char* prefix = nullptr;
    bool dump_rtti = false;
};

// Applies the switches of every token, entry 0 included, in order; a later token
// overrides an earlier one. "/fulldump" sets the crash guard's full-dump switch.
// False (with an "EXIT" record) when a "gn=" or "pre=" value does not fit 260
// bytes: start-up is refused.
bool ScanTokenSwitches(const CommandLineTokens& tokens, TokenSwitches& switches);

// Case-sensitive substring switches of the raw command line.
bool HasSwitch(const char* command_line, const char* name);
