// The "did you mean" of the diagnostics: the known name nearest to a name that
// was not found, when the two are close enough to be a slip of the keyboard.
#pragma once

#include <string>
#include <vector>

namespace parser::diag {

// The candidate nearest to name: at most one edit in four characters (and at
// least one); empty when none is that near or name itself is a candidate.
std::string nearest(const std::string& name, const std::vector<std::string>& candidates);

// "; did you mean 'X'?" for the nearest candidate, or empty.
std::string did_you_mean(const std::string& name, const std::vector<std::string>& candidates);

} // namespace parser::diag
