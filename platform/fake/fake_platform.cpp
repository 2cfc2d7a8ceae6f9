// The scriptable test platform: every call of platform.h answers from
// fake::answers and leaves one entry in the call log. Faults are simulated with
// C++ exceptions that the fake guarded_call catches.
#include "platform/fake/fake_platform.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

namespace platform {
namespace fake {
namespace {

struct guard_frame {
    guard_filter filter;
    void* argument;
    int id;
};

// Unwinds from raise_fault to the guard whose filter said 1.
struct guard_unwind {
    int id;
};

struct state {
    answers set;
    std::vector<std::string> calls;
    uint32_t last_error = error_success;
    std::vector<guard_frame> guards;
    int next_guard = 1;
    int next_icon = 1;
    int64_t last_counter = 0;
    uint64_t last_time_stamp = 0;
};

state& current()
{
    static state s;
    return s;
}

std::string hex(uint64_t value)
{
    char text[32];
    std::snprintf(text, sizeof text, "%#llx", static_cast<unsigned long long>(value));
    return text;
}

std::string text_or_null(const char* text) { return text ? text : "null"; }

// Copies text into a buffer of size bytes, cut to fit and always terminated.
void copy_out(const std::string& text, char* out, size_t size)
{
    if (!out || size == 0)
        return;
    size_t n = std::min(text.size(), size - 1);
    std::memcpy(out, text.data(), n);
    out[n] = 0;
}

handle fake_handle(uintptr_t value) { return reinterpret_cast<handle>(value); }

long folder_path(handle, int folder, handle, uint32_t flags, char* path)
{
    record("SHGetFolderPathA(" + std::to_string(folder) + ", " + std::to_string(flags) + ")");
    if (current().set.folder_result >= 0)
        copy_out(current().set.folder_path, path, max_path);
    return current().set.folder_result;
}

} // namespace

void reset() { current() = state {}; }

answers& set() { return current().set; }

const std::vector<std::string>& calls() { return current().calls; }

void record(std::string entry) { current().calls.push_back(std::move(entry)); }

std::vector<std::string> calls_starting_with(const std::vector<std::string>& prefixes)
{
    std::vector<std::string> out;
    for (const std::string& call : current().calls)
        for (const std::string& prefix : prefixes)
            if (call.compare(0, prefix.size(), prefix) == 0) {
                out.push_back(call);
                break;
            }
    return out;
}

void raise_fault(uint32_t code)
{
    record("raise_fault(" + hex(code) + ")");
    exception_pointers pointers { code, nullptr };
    std::vector<guard_frame> guards = current().guards;
    for (auto it = guards.rbegin(); it != guards.rend(); ++it) {
        int verdict = it->filter(code, &pointers, it->argument);
        if (verdict == 1)
            throw guard_unwind { it->id };
        if (verdict == -1)
            return;
    }
    throw unhandled_fault { code };
}

int active_guards() { return int(current().guards.size()); }

logical_processor_information processor_record(int32_t relationship, uint64_t mask)
{
    logical_processor_information info {};
    info.processor_mask = mask;
    info.relationship = relationship;
    return info;
}

} // namespace fake

using fake::current;
using fake::record;

// ---- module and paths -----------------------------------------------------

uint32_t module_file_name(handle module, char* out, uint32_t size)
{
    record(std::string("module_file_name(") + (module ? "instance" : "null") + ", " + std::to_string(size) + ")");
    const std::string& name = current().set.module_file_name;
    if (size == 0 || (module && !current().set.instance_name_known))
        return 0;
    fake::copy_out(name, out, size);
    return name.size() < size ? uint32_t(name.size()) : size; // Win32 reports size when cut
}

void split_path(const char* path, char* drive, char* directory, char* file_name, char* extension)
{
    record("split_path(" + fake::text_or_null(path) + ")");
    std::string text = path ? path : "";
    std::string drive_part;
    if (text.size() >= 2 && text[1] == ':') {
        drive_part = text.substr(0, 2);
        text = text.substr(2);
    }
    size_t slash = text.find_last_of("\\/");
    std::string dir_part = slash == std::string::npos ? "" : text.substr(0, slash + 1);
    std::string name = slash == std::string::npos ? text : text.substr(slash + 1);
    size_t dot = name.find_last_of('.');
    std::string ext = dot == std::string::npos ? "" : name.substr(dot);
    name = dot == std::string::npos ? name : name.substr(0, dot);
    fake::copy_out(drive_part, drive, max_path);
    fake::copy_out(dir_part, directory, max_path);
    fake::copy_out(name, file_name, max_path);
    fake::copy_out(ext, extension, max_path);
}

uint32_t current_directory(uint32_t size, char* out)
{
    record("current_directory(" + std::to_string(size) + ")");
    const auto& dir = current().set.current_directory;
    if (!dir)
        return 0;
    if (dir->size() >= size)
        return uint32_t(dir->size() + 1); // Win32: the size needed, nothing written
    fake::copy_out(*dir, out, size);
    return uint32_t(dir->size());
}

char path_separator() { return current().set.separator; }

// ---- registry -----------------------------------------------------------------

bool registry_open(const char* subkey, handle* key)
{
    record("registry_open(" + fake::text_or_null(subkey) + ")");
    *key = current().set.registry_key_exists ? fake::fake_handle(0x4e59) : nullptr;
    return *key != nullptr;
}

bool registry_read_string(handle, const char* value, char* buffer, uint32_t* size)
{
    record("registry_read_string(" + fake::text_or_null(value) + ", " + std::to_string(*size) + ")");
    auto found = current().set.registry.find(value);
    if (found == current().set.registry.end())
        return false;
    if (found->second.size() + 1 > *size) {
        *size = uint32_t(found->second.size() + 1); // as Win32: the size it would take
        return false;
    }
    fake::copy_out(found->second, buffer, *size);
    *size = uint32_t(found->second.size() + 1);
    return true;
}

void registry_close(handle) { record("registry_close()"); }

// ---- named mutex ---------------------------------------------------------------

handle create_mutex(bool initially_owned, const char* name)
{
    record(std::string("create_mutex(") + fake::text_or_null(name) + (initially_owned ? "" : ", not owned") + ")");
    current().last_error = current().set.mutex_error;
    return current().set.mutex_handle ? fake::fake_handle(0x3e7) : nullptr;
}

uint32_t last_error() { return current().last_error; }

// ---- user interface ---------------------------------------------------------------

int message_box(handle owner, const char* text, const char* caption, uint32_t style)
{
    record(std::string("message_box(") + (owner ? "owner" : "null") + ", " + fake::text_or_null(text) + ", "
        + fake::text_or_null(caption) + ", " + fake::hex(style) + ")");
    auto& answers = current().set.message_box_answers;
    if (answers.empty())
        return idok;
    int answer = answers.front();
    answers.pop_front();
    return answer;
}

int system_metric(int index)
{
    record("system_metric(" + std::to_string(index) + ")");
    auto found = current().set.system_metrics.find(index);
    return found == current().set.system_metrics.end() ? 0 : found->second;
}

handle load_icon(handle, int resource, int cx, int cy)
{
    record("load_icon(" + std::to_string(resource) + ", " + std::to_string(cx) + ", " + std::to_string(cy) + ")");
    if (!current().set.icons_exist)
        return nullptr;
    return fake::fake_handle(uintptr_t(0x1c0) + uintptr_t(current().next_icon++));
}

void destroy_icon(handle icon) { record("destroy_icon(" + fake::hex(reinterpret_cast<uintptr_t>(icon)) + ")"); }

handle load_bitmap(handle, int resource)
{
    record("load_bitmap(" + std::to_string(resource) + ")");
    return fake::fake_handle(0xb17);
}

void destroy_bitmap(handle) { record("destroy_bitmap()"); }

int load_string(handle, int resource, char* out, int size)
{
    record("load_string(" + std::to_string(resource) + ")");
    fake::copy_out("Mire Crest", out, size > 0 ? size_t(size) : 0);
    return size > 0 ? int(std::strlen(out)) : 0;
}

// ---- message queue -------------------------------------------------------------------

bool peek_message(message* out, handle, uint32_t, uint32_t, uint32_t remove)
{
    record("peek_message(" + std::to_string(remove) + ")");
    auto& queue = current().set.messages;
    if (queue.empty())
        return false;
    *out = queue.front();
    if (remove & pm_remove)
        queue.pop_front();
    return true;
}

bool translate_message(const message* msg)
{
    record("translate_message(" + fake::hex(msg->id) + ")");
    return false;
}

int64_t dispatch_message(const message* msg)
{
    record("dispatch_message(" + fake::hex(msg->id) + ")");
    return 0;
}

void post_quit_message(int exit_code)
{
    record("post_quit_message(" + std::to_string(exit_code) + ")");
    current().set.messages.push_back(message { nullptr, wm_quit, uint64_t(uint32_t(exit_code)), 0, 0 });
}

// ---- disk and directories ------------------------------------------------------------

bool disk_free_space(const char* directory, uint64_t* available_to_caller)
{
    record("disk_free_space(" + fake::text_or_null(directory) + ")");
    const auto& free = current().set.disk_free_bytes;
    if (!free)
        return false;
    *available_to_caller = *free;
    return true;
}

bool create_directory(const char* path)
{
    record("create_directory(" + fake::text_or_null(path) + ")");
    return current().set.create_directory_result;
}

// ---- shell folder road ----------------------------------------------------------------

bool get_version(os_version* info)
{
    record("get_version(" + std::to_string(info->size) + ")");
    const auto& version = current().set.version;
    if (!version || info->size != 156)
        return false;
    info->major = version->major;
    info->minor = version->minor;
    info->build = version->build;
    return true;
}

handle load_library_in_activation_context(const char* name)
{
    record("load_library_in_activation_context(" + fake::text_or_null(name) + ")");
    return current().set.shfolder_loads ? fake::fake_handle(0x5f0) : nullptr;
}

handle module_handle(const char* name)
{
    record("module_handle(" + fake::text_or_null(name) + ")");
    return current().set.shell32_loaded ? fake::fake_handle(0x532) : nullptr;
}

void* proc_address(handle, const char* name)
{
    record("proc_address(" + fake::text_or_null(name) + ")");
    if (!current().set.folder_function_exists || std::strcmp(name, "SHGetFolderPathA") != 0)
        return nullptr;
    return reinterpret_cast<void*>(&fake::folder_path);
}

// ---- processor ------------------------------------------------------------------------

cpuid_registers cpuid(uint32_t leaf, uint32_t subleaf)
{
    record("cpuid(" + fake::hex(leaf) + ", " + std::to_string(subleaf) + ")");
    auto found = current().set.cpuid.find({ leaf, subleaf });
    return found == current().set.cpuid.end() ? cpuid_registers { 0, 0, 0, 0 } : found->second;
}

bool query_performance_counter(int64_t* count)
{
    record("query_performance_counter()");
    auto& queue = current().set.counters;
    if (queue.empty()) {
        current().last_counter += current().set.counter_step;
    } else {
        current().last_counter = queue.front();
        queue.pop_front();
    }
    *count = current().last_counter;
    return true;
}

bool query_performance_frequency(int64_t* frequency)
{
    record("query_performance_frequency()");
    *frequency = current().set.counter_frequency;
    return true;
}

uint64_t read_time_stamp_counter()
{
    record("read_time_stamp_counter()");
    auto& queue = current().set.time_stamps;
    if (queue.empty()) {
        current().last_time_stamp += current().set.time_stamp_step;
    } else {
        current().last_time_stamp = queue.front();
        queue.pop_front();
    }
    return current().last_time_stamp;
}

handle current_thread() { return fake::fake_handle(0x7d); }
handle current_process() { return fake::fake_handle(0x9c); }

uint64_t set_thread_affinity_mask(handle, uint64_t mask)
{
    record("set_thread_affinity_mask(" + fake::hex(mask) + ")");
    uint64_t previous = current().set.thread_affinity;
    current().set.thread_affinity = mask;
    return previous;
}

uint32_t get_priority_class(handle)
{
    record("get_priority_class()");
    return current().set.priority_class;
}

bool set_priority_class(handle, uint32_t priority_class)
{
    record("set_priority_class(" + fake::hex(priority_class) + ")");
    current().set.priority_class = priority_class;
    return true;
}

int get_thread_priority(handle)
{
    record("get_thread_priority()");
    return current().set.thread_priority;
}

bool set_thread_priority(handle, int priority)
{
    record("set_thread_priority(" + std::to_string(priority) + ")");
    current().set.thread_priority = priority;
    return true;
}

bool get_process_affinity_mask(handle, uint64_t* process_mask, uint64_t* system_mask)
{
    record("get_process_affinity_mask()");
    *process_mask = current().set.process_affinity;
    *system_mask = current().set.system_affinity;
    return true;
}

bool set_process_affinity_mask(handle, uint64_t mask)
{
    record("set_process_affinity_mask(" + fake::hex(mask) + ")");
    current().set.process_affinity = mask;
    return true;
}

bool get_logical_processor_information(logical_processor_information* buffer, uint32_t* length)
{
    record(std::string("get_logical_processor_information(") + (buffer ? "buffer" : "null") + ", "
        + std::to_string(*length) + ")");
    const auto& set = current().set;
    uint32_t needed = uint32_t(set.processors.size() * sizeof(logical_processor_information));
    if (!set.processor_information_usable) {
        current().last_error = 1; // ERROR_INVALID_FUNCTION
        return false;
    }
    if (!buffer || *length < needed) {
        *length = needed;
        current().last_error = error_insufficient_buffer;
        return false;
    }
    if (!set.processor_information_second_ok) {
        current().last_error = error_access_denied;
        return false;
    }
    std::copy(set.processors.begin(), set.processors.end(), buffer);
    *length = needed;
    return true;
}

// ---- process -----------------------------------------------------------------------------

const char* command_line()
{
    record("command_line()");
    return current().set.command_line.c_str();
}

void exit_process(int exit_code)
{
    record("exit_process(" + std::to_string(exit_code) + ")");
    throw fake::process_exit { exit_code };
}

// ---- modules and diagnostics ---------------------------------------------------------------

handle load_library(const char* path)
{
    record("load_library(" + fake::text_or_null(path) + ")");
    return current().set.libraries_load ? fake::fake_handle(0x11b) : nullptr;
}

void free_library(handle) { record("free_library()"); }

uint32_t stack_trace(void**, uint32_t) { return 0; }

bool describe_address(const void*, char* out, uint32_t size)
{
    fake::copy_out("", out, size);
    return false;
}

// ---- structured exception guard -------------------------------------------------------------

uint32_t exception_code(const exception_pointers* pointers) { return pointers ? pointers->code : 0; }

void* exception_address(const exception_pointers* pointers) { return pointers ? pointers->address : nullptr; }

bool guarded_call(guard_body body, guard_filter filter, void* argument, int* result)
{
    int id = current().next_guard++;
    record("guarded_call()");
    current().guards.push_back(fake::guard_frame { filter, argument, id });
    try {
        int value = body(argument);
        current().guards.pop_back();
        if (result)
            *result = value;
        return true;
    } catch (const fake::guard_unwind& unwind) {
        current().guards.pop_back();
        if (unwind.id != id)
            throw;
        return false;
    } catch (...) {
        current().guards.pop_back();
        throw;
    }
}

} // namespace platform
