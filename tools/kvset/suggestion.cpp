#include "tools/kvset/suggestion.h"

#include <algorithm>
#include <vector>

#include "settings/ascii_case.h"

namespace cfg {
namespace {

// Two slips in a word of six letters or more, one in a shorter word.
constexpr size_t kLongWord = 6;

bool SameLetter(char a, char b) {
  return LowerAscii(a) == LowerAscii(b);
}

// Insertions, deletions, substitutions and swaps of neighbours, by bytes,
// ignoring ASCII case.
size_t EditDistance(const std::string& a, const std::string& b) {
  std::vector<std::vector<size_t>> d(a.size() + 1, std::vector<size_t>(b.size() + 1));
  for (size_t i = 0; i <= a.size(); ++i) d[i][0] = i;
  for (size_t j = 0; j <= b.size(); ++j) d[0][j] = j;
  for (size_t i = 1; i <= a.size(); ++i) {
    for (size_t j = 1; j <= b.size(); ++j) {
      const size_t substitution = d[i - 1][j - 1] + (SameLetter(a[i - 1], b[j - 1]) ? 0 : 1);
      d[i][j] = std::min({d[i - 1][j] + 1, d[i][j - 1] + 1, substitution});
      if (i > 1 && j > 1 && SameLetter(a[i - 1], b[j - 2]) && SameLetter(a[i - 2], b[j - 1])) {
        d[i][j] = std::min(d[i][j], d[i - 2][j - 2] + 1);
      }
    }
  }
  return d[a.size()][b.size()];
}

size_t SlipsAllowed(const std::string& word) {
  return word.size() >= kLongWord ? 2 : 1;
}

}  // namespace

std::string DidYouMean(const std::string& word, const std::vector<std::string>& names) {
  const std::string* best = nullptr;
  size_t bestDistance = SlipsAllowed(word) + 1;
  for (const std::string& name : names) {
    const size_t distance = EditDistance(word, name);
    if (distance < bestDistance && distance < name.size()) {
      best = &name;
      bestDistance = distance;
    }
  }
  return best != nullptr ? " (did you mean " + *best + "?)" : std::string();
}

}  // namespace cfg
