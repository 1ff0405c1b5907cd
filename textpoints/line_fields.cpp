#include "textpoints/line_fields.h"

namespace dz {

void LineFields::split(std::string_view line) {
  line_ = line;
  ends_.clear();
  spaces_ = 0;
  bool seeking = true;  // the current field's end is not found yet
  for (size_t i = 0; i < line.size(); ++i) {
    const char c = line[i];
    if (c != ' ' && c != '\0') continue;
    if (seeking) ends_.push_back(i);
    // A zero ends its field; only a space starts the next one.
    seeking = c == ' ';
    if (seeking) ++spaces_;
  }
  if (seeking) ends_.push_back(line.size());
}

std::string_view LineFields::field(int k) const {
  if (k < 1 || static_cast<size_t>(k) > ends_.size()) return " ";
  const size_t start = k == 1 ? 0 : ends_[static_cast<size_t>(k) - 2] + 1;
  return line_.substr(start, ends_[static_cast<size_t>(k) - 1] - start);
}

}  // namespace dz
