#include "base/file_io.h"

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>

#include "base/atomic_file.h"
#include "tests/support/child_process.h"
#include "tests/support/injected_fault.h"
#include "tests/support/test_files.h"

namespace dz {
namespace {

using Names = std::vector<std::string>;

mode_t modeOf(const std::string& path) {
  struct stat st;
  return stat(path.c_str(), &st) == 0 ? st.st_mode : 0;
}

class AtomicWrite : public ::testing::Test {
 protected:
  test::TempDir dir;
  std::string error;
};

TEST_F(AtomicWrite, WritesANewFileAndReplacesAnOldOne) {
  const std::string path = dir.file("out.qel");
  ASSERT_TRUE(writeFileAtomically(path, "first", error)) << error;
  ASSERT_TRUE(writeFileAtomically(path, "second", error)) << error;
  EXPECT_EQ(test::readFile(path), "second");
  EXPECT_EQ(test::namesIn(dir.path()), Names{"out.qel"});
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
  EXPECT_EQ(error, "cannot replace " + path + ": it is a directory");
  EXPECT_TRUE(S_ISDIR(modeOf(path)));
  EXPECT_EQ(test::namesIn(dir.path()), Names{"folder.qel"});
}

TEST_F(AtomicWrite, AMissingDirectoryIsNamedInTheError) {
  const std::string path = dir.file("missing/out.qel");
  EXPECT_FALSE(writeFileAtomically(path, "bytes", error));
  EXPECT_EQ(error, "cannot create a temporary file beside " + path + ": No such file or directory");
}

// A FIFO or a device given as the output is not a file to replace with a
// regular one, with or without --overwrite.
TEST_F(AtomicWrite, AFifoADeviceOrALinkToOneIsRefusedNotReplaced) {
  const std::string fifo = dir.file("pipe.qel");
  ASSERT_EQ(mkfifo(fifo.c_str(), 0644), 0);
  ASSERT_EQ(symlink("pipe.qel", dir.file("to-pipe.qel").c_str()), 0);
  std::vector<std::string> targets = {fifo, dir.file("to-pipe.qel")};
  // A node like /dev/null where the system lets us make one.
  const std::string device = dir.file("null.qel");
  if (mknod(device.c_str(), S_IFCHR | 0666, makedev(1, 3)) == 0) targets.push_back(device);
  const Names before = test::namesIn(dir.path());
  for (const std::string& target : targets) {
    EXPECT_FALSE(writeFileAtomically(target, "bytes", error)) << target;
    EXPECT_NE(error.find("it is not a regular file"), std::string::npos) << error;
  }
  EXPECT_TRUE(S_ISFIFO(modeOf(fifo)));
  if (targets.size() == 3) {
    EXPECT_TRUE(S_ISCHR(modeOf(device)));
  }
  EXPECT_EQ(test::namesIn(dir.path()), before);
}

TEST_F(AtomicWrite, ALinkIsWrittenThroughToTheFileItLeadsTo) {
  ASSERT_EQ(mkdir(dir.file("data").c_str(), 0755), 0);
  const std::string real = dir.write("data/real.qel", "old");
  // A relative link to a link to the file.
  ASSERT_EQ(symlink(real.c_str(), dir.file("data/inner.qel").c_str()), 0);
  ASSERT_EQ(symlink("data/inner.qel", dir.file("outer.qel").c_str()), 0);
  ASSERT_TRUE(writeFileAtomically(dir.file("outer.qel"), "new", error)) << error;
  EXPECT_EQ(test::readFile(real), "new");
  struct stat st;
  ASSERT_EQ(lstat(dir.file("outer.qel").c_str(), &st), 0);
  EXPECT_TRUE(S_ISLNK(st.st_mode));
  ASSERT_EQ(lstat(dir.file("data/inner.qel").c_str(), &st), 0);
  EXPECT_TRUE(S_ISLNK(st.st_mode));
  EXPECT_EQ(test::namesIn(dir.file("data")), (Names{"inner.qel", "real.qel"}));

  // A link to nothing yet makes the file it names.
  ASSERT_EQ(symlink("data/later.qel", dir.file("dangling.qel").c_str()), 0);
  ASSERT_TRUE(writeFileAtomically(dir.file("dangling.qel"), "made", error)) << error;
  EXPECT_EQ(test::readFile(dir.file("data/later.qel")), "made");

  ASSERT_EQ(symlink("loop.qel", dir.file("loop.qel").c_str()), 0);
  EXPECT_FALSE(writeFileAtomically(dir.file("loop.qel"), "x", error));
  EXPECT_NE(error.find("Too many levels of symbolic links"), std::string::npos) << error;
}

// A private file stays private: before, every save made it 644.
TEST_F(AtomicWrite, TheReplacedFileKeepsItsModeAndOwner) {
  const std::string path = dir.write("private.qel", "old");
  for (mode_t mode : {0600, 0640, 0444}) {
    ASSERT_EQ(chmod(path.c_str(), mode), 0);
    ASSERT_TRUE(writeFileAtomically(path, "new", error)) << error;
    EXPECT_EQ(modeOf(path) & 07777, mode);
  }
  if (!test::runningAsRoot()) return;
  ASSERT_EQ(chown(path.c_str(), test::kUnprivilegedId, test::kUnprivilegedId), 0);
  ASSERT_TRUE(writeFileAtomically(path, "again", error)) << error;
  struct stat st;
  ASSERT_EQ(stat(path.c_str(), &st), 0);
  EXPECT_EQ(st.st_uid, test::kUnprivilegedId);
  EXPECT_EQ(st.st_gid, test::kUnprivilegedId);
}

TEST_F(AtomicWrite, ANewFileGetsTheModeOfAnyNewFile) {
  const mode_t mask = umask(022);
  const std::string path = dir.file("new.qel");
  const bool written = writeFileAtomically(path, "new", error);
  umask(mask);
  ASSERT_TRUE(written) << error;
  EXPECT_EQ(modeOf(path) & 07777, 0644u);
}

// Every writer used <path>.tmp~: a link planted there sent the next save
// into the file it named.
TEST_F(AtomicWrite, ALinkPlantedAtTheOldTemporaryNameIsNotFollowed) {
  const std::string victim = dir.write("victim", "precious");
  const std::string path = dir.file("out.qel");
  ASSERT_EQ(symlink(victim.c_str(), (path + ".tmp~").c_str()), 0);
  ASSERT_TRUE(writeFileAtomically(path, "new", error)) << error;
  EXPECT_EQ(test::readFile(victim), "precious");
  struct stat st;
  ASSERT_EQ(lstat(path.c_str(), &st), 0);
  EXPECT_TRUE(S_ISREG(st.st_mode));
  EXPECT_EQ(test::readFile(path), "new");
}

// <path>.tmp~ did not fit beside a name of 251 bytes or more.
TEST_F(AtomicWrite, NamesUpTo255BytesAreWritten) {
  for (size_t length : {251, 252, 255}) {
    const std::string path = dir.file(std::string(length - 4, 'n') + ".qel");
    ASSERT_TRUE(writeFileAtomically(path, "bytes", error)) << length << ": " << error;
    EXPECT_EQ(test::readFile(path), "bytes");
    ASSERT_TRUE(writeFileAtomically(path, "again", error)) << length << ": " << error;
    EXPECT_EQ(test::readFile(path), "again");
  }
  EXPECT_EQ(test::namesIn(dir.path()).size(), 3u);
}

// --- Faults on the way: the old file stays, no temporary file is left -------

struct Fault {
  const char* name;     // as DZ_TEST_FILE_FAULT names it
  const char* because;  // in the message
};

class AtomicWriteFault : public ::testing::TestWithParam<Fault> {};

TEST_P(AtomicWriteFault, LeavesTheOldFileAndNoTemporary) {
  test::TempDir dir;
  const std::string path = dir.write("out.qel", "old contents");
  std::string bytes(200000, '\0');
  for (size_t i = 0; i < bytes.size(); ++i) bytes[i] = static_cast<char>(i * 7);
  std::string error;
  {
    test::InjectedFileFault fault(GetParam().name);
    EXPECT_FALSE(writeFileAtomically(path, bytes, error));
  }
  EXPECT_NE(error.find(path), std::string::npos) << error;
  EXPECT_NE(error.find(GetParam().because), std::string::npos) << error;
  EXPECT_EQ(test::readFile(path), "old contents");
  EXPECT_EQ(test::namesIn(dir.path()), Names{"out.qel"});
}

INSTANTIATE_TEST_SUITE_P(
    Faults, AtomicWriteFault,
    ::testing::Values(Fault{"short-write@0", "took nothing more after 0 bytes"},
                      Fault{"short-write@1", "took nothing more after 1 bytes"},
                      Fault{"short-write@65536", "took nothing more after 65536 bytes"},
                      Fault{"short-write@199999", "took nothing more after 199999 bytes"},
                      Fault{"no-space@0", "No space left on device"},
                      Fault{"no-space@70000", "No space left on device"},
                      Fault{"no-space@199999", "No space left on device"},
                      Fault{"sync", "cannot flush"}, Fault{"rename", "cannot replace"}),
    [](const ::testing::TestParamInfo<Fault>& info) {
      std::string name = info.param.name;
      for (char& c : name)
        if (!std::isalnum(static_cast<unsigned char>(c))) c = '_';
      return name;
    });

TEST(AtomicWriteFaults, WritesTakingPartOfTheirBytesStillMakeTheWholeFile) {
  test::TempDir dir;
  const std::string path = dir.file("out.qel");
  const std::string bytes(150001, 'p');
  std::string error;
  test::InjectedFileFault fault("partial-writes");
  ASSERT_TRUE(writeFileAtomically(path, bytes, error)) << error;
  EXPECT_EQ(test::readFile(path), bytes);
}

TEST(AtomicWriteFaults, AFailedDirectorySyncIsToldThoughTheNewFileIsInPlace) {
  test::TempDir dir;
  const std::string path = dir.write("out.qel", "old");
  std::string error;
  test::InjectedFileFault fault("dir-sync");
  EXPECT_FALSE(writeFileAtomically(path, "new", error));
  EXPECT_EQ(error.rfind("cannot flush ", 0), 0u) << error;
  EXPECT_NE(error.find("after replacing " + path), std::string::npos) << error;
  EXPECT_EQ(test::readFile(path), "new");
  EXPECT_EQ(test::namesIn(dir.path()), Names{"out.qel"});
}

// --- Writing in pieces -----------------------------------------------------

TEST(AtomicFilePieces, PiecesOfAnySizeComeOutInOrder) {
  test::TempDir dir;
  const std::string path = dir.write("out.qel", "old");
  std::string expected, error;
  AtomicFile file;
  ASSERT_TRUE(file.begin(path, error)) << error;
  EXPECT_EQ(file.target(), path);
  for (size_t size : {1, 0, 7, 65536, 3, 65535, 200000, 2}) {
    const std::string piece(size, static_cast<char>('a' + size % 26));
    EXPECT_TRUE(file.write(piece));
    expected += piece;
  }
  EXPECT_EQ(test::readFile(path), "old");  // nothing shows before the commit
  ASSERT_TRUE(file.commit(error)) << error;
  EXPECT_EQ(test::readFile(path), expected);
  EXPECT_EQ(test::namesIn(dir.path()), Names{"out.qel"});
}

// Large files go on to the disk window by window while they are written; the
// windows must not change a byte, nor hide a write the disk failed.
std::string manyWindowsOfBytes() {
  std::string bytes(13 * (1 << 20) + 12345, '\0');
  for (size_t i = 0; i < bytes.size(); ++i) bytes[i] = static_cast<char>((i * 2654435761u) >> 13);
  return bytes;
}

TEST(AtomicFilePieces, AFileOfManyMegabytesComesOutWhole) {
  test::TempDir dir;
  const std::string path = dir.write("out.qel", "old");
  const std::string bytes = manyWindowsOfBytes();
  std::string error;
  AtomicFile file;
  ASSERT_TRUE(file.begin(path, error)) << error;
  // Pieces both under and over the buffer's size, across every window's end.
  for (size_t at = 0, size = 1; at < bytes.size(); at += size, size = size * 3 % 700001 + 1)
    ASSERT_TRUE(file.write(bytes.data() + at, std::min(size, bytes.size() - at)));
  ASSERT_TRUE(file.commit(error)) << error;
  EXPECT_TRUE(test::readFile(path) == bytes);
  EXPECT_EQ(test::namesIn(dir.path()), Names{"out.qel"});
}

#ifdef __linux__
TEST(AtomicWriteFaults, ADiskFailingBehindTheWritesFailsTheFile) {
  test::TempDir dir;
  const std::string path = dir.write("out.qel", "old contents");
  std::string error;
  {
    test::InjectedFileFault fault("writeback@5000000");
    EXPECT_FALSE(writeFileAtomically(path, manyWindowsOfBytes(), error));
  }
  EXPECT_EQ(error.rfind("cannot write " + path + ": ", 0), 0u) << error;
  EXPECT_NE(error.find("Input/output error"), std::string::npos) << error;
  EXPECT_EQ(test::readFile(path), "old contents");
  EXPECT_EQ(test::namesIn(dir.path()), Names{"out.qel"});
}
#endif

TEST(AtomicFilePieces, AnUnfinishedFileLeavesTheTargetAndNoTemporary) {
  test::TempDir dir;
  const std::string path = dir.write("out.qel", "old");
  std::string error;
  {
    AtomicFile file;
    ASSERT_TRUE(file.begin(path, error)) << error;
    file.write("new");
    EXPECT_EQ(test::namesIn(dir.path()).size(), 2u);
  }
  EXPECT_EQ(test::readFile(path), "old");
  EXPECT_EQ(test::namesIn(dir.path()), Names{"out.qel"});
}

// --- What is at a path -----------------------------------------------------

TEST(PathStatus, TellsWhatIsThereWithoutOpeningIt) {
  test::TempDir dir;
  EXPECT_EQ(examinePath(dir.file("none")).kind, PathKind::Missing);
  EXPECT_EQ(examinePath(dir.write("file", "x")).kind, PathKind::RegularFile);
  EXPECT_EQ(examinePath(dir.path()).kind, PathKind::Directory);
  ASSERT_EQ(mkfifo(dir.file("fifo").c_str(), 0644), 0);
  EXPECT_EQ(examinePath(dir.file("fifo")).kind, PathKind::Other);  // and does not wait for a writer
  const PathStatus inFile = examinePath(dir.file("file/x"));
  EXPECT_EQ(inFile.kind, PathKind::Unknown);
  EXPECT_EQ(inFile.error, "Not a directory");
  EXPECT_TRUE(fileExists(dir.file("fifo")));
  EXPECT_TRUE(fileExists(dir.path()));
  EXPECT_FALSE(fileExists(dir.file("none")));
}

// The old test opened the file for reading: a file its user may not read
// was taken for no file, and written over as new.
TEST(PathStatus, AFileItsUserMayNotReadExists) {
  test::TempDir dir;
  test::openToEveryone(dir.path());
  const std::string path = dir.write("secret.qel", "data");
  ASSERT_EQ(chmod(path.c_str(), 0), 0);
  const int found = test::runInChild([&] { return fileExists(path) ? 1 : 0; }, {true, 10});
  EXPECT_EQ(found, 1);
  const int read = test::runInChild(
      [&] {
        std::string bytes, error;
        return !readWholeFile(path, bytes, &error) && error == "Permission denied" ? 1 : 0;
      },
      {true, 10});
  EXPECT_EQ(read, 1);
}

TEST(ReadWholeFile, ADirectoryOrAReadErrorIsNotAnEmptyFile) {
  test::TempDir dir;
  std::string bytes = "kept", error;
  EXPECT_FALSE(readWholeFile(dir.path(), bytes, &error));
  EXPECT_EQ(error, "Is a directory");
  const std::string path = dir.write("in", std::string(100000, 'x'));
  test::InjectedFileFault fault("read@70000");
  EXPECT_FALSE(readWholeFile(path, bytes, &error));
  EXPECT_EQ(error, "Input/output error");
}

TEST(FileFaultNames, EachFaultByItsNameAndOnlyThose) {
  using Kind = FileFaults::Kind;
  EXPECT_EQ(FileFaults::parse("no-space@4096").kind, Kind::NoSpace);
  EXPECT_EQ(FileFaults::parse("no-space@4096").at, 4096u);
  EXPECT_EQ(FileFaults::parse("short-write@0").kind, Kind::ShortWrite);
  EXPECT_EQ(FileFaults::parse("read@12").kind, Kind::Read);
  EXPECT_EQ(FileFaults::parse("sync").kind, Kind::Sync);
  EXPECT_EQ(FileFaults::parse("dir-sync").kind, Kind::DirSync);
  EXPECT_EQ(FileFaults::parse("rename").kind, Kind::Rename);
  EXPECT_EQ(FileFaults::parse("partial-writes").kind, Kind::PartialWrites);
  EXPECT_EQ(FileFaults::parse("writeback@8").kind, Kind::Writeback);
  for (const char* none : {"", "no-space", "no-space@", "no-space@4k", "sync@1", "syncs", "other@1"})
    EXPECT_EQ(FileFaults::parse(none).kind, Kind::None) << none;
  EXPECT_EQ(FileFaults::parse(nullptr).kind, Kind::None);
}

}  // namespace
}  // namespace dz
