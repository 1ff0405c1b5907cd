// A reader of .qel files written from docs/qel-format.md alone — its own
// little-endian numbers, offsets and CRC-32, nothing of standin/qel_format or
// of the record types — reads back what the engine was given. When the page
// and the bytes part ways, this fails.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <string>
#include <utility>
#include <vector>

#include "base/fixed_field.h"
#include "standin/engine.h"
#include "tests/support/test_files.h"

namespace dz {
namespace {

// --- The reader, from the page ---------------------------------------------------

uint32_t pageCrc32(const std::string& bytes) {
  uint32_t crc = 0xFFFFFFFF;
  for (unsigned char b : bytes) {
    crc ^= b;
    for (int k = 0; k < 8; ++k) crc = (crc >> 1) ^ (0xEDB88320 & (0 - (crc & 1)));
  }
  return crc ^ 0xFFFFFFFF;
}

// Little-endian numbers at an offset of a byte string.
uint64_t le(const std::string& s, size_t at, int size) {
  uint64_t v = 0;
  for (int i = size - 1; i >= 0; --i) v = (v << 8) | static_cast<unsigned char>(s.at(at + i));
  return v;
}
int16_t i16(const std::string& s, size_t at) { return static_cast<int16_t>(le(s, at, 2)); }
int32_t i32(const std::string& s, size_t at) { return static_cast<int32_t>(le(s, at, 4)); }
float f32(const std::string& s, size_t at) {
  const uint32_t bits = static_cast<uint32_t>(le(s, at, 4));
  float v;
  std::memcpy(&v, &bits, sizeof v);
  return v;
}
double f64(const std::string& s, size_t at) {
  const uint64_t bits = le(s, at, 8);
  double v;
  std::memcpy(&v, &bits, sizeof v);
  return v;
}
// A 12-byte name: up to its first zero byte, or all 12.
std::string name(const std::string& s, size_t at) {
  const std::string field = s.substr(at, 12);
  return field.substr(0, field.find('\0'));
}

struct PagePoint {
  std::string name;
  int16_t w12, w14, w16;
  int32_t code;
  double north, east, elev;
  int flag;
};
struct PageRef {
  std::string name;
  int16_t kind;
};
struct PageFeature {
  std::string name;
  int16_t kind;
  int32_t code;
  std::vector<PageRef> refs;
  std::string block;
};
struct PageText {
  double first, second;
  std::string text;
  float height, width, angle;
  int16_t one;
  int32_t v44;
  int32_t mode;
  std::vector<std::pair<std::string, std::string>> fields;
};
struct PageFile {
  uint32_t version = 0;
  std::vector<PagePoint> points;
  std::vector<PageFeature> features;
  std::vector<PageText> texts;
  size_t unread = 0;  // bytes between the last text object and the checksum
  bool checksumMatches = false;
};

class Cursor {
 public:
  explicit Cursor(const std::string& s, size_t at) : s_(s), at_(at) {}
  std::string take(size_t n) {
    std::string out = s_.substr(at_, n);
    at_ += n;
    return out;
  }
  uint32_t u32() { return static_cast<uint32_t>(le(take(4), 0, 4)); }
  std::string text() { return take(u32()); }
  size_t at() const { return at_; }

 private:
  const std::string& s_;
  size_t at_;
};

PageFile readPage(const std::string& file) {
  PageFile out;
  EXPECT_EQ(file.substr(0, 8), std::string("DBZQEL\x1A\n", 8));
  const std::string body = file.substr(0, file.size() - 4);
  out.checksumMatches = pageCrc32(body) == static_cast<uint32_t>(le(file, file.size() - 4, 4));
  Cursor c(body, 8);
  out.version = c.u32();
  const uint32_t pointCount = c.u32(), featureCount = c.u32(), textCount = c.u32();
  for (uint32_t i = 0; i < pointCount; ++i) {
    const std::string p = c.take(53);
    out.points.push_back({name(p, 0), i16(p, 12), i16(p, 14), i16(p, 16), i32(p, 20), f64(p, 24), f64(p, 32),
                          f64(p, 40), static_cast<unsigned char>(p[48])});
  }
  for (uint32_t i = 0; i < featureCount; ++i) {
    const std::string h = c.take(18);
    PageFeature f{name(h, 0), i16(h, 12), i32(h, 14), {}, {}};
    const uint32_t vertices = c.u32();
    for (uint32_t v = 0; v < vertices; ++v) {
      const std::string r = c.take(14);
      f.refs.push_back({name(r, 0), i16(r, 12)});
    }
    f.block = c.take(c.u32());
    out.features.push_back(f);
  }
  for (uint32_t i = 0; i < textCount; ++i) {
    const std::string anchor = c.take(16);
    PageText t{};
    t.first = f64(anchor, 0);
    t.second = f64(anchor, 8);
    t.text = c.text();
    const std::string style = c.take(94);
    t.height = f32(style, 2);
    t.width = f32(style, 6);
    t.angle = f32(style, 14);
    t.one = i16(style, 18);
    t.v44 = i32(style, 44);
    t.mode = static_cast<int32_t>(c.u32());
    const uint32_t fields = c.u32();
    for (uint32_t k = 0; k < fields; ++k) {
      std::string fieldName = c.text();
      t.fields.emplace_back(fieldName, c.text());
    }
    out.texts.push_back(t);
  }
  out.unread = body.size() - c.at();
  return out;
}

// --- What the engine is given ------------------------------------------------------

PointRecord point(const std::string& name, double north, double east, double elev) {
  PointRecord p{};
  copyName(p.name, name);
  p.north = north;
  p.east = east;
  p.elev = elev;
  return p;
}

PointRef ref(const std::string& name, int16_t kind) {
  PointRef r{};
  copyName(r.name, name);
  r.kind = kind;
  return r;
}

class QelPageReader : public ::testing::Test {
 protected:
  // Writes a file through the engine and returns its bytes.
  std::string written(void (*fill)(HostLibrary&, QelHandle)) {
    const std::string path = dir_.file("page.qel");
    FeatureFileEngine engine(dir_.path());
    const QelHandle h = engine.OpenFeatureFile(path.c_str());
    fill(engine, h);
    engine.CommitFeatureFile(h);
    engine.CloseFeatureFile(h);
    return test::readFile(path);
  }

  test::TempDir dir_;
};

void everyKindOfRecord(HostLibrary& host, QelHandle h) {
  PointRecord a = point("J1", 3100.25, 5000.5, 12.75);
  a.w14 = -7;
  a.w16 = 300;
  a.code = 2001;
  a.flag = 1;
  host.AddPoint(h, &a, 1);
  const PointRecord b = point("校园点12345", -1e-3, 1e8, 9999);  // 11 bytes of GBK
  host.AddPoint(h, &b, 1);
  const PointRecord c = point("ABCDEFGHIJKL", 1, 2, 3);  // 12 bytes: no terminator
  host.AddPoint(h, &c, 1);

  FeatureHeader parcel{};
  copyName(parcel.name, "宗地1");
  parcel.kind = 1;
  parcel.code = 7311;
  const PointRef ring[] = {ref("J1", 1), ref("校园点12345", 1), ref("ABCDEFGHIJKL", 3), ref("J1", 1)};
  std::vector<uint8_t> block(228, 0);
  putLE<double>(block.data(), 0, 1250.75);
  copyField(reinterpret_cast<char*>(block.data()) + 40, 40, "0101");
  block[224] = 1;
  host.AddFeature(h, &parcel, ring, 4, block.data(), 228);

  FeatureHeader line{};
  line.code = -1;
  const PointRef two[] = {ref("J1", 0), ref("missing", 0)};
  host.AddFeature(h, &line, two, 2, nullptr, 0);

  const QelHandle layer = host.GetTextLayer(h);
  TextStyle style{};
  style.height = 3.0f;
  style.width = 2.5f;
  style.angle = 45.0f;
  style.w18 = 1;
  style.v44 = 1;
  const double anchor[2] = {3037.5, 5015.25};
  host.AddTextObject(layer, anchor, "砖", 3, &style, 2);  // its zero counted
  const double second[2] = {-1, -2};
  const int object = host.AddTextObject(layer, second, "注记", 4, &style, 2);
  void* recordA = nullptr;
  void* recordB = nullptr;
  host.GetObjectAttributes(layer, object, &recordA, &recordB);
  host.SetAttributeField(recordB, recordA, "注记号", "17");
  host.SetAttributeField(recordB, recordA, "注记类别", "地名");
  host.WriteObjectAttributes(layer, 1, object, recordA, recordB);
}

TEST_F(QelPageReader, TheHeaderAndChecksumReadAsThePageSays) {
  const PageFile f = readPage(written(everyKindOfRecord));
  EXPECT_EQ(f.version, 1u);
  EXPECT_TRUE(f.checksumMatches);
  EXPECT_EQ(f.unread, 0u);
}

TEST_F(QelPageReader, PointsReadAtTheirOffsets) {
  const PageFile f = readPage(written(everyKindOfRecord));
  ASSERT_EQ(f.points.size(), 3u);
  const PagePoint& a = f.points[0];
  EXPECT_EQ(a.name, "J1");
  EXPECT_EQ(a.w12, 0);
  EXPECT_EQ(a.w14, -7);
  EXPECT_EQ(a.w16, 300);
  EXPECT_EQ(a.code, 2001);
  EXPECT_EQ(a.north, 3100.25);
  EXPECT_EQ(a.east, 5000.5);
  EXPECT_EQ(a.elev, 12.75);
  EXPECT_EQ(a.flag, 1);
  EXPECT_EQ(f.points[1].name, "校园点12345");
  EXPECT_EQ(f.points[1].east, 1e8);
  EXPECT_EQ(f.points[2].name, "ABCDEFGHIJKL");
}

TEST_F(QelPageReader, FeaturesReadWithTheirReferencesAndBlocks) {
  const PageFile f = readPage(written(everyKindOfRecord));
  ASSERT_EQ(f.features.size(), 2u);
  const PageFeature& parcel = f.features[0];
  EXPECT_EQ(parcel.name, "宗地1");
  EXPECT_EQ(parcel.kind, 1);
  EXPECT_EQ(parcel.code, 7311);
  ASSERT_EQ(parcel.refs.size(), 4u);
  EXPECT_EQ(parcel.refs[1].name, "校园点12345");
  EXPECT_EQ(parcel.refs[2].name, "ABCDEFGHIJKL");
  EXPECT_EQ(parcel.refs[2].kind, 3);
  ASSERT_EQ(parcel.block.size(), 228u);
  EXPECT_EQ(f64(parcel.block, 0), 1250.75);
  EXPECT_EQ(parcel.block.substr(40, 5), std::string("0101\0", 5));
  EXPECT_EQ(parcel.block[224], 1);
  const PageFeature& line = f.features[1];
  EXPECT_EQ(line.kind, 0);
  EXPECT_EQ(line.code, -1);
  EXPECT_EQ(line.refs[1].name, "missing");
  EXPECT_TRUE(line.block.empty());
}

TEST_F(QelPageReader, TextObjectsReadWithStyleAndFields) {
  const PageFile f = readPage(written(everyKindOfRecord));
  ASSERT_EQ(f.texts.size(), 2u);
  const PageText& house = f.texts[0];
  EXPECT_EQ(house.first, 3037.5);
  EXPECT_EQ(house.second, 5015.25);
  EXPECT_EQ(house.text, std::string("砖\0", 3));
  EXPECT_EQ(house.height, 3.0f);
  EXPECT_EQ(house.width, 2.5f);
  EXPECT_EQ(house.angle, 45.0f);
  EXPECT_EQ(house.one, 1);
  EXPECT_EQ(house.v44, 1);
  EXPECT_EQ(house.mode, 2);
  EXPECT_TRUE(house.fields.empty());
  const PageText& note = f.texts[1];
  EXPECT_EQ(note.text, "注记");
  const std::vector<std::pair<std::string, std::string>> fields = {{"注记号", "17"}, {"注记类别", "地名"}};
  EXPECT_EQ(note.fields, fields);
}

TEST_F(QelPageReader, AnEmptyFileIsTheTwentyEightBytesThePageShows) {
  const std::string bytes = written([](HostLibrary&, QelHandle) {});
  const std::string shown("\x44\x42\x5a\x51\x45\x4c\x1a\x0a\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00"
                          "\x00\x00\x00\x00\x8f\x65\xe3\xc3",
                          28);
  EXPECT_EQ(bytes, shown);
}

}  // namespace
}  // namespace dz
