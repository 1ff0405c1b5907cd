// Generated inputs of every size for the benchmarks and for the test that
// keeps the outputs byte-identical: the same size always gives the same bytes.
#pragma once

#include <string>

namespace dz::bench {

// CASSCode.txt (a 5,000-line code table), in.cas with `features` features
// (lines, polylines, circles, points, houses with two texts each, parcels),
// and the parcels' in.qs and in.txt, all in `dir`.
void writeCassInputs(const std::string& dir, int features);

// EPSWconvert.txt, in.cor with `points` point lines in features of ten (every
// fifth line names a point of the feature before) and in.not with `notes`
// annotations, in `dir`.
void writeEpswInputs(const std::string& dir, int points, int notes);

// A row-layout point file, name,code,E,N,Z per line, CR LF line ends.
void writePointFile(const std::string& path, int lines);

// attach.qel with `n` features (a third each parcels, parcel labels and
// houses; one in ten without a line in its file), and the three attribute
// files parcels.txt, points.txt and houses.txt of `n` lines each, keys in
// shuffled order, in `dir`.
void writeAttachInputs(const std::string& dir, int n);

}  // namespace dz::bench
