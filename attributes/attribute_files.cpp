#include "attributes/attribute_files.h"

#include <algorithm>
#include <cstring>
#include <utility>
#include <vector>

#include "base/classic_scan.h"
#include "base/fixed_field.h"
#include "base/gbk.h"
#include "base/text_input.h"

namespace dz::attributes {

using T = ScanTarget;

namespace {

// A text field of a block: the token, cut to leave room for a terminating
// zero and never through a two-byte character, then zero-padded.
template <size_t N>
void copyText(char (&field)[N], const std::string& token) {
  copyField(field, N, std::string_view(token).substr(0, gbkPrefixLength(token, N - 1)));
}

}  // namespace

// --- parcels ----------------------------------------------------------------

int ParcelFields::scan(const std::string& line) {
  return scanFormat(line, "%s %s %s %s %s %s %lf %lf %s %d %s",
             {T::text(number, sizeof number), T::text(field2), T::text(field3, sizeof field3), T::text(field4),
              T::text(field5, sizeof field5), T::text(field6),
              T::real(field7), T::real(field8), T::text(field9, sizeof field9), T::integer(field10),
              T::text(field11, sizeof field11)});
}

ParcelValues::ParcelValues(const ParcelFields& f) : field7(f.field7), field8(f.field8) {
  copyText(field4, f.field4);
  copyText(field2, f.field2);
  copyText(field6, f.field6);
}

void ParcelValues::applyTo(uint8_t* block) const {
  putLE<double>(block, 0, field7);
  putLE<double>(block, 8, field8);
  std::memcpy(block + 80, field4, sizeof field4);
  std::memcpy(block + 100, field2, sizeof field2);
  std::memcpy(block + 205, field6, sizeof field6);
}

// --- boundary points --------------------------------------------------------

int BoundaryPointFields::scan(const std::string& line) {
  return scanFormat(line, "%s %s %s %s %s ",
             {T::text(name, sizeof name), T::text(field2), T::text(field3), T::text(field4), T::text(field5)});
}

BoundaryPointValues::BoundaryPointValues(const BoundaryPointFields& f) {
  copyText(field2, f.field2);
  copyText(field3, f.field3);
  copyText(field4, f.field4);
  copyText(field5, f.field5);
}

void BoundaryPointValues::applyTo(uint8_t* block) const {
  std::memcpy(block + 0, field2, sizeof field2);
  std::memcpy(block + 10, field3, sizeof field3);
  std::memcpy(block + 20, field4, sizeof field4);
  std::memcpy(block + 27, field5, sizeof field5);
}

// --- houses -----------------------------------------------------------------

int HouseFields::scan(const std::string& line) {
  return scanFormat(line, "%s %s %d ", {T::text(name, sizeof name), T::text(structure), T::integer(floors)});
}

HouseValues::HouseValues(const HouseFields& f) : floors(f.floors) {
  copyText(structure, f.structure);
}

void HouseValues::applyTo(uint8_t* block) const {
  std::memcpy(block, structure, sizeof structure);
  // A floor count beyond 16 bits keeps only its low 16 bits.
  putLE<int16_t>(block, 10, static_cast<int16_t>(static_cast<uint16_t>(static_cast<uint32_t>(floors))));
}

// --- the index --------------------------------------------------------------

template <typename Fields, typename Values>
bool AttributeFileIndex<Fields, Values>::load(const std::string& path) {
  clear();
  InputLineReader reader;
  if (!reader.open(path)) return false;
  Fields fields;  // cleared once; carried from line to line
  std::string line;
  while (reader.readLine(line)) {
    const int scanned = fields.scan(line);
    if (scanned >= 0 && scanned < Fields::kFields) unscanned_.add(reader.lineNumber());
    // The first line of a key wins: later lines with the same key change nothing.
    first_.try_emplace(std::string(fields.key()), fields, reader.lineNumber());
  }
  if (reader.failed()) {  // part of a file answers as no file
    first_.clear();
    return false;
  }
  return true;
}

template <typename Fields, typename Values>
KeyTally AttributeFileIndex<Fields, Values>::keysNotFound() const {
  std::vector<std::pair<long, const std::string*>> notFound;
  for (const auto& [key, entry] : first_)
    if (!entry.found && !key.empty()) notFound.emplace_back(entry.line, &key);
  std::sort(notFound.begin(), notFound.end());
  KeyTally tally;
  for (const auto& [line, key] : notFound) tally.add(*key);
  return tally;
}

template class AttributeFileIndex<ParcelFields, ParcelValues>;
template class AttributeFileIndex<BoundaryPointFields, BoundaryPointValues>;
template class AttributeFileIndex<HouseFields, HouseValues>;

}  // namespace dz::attributes
