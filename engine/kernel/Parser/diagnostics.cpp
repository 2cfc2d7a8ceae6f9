// The diagnostic record's helpers: turning a byte offset into line and column
// (only when a record is made, so parsing keeps plain offsets), the printer in
// gcc's form, and the thread's active sink.
#include "engine/kernel/Parser/diagnostics.h"

namespace parser::diag {

namespace {

thread_local sink* active_sink = nullptr; // a plain pointer: the sink lives with its collector

const char* const severity_words[] = { "error", "warning", "note" };

// The caret line: blanks (tabs kept, so the caret lines up) to the column,
// '^' there and '~' under the rest of the token on that line.
std::string caret_line(const position& p)
{
    std::string line = "      | ";
    size_t start = size_t(p.column - 1);
    for (size_t i = 0; i < start; ++i)
        line += i < p.line_text.size() && p.line_text[i] == '\t' ? '\t' : ' ';
    line += '^';
    size_t end = start + (p.length > 0 ? p.length : 1);
    if (end > p.line_text.size())
        end = p.line_text.size() > start ? p.line_text.size() : start + 1;
    line.append(end - start - 1, '~');
    return line + '\n';
}

void render_one(std::string& out, severity level, const position& p, const std::string& message, const char* program)
{
    char head[64];
    if (p.line > 0) {
        std::snprintf(head, sizeof head, ":%d:%d: ", p.line, p.column);
        out += p.file + head;
    } else {
        out += std::string(program) + ": ";
    }
    out += severity_words[int(level)];
    out += ": " + message + '\n';
    if (p.line <= 0)
        return;
    std::snprintf(head, sizeof head, "%5d | ", p.line);
    out += head + p.line_text + '\n';
    out += caret_line(p);
}

} // namespace

int sink::count(severity level) const
{
    int n = 0;
    for (const diagnostic& d : items_)
        n += d.level == level;
    return n;
}

position locate(const std::string& file, const char* text, uint32_t size, uint32_t offset, uint32_t length)
{
    position p;
    p.file = file;
    p.offset = offset > size ? size : offset;
    p.length = length;
    uint32_t line_start = 0;
    p.line = 1;
    for (uint32_t i = 0; i < p.offset; ++i) {
        if (text[i] == '\n') {
            ++p.line;
            line_start = i + 1;
        }
    }
    p.column = int(p.offset - line_start) + 1;
    uint32_t line_end = line_start;
    while (line_end < size && text[line_end] != '\n')
        ++line_end;
    uint32_t shown_end = line_end;
    if (shown_end > line_start && text[shown_end - 1] == '\r')
        --shown_end;
    p.line_text.assign(text + line_start, shown_end - line_start);
    return p;
}

std::string render(const diagnostic& d, const char* program)
{
    std::string out;
    render_one(out, d.level, d.where, d.message, program);
    for (const note& n : d.notes)
        render_one(out, severity::note, n.where, n.message, program);
    return out;
}

void print(std::FILE* out, const sink& diagnostics, const char* program)
{
    for (const diagnostic& d : diagnostics.items()) {
        std::string text = render(d, program);
        std::fwrite(text.data(), 1, text.size(), out);
    }
    std::fflush(out);
}

collecting::collecting(sink& target)
    : previous_(active_sink)
{
    active_sink = &target;
}

collecting::~collecting() { active_sink = previous_; }

sink* collecting::active() { return active_sink; }

} // namespace parser::diag
