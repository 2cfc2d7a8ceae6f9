// The sinks of finished log records inside the filesystem module: standard
// error always, the log file in the write directory once fs::init opened it.
#pragma once

namespace log_writer {

// The log file's name inside the write directory.
constexpr const char* file_name = "mirecrest.log";

// Opens (truncates) the log file; false when it cannot be created.
bool open_file(const char* path);
void close_file();
// Writes the calling thread's unfinished record, if any.
void flush_pending();

} // namespace log_writer
