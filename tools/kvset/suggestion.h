// "did you mean ...?" for a mistyped command or name.
#pragma once

#include <string>
#include <vector>

namespace cfg {

// " (did you mean NAME?)" for the name nearest to `word` by edit distance,
// ignoring case, when it is near enough to be a typing slip; else empty.
std::string DidYouMean(const std::string& word, const std::vector<std::string>& names);

}  // namespace cfg
