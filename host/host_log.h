// Where the host's log records come from: source module "WinFrame", category
// "Game", the calling function's name as plain text.
#pragma once

#include "engine/kernel/log_record.h"

constexpr const char* kHostModule = "WinFrame";
constexpr const char* kHostCategory = "Game";

constexpr Log::Where HostWhere(int line, const char* function = "WinMain")
{
    return Log::Where { kHostModule, line, function };
}
