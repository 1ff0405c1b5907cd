#include "base/file_io.h"

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include "tests/support/test_files.h"

namespace dz {
namespace {

class AtomicWrite : public ::testing::Test {
 protected:
  bool leftTemporary(const std::string& path) const { return fileExists(path + ".tmp~"); }

  test::TempDir dir;
  std::string error;
};

TEST_F(AtomicWrite, WritesANewFileAndReplacesAnOldOne) {
  const std::string path = dir.file("out.qel");
  ASSERT_TRUE(writeFileAtomically(path, "first", error)) << error;
  ASSERT_TRUE(writeFileAtomically(path, "second", error)) << error;
  EXPECT_EQ(test::readFile(path), "second");
  EXPECT_FALSE(leftTemporary(path));
}

TEST_F(AtomicWrite, WritesABareNameInTheCurrentDirectory) {
  char previous[4096];
  ASSERT_NE(getcwd(previous, sizeof previous), nullptr);
  ASSERT_EQ(chdir(dir.path().c_str()), 0);
  const bool written = writeFileAtomically("bare.qel", "bytes", error);
  ASSERT_EQ(chdir(previous), 0);
  EXPECT_TRUE(written) << error;
  EXPECT_EQ(test::readFile(dir.file("bare.qel")), "bytes");
}

TEST_F(AtomicWrite, ATargetThatIsADirectoryIsRefusedAndStays) {
  const std::string path = dir.file("folder.qel");
  ASSERT_EQ(mkdir(path.c_str(), 0755), 0);
  EXPECT_FALSE(writeFileAtomically(path, "bytes", error));
  EXPECT_NE(error.find("cannot replace " + path + ": "), std::string::npos) << error;
  EXPECT_FALSE(leftTemporary(path));
  struct stat st;
  EXPECT_TRUE(stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode));
}

TEST_F(AtomicWrite, AMissingDirectoryIsNamedInTheError) {
  const std::string path = dir.file("missing/out.qel");
  EXPECT_FALSE(writeFileAtomically(path, "bytes", error));
  EXPECT_EQ(error, "cannot create " + path + ".tmp~: No such file or directory");
}

}  // namespace
}  // namespace dz
