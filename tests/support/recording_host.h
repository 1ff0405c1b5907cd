// Test support: a stand-in engine whose calls are recorded, one decoded line
// per call, for tests where the order of host calls is the behaviour.
#pragma once

#include <string>
#include <vector>

#include "host/tracing_host.h"
#include "standin/engine.h"

namespace dz::test {

class RecordingHost : public TracingHostLibrary {
 public:
  explicit RecordingHost(const std::string& hostDir = ".")
      : TracingHostLibrary(engine, [this](const std::string& line) { calls.push_back(line); }), engine(hostDir) {}

  // Only the operation names of the calls, in order.
  std::vector<std::string> callNames() const;

  FeatureFileEngine engine;
  std::vector<std::string> calls;
};

}  // namespace dz::test
