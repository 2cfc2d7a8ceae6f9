// The filesystem module's write directory (set by fs::init) and the rule that
// turns a relative file name into a path: working directory first, then the
// write directory.
#pragma once

#include <cstdint>

namespace write_directory {

// Paths are held in 260-character buffers, as everywhere in the program; a
// write directory or a composed path that does not fit is refused.
constexpr uint32_t path_size = 260;

// False when the path does not fit (the write directory is then unset).
bool set(const char* path);
void clear();
// The write directory, or an empty text before fs::init.
const char* get();

// True for a path that needs no base directory: "/..." on POSIX; on Windows a
// drive with its root ("D:\...", "D:/...") or a network share ("\\server\...").
bool is_full(const char* path);
// Joins base and name with one platform separator between them; false when it
// does not fit.
bool join(const char* base, const char* name, char* out, uint32_t size);
// Finds an existing file or directory for name: a full path as it is; a relative
// one under the working directory, else under the write directory. False when
// nothing exists there.
bool resolve(const char* name, char* out, uint32_t size);

} // namespace write_directory
