// Import/export markers for the three game modules and the handle types that
// cross their boundary. A module's own sources define MC_BUILDING_<MODULE>; test
// builds that link recording fakes statically define MC_STATIC_MODULES.
#pragma once

// On Windows functions and classes are imported through the import libraries'
// thunks rather than marked dllimport, so that one object file links both
// against a module's DLL and beside the definitions themselves (the kernel's
// log funnel inside the filesystem module, the host's tests with their
// recording doubles). Data has no thunk: it is imported with dllimport.
#if defined(MC_STATIC_MODULES)
#define MC_MODULE_EXPORT
#define MC_MODULE_IMPORT
#define MC_MODULE_IMPORT_DATA
#elif defined(_WIN32)
#define MC_MODULE_EXPORT __declspec(dllexport)
#define MC_MODULE_IMPORT
#define MC_MODULE_IMPORT_DATA __declspec(dllimport)
#else
#define MC_MODULE_EXPORT __attribute__((visibility("default")))
#define MC_MODULE_IMPORT
#define MC_MODULE_IMPORT_DATA
#endif

#if defined(MC_BUILDING_ENGINE)
#define MC_ENGINE_API MC_MODULE_EXPORT
#else
#define MC_ENGINE_API MC_MODULE_IMPORT
#endif

#if defined(MC_BUILDING_FILESYSTEM)
#define MC_FILESYSTEM_API MC_MODULE_EXPORT
#define MC_FILESYSTEM_DATA MC_MODULE_EXPORT
#else
#define MC_FILESYSTEM_API MC_MODULE_IMPORT
#define MC_FILESYSTEM_DATA MC_MODULE_IMPORT_DATA
#endif

#if defined(MC_BUILDING_GAMESCRIPT)
#define MC_GAMESCRIPT_API MC_MODULE_EXPORT
#else
#define MC_GAMESCRIPT_API MC_MODULE_IMPORT
#endif

// Opaque operating-system handles as the modules see them (HINSTANCE, HICON).
using InstanceHandle = void*;
using IconHandle = void*;

// The operating system's description of a fault (EXCEPTION_POINTERS on Windows,
// the signal's details on POSIX); the platform layer defines it.
namespace platform {
struct exception_pointers;
}
using ExceptionPointers = platform::exception_pointers;
