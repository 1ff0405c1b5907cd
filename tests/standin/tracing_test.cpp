#include <gtest/gtest.h>

#include "base/fixed_field.h"
#include "tests/support/recording_host.h"
#include "tests/support/test_files.h"

namespace dz {
namespace {

TEST(Tracing, OneDecodedLinePerCallWithItsResult) {
  test::TempDir dir;
  test::RecordingHost host("/h");
  const std::string path = dir.file("t.qel");
  QelHandle h = host.OpenFeatureFile(path.c_str());
  PointRecord p{};
  copyName(p.name, "点1");
  p.north = 1.5;
  host.AddPoint(h, &p, 1);
  host.PointExists(h, "nope");
  host.GetHostInfo(0);
  ASSERT_EQ(host.calls.size(), 4u);
  EXPECT_EQ(host.calls[0], "OpenFeatureFile(\"" + path + "\") -> 1");
  EXPECT_EQ(host.calls[1],
            u8"AddPoint(1, {name=\"点1\", north=1.5, east=0, elev=0, code=0, w14=0, w16=0, flag=0}, 1) -> 1");
  EXPECT_EQ(host.calls[2], "PointExists(1, \"nope\") -> -1");
  EXPECT_EQ(host.calls[3], "GetHostInfo(0) -> dir=\"/h\"");
  EXPECT_EQ(host.callNames(), (std::vector<std::string>{"OpenFeatureFile", "AddPoint", "PointExists", "GetHostInfo"}));
}

}  // namespace
}  // namespace dz
