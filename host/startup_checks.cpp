// Single-instance and free-disk-space checks, each with a message box whose
// caption and text the registry can replace.
#include "host/startup_checks.h"

#include <cstdint>
#include <cstdio>
#include <cstring>

#include "host/command_line.h"
#include "host/registry_text.h"
#include "platform/platform.h"

namespace {

constexpr const char* kMutexName = "Global\\IronveilMutex";
// Below 200 MB free on the write directory's disk the player is warned.
constexpr int64_t kMinimumFreeMegabytes = 200;
constexpr uint64_t kMegabyte = 1048576;
// Caption and text buffers of the already-running box: 260 bytes each; a
// registry value that does not fit is replaced by the default.
constexpr uint32_t kAlreadyRunningSize = 260;
// Caption, text and formatted message of the disk-space box: 1024 bytes each;
// the formatted message is cut at 1023 characters.
constexpr uint32_t kDiskSpaceSize = 1024;

constexpr const char* kDefaultDiskSpaceText
    = "You have insufficient disk space on drive %s\nPlease free up %d MB of disk space and run this game again.";

// Never closed: it marks this process as the running instance until it ends.
platform::handle g_InstanceMutex = nullptr;

bool another_instance_runs(platform::handle mutex, uint32_t error)
{
    return mutex ? error == platform::error_already_exists : error == platform::error_access_denied;
}

void tell_already_running()
{
    char caption[kAlreadyRunningSize];
    char text[kAlreadyRunningSize];
    RegistryText texts[] = {
        { "AlreadyRunningCaption", caption, kAlreadyRunningSize, "Mire Crest Error" },
        { "AlreadyRunningText", text, kAlreadyRunningSize, "Mire Crest is already running" },
    };
    ReadRegistryTexts(texts, 2);
    platform::message_box(nullptr, text, caption, platform::mb_iconerror);
}

// Advances past one conversion "%..." at p; returns its letter, or 0 when it is
// not a bare "%s", "%d" or "%%".
char conversion_at(const char*& p)
{
    char c = p[1];
    if (c != 's' && c != 'd' && c != '%')
        return 0;
    p += 2;
    return c;
}

bool ask_to_free_space(const char* write_directory, int megabytes)
{
    char caption[kDiskSpaceSize];
    char format[kDiskSpaceSize];
    RegistryText texts[] = {
        { "FreeDiskSpaceWarningCaption", caption, kDiskSpaceSize, "Free disk space warning" },
        { "FreeDiskSpaceWarningText", format, kDiskSpaceSize, kDefaultDiskSpaceText },
    };
    ReadRegistryTexts(texts, 2);
    const char* usable = IsDiskSpaceFormat(format) ? format : kDefaultDiskSpaceText;
    char text[kDiskSpaceSize];
    std::snprintf(text, sizeof text, usable, write_directory, megabytes);
    int answer = platform::message_box(nullptr, text, caption, platform::mb_okcancel | platform::mb_iconexclamation);
    return answer == platform::idok;
}

} // namespace

bool IsDiskSpaceFormat(const char* text)
{
    char seen[2] = { 0, 0 };
    int n = 0;
    for (const char* p = text; *p;) {
        if (*p != '%') {
            ++p;
            continue;
        }
        char c = conversion_at(p);
        if (c == 0)
            return false;
        if (c == '%')
            continue;
        if (n == 2)
            return false;
        seen[n++] = c;
    }
    return n == 2 && seen[0] == 's' && seen[1] == 'd';
}

bool CheckSingleInstance(const char* command_line)
{
    g_InstanceMutex = platform::create_mutex(true, kMutexName);
    if (HasSwitch(command_line, "-ami"))
        return true;
    if (!another_instance_runs(g_InstanceMutex, platform::last_error()))
        return true;
    tell_already_running();
    return false;
}

bool CheckFreeDiskSpace(const char* write_directory)
{
    platform::create_directory(write_directory);
    uint64_t available = 0;
    if (!platform::disk_free_space(write_directory, &available))
        return true;
    int64_t free_megabytes = int64_t(available / kMegabyte);
    if (free_megabytes >= kMinimumFreeMegabytes)
        return true;
    int to_free = int(kMinimumFreeMegabytes - free_megabytes);
    return !ask_to_free_space(write_directory, to_free > 1 ? to_free : 1);
}
