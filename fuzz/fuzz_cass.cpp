// A whole CASS conversion over fuzzed files: the exchange file, the .qs file,
// the parcel attribute file and the code table, in this order.
#include "cass/cass_converter.h"
#include "fuzz/fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const auto parts = dz::fuzz::splitParts(data, size, 4);
  dz::fuzz::MemoryEngine engine;
  dz::fuzz::writeFile("CASSCode.txt", parts[3]);
  dz::fuzz::SilentMessages messages;
  dz::CCassConverter converter(engine, messages);
  converter.m_strCasPath = dz::fuzz::writeFile("in.cas", parts[0]);
  converter.m_strQsPath = dz::fuzz::writeFile("in.qs", parts[1]);
  converter.m_strParcelPath = dz::fuzz::writeFile("parcels.txt", parts[2]);
  const std::string out = dz::fuzz::workDir() + "/out.qel";
  converter.m_strOutputPath = out;
  converter.Run();
  engine.checkCommitted(out);
  return 0;
}
