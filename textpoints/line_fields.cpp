#include "textpoints/line_fields.h"

#include <algorithm>

#include "base/classic_scan.h"

namespace dz {

void LineFields::split(std::string_view line, char also) {
  line_ = line;
  also_ = also;
  ends_.clear();
  spaces_ = 0;
  bool seeking = true;  // the current field's end is not found yet
  const char* bytes = line.data();
  for (size_t i = 0; i < line.size(); ++i) {
    const char c = bytes[i];
    // Most bytes are above the space and not the separator: one test each.
    if (static_cast<unsigned char>(c) > ' ' && c != also) continue;
    const bool separator = c == ' ' || c == also;
    if (!separator && c != '\0') continue;
    if (c == '\0' && also != ' ') {
      // After a zero a field can run over a separator, which it must then
      // hold as the space it stands for: split a copy that has the spaces.
      replaced_.assign(line);
      std::replace(replaced_.begin(), replaced_.end(), also, ' ');
      split(replaced_);
      also_ = also;
      return;
    }
    if (seeking) ends_.push_back(i);
    // A zero ends its field; only a separator starts the next one.
    seeking = separator;
    if (seeking) ++spaces_;
  }
  if (seeking) ends_.push_back(line.size());
}

bool LineFields::blank() const {
  for (const char c : line_)
    if (!isClassicSpace(c) && c != also_) return false;
  return true;
}

std::string_view LineFields::field(int k) const {
  if (k < 1 || static_cast<size_t>(k) > ends_.size()) return " ";
  const size_t start = k == 1 ? 0 : ends_[static_cast<size_t>(k) - 2] + 1;
  return line_.substr(start, ends_[static_cast<size_t>(k) - 1] - start);
}

}  // namespace dz
