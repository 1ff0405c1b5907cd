#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>

#include "base/crc32.h"
#include "base/fixed_field.h"
#include "standin/qel_dump.h"
#include "standin/qel_format.h"

namespace dz {
namespace {

FeatureStore sampleStore() {
  FeatureStore store;
  PointRecord p{};
  copyName(p.name, "X1");
  p.north = 1;
  store.addPoint(p);
  FeatureHeader header{};
  header.code = 7311;
  PointRef r{};
  copyName(r.name, "X1");
  store.addFeature(header, {r, r}, {1, 2, 3});
  const double origin[2] = {0, 0};
  store.addText(origin, "abc", TextStyle{}, 0).setField("k", "v");
  return store;
}

TEST(QelFormat, EncodeDecodeRoundTrip) {
  const std::string bytes = encodeQel(sampleStore());
  FeatureStore back;
  std::string reason;
  ASSERT_TRUE(decodeQel(bytes, back, reason)) << reason;
  EXPECT_EQ(encodeQel(back), bytes);
  EXPECT_TRUE(back.findPoint(NameKey::of("X1")));
}

TEST(QelFormat, EveryTruncationIsRefusedAndLeavesTheStoreEmpty) {
  const std::string bytes = encodeQel(sampleStore());
  for (size_t n = 0; n < bytes.size(); ++n) {
    FeatureStore store = sampleStore();
    std::string reason;
    EXPECT_FALSE(decodeQel(bytes.substr(0, n), store, reason)) << n;
    EXPECT_TRUE(store.points().empty() && store.features().empty() && store.texts().empty());
    EXPECT_FALSE(reason.empty());
  }
}

TEST(QelFormat, AnyFlippedBitIsCaughtByTheChecksum) {
  const std::string bytes = encodeQel(sampleStore());
  for (size_t i = 8; i < bytes.size(); ++i) {
    std::string damaged = bytes;
    damaged[i] ^= 0x10;
    FeatureStore store;
    std::string reason;
    EXPECT_FALSE(decodeQel(damaged, store, reason)) << i;
  }
}

// The encoder before the stream, which built the whole file in one string:
// kept here as the reference the stream must match byte for byte.
std::string previousEncoder(const FeatureStore& store) {
  std::string out;
  auto bytes = [&](const void* p, size_t n) { out.append(static_cast<const char*>(p), n); };
  auto u32 = [&](uint32_t v) {
    uint8_t b[4];
    putLE(b, 0, v);
    bytes(b, 4);
  };
  auto f64 = [&](double v) {
    uint8_t b[8];
    putLE(b, 0, v);
    bytes(b, 8);
  };
  auto text = [&](std::string_view t) {
    u32(static_cast<uint32_t>(t.size()));
    bytes(t.data(), t.size());
  };
  bytes("DBZQEL\x1A\n", 8);
  u32(1);
  u32(static_cast<uint32_t>(store.points().size()));
  u32(static_cast<uint32_t>(store.features().size()));
  u32(static_cast<uint32_t>(store.texts().size()));
  for (const PointRecord& p : store.points()) bytes(&p, sizeof p);
  for (const StoredFeature& f : store.features()) {
    bytes(&f.header, sizeof f.header);
    u32(static_cast<uint32_t>(f.refs().size()));
    bytes(f.refs().data(), f.refs().size() * sizeof(PointRef));
    u32(static_cast<uint32_t>(f.attributes().size()));
    bytes(f.attributes().data(), f.attributes().size());
  }
  for (const StoredText& t : store.texts()) {
    f64(t.anchor[0]);
    f64(t.anchor[1]);
    text(t.text());
    bytes(&t.style(), sizeof(TextStyle));
    u32(static_cast<uint32_t>(t.mode));
    u32(static_cast<uint32_t>(t.fields().size()));
    for (const auto& field : t.fields()) {
      text(field.first);
      text(field.second);
    }
  }
  u32(crc32(out));
  return out;
}

// A store of every kind of record in sizes around the stream's 64 KiB pieces:
// a point table larger than a piece, blocks and texts that fill one, and many
// small records that end pieces at every offset.
// With `large`, a block and a text larger than a reader's window; with
// `plain`, points of a name, coordinates and flag alone, as a conversion makes
// them (kept short by the store, and written out as their records).
FeatureStore variedStore(int points, int features, int texts, bool large = false, bool plain = false) {
  FeatureStore store;
  uint32_t seed = 12345;
  auto next = [&] { return seed = seed * 1103515245u + 12345u; };
  for (int i = 0; i < points; ++i) {
    PointRecord p{};
    copyName(p.name, "P" + std::to_string(i));
    p.code = plain ? 0 : static_cast<int32_t>(next());
    p.north = i * 0.125;
    p.east = -i / 3.0;
    p.flag = static_cast<uint8_t>(i % 2);
    store.addPoint(p);
  }
  for (int i = 0; i < features; ++i) {
    FeatureHeader header{};
    copyName(header.name, "F" + std::to_string(i));
    header.kind = static_cast<int16_t>(i % 4);
    header.code = 7000 + i;
    std::vector<PointRef> refs(next() % (i % 50 == 0 ? 5000 : 9));
    for (PointRef& r : refs) copyName(r.name, "P" + std::to_string(next() % 100));
    std::vector<uint8_t> block(i % 7 == 0 ? 40000 : next() % 300);
    for (uint8_t& b : block) b = static_cast<uint8_t>(next() >> 24);
    // A block this large takes a run of the store's memory of its own.
    if (large && i == 3) block.assign(3u << 20, 0x5A);
    store.addFeature(header, refs, block);
  }
  for (int i = 0; i < texts; ++i) {
    const double anchor[2] = {static_cast<double>(i), static_cast<double>(-i)};
    std::string text(i % 5 == 0 ? 70000 : next() % 40, static_cast<char>('a' + i % 26));
    if (large && i == 2) text.assign((2u << 20) + 5, 'T');
    TextStyle style{};
    style.height = 2.5f;
    style.angle = static_cast<float>(i % 3);  // styles that differ and styles shared by neighbours
    StoredText& t = store.addText(anchor, text, style, 2);
    for (int k = 0; k < i % 4; ++k) t.appendField("field" + std::to_string(k), std::string(k, 'v'));
  }
  return store;
}

TEST(QelStream, WritesTheBytesThePreviousEncoderWrote) {
  for (const FeatureStore& store : {FeatureStore(), sampleStore(), variedStore(3000, 500, 60),
                                    variedStore(3000, 500, 60, false, true), variedStore(0, 80, 0),
                                    variedStore(0, 0, 30)}) {
    const std::string expected = previousEncoder(store);
    std::string streamed;
    size_t pieces = 0;
    ASSERT_TRUE(encodeQel(store, [&](const void* p, size_t n) {
      streamed.append(static_cast<const char*>(p), n);
      ++pieces;
      return true;
    }));
    EXPECT_EQ(streamed, expected);
    // Pieces, not a byte at a time nor the whole file at once.
    EXPECT_LE(pieces, 3 + expected.size() / 16000);
  }
}

TEST(QelStream, StopsAtTheFirstPieceTheSinkRefuses) {
  const FeatureStore store = variedStore(3000, 500, 60);
  int calls = 0;
  EXPECT_FALSE(encodeQel(store, [&](const void*, size_t) { return ++calls < 2; }));
  EXPECT_EQ(calls, 2);
}

// A file with its checksum made right again after `change`, so that only the
// structure is wrong.
std::string resealed(std::string bytes, size_t at, const std::string& change) {
  bytes.replace(at, change.size(), change);
  bytes.resize(bytes.size() - 4);
  uint8_t crc[4];
  putLE(crc, 0, crc32(bytes));
  bytes.append(reinterpret_cast<const char*>(crc), 4);
  return bytes;
}

std::string le32(uint32_t v) {
  char b[4];
  putLE(reinterpret_cast<uint8_t*>(b), 0, v);
  return std::string(b, 4);
}

// decodeQel over a source that hands out `piece` bytes a call (the last
// ones fewer) of a file of `bytes.size()` bytes, failing at byte `failAt`.
struct PieceDecode {
  bool ok;
  std::string reason;
  bool readFailed;
  FeatureStore store;
};
PieceDecode decodeInPieces(const std::string& bytes, size_t piece, size_t failAt = SIZE_MAX,
                           uint64_t size = UINT64_MAX) {
  size_t at = 0;
  const QelSource source = [&](void* data, size_t n) -> int64_t {
    n = std::min({n, piece, bytes.size() - at});
    if (at + n > failAt) return -1;
    std::memcpy(data, bytes.data() + at, n);
    at += n;
    return static_cast<int64_t>(n);
  };
  PieceDecode d{};
  d.ok = decodeQel(size == UINT64_MAX ? bytes.size() : size, source, d.store, d.reason, d.readFailed);
  return d;
}

bool emptyStore(const FeatureStore& s) { return s.points().empty() && s.features().empty() && s.texts().empty(); }

TEST(QelPieces, AFileReadInPiecesGivesTheStoreOfTheWholeFile) {
  // A block and a text larger than the reader's window make it grow.
  FeatureStore large = variedStore(200, 40, 10, true);
  for (const FeatureStore& store : {FeatureStore(), sampleStore(), variedStore(3000, 500, 60),
                                    variedStore(0, 80, 0), variedStore(0, 0, 30), std::move(large)}) {
    const std::string bytes = encodeQel(store);
    for (size_t piece : {size_t{1}, size_t{7}, size_t{4096}, size_t{(1u << 20) + 3}, bytes.size()}) {
      if (piece == 1 && bytes.size() > 2000000) continue;
      PieceDecode d = decodeInPieces(bytes, piece);
      ASSERT_TRUE(d.ok) << d.reason << " in pieces of " << piece;
      EXPECT_FALSE(d.readFailed);
      EXPECT_EQ(encodeQel(d.store), bytes) << "in pieces of " << piece;
    }
  }
}

TEST(QelPieces, EveryTruncationAndFlippedByteIsRefusedWithTheReasonOfTheWholeFile) {
  FeatureStore store = sampleStore();
  const StoredFeature first = store.features()[0];
  store.addFeature(first.header, first.refs().data(), first.refs().size(), first.attributes().data(), first.attributes().size());
  const StoredText::Fields fields = store.texts()[0].fields();
  const StoredText& text = store.texts()[0];
  StoredText& again = store.addText(text.anchor, text.text(), text.style(), text.mode);
  for (const auto& [name, value] : fields) again.appendField(name, value);
  again.appendField("name", "value");
  const std::string bytes = encodeQel(store);
  std::vector<std::string> damaged;
  for (size_t n = 0; n < bytes.size(); ++n) damaged.push_back(bytes.substr(0, n));
  for (size_t i = 0; i < bytes.size(); ++i) {
    damaged.push_back(bytes);
    damaged.back()[i] ^= 0x10;
    // The same damage behind a checksum made right: the structure's reason.
    damaged.push_back(resealed(bytes, i, std::string(1, static_cast<char>(bytes[i] ^ 0x10))));
  }
  for (const std::string& file : damaged) {
    FeatureStore whole;
    std::string reason;
    const bool ok = decodeQel(file, whole, reason);
    for (size_t piece : {size_t{1}, size_t{5}, size_t{64}}) {
      PieceDecode d = decodeInPieces(file, piece);
      EXPECT_EQ(d.ok, ok);
      EXPECT_EQ(d.reason, ok ? "" : reason) << "a file of " << file.size() << " bytes in pieces of " << piece;
      EXPECT_FALSE(d.readFailed);
      if (!d.ok) {
        EXPECT_TRUE(emptyStore(d.store));
      }
    }
  }
}

TEST(QelPieces, AReadErrorOrAFileShorterThanItsSizeIsNotADamagedFile) {
  const std::string bytes = encodeQel(variedStore(3000, 500, 60));
  // In the header, the point table, a feature, a text and the checksum.
  for (size_t failAt : {size_t{3}, size_t{30}, size_t{200000}, bytes.size() / 2, bytes.size() - 100,
                        bytes.size() - 2}) {
    PieceDecode d = decodeInPieces(bytes, 4096, failAt);
    EXPECT_FALSE(d.ok) << failAt;
    EXPECT_TRUE(d.readFailed) << failAt;
    EXPECT_TRUE(emptyStore(d.store));
  }
  PieceDecode shorter = decodeInPieces(bytes, 4096, SIZE_MAX, bytes.size() + 10);
  EXPECT_FALSE(shorter.ok);
  EXPECT_TRUE(shorter.readFailed);
}

TEST(QelStream, TheLoaderTheCheckAndTheDumpRefuseWithOneReason) {
  FeatureStore twoPoints = sampleStore();
  PointRecord p{};
  copyName(p.name, "X2");
  twoPoints.addPoint(p);
  const std::string good = encodeQel(twoPoints);
  const size_t secondName = 24 + sizeof(PointRecord);
  struct Damage {
    std::string bytes;
    const char* reason;
  };
  const std::vector<Damage> damages = {
      {"DBZQEL", "not a feature file (no feature-file signature)"},
      {good.substr(0, good.size() - 1) + "x", "damaged feature file (checksum mismatch)"},
      {resealed(good, 8, le32(2)), "feature file of an unsupported version"},
      {resealed(good, 12, le32(1000000)), "damaged feature file (point table)"},
      {resealed(good, secondName, std::string("X1\0", 3)), "damaged feature file (two points of one name)"},
      {resealed(good, 16, le32(1000)), "damaged feature file (feature table)"},
      // Counts no memory could make room for: refused before any is made.
      {resealed(good, 16, le32(0x7FFFFFFF)), "damaged feature file (feature table)"},
      {resealed(good, 20, le32(0x7FFFFFFF)), "damaged feature file (text table)"},
      {resealed(good, 16, le32(2)), "damaged feature file (feature)"},
      {resealed(good, 20, le32(2)), "damaged feature file (text table)"},
      {resealed(good, 20, le32(0)), "damaged feature file (trailing bytes)"},
  };
  for (const Damage& d : damages) {
    FeatureStore store;
    std::string decodeReason, checkReason, dumpReason;
    EXPECT_FALSE(decodeQel(d.bytes, store, decodeReason));
    EXPECT_EQ(decodeReason, d.reason);
    EXPECT_FALSE(checkQel(d.bytes, checkReason));
    EXPECT_EQ(checkReason, d.reason);
    EXPECT_EQ(decodeInPieces(d.bytes, 5).reason, d.reason);
    std::string printed;
    EXPECT_FALSE(dumpFeatureFile(d.bytes, [&](const void* p, size_t n) {
      printed.append(static_cast<const char*>(p), n);
      return true;
    }, dumpReason));
    EXPECT_EQ(dumpReason, d.reason);
    EXPECT_EQ(printed, "") << d.reason;
  }
  std::string reason;
  EXPECT_TRUE(checkQel(good, reason)) << reason;
}

TEST(QelDump, TheFileDumpIsTheStoreDump) {
  for (const FeatureStore& store : {FeatureStore(), sampleStore(), variedStore(3000, 300, 40)}) {
    const std::string bytes = encodeQel(store);
    std::string printed, reason;
    ASSERT_TRUE(dumpFeatureFile(bytes, [&](const void* p, size_t n) {
      printed.append(static_cast<const char*>(p), n);
      return true;
    }, reason)) << reason;
    EXPECT_EQ(printed, dumpFeatureStore(store));
  }
}

}  // namespace
}  // namespace dz
