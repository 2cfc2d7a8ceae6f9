// A log record as the filesystem module's observer sees it, compared whole so
// that a test states the records it expects as one table.
#pragma once

#include <ostream>
#include <string>
#include <vector>

#include "host/modules/filesystem_module.h"

// One finished log record. A record ends with its message's newline, which the
// filesystem module drops from the text it hands the observer.
struct captured_record {
    int level;
    std::string category;
    std::string function;
    std::string text;

    bool operator==(const captured_record&) const = default;
};

inline void PrintTo(const captured_record& r, std::ostream* out)
{
    *out << "{ " << r.level << ", \"" << r.category << "\", \"" << r.function << "\", \"" << r.text << "\" }";
}

using captured_records = std::vector<captured_record>;

// The observer that appends each record to the captured_records it is given.
inline void capture_record(const Log::Record& r, void* records)
{
    static_cast<captured_records*>(records)->push_back(
        { r.level, r.category ? r.category : "", r.function ? r.function : "", r.text ? r.text : "" });
}
