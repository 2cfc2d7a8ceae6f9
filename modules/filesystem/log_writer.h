// The sinks of finished log records inside the filesystem module: standard
// error always, the log file in the write directory once fs::init opened it.
#pragma once

#include <cstdint>

namespace log_writer {

// The log file's name inside the write directory.
constexpr const char* file_name = "mirecrest.log";
// Paths are held in 260-character buffers, as everywhere in the program.
constexpr uint32_t path_size = 260;
// Text files (the log, crash reports) end their lines as the system's own
// programs expect.
#if defined(_WIN32)
constexpr const char* line_end = "\r\n";
#else
constexpr const char* line_end = "\n";
#endif
// A crash record is one line of a 1024-character message text; longer ones are cut.
constexpr uint32_t crash_record_size = 1024;

// Takes the log file for this process alone and empties it; false (the
// platform's last error says why) when it cannot, among others because another
// running instance holds it.
bool open_file(const char* path);
void close_file();
// A "Filesystem" record ("FATL", "ERRR", "WARN" label) written at once to
// standard error and the log file, safe inside a crash handler: no allocation,
// no lock, no observer.
void write_crash_record(const char* label, const char* function, const char* text);
// Writes the calling thread's unfinished record, if any.
void flush_pending();

} // namespace log_writer
