// The texts of the TEXT sections of a .cas file, collected in file order
// until an END line gives them to the houses and writes them as text objects.
// A TEXT section alternates a text line and its position line.
#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

#include "base/record_arena.h"

namespace dz {

// Longest text kept: longer texts are cut, at a character boundary.
constexpr int kTextEntryMaxBytes = 199;

struct TextEntry {
  const char* text = "";  // zero-terminated GBK, kept by the TextEntries that holds the entry
  double first = 0;       // first number of the position line
  double second = 0;      // second number of the position line
  int16_t length = 0;     // bytes of text plus its zero
  int16_t used = 0;       // 1 once a house has taken it

  // Reads the position line "first,second"; a number that fails to scan
  // leaves what the entry held.
  void readPosition(std::string_view line);
};

// The entries collected, read as a vector is read, with the bytes of their
// texts beside them: a slot of room for the longest text in every entry
// made the list of a large file take six times its size.
class TextEntries {
 public:
  size_t size() const { return entries_.size(); }
  bool empty() const { return entries_.empty(); }
  // New entries are empty, at position (0, 0), unused.
  void resize(size_t n) { entries_.resize(n); }
  TextEntry& operator[](size_t i) { return entries_[i]; }
  const TextEntry& operator[](size_t i) const { return entries_[i]; }
  const TextEntry& at(size_t i) const { return entries_.at(i); }
  TextEntry* data() { return entries_.data(); }

  // Keeps `value` as the text of entry `i`, cut to kTextEntryMaxBytes
  // without splitting a two-byte character, so a cut text stays valid GBK.
  void setText(size_t i, std::string_view value);

 private:
  std::vector<TextEntry> entries_;
  RecordArena texts_;
};

}  // namespace dz
