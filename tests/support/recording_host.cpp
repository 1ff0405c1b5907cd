#include "tests/support/recording_host.h"

namespace dz::test {

std::vector<std::string> RecordingHost::callNames() const {
  std::vector<std::string> names;
  for (const std::string& c : calls) names.push_back(c.substr(0, c.find('(')));
  return names;
}

}  // namespace dz::test
