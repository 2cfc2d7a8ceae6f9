// The engine module's own records: category "Engine", source path
// "modules/engine", through the common record funnel.
#pragma once

#include "engine/kernel/log_record.h"

// A macro only to take the caller's line and function name.
#define ENGINE_LOG(level, ...)                                                                                         \
    Log::Category(Log::ELevel::level, "Engine", { "modules/engine", __LINE__, __func__ }, false, __VA_ARGS__)
