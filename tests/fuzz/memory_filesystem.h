// The filesystem module as the fuzz targets see it: files held in memory, and
// every log record formatted in full (so each message's format meets its
// arguments) and then dropped. It stands in for the real module, which the
// fuzz targets do not link, so that no input ever touches the disk.
#pragma once

#include <string>

namespace memory_filesystem {

// Removes every file.
void clear();
// Adds or replaces a file; names compare ignoring the case of ASCII letters, as
// the game's file names do.
void add(const std::string& name, const std::string& text);

} // namespace memory_filesystem
