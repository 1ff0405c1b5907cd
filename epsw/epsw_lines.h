// The lines of the two EPSW input files. Each parser keeps the fields that a
// line does not supply at the values an earlier line of the same kind left:
// one object lives for the whole file and sees every line of its kind.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "base/fixed_field.h"

namespace dz {

// A .cor line opens a feature when its first "$" stands anywhere but at the
// very start ("12 3 0 $A"); every other line, "$ 1 2 3" and empty lines
// included, is a point line.
bool isCorFeatureLine(std::string_view line);

// A .cor point line: "%s %lf %lf %lf %d %d".
struct CorPointFields {
  static constexpr int kFields = 6;

  char name[kNameWidth] = {};  // at most 11 bytes and a terminator; longer names are cut
  double east = 0;
  double north = 0;
  double elev = 0;
  int32_t first = 0;
  int32_t second = 0;

  // The fields the line gave, as the scan counts them (-1 for a blank line).
  int parse(std::string_view line);
  bool hasName() const { return name[0] != '\0'; }
};

// A .not record of three lines:
//   1: "%s %s"               annotation number, text
//   2: "%lf %lf %lf %lf %f"  first and second coordinate, unused, angle, character height
//   3: "%s %f"               annotation category, width factor
// Texts longer than their fields are cut at a character boundary, so that a
// cut never leaves half a Chinese character behind.
struct NoteFields {
  static constexpr size_t kNumberBytes = 49;
  static constexpr size_t kTextBytes = 199;
  static constexpr size_t kCategoryBytes = 9;

  std::string number;
  std::string text;
  double first = 0;
  double second = 0;
  double unused = 0;
  double angle = 0;
  float height = 0;
  std::string category;
  float widthFactor = 0;

  // Each gives the fields the line gave, as the scan counts them.
  int parseLine1(std::string_view line);
  int parseLine2(std::string_view line);
  int parseLine3(std::string_view line);
};

// The longest prefix of `text` of at most `maxBytes` bytes that ends at a GBK
// character boundary.
std::string cutAtCharacter(const std::string& text, size_t maxBytes);

}  // namespace dz
