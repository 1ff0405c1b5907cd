// The point import over a fuzzed text file, with settings taken from the
// input's first bytes, twice in a row in one importer.
#include <cstring>

#include "fuzz/fuzz_support.h"
#include "textpoints/text_point_importer.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  uint8_t settings[12] = {};
  const size_t n = size < sizeof settings ? size : sizeof settings;
  if (n) std::memcpy(settings, data, n);
  const auto parts = dz::fuzz::splitParts(data + n, size - n, 3);
  dz::fuzz::MemoryEngine engine;
  const std::string out = dz::fuzz::workDir() + "/out.qel";
  dz::QelHandle h = engine.OpenFeatureFile(out.c_str());
  dz::fuzz::SilentMessages messages;
  dz::CTextPointImporter importer(engine, messages);
  importer.m_hFile = h;
  importer.m_strPath = dz::fuzz::writeFile("points.txt", parts[0]);
  importer.m_strSeparator = parts[1].substr(0, 4);
  importer.m_strPrefix = parts[2].substr(0, 14);
  std::memcpy(importer.m_szPointName, parts[2].data(), parts[2].size() < 12 ? parts[2].size() : 12);
  importer.m_nLayout = settings[0] & 1;
  importer.m_nCycle = static_cast<int8_t>(settings[1]) % 8;
  importer.m_nValueField = static_cast<int8_t>(settings[2]) % 6;
  importer.m_nEastPos = static_cast<int8_t>(settings[3]) % 6;
  importer.m_nNorthPos = static_cast<int8_t>(settings[4]) % 6;
  importer.m_nElevPos = static_cast<int8_t>(settings[5]) % 6;
  importer.m_nCodePos = static_cast<int8_t>(settings[6]) % 6;
  importer.m_nNumbering = settings[7] & 1;
  importer.m_nStartNo = static_cast<int8_t>(settings[8]) * 1000003;
  importer.m_nDupPolicy = settings[9] % 3;
  importer.ImportPoints();
  importer.ImportPoints();
  engine.CommitFeatureFile(h);
  engine.CloseFeatureFile(h);
  engine.checkCommitted(out);
  return 0;
}
