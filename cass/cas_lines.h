// The lines of a CASS exchange file (.cas): what each line is, given the
// reader's state, and the comma-separated fields of a line.
#pragma once

#include <string>
#include <string_view>

namespace dz {

// The role of one .cas line. The tests that decide it are applied in a fixed
// order and the first that applies wins, so a keyword inside a TEXT section
// is a text and "[LINE]" is a comment.
enum class CasLine {
  TextEntry,      // inside a TEXT section: a text or its position
  TextStart,      // "TEXT"
  Stop,           // "tamberol": nothing after it is read
  Comment,        // begins with "["
  LineKeyword,    // "LINE", "PLINE" or "SPECIAL": line features follow
  CircleKeyword,  // "CIRCLE"
  PointKeyword,   // "POINT"
  FeatureEnd,     // "nil": the feature ends and the reader resets
  FeatureClose,   // "C" or "E": the feature ends, the keyword stays
  End,            // "END": houses get their texts
  Ignored,        // begins with a comma, or no keyword line is in force
  CodeOnly,       // no comma: the whole line is a code
  Coordinate,     // a point: a "." before the first comma
  Header,         // a feature header: code, then further fields
};

// `kind` is the reader's feature kind (0 while no keyword is in force). For
// a coordinate or header line, `comma` (when given) is set to where its first
// comma is, found on the way.
CasLine classifyCasLine(std::string_view line, bool textMode, int kind, size_t* comma = nullptr);

// The k-th comma-separated field (from 0). A line without a comma has no
// fields and gives the empty text; field 0 of a line that begins with a comma
// is the whole line; the last field runs to the end of the line; a field
// beyond the last comma is empty.
std::string extractCasField(std::string_view line, int k);

}  // namespace dz
