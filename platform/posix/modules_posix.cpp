// Loading and finding modules on POSIX through the dynamic loader; the shell's
// module names lead to the shell-folder stand-in.
#include <dlfcn.h>

#include "platform/platform.h"
#include "platform/posix/last_error_posix.h"
#include "platform/posix/shell_folder_posix.h"

namespace platform {

// Win32's ERROR_MOD_NOT_FOUND.
constexpr uint32_t error_module_not_found = 126;

handle load_library(const char* path)
{
    handle module = path ? dlopen(path, RTLD_NOW | RTLD_LOCAL) : nullptr;
    posix::set_last_error(module ? error_success : error_module_not_found);
    return module;
}

void free_library(handle module)
{
    if (module && module != posix::shell_module())
        dlclose(module);
}

handle load_library_in_activation_context(const char* name)
{
    if (posix::is_shell_module_name(name))
        return posix::shell_module();
    return load_library(name);
}

// Like GetModuleHandleA, takes no reference: the module stays loaded by whoever loaded it.
handle module_handle(const char* name)
{
    if (posix::is_shell_module_name(name))
        return posix::shell_module();
    handle module = dlopen(name, RTLD_LAZY | RTLD_NOLOAD);
    if (module)
        dlclose(module);
    return module;
}

void* proc_address(handle module, const char* name)
{
    if (!module || !name)
        return nullptr;
    if (module == posix::shell_module())
        return posix::shell_proc(name);
    return dlsym(module, name);
}

} // namespace platform
