// Counts of what an input held that its reader took as it stands (a field
// that is not a number, a code no table lists), with where the first of
// them are: what a caller needs to warn once per kind instead of once per
// line.
#pragma once

#include <algorithm>
#include <cstddef>
#include <string>
#include <vector>

namespace dz {

// Lines of a file: how many, and the numbers of the first of them.
struct LineTally {
  static constexpr size_t kKept = 10;

  long count = 0;
  std::vector<long> lines;  // at most kKept, in file order

  void add(long line) {
    ++count;
    if (lines.size() < kKept) lines.push_back(line);
  }
  bool empty() const { return count == 0; }
};

// "line 4", "lines 4, 9, 12, ..." for a message.
inline std::string linesText(const LineTally& tally) {
  std::string text = tally.lines.size() == 1 ? "line " : "lines ";
  for (size_t i = 0; i < tally.lines.size(); ++i) text += (i ? ", " : "") + std::to_string(tally.lines[i]);
  if (tally.count > static_cast<long>(tally.lines.size())) text += ", ...";
  return text;
}

// Keys (codes, names, parcel numbers, GBK) that matched nothing: how often,
// and the first distinct ones.
struct KeyTally {
  static constexpr size_t kKept = 5;

  long count = 0;
  std::vector<std::string> keys;  // at most kKept distinct keys, in the order met
  bool moreKeys = false;          // distinct keys beyond those kept

  void add(const std::string& key) {
    ++count;
    if (std::find(keys.begin(), keys.end(), key) != keys.end()) return;
    if (keys.size() < kKept)
      keys.push_back(key);
    else
      moreKeys = true;
  }
  bool empty() const { return count == 0; }
};

}  // namespace dz
