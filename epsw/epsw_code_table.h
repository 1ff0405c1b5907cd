// The EPSW code table, EPSWconvert.txt: one mapping per line, "%ld %ld %s"
// (EPSW feature code, host feature code, a description word that is not
// used). Read once and indexed; every answer is the one a scan from the top
// would give.
#pragma once

#include <cstdint>
#include <string>
#include <unordered_map>

namespace dz {

class EpswCodeTable {
 public:
  static constexpr const char* kFileName = "EPSWconvert.txt";

  // Reads the table; false when it cannot be opened (the table is then empty).
  bool load(const std::string& path);

  // The host code of the first line whose EPSW code equals `epswCode`; 0 when
  // no line does.
  int32_t find(int32_t epswCode) const;

  size_t size() const { return first_.size(); }

 private:
  std::unordered_map<int32_t, int32_t> first_;
};

}  // namespace dz
