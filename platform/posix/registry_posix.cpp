// The read-only registry on POSIX: HKEY_LOCAL_MACHINE values come from an INI
// style text file, /etc/mirecrest/registry.ini unless MC_REGISTRY_FILE names
// another. Sections are key paths ([SOFTWARE\Quillon\Mirecrest], compared
// ignoring ASCII case), lines are name=value (value taken to the line end,
// blanks around the name and the value dropped), ';' or '#' start a comment.
// The file is read when a key is opened; an open key is a copy of its values.
// Only a regular file of bounded size is read (a device or a FIFO would hang
// start-up); a refused file is told on standard error and reads as no registry.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "platform/platform.h"

namespace platform {

namespace {

constexpr const char* default_file = "/etc/mirecrest/registry.ini";
// Lines longer than 1024 bytes (texts are held in 1024-byte buffers at most)
// are skipped whole, so a cut-off value is never taken for a real one.
constexpr size_t max_line = 1024;
// The file holds a handful of such values; 64 KiB leaves room for many keys and
// comments. A bigger file is no registry file: it is refused whole, never cut.
constexpr size_t max_file = 64 * 1024;

char lower(char c) { return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c; }

bool same_ignoring_case(const char* a, const char* b, size_t b_length)
{
    size_t i = 0;
    for (; i < b_length; ++i)
        if (!a[i] || lower(a[i]) != lower(b[i]))
            return false;
    return a[i] == 0;
}

// An opened key: its values as one block "name\0value\0name\0value\0...".
struct registry_key {
    char* values = nullptr;
    size_t size = 0;
};

void add_value(registry_key* key, const char* name, size_t name_length, const char* value, size_t value_length)
{
    size_t grown = key->size + name_length + value_length + 2;
    char* block = static_cast<char*>(std::realloc(key->values, grown));
    if (!block)
        std::abort(); // out of memory: nothing sensible can continue
    std::memcpy(block + key->size, name, name_length);
    block[key->size + name_length] = 0;
    std::memcpy(block + key->size + name_length + 1, value, value_length);
    block[grown - 1] = 0;
    key->values = block;
    key->size = grown;
}

void trim(const char*& begin, const char*& end)
{
    while (begin != end && (*begin == ' ' || *begin == '\t'))
        ++begin;
    while (end != begin && (end[-1] == ' ' || end[-1] == '\t' || end[-1] == '\r' || end[-1] == '\n'))
        --end;
}

// The file's text, read whole.
struct file_text {
    char* data = nullptr;
    size_t size = 0;
};

// Reads one line of the text from *at; false at its end. A line too long for
// the buffer is passed over to its end and reported as too_long.
bool read_line(const file_text& text, size_t* at, char* line, size_t size, bool* too_long)
{
    if (*at >= text.size)
        return false;
    const char* begin = text.data + *at;
    const char* end = static_cast<const char*>(std::memchr(begin, '\n', text.size - *at));
    size_t length = end ? size_t(end - begin) : text.size - *at;
    *at += length + (end ? 1 : 0);
    *too_long = length >= size;
    if (*too_long)
        length = 0;
    std::memcpy(line, begin, length);
    line[length] = 0;
    return true;
}

// Is this line "[subkey]"? Sets *inside to whether it names our subkey.
bool section(const char* begin, const char* end, const char* subkey, bool* inside)
{
    if (begin == end || *begin != '[' || end[-1] != ']')
        return false;
    *inside = same_ignoring_case(subkey, begin + 1, size_t(end - begin - 2));
    return true;
}

void read_values(const file_text& text, const char* subkey, registry_key* key)
{
    char line[max_line];
    bool inside = false;
    bool too_long = false;
    for (size_t at = 0; read_line(text, &at, line, sizeof(line), &too_long);) {
        const char* begin = line;
        const char* end = line + std::strlen(line);
        trim(begin, end);
        if (too_long || begin == end || *begin == ';' || *begin == '#' || section(begin, end, subkey, &inside))
            continue;
        const char* equals = static_cast<const char*>(std::memchr(begin, '=', size_t(end - begin)));
        if (!inside || !equals)
            continue;
        const char* name_end = equals;
        const char* value = equals + 1;
        trim(begin, name_end);
        trim(value, end);
        if (begin != name_end)
            add_value(key, begin, size_t(name_end - begin), value, size_t(end - value));
    }
}

// Does the file have the section at all (an empty section still opens)?
bool has_section(const file_text& text, const char* subkey)
{
    char line[max_line];
    bool inside = false;
    bool too_long = false;
    for (size_t at = 0; read_line(text, &at, line, sizeof(line), &too_long);) {
        const char* begin = line;
        const char* end = line + std::strlen(line);
        trim(begin, end);
        if (!too_long && section(begin, end, subkey, &inside) && inside)
            return true;
    }
    return false;
}

const char* registry_file()
{
    const char* chosen = std::getenv("MC_REGISTRY_FILE");
    return chosen && chosen[0] ? chosen : default_file;
}

void refuse(const char* path, const char* why)
{
    std::fprintf(stderr, "WARN Platform registry: the registry file '%s' is not read: %s\n", path, why);
    std::fflush(stderr);
}

const char* kind_of(mode_t mode)
{
    if (S_ISDIR(mode))
        return "it is a directory, not a regular file";
    if (S_ISCHR(mode) || S_ISBLK(mode))
        return "it is a device, not a regular file";
    if (S_ISFIFO(mode))
        return "it is a FIFO, not a regular file";
    if (S_ISSOCK(mode))
        return "it is a socket, not a regular file";
    return "it is not a regular file";
}

// Reads up to max_file + 1 bytes (a file that grew past the bound is caught too).
bool read_whole(int descriptor, const char* path, file_text* text)
{
    text->data = static_cast<char*>(std::malloc(max_file + 1));
    if (!text->data)
        std::abort(); // out of memory: nothing sensible can continue
    while (text->size <= max_file) {
        ssize_t got = read(descriptor, text->data + text->size, max_file + 1 - text->size);
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0) {
            refuse(path, std::strerror(errno));
            return false;
        }
        if (got == 0)
            return true;
        text->size += size_t(got);
    }
    refuse(path, "it is larger than 64 KiB");
    return false;
}

// The registry file's text; false (a missing file silently, any other refusal
// told) when there is none to read.
bool load(const char* path, file_text* text)
{
    // Not blocking: opening a FIFO without a writer would wait for one.
    int descriptor = open(path, O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (descriptor < 0) {
        if (errno != ENOENT)
            refuse(path, std::strerror(errno));
        return false;
    }
    struct stat status { };
    bool read = false;
    if (fstat(descriptor, &status) != 0)
        refuse(path, std::strerror(errno));
    else if (!S_ISREG(status.st_mode))
        refuse(path, kind_of(status.st_mode));
    else if (size_t(status.st_size) > max_file)
        refuse(path, "it is larger than 64 KiB");
    else
        read = read_whole(descriptor, path, text);
    close(descriptor);
    return read;
}

} // namespace

bool registry_open(const char* subkey, handle* key)
{
    if (!subkey || !key)
        return false;
    file_text text;
    bool found = load(registry_file(), &text) && has_section(text, subkey);
    registry_key* opened = nullptr;
    if (found) {
        opened = new registry_key;
        read_values(text, subkey, opened);
    }
    std::free(text.data);
    *key = opened;
    return found;
}

bool registry_read_string(handle key, const char* value, char* buffer, uint32_t* size)
{
    auto* opened = static_cast<registry_key*>(key);
    if (!opened || !value || !buffer || !size)
        return false;
    // The last line of a name wins, as a later assignment would.
    const char* found = nullptr;
    for (size_t at = 0; at < opened->size;) {
        const char* name = opened->values + at;
        const char* text = name + std::strlen(name) + 1;
        if (same_ignoring_case(name, value, std::strlen(value)))
            found = text;
        at = size_t(text - opened->values) + std::strlen(text) + 1;
    }
    if (!found)
        return false;
    size_t needed = std::strlen(found) + 1;
    if (needed > *size) {
        *size = uint32_t(needed); // as Win32 does: the size it would take; nothing written
        return false;
    }
    std::memcpy(buffer, found, needed);
    *size = uint32_t(needed);
    return true;
}

void registry_close(handle key)
{
    auto* opened = static_cast<registry_key*>(key);
    if (!opened)
        return;
    std::free(opened->values);
    delete opened;
}

} // namespace platform
