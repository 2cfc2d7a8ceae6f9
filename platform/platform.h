// The operating-system services the host and the modules use, as a near 1:1 map
// of the Win32 calls they stand for. Backends: posix/ (Linux), win32/ (Windows)
// and fake/ (tests: scriptable answers, every call recorded). Nothing outside
// platform/ includes a system header.
#pragma once

#include <cstddef>
#include <cstdint>

// The real backends are one shared library (mc_platform.dll, libmc_platform.so)
// that builds with hidden symbols: what it exports is exactly what carries this
// mark, whatever linker or generator builds it. Users import the functions
// through the import library's thunks, so the static test fake links the same
// declarations unmarked.
#if defined(_WIN32) && defined(MC_BUILDING_PLATFORM)
#define MC_PLATFORM_API __declspec(dllexport)
#elif defined(_WIN32)
#define MC_PLATFORM_API
#else
#define MC_PLATFORM_API __attribute__((visibility("default")))
#endif

namespace platform {

using handle = void*;

// Win32 constants the callers pass or compare, with the same values.
constexpr uint32_t error_success = 0;
constexpr uint32_t error_access_denied = 5;
constexpr uint32_t error_not_supported = 50;
constexpr uint32_t error_insufficient_buffer = 122;
constexpr uint32_t error_already_exists = 183;

constexpr uint32_t mb_ok = 0x00;
constexpr uint32_t mb_okcancel = 0x01;
constexpr uint32_t mb_iconerror = 0x10;
constexpr uint32_t mb_iconexclamation = 0x30;
constexpr int idok = 1;
constexpr int idcancel = 2;

constexpr int sm_cxicon = 11;
constexpr int sm_cyicon = 12;
constexpr int sm_cxsmicon = 49;
constexpr int sm_cysmicon = 50;

constexpr uint32_t wm_quit = 0x0012;
constexpr uint32_t pm_remove = 0x0001;

constexpr int csidl_personal = 5;

constexpr uint32_t realtime_priority_class = 0x100;
constexpr int thread_priority_time_critical = 15;

constexpr size_t max_path = 260;

// ---- module and paths -----------------------------------------------------

// GetModuleFileNameA: the file name of a module (null: the executable); the
// number of characters written without the zero, 0 on failure. A name that does
// not fit is cut to size - 1 characters (zero-terminated) and size is returned,
// as GetModuleFileNameA does.
MC_PLATFORM_API uint32_t module_file_name(handle module, char* out, uint32_t size);
// _splitpath_s: drive and directory of a path (each buffer max_path bytes, may be null).
MC_PLATFORM_API void split_path(const char* path, char* drive, char* directory, char* file_name, char* extension);
// GetCurrentDirectoryA: characters written (without the zero), 0 on failure.
MC_PLATFORM_API uint32_t current_directory(uint32_t size, char* out);
// The separator the host appends to directories ("\" on Windows, "/" on POSIX).
MC_PLATFORM_API char path_separator();

// ---- registry (HKEY_LOCAL_MACHINE, read only) -----------------------------

// RegOpenKeyExA(HKEY_LOCAL_MACHINE, subkey, 0, KEY_QUERY_VALUE): true when opened.
MC_PLATFORM_API bool registry_open(const char* subkey, handle* key);
// RegQueryValueExA for a string value; *size is the buffer size in, bytes stored
// (zero included) out. False when the value is missing, not a string or too long;
// only for a string too long is *size then the larger size it would take.
MC_PLATFORM_API bool registry_read_string(handle key, const char* value, char* buffer, uint32_t* size);
MC_PLATFORM_API void registry_close(handle key);

// ---- named mutex -----------------------------------------------------------

// CreateMutexA(no attributes, initially owned, name): the handle or null;
// last_error() then tells error_already_exists / error_access_denied.
MC_PLATFORM_API handle create_mutex(bool initially_owned, const char* name);
MC_PLATFORM_API uint32_t last_error();

// ---- user interface ----------------------------------------------------------

// MessageBoxA: returns the button pressed (idok, idcancel).
MC_PLATFORM_API int message_box(handle owner, const char* text, const char* caption, uint32_t style);
MC_PLATFORM_API int system_metric(int index);
// LoadImageA(instance, resource, IMAGE_ICON, cx, cy, 0): null when missing.
MC_PLATFORM_API handle load_icon(handle instance, int resource, int cx, int cy);
MC_PLATFORM_API void destroy_icon(handle icon);
// LoadImageA(IMAGE_BITMAP) / LoadStringA of the executable's resources.
MC_PLATFORM_API handle load_bitmap(handle instance, int resource);
MC_PLATFORM_API void destroy_bitmap(handle bitmap);
MC_PLATFORM_API int load_string(handle instance, int resource, char* out, int size);

// ---- message queue -----------------------------------------------------------

struct message {
    handle window;
    uint32_t id;
    uint64_t wparam;
    int64_t lparam;
    uint32_t time;
};

// PeekMessageA: true when a message was taken (removed with pm_remove).
MC_PLATFORM_API bool peek_message(
    message* out, handle window, uint32_t filter_min, uint32_t filter_max, uint32_t remove);
MC_PLATFORM_API bool translate_message(const message* msg);
MC_PLATFORM_API int64_t dispatch_message(const message* msg);
MC_PLATFORM_API void post_quit_message(int exit_code);

// ---- disk and directories ------------------------------------------------------

// GetDiskFreeSpaceExA: bytes available to the calling user.
MC_PLATFORM_API bool disk_free_space(const char* directory, uint64_t* available_to_caller);
// CreateDirectoryA: false when it failed (it exists, or no parent).
MC_PLATFORM_API bool create_directory(const char* path);

// ---- shell folder road ----------------------------------------------------------

struct os_version {
    uint32_t size = 156; // OSVERSIONINFOA record size
    uint32_t major = 0;
    uint32_t minor = 0;
    uint32_t build = 0;
};
// GetVersionExA.
MC_PLATFORM_API bool get_version(os_version* info);
// LoadLibraryA inside the executable's activation context (last error kept).
MC_PLATFORM_API handle load_library_in_activation_context(const char* name);
// GetModuleHandleA of an already loaded module.
MC_PLATFORM_API handle module_handle(const char* name);
// GetProcAddress.
MC_PLATFORM_API void* proc_address(handle module, const char* name);
// The type of SHGetFolderPathA: a negative result is a failure.
using folder_path_function = long (*)(handle owner, int folder, handle token, uint32_t flags, char* path);

// ---- processor -----------------------------------------------------------------

struct cpuid_registers {
    uint32_t eax, ebx, ecx, edx;
};
MC_PLATFORM_API cpuid_registers cpuid(uint32_t leaf, uint32_t subleaf);
MC_PLATFORM_API bool query_performance_counter(int64_t* count);
MC_PLATFORM_API bool query_performance_frequency(int64_t* frequency);
MC_PLATFORM_API uint64_t read_time_stamp_counter();

MC_PLATFORM_API handle current_thread();
MC_PLATFORM_API handle current_process();
// SetThreadAffinityMask: the previous mask, 0 on failure.
MC_PLATFORM_API uint64_t set_thread_affinity_mask(handle thread, uint64_t mask);
MC_PLATFORM_API uint32_t get_priority_class(handle process);
// A refused real-time class is not an error: the call reports false and the
// process keeps running at its class.
MC_PLATFORM_API bool set_priority_class(handle process, uint32_t priority_class);
MC_PLATFORM_API int get_thread_priority(handle thread);
MC_PLATFORM_API bool set_thread_priority(handle thread, int priority);
MC_PLATFORM_API bool get_process_affinity_mask(handle process, uint64_t* process_mask, uint64_t* system_mask);
MC_PLATFORM_API bool set_process_affinity_mask(handle process, uint64_t mask);

// SYSTEM_LOGICAL_PROCESSOR_INFORMATION: 32 bytes each on 64-bit Windows.
struct logical_processor_information {
    uint64_t processor_mask;
    int32_t relationship; // 0 core, 1 NUMA node, 2 cache, 3 package
    uint8_t detail[20]; // the union of the Win32 record, unused here
};
static_assert(sizeof(logical_processor_information) == 32, "record size matches Win32");
// GetLogicalProcessorInformation: *length is the buffer size in bytes in, the
// size needed or written out; false with last_error() error_insufficient_buffer
// when the buffer is null or too small.
MC_PLATFORM_API bool get_logical_processor_information(logical_processor_information* buffer, uint32_t* length);

// ---- process -------------------------------------------------------------------

// GetCommandLineA: the whole command line, program name included.
MC_PLATFORM_API const char* command_line();
[[noreturn]] MC_PLATFORM_API void exit_process(int exit_code);

// ---- structured exception guard ------------------------------------------------

// Details of a fault handed to the exception filter; backends define it.
struct exception_pointers;
MC_PLATFORM_API uint32_t exception_code(const exception_pointers* pointers);
MC_PLATFORM_API void* exception_address(const exception_pointers* pointers);

// Exception codes the POSIX backend maps its signals to (the Windows values).
constexpr uint32_t exception_access_violation = 0xC0000005;
constexpr uint32_t exception_illegal_instruction = 0xC000001D;
constexpr uint32_t exception_int_divide_by_zero = 0xC0000094;
constexpr uint32_t exception_in_page_error = 0xC0000006;

// Runs body(argument) under a structured-exception guard. On a fault, filter
// (code, pointers, argument) gives the verdict: 1 run the handler (guarded_call
// then returns false without finishing body), 0 keep searching (the fault takes
// its default course), -1 resume at the faulting point. True when body returned;
// its result is in *result.
using guard_body = int (*)(void* argument);
using guard_filter = int (*)(uint32_t code, exception_pointers* pointers, void* argument);
MC_PLATFORM_API bool guarded_call(guard_body body, guard_filter filter, void* argument, int* result);

// ---- files the stand-in modules write (log, crash reports) --------------------

// Errors the file calls report with Win32's numbers; any other failure carries
// a number of the system's own, which error_text puts into words.
constexpr uint32_t error_sharing_violation = 32;
constexpr uint32_t error_file_exists = 80;

// CreateFileA(GENERIC_WRITE, FILE_SHARE_READ, OPEN_ALWAYS) and SetEndOfFile: a
// file to write that this process alone holds, emptied once held. Null with
// last_error() error_sharing_violation while another process holds it.
MC_PLATFORM_API handle open_owned_file(const char* path);
// CreateFileA(CREATE_NEW): a new file, never an existing one; null with
// error_file_exists when the name is taken (on POSIX a link there is not followed).
MC_PLATFORM_API handle create_new_file(const char* path);
// GetStdHandle(STD_ERROR_HANDLE) for write_file; null when there is none.
MC_PLATFORM_API handle standard_error();
// WriteFile until every byte is written; false (last_error()) when that failed.
// Allocates nothing and takes no lock: usable inside a crash handler.
MC_PLATFORM_API bool write_file(handle file, const void* data, uint32_t size);
// CloseHandle: false (last_error()) when the file could not be closed cleanly.
MC_PLATFORM_API bool close_file(handle file);
// DeleteFileA.
MC_PLATFORM_API bool delete_file(const char* path);
// FormatMessageA: the system's words for an error number, without the final
// full stop or line break, cut to fit size. Usable inside a crash handler on POSIX.
MC_PLATFORM_API void error_text(uint32_t error, char* out, uint32_t size);

// ---- modules and diagnostics (used by the stand-in game modules) ----------------

// LoadLibraryA / FreeLibrary of a module file: null when it cannot be loaded.
MC_PLATFORM_API handle load_library(const char* path);
MC_PLATFORM_API void free_library(handle module);
// The calling thread's return addresses, innermost first (CaptureStackBackTrace):
// the number stored, at most capacity.
MC_PLATFORM_API uint32_t stack_trace(void** frames, uint32_t capacity);
// "module(symbol+0xoffset)" for a code address, cut to fit size; false when
// nothing is known about the address.
MC_PLATFORM_API bool describe_address(const void* address, char* out, uint32_t size);
// MiniDumpWriteDump of the calling process into the file path (created or
// replaced), with the fault's details when pointers is not null; full adds all
// of the process's memory. False when it was not written; last_error() is then
// error_not_supported on systems without minidumps (POSIX).
MC_PLATFORM_API bool write_minidump(const char* path, exception_pointers* pointers, bool full);

} // namespace platform
