// A whole EPSW conversion over fuzzed files: the .cor file, the .not file and
// the code table, in this order.
#include "epsw/epsw_converter.h"
#include "fuzz/fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const auto parts = dz::fuzz::splitParts(data, size, 3);
  dz::fuzz::MemoryEngine engine;
  dz::fuzz::writeFile("EPSWconvert.txt", parts[2]);
  dz::fuzz::SilentMessages messages;
  dz::CEpswConverter converter(engine, messages);
  converter.m_strCorPath = dz::fuzz::writeFile("in.cor", parts[0]);
  converter.m_strNotPath = dz::fuzz::writeFile("in.not", parts[1]);
  const std::string out = dz::fuzz::workDir() + "/out.qel";
  converter.m_strOutputPath = out;
  converter.OnOK();
  engine.checkCommitted(out);
  return 0;
}
