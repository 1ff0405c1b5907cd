#include "base/sibling_files.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <algorithm>
#include <filesystem>
#include <set>

#include "base/file_io.h"
#include "tests/support/test_files.h"

namespace dz {
namespace {

TEST(SiblingFiles, LieBesideTheTargetAndFitBesideA255ByteName) {
  const std::string name(251, 'n');
  const std::string target = "/some/dir/" + name + ".qel";
  for (const std::string& sibling : {lockFileFor(target), newTemporaryFor(target)}) {
    EXPECT_EQ(sibling.rfind("/some/dir/.", 0), 0u) << sibling;
    EXPECT_LE(fileNameOf(sibling).size(), 64u) << sibling;
    EXPECT_EQ(sibling.find('/', 10), std::string::npos) << sibling;
  }
  EXPECT_EQ(fileNameOf(lockFileFor("out.qel")).rfind(".out.qel.", 0), 0u);
  EXPECT_EQ(fileNameOf(newTemporaryFor("out.qel")).rfind(".out.qel.", 0), 0u);
}

TEST(SiblingFiles, ALongNameIsCutWhereACharacterStarts) {
  // 31 ASCII bytes, then a three-byte UTF-8 character across byte 32.
  const std::string name = std::string(31, 'a') + "\xE5\x9C\xB0" + ".qel";
  const std::string lock = fileNameOf(lockFileFor(name));
  EXPECT_EQ(lock.substr(0, 33), "." + std::string(31, 'a') + ".");
}

TEST(SiblingFiles, EveryTemporaryNameIsNew) {
  std::set<std::string> names;
  for (int i = 0; i < 1000; ++i) names.insert(newTemporaryFor("out.qel"));
  EXPECT_EQ(names.size(), 1000u);
}

TEST(SiblingFiles, NamesThatShareTheirFirstBytesHaveLocksOfTheirOwn) {
  const std::string common(40, 'c');
  EXPECT_NE(lockFileFor(common + "1.qel"), lockFileFor(common + "2.qel"));
}

// A killed run left <target>.tmp~, as large as the file, in a third of the
// trials; nothing ever removed it.
TEST(SiblingFiles, StaleTemporariesOfTheTargetAndOnlyThoseAreRemoved) {
  test::TempDir dir;
  const std::string target = dir.write("out.qel", "file");
  const std::string other = dir.file("other.qel");
  const std::string ours1 = newTemporaryFor(target);
  const std::string ours2 = newTemporaryFor(target);
  for (const std::string& path : {ours1, ours2, target + ".tmp~", newTemporaryFor(other), other + ".tmp~"})
    dir.write(fileNameOf(path), "stale");
  // Names like ours that no save of ours makes.
  const std::string stem = fileNameOf(ours1).substr(0, fileNameOf(ours1).size() - 13);
  for (const std::string& name : std::vector<std::string>{stem + ".ABCDEFGH.tmp", stem + ".abcdefg.tmp",
                                                         stem + ".abcdefgh.tmp.x", "out.qel.tmp", "out.qel.bak",
                                                         "x" + stem + ".abcdefgh.tmp"})
    dir.write(name, "keep");
  ASSERT_EQ(mkdir(dir.file(stem + ".0000abcd.tmp").c_str(), 0755), 0);  // a folder of that name
  const std::vector<std::string> before = test::namesIn(dir.path());

  EXPECT_EQ(removeStaleTemporaries(target), 3);
  std::vector<std::string> expected;
  for (const std::string& name : before)
    if (name != fileNameOf(ours1) && name != fileNameOf(ours2) && name != "out.qel.tmp~") expected.push_back(name);
  EXPECT_EQ(test::namesIn(dir.path()), expected);
  EXPECT_EQ(removeStaleTemporaries(target), 0);
}

}  // namespace
}  // namespace dz
