// The edit distance behind the diagnostics' suggestions, one row at a time.
#include "engine/kernel/Parser/name_suggestion.h"

#include <algorithm>

namespace parser::diag {

namespace {

size_t edit_distance(const std::string& a, const std::string& b)
{
    std::vector<size_t> row(b.size() + 1);
    for (size_t j = 0; j <= b.size(); ++j)
        row[j] = j;
    for (size_t i = 1; i <= a.size(); ++i) {
        size_t diagonal = row[0];
        row[0] = i;
        for (size_t j = 1; j <= b.size(); ++j) {
            size_t above = row[j];
            row[j] = std::min({ row[j] + 1, row[j - 1] + 1, diagonal + (a[i - 1] != b[j - 1]) });
            diagonal = above;
        }
    }
    return row[b.size()];
}

std::string nearest(const std::string& name, const std::vector<std::string>& candidates)
{
    size_t limit = std::max<size_t>(1, name.size() / 4 + 1);
    std::string best;
    size_t best_distance = limit + 1;
    for (const std::string& c : candidates) {
        size_t d = edit_distance(name, c);
        if (d > 0 && d < best_distance) {
            best = c;
            best_distance = d;
        }
    }
    return best;
}

} // namespace

std::string did_you_mean(const std::string& name, const std::vector<std::string>& candidates)
{
    std::string best = nearest(name, candidates);
    return best.empty() ? "" : "; did you mean '" + best + "'?";
}

} // namespace parser::diag
