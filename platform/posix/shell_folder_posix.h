// The shell module stand-in of the POSIX backend, shared by the module calls.
#pragma once

#include "platform/platform.h"

namespace platform::posix {

// "shell32.dll" or "SHFolder.dll", in any case.
bool is_shell_module_name(const char* name);
handle shell_module();
// The stand-in's exports: "SHGetFolderPathA" only.
void* shell_proc(const char* name);

} // namespace platform::posix
