#include "standin/engine.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <cstdio>
#include <cstring>

#include "base/file_io.h"
#include "base/fixed_field.h"
#include "standin/qel_format.h"
#include "tests/support/test_files.h"

namespace dz {
namespace {

PointRecord point(const char* name, double north, double east) {
  PointRecord p{};
  copyName(p.name, name);
  p.north = north;
  p.east = east;
  return p;
}

PointRef ref(const char* name, int16_t kind) {
  PointRef r{};
  copyName(r.name, name);
  r.kind = kind;
  return r;
}

class Engine : public ::testing::Test {
 protected:
  QelHandle open() {
    QelHandle h = engine.OpenFeatureFile(path.c_str());
    EXPECT_GT(h, 0) << engine.lastOpenError();
    return h;
  }

  test::TempDir dir;
  std::string path = dir.file("out.qel");
  FeatureFileEngine engine{"/host/dir/"};
};

TEST_F(Engine, NewPathStartsAnEmptyFileThatIsWrittenOnlyAtCommit) {
  QelHandle h = open();
  int count = -1;
  EXPECT_GT(engine.GetFeatureCount(h, &count), 0);
  EXPECT_EQ(count, 0);
  EXPECT_FALSE(fileExists(path));
  EXPECT_GT(engine.CommitFeatureFile(h), 0);
  EXPECT_TRUE(fileExists(path));
  EXPECT_GT(engine.CloseFeatureFile(h), 0);
}

TEST_F(Engine, AClosedHandleAnswersNoMoreThoughItWasTheLastAskedFor) {
  QelHandle h = open();
  PointRecord p{};
  std::memcpy(p.name, "K1", 2);
  ASSERT_GT(engine.AddPoint(h, &p, 1), 0);
  ASSERT_GT(engine.PointExists(h, "K1"), 0);
  EXPECT_GT(engine.CloseFeatureFile(h), 0);
  EXPECT_LT(engine.PointExists(h, "K1"), 0);
  EXPECT_LT(engine.AddPoint(h, &p, 1), 0);
  // Another file, asked for after the first, is its own.
  QelHandle other = engine.OpenFeatureFile(dir.file("other.qel").c_str());
  ASSERT_GT(other, 0);
  EXPECT_LT(engine.PointExists(other, "K1"), 0);
  EXPECT_LT(engine.PointExists(h, "K1"), 0);
}

TEST_F(Engine, ANewFileNeedsItsFolder) {
  // Opened, it could never be committed: the open fails instead, so the
  // converters tell the output cannot be opened rather than that they are done.
  for (bool startEmpty : {false, true}) {
    const std::string lost = dir.file("no_such_folder/out.qel");
    if (startEmpty) engine.startEmpty(lost);
    EXPECT_EQ(engine.OpenFeatureFile(lost.c_str()), 0);
    EXPECT_EQ(engine.lastOpenError(), lost + ": the folder of the file does not exist");
    const std::string underFile = dir.write("plain.txt", "x") + "/out.qel";
    EXPECT_EQ(engine.OpenFeatureFile(underFile.c_str()), 0);
  }
  EXPECT_GT(engine.OpenFeatureFile(dir.file("out.qel").c_str()), 0);
}

TEST_F(Engine, PointsAreKeyedByTheirTwelveByteName) {
  QelHandle h = open();
  PointRecord p = point("X1", 1.5, 2.5);
  p.code = 7;
  EXPECT_GT(engine.AddPoint(h, &p, 1), 0);
  PointRecord again = point("X1", 9, 9);
  EXPECT_LE(engine.AddPoint(h, &again, 1), 0);  // refused, stored point unchanged
  PointRecord got{};
  ASSERT_GT(engine.GetPoint(h, "X1", &got), 0);
  EXPECT_EQ(std::memcmp(&got, &p, sizeof p), 0);
  EXPECT_GT(engine.PointExists(h, "X1"), 0);
  EXPECT_LT(engine.PointExists(h, "X2"), 0);
  EXPECT_LT(engine.PointExists(h, ""), 0);

  // A twelve-byte name without a terminator is its own key.
  PointRecord full = point("ABCDEFGHIJKL", 0, 0);
  EXPECT_GT(engine.AddPoint(h, &full, 1), 0);
  const char unterminated[13] = "ABCDEFGHIJKL";
  EXPECT_GT(engine.PointExists(h, unterminated), 0);
  EXPECT_LT(engine.PointExists(h, "ABCDEFGHIJK"), 0);
}

TEST_F(Engine, GetPointFillsOnlyWhenFound) {
  QelHandle h = open();
  PointRecord untouched = point("keep", 4, 4);
  EXPECT_LE(engine.GetPoint(h, "missing", &untouched), 0);
  EXPECT_EQ(nameText(untouched.name), "keep");
  EXPECT_EQ(untouched.north, 4);
}

TEST_F(Engine, UpdatePointReplacesTheRecordInPlace) {
  QelHandle h = open();
  PointRecord a = point("A", 1, 1), b = point("B", 2, 2);
  engine.AddPoint(h, &a, 1);
  engine.AddPoint(h, &b, 1);
  PointRecord changed = point("A", 10, 20);
  changed.elev = 9999;
  EXPECT_GT(engine.UpdatePoint(h, "A", &changed), 0);
  EXPECT_LE(engine.UpdatePoint(h, "C", &changed), 0);
  const FeatureStore* store = engine.store(h);
  ASSERT_EQ(store->points().size(), 2u);
  EXPECT_EQ(nameText(store->points()[0].name), "A");  // order kept
  EXPECT_EQ(+store->points()[0].east, 20);
  EXPECT_EQ(+store->points()[0].elev, 9999);
}

TEST_F(Engine, GetPointXYGivesNorthThenEast) {
  QelHandle h = open();
  PointRecord p = point("P", 100, 200);
  engine.AddPoint(h, &p, 1);
  double first = 0, second = 0;
  EXPECT_GT(engine.GetPointXY(h, "P", &first, &second), 0);
  EXPECT_EQ(first, 100);
  EXPECT_EQ(second, 200);
}

TEST_F(Engine, FeaturesAreNumberedFromOneWithTheirBlocks) {
  QelHandle h = open();
  FeatureHeader header{};
  header.kind = kHouse;
  header.code = 2120;
  PointRef refs[3] = {ref("X1", 1), ref("X2", 1), ref("X1", 1)};
  EXPECT_GT(engine.AddFeature(h, &header, refs, 3, nullptr, 0), 0);
  uint8_t block[38] = {1, 2, 3};
  header.kind = kBoundaryPoint;
  EXPECT_GT(engine.AddFeature(h, &header, refs, 1, block, 38), 0);

  int count = 0;
  engine.GetFeatureCount(h, &count);
  EXPECT_EQ(count, 2);
  FeatureHeader got{};
  const PointRef* gotRefs = nullptr;
  int16_t n = 0;
  const uint8_t* attributes = nullptr;
  int length = -1;
  ASSERT_GT(engine.GetFeature(h, 1, &got, &gotRefs, &n, &attributes, &length), 0);
  EXPECT_EQ(+got.code, 2120);
  EXPECT_EQ(n, 3);
  EXPECT_EQ(nameText(gotRefs[2].name), "X1");
  EXPECT_EQ(length, 0);
  ASSERT_GT(engine.GetFeature(h, 2, &got, &gotRefs, &n, &attributes, &length), 0);
  EXPECT_EQ(length, 38);
  EXPECT_EQ(attributes[2], 3);
  EXPECT_LE(engine.GetFeature(h, 0, &got, &gotRefs, &n, &attributes, &length), 0);
  EXPECT_LE(engine.GetFeature(h, 3, &got, &gotRefs, &n, &attributes, &length), 0);
}

TEST_F(Engine, SetFeatureAttributesReplacesBlockAndKindEvenFromItsOwnPointer) {
  QelHandle h = open();
  FeatureHeader header{};
  PointRef r = ref("X1", 1);
  uint8_t block[20] = {7, 7};
  engine.AddFeature(h, &header, &r, 1, block, 20);
  FeatureHeader got{};
  const PointRef* refs;
  int16_t n;
  const uint8_t* attributes;
  int length;
  engine.GetFeature(h, 1, &got, &refs, &n, &attributes, &length);
  EXPECT_GT(engine.SetFeatureAttributes(h, 1, kHouse, attributes, length), 0);
  engine.GetFeature(h, 1, &got, &refs, &n, &attributes, &length);
  EXPECT_EQ(+got.kind, kHouse);
  ASSERT_EQ(length, 20);
  EXPECT_EQ(attributes[1], 7);
  EXPECT_LE(engine.SetFeatureAttributes(h, 2, kHouse, block, 20), 0);
}

// A block of the old length is written where the old one was; another length
// replaces it, even when it is a part of the old one; either way the bytes
// are the caller's and the vertices stay.
TEST_F(Engine, SetFeatureAttributesOfTheSameOrAnotherLength) {
  QelHandle h = open();
  FeatureHeader header{};
  const PointRef refs[2] = {ref("X1", 1), ref("X2", 3)};
  const uint8_t first[4] = {1, 2, 3, 4}, same[4] = {5, 6, 7, 8}, longer[6] = {9, 9, 9, 9, 9, 10};
  engine.AddFeature(h, &header, refs, 2, first, 4);
  const std::vector<PointRef> vertices(refs, refs + 2);
  auto block = [&] {
    const StoredFeature& f = engine.store(h)->features()[0];
    EXPECT_TRUE(f.refs() == vertices);
    return std::vector<uint8_t>(f.attributes().begin(), f.attributes().end());
  };
  EXPECT_GT(engine.SetFeatureAttributes(h, 1, kParcel, same, 4), 0);
  EXPECT_EQ(block(), std::vector<uint8_t>(same, same + 4));
  EXPECT_GT(engine.SetFeatureAttributes(h, 1, kParcel, longer, 6), 0);
  EXPECT_EQ(block(), std::vector<uint8_t>(longer, longer + 6));
  const uint8_t* own = engine.store(h)->features()[0].attributes().data();
  EXPECT_GT(engine.SetFeatureAttributes(h, 1, kParcel, own + 3, 3), 0);
  EXPECT_EQ(block(), (std::vector<uint8_t>{9, 9, 10}));
  EXPECT_GT(engine.SetFeatureAttributes(h, 1, kParcel, nullptr, 0), 0);
  EXPECT_TRUE(block().empty());
}

// A hint of more work than the memory can reserve at once opens the file
// all the same: the store then grows as points come.
TEST_F(Engine, AHintBeyondTheMemoryIsDropped) {
#ifdef __SANITIZE_ADDRESS__
  GTEST_SKIP() << "the address sanitizer's allocator ends the process instead of failing the allocation";
#endif
  const size_t huge = SIZE_MAX / 64;
  engine.expectWork(path, huge, huge);
  QelHandle h = open();
  ASSERT_GT(h, 0);
  PointRecord p = point("P1", 1, 2);
  EXPECT_GT(engine.AddPoint(h, &p, 1), 0);
  EXPECT_GT(engine.CommitFeatureFile(h), 0);
}

TEST_F(Engine, CommittedFileReopensExactly) {
  QelHandle h = open();
  PointRecord p = point("点1", 1.0 / 3, -2.5e10);
  p.flag = 1;
  p.w14 = -3;
  engine.AddPoint(h, &p, 1);
  FeatureHeader header{};
  copyName(header.name, "12");
  header.code = 7311;
  header.kind = kParcel;
  PointRef r = ref("点1", 1);
  uint8_t block[228];
  for (int i = 0; i < 228; ++i) block[i] = static_cast<uint8_t>(i);
  engine.AddFeature(h, &header, &r, 1, block, 228);
  QelHandle layer = engine.GetTextLayer(h);
  ASSERT_GT(layer, 0);
  const double anchor[2] = {100, 200};
  TextStyle style{};
  style.height = 3;
  style.v44 = 1;
  const int object = engine.AddTextObject(layer, anchor, "砖\0", 3, &style, 2);
  ASSERT_EQ(object, 1);
  void *a = nullptr, *b = nullptr;
  ASSERT_GT(engine.GetObjectAttributes(layer, object, &a, &b), 0);
  EXPECT_GT(engine.SetAttributeField(b, a, "注记号", "12"), 0);
  EXPECT_GT(engine.SetAttributeField(b, a, "注记类别", "A"), 0);
  EXPECT_GT(engine.WriteObjectAttributes(layer, 1, object, a, b), 0);
  const std::string before = encodeQel(*engine.store(h));
  engine.CommitFeatureFile(h);
  engine.CloseFeatureFile(h);

  QelHandle again = open();
  EXPECT_NE(again, h);  // handles are not reused at once
  const FeatureStore* store = engine.store(again);
  EXPECT_EQ(encodeQel(*store), before);
  ASSERT_EQ(store->texts().size(), 1u);
  EXPECT_EQ(store->texts()[0].text(), std::string("砖\0", 3));
  ASSERT_EQ(store->texts()[0].fields().size(), 2u);
  EXPECT_EQ(store->texts()[0].fields()[0].first, "注记号");
  EXPECT_EQ(store->texts()[0].fields()[1].second, "A");
  EXPECT_EQ(+store->points()[0].north, 1.0 / 3);
}

TEST_F(Engine, AttributesNotWrittenAreDropped) {
  QelHandle h = open();
  QelHandle layer = engine.GetTextLayer(h);
  const double anchor[2] = {0, 0};
  TextStyle style{};
  int object = engine.AddTextObject(layer, anchor, "t", 1, &style, 2);
  void *a, *b;
  engine.GetObjectAttributes(layer, object, &a, &b);
  engine.SetAttributeField(b, a, "注记号", "1");
  EXPECT_TRUE(engine.store(h)->texts()[0].fields().empty());
  EXPECT_LE(engine.GetObjectAttributes(layer, 2, &a, &b), 0);
}

// Texts added one after another share their style when it is the same; each
// keeps its own bytes, style and position whatever came before it, and one
// added from another text's position keeps it as the table grows.
TEST(StoreTexts, EachTextKeepsWhatItWasGiven) {
  FeatureStore store;
  std::vector<std::string> texts;
  std::vector<TextStyle> styles;
  for (int i = 0; i < 3000; ++i) {
    TextStyle style{};
    style.height = static_cast<float>(i / 7 % 3);  // runs of one style, styles coming back
    style.reserved48[45] = static_cast<uint8_t>(i / 5 % 2);
    texts.push_back(std::string(static_cast<size_t>(i % 13), static_cast<char>('a' + i % 26)));
    styles.push_back(style);
    const double anchor[2] = {static_cast<double>(i), -0.5 * i};
    const bool grows = i > 0 && (i & (i - 1)) == 0;  // the table is full: it moves
    store.addText(grows ? store.texts()[0].anchor : anchor, texts.back(), style, i % 4);
  }
  ASSERT_EQ(store.texts().size(), texts.size());
  for (size_t i = 0; i < texts.size(); ++i) {
    const StoredText& t = store.texts()[i];
    EXPECT_EQ(t.text(), texts[i]) << i;
    EXPECT_EQ(std::memcmp(&t.style(), &styles[i], sizeof(TextStyle)), 0) << i;
    const bool grew = i > 0 && (i & (i - 1)) == 0;
    EXPECT_EQ(t.anchor[0], grew ? 0.0 : static_cast<double>(i)) << i;
    EXPECT_EQ(t.mode, static_cast<int32_t>(i % 4)) << i;
  }
}

TEST_F(Engine, CloseWithoutCommitDropsChanges) {
  QelHandle h = open();
  PointRecord p = point("X1", 0, 0);
  engine.AddPoint(h, &p, 1);
  engine.CloseFeatureFile(h);
  EXPECT_FALSE(fileExists(path));
  h = open();
  EXPECT_TRUE(engine.store(h)->points().empty());
}

TEST_F(Engine, SaveAsWritesUnderTheNewPathAndLeavesTheOriginal) {
  QelHandle h = open();
  engine.CommitFeatureFile(h);
  const std::string original = test::readFile(path);
  PointRecord p = point("X1", 0, 0);
  engine.AddPoint(h, &p, 1);
  const std::string other = dir.file("other.qel");
  EXPECT_GT(engine.PrepareSaveAs(h), 0);
  EXPECT_GT(engine.SaveFeatureFileAs(h, other.c_str()), 0);
  EXPECT_EQ(test::readFile(path), original);
  FeatureStore store;
  std::string reason;
  ASSERT_TRUE(decodeQel(test::readFile(other), store, reason)) << reason;
  EXPECT_EQ(store.points().size(), 1u);
}

TEST_F(Engine, CommitOrSaveAsOntoADirectoryIsAProblemAndLeavesNoTemporaryFile) {
  QelHandle h = open();
  PointRecord p = point("X1", 0, 0);
  engine.AddPoint(h, &p, 1);
  ASSERT_EQ(mkdir(path.c_str(), 0755), 0);  // a folder of the file's name, made while it was open
  const std::string other = dir.file("other.qel");
  ASSERT_EQ(mkdir(other.c_str(), 0755), 0);
  EXPECT_LE(engine.CommitFeatureFile(h), 0);
  EXPECT_GT(engine.PrepareSaveAs(h), 0);
  EXPECT_LE(engine.SaveFeatureFileAs(h, other.c_str()), 0);
  const std::vector<std::string> problems = engine.takeProblems();
  ASSERT_EQ(problems.size(), 2u);
  EXPECT_NE(problems[0].find(path), std::string::npos) << problems[0];
  EXPECT_NE(problems[1].find(other), std::string::npos) << problems[1];
  for (const std::string& target : {path, other}) {
    struct stat st;
    EXPECT_TRUE(stat(target.c_str(), &st) == 0 && S_ISDIR(st.st_mode)) << target;
    EXPECT_FALSE(fileExists(target + ".tmp~")) << target;
  }
  EXPECT_EQ(engine.store(h)->points().size(), 1u);  // the file stays open with its changes
}

TEST_F(Engine, DamagedOrForeignFilesAreRefusedWithAReason) {
  dir.write("foreign.qel", "hello, this is not a feature file");
  EXPECT_EQ(engine.OpenFeatureFile(dir.file("foreign.qel").c_str()), 0);
  EXPECT_NE(engine.lastOpenError().find("not a feature file"), std::string::npos);

  QelHandle h = open();
  PointRecord p = point("X1", 0, 0);
  engine.AddPoint(h, &p, 1);
  engine.CommitFeatureFile(h);
  engine.CloseFeatureFile(h);
  std::string bytes = test::readFile(path);
  bytes[30] ^= 1;
  dir.write("out.qel", bytes);
  EXPECT_EQ(engine.OpenFeatureFile(path.c_str()), 0);
  EXPECT_NE(engine.lastOpenError().find("damaged"), std::string::npos);
  dir.write("empty.qel", "");
  EXPECT_EQ(engine.OpenFeatureFile(dir.file("empty.qel").c_str()), 0);
  EXPECT_EQ(engine.OpenFeatureFile(""), 0);
  EXPECT_EQ(engine.OpenFeatureFile(nullptr), 0);
}

TEST_F(Engine, StartEmptyIgnoresTheOldFileUntilCommit) {
  QelHandle h = open();
  PointRecord p = point("X1", 0, 0);
  engine.AddPoint(h, &p, 1);
  engine.CommitFeatureFile(h);
  engine.CloseFeatureFile(h);
  engine.startEmpty(path);
  h = open();
  EXPECT_TRUE(engine.store(h)->points().empty());
  engine.CloseFeatureFile(h);
  h = open();  // only the next open starts empty
  EXPECT_EQ(engine.store(h)->points().size(), 1u);
}

TEST_F(Engine, UnknownHandlesAndNullPointersFailWithoutCrashing) {
  PointRecord p{};
  FeatureHeader header{};
  int count;
  const PointRef* refs;
  int16_t n;
  const uint8_t* attributes;
  int length;
  double d;
  void *a, *b;
  EXPECT_LE(engine.AddPoint(42, &p, 1), 0);
  EXPECT_LT(engine.PointExists(42, "X"), 0);
  EXPECT_LE(engine.GetPoint(42, "X", &p), 0);
  EXPECT_LE(engine.GetFeatureCount(42, &count), 0);
  EXPECT_LE(engine.GetFeature(42, 1, &header, &refs, &n, &attributes, &length), 0);
  EXPECT_LE(engine.CommitFeatureFile(42), 0);
  EXPECT_LE(engine.CloseFeatureFile(42), 0);
  EXPECT_LE(engine.GetTextLayer(42), 0);
  EXPECT_LE(engine.AddTextObject(42, &d, "x", 1, nullptr, 2), 0);
  EXPECT_LE(engine.GetObjectAttributes(42, 1, &a, &b), 0);
  EXPECT_LE(engine.SetAttributeField(nullptr, nullptr, "x", "y"), 0);
  int dummy = 0;
  EXPECT_LE(engine.SetAttributeField(&dummy, &dummy, "x", "y"), 0);

  QelHandle h = open();
  EXPECT_LE(engine.AddPoint(h, nullptr, 1), 0);
  EXPECT_LT(engine.PointExists(h, nullptr), 0);
  EXPECT_LE(engine.AddFeature(h, &header, nullptr, 2, nullptr, 0), 0);
  EXPECT_LE(engine.AddFeature(h, &header, nullptr, -1, nullptr, 0), 0);
  EXPECT_LE(engine.AddFeature(h, &header, nullptr, 0, nullptr, 5), 0);
  EXPECT_LE(engine.GetFeatureCount(h, nullptr), 0);
  EXPECT_LE(engine.SetFeatureAttributes(h, 1, 0, nullptr, -1), 0);
  EXPECT_LE(engine.GetObjectAttributes(engine.GetTextLayer(h), 1, nullptr, nullptr), 0);
  EXPECT_EQ(engine.PointInPolygon(nullptr, 3, &d), 0);
  engine.GetFeatureCount(h, &count);
  EXPECT_EQ(count, 0);
}

TEST_F(Engine, HostInfoCarriesTheDirectoryWithoutTrailingSeparator) {
  const uint8_t* info = engine.GetHostInfo(0);
  ASSERT_NE(info, nullptr);
  EXPECT_STREQ(reinterpret_cast<const char*>(info + kHostInfoDirOffset), "/host/dir");
  EXPECT_EQ(engine.GetHostInfo(1), nullptr);
}

TEST_F(Engine, CommitToAnUnwritablePlaceIsReportedAsAProblem) {
  // The folder moves away after the open.
  const std::string folder = dir.file("gone");
  ASSERT_EQ(mkdir(folder.c_str(), 0755), 0);
  QelHandle h = engine.OpenFeatureFile((folder + "/x.qel").c_str());
  ASSERT_GT(h, 0);
  ASSERT_EQ(std::rename(folder.c_str(), dir.file("moved").c_str()), 0);
  EXPECT_LE(engine.CommitFeatureFile(h), 0);
  EXPECT_EQ(engine.takeProblems().size(), 1u);
  EXPECT_TRUE(engine.takeProblems().empty());
}

TEST(EngineHostDir, OptionThenEnvironmentThenCurrentDirectory) {
  EXPECT_EQ(FeatureFileEngine::resolveHostDir("/opt/host"), "/opt/host");
  setenv("QEL_HOST_DIR", "/from/env", 1);
  EXPECT_EQ(FeatureFileEngine::resolveHostDir(""), "/from/env");
  unsetenv("QEL_HOST_DIR");
  EXPECT_FALSE(FeatureFileEngine::resolveHostDir("").empty());
}

}  // namespace
}  // namespace dz
