// The filesystem module's working directory: the folder relative file names are
// looked up in first (then the write directory). The engine's mount helper sets
// it to the working directory the host gives it; unset, it is the process's
// current folder (how the script tool reads files).
#pragma once

#include "host/modules/module_export.h"

namespace fs {

// Null or empty unsets it. False when the path does not fit 260 characters
// (it is then unset).
MC_FILESYSTEM_API bool set_working_directory(const char* path);

} // namespace fs
