// The "did you mean" of the diagnostics: the known name nearest to a name that
// was not found, when the two are close enough to be a slip of the keyboard.
#pragma once

#include <string>
#include <vector>

namespace parser::diag {

// "; did you mean 'X'?" for the candidate nearest to name, when it is at most
// one edit in four characters away (and at least one); otherwise empty. A
// candidate equal to name is no suggestion.
std::string did_you_mean(const std::string& name, const std::vector<std::string>& candidates);

} // namespace parser::diag
