// The fields of one line split at single spaces, found in one pass over the
// line. The import takes four or five fields of every line; finding each
// from the line's start cost a scan of the line per field.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace dz {

class LineFields {
 public:
  // Splits `line` (without its terminating zero, which ends the last field).
  // A zero byte inside the line ends the field it falls in, as the split of
  // a C string does; spaces count as separators, and so does `also`: the
  // fields are those of the line with every `also` replaced by a space. The
  // view must outlive the fields taken from it.
  void split(std::string_view line, char also = ' ');

  // Field k (from 1), exactly as CTextPointImporter::GetField gives it:
  // " " for a field number below 1 or beyond the last field.
  std::string_view field(int k) const;
  // 1 + the separators of the whole line, zero bytes or not.
  long count() const { return spaces_ + 1; }
  // Whether the line holds nothing but blanks and separators.
  bool blank() const;

 private:
  std::string_view line_;
  char also_ = ' ';
  std::string replaced_;  // a line with zeros, its separators made spaces
  // ends_[p]: the first space or zero at or after the start of field p + 1
  // (the line's end counts as a zero): where that field ends.
  std::vector<size_t> ends_;
  long spaces_ = 0;
};

}  // namespace dz
