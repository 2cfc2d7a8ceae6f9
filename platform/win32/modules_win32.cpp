// Loading and finding modules on Windows: LoadLibraryA, FreeLibrary,
// GetModuleHandleA, GetProcAddress, and a load inside the activation context of
// the executable's manifest.
#include "platform/platform.h"
#include "platform/win32/windows_api.h"

namespace platform {

namespace {

// The manifest resource of an executable (CREATEPROCESS_MANIFEST_RESOURCE_ID).
constexpr int process_manifest_resource = 1;

// The activation context of the executable's manifest; INVALID_HANDLE_VALUE
// when it has none.
HANDLE executable_activation_context()
{
    char path[max_path];
    HMODULE executable = GetModuleHandleA(nullptr);
    DWORD length = GetModuleFileNameA(executable, path, sizeof(path));
    if (length == 0 || length >= sizeof(path))
        return INVALID_HANDLE_VALUE;
    ACTCTXA context {};
    context.cbSize = sizeof(context);
    context.dwFlags = ACTCTX_FLAG_HMODULE_VALID | ACTCTX_FLAG_RESOURCE_NAME_VALID;
    context.lpSource = path;
    context.hModule = executable;
    context.lpResourceName = MAKEINTRESOURCEA(process_manifest_resource);
    return CreateActCtxA(&context);
}

} // namespace

handle load_library(const char* path) { return path ? LoadLibraryA(path) : nullptr; }

void free_library(handle module)
{
    if (module)
        FreeLibrary(static_cast<HMODULE>(module));
}

// Without a manifest the executable has no context of its own: a plain load.
// The load's last error is what the caller sees, not the deactivation's.
handle load_library_in_activation_context(const char* name)
{
    HANDLE context = executable_activation_context();
    if (context == INVALID_HANDLE_VALUE)
        return load_library(name);
    ULONG_PTR cookie = 0;
    bool active = ActivateActCtx(context, &cookie);
    HMODULE module = name ? LoadLibraryA(name) : nullptr;
    DWORD error = GetLastError();
    if (active)
        DeactivateActCtx(0, cookie);
    ReleaseActCtx(context);
    SetLastError(error);
    return module;
}

handle module_handle(const char* name) { return GetModuleHandleA(name); }

void* proc_address(handle module, const char* name)
{
    if (!module || !name)
        return nullptr;
    return reinterpret_cast<void*>(GetProcAddress(static_cast<HMODULE>(module), name));
}

} // namespace platform
