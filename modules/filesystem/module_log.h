// The filesystem module's own records: category "Filesystem", source path
// "modules/filesystem", through the common record funnel.
#pragma once

#include "engine/kernel/log_record.h"

// A macro only to take the caller's line and function name.
#define FS_LOG(level, ...)                                                                                             \
    Log::Category(Log::ELevel::level, "Filesystem", { "modules/filesystem", __LINE__, __func__ }, false, __VA_ARGS__)
