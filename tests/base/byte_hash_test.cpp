#include "base/byte_hash.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace dz {
namespace {

// The tables take a hash's low bits (a mask of a power of two) or its high
// bits (a product with the table's size): keys that differ in a digit or two,
// as codes, point names and parcel numbers do, must spread over either.
struct Spread {
  size_t fullest = 0;
  double emptyShare = 0;
};

template <typename Bucket>
Spread spreadOf(const std::vector<std::string>& keys, size_t buckets, Bucket bucket) {
  std::vector<size_t> counts(buckets, 0);
  for (const std::string& k : keys) ++counts[bucket(hashText(k))];
  Spread s;
  s.fullest = *std::max_element(counts.begin(), counts.end());
  s.emptyShare = static_cast<double>(std::count(counts.begin(), counts.end(), 0)) / static_cast<double>(buckets);
  return s;
}

std::vector<std::string> keysOf(const std::string& prefix, int from, int count, const std::string& suffix = "") {
  std::vector<std::string> keys;
  for (int i = from; i < from + count; ++i) keys.push_back(prefix + std::to_string(i) + suffix);
  return keys;
}

TEST(ByteHash, NearKeysSpreadOverLowAndHighBits) {
  constexpr size_t kBuckets = 1 << 16;
  const std::vector<std::vector<std::string>> sets = {
      keysOf("", 100000, kBuckets),                 // CASS codes
      keysOf("J", 1, kBuckets),                     // point names
      keysOf("Z", 1, kBuckets),                     // parcel numbers
      keysOf("420102001001", 0, kBuckets, "GB"),    // long numbers, the change in the middle
  };
  for (const auto& keys : sets) {
    // n keys into n buckets: about 1/e of them stay empty, and the fullest
    // holds a handful.
    const Spread low = spreadOf(keys, kBuckets, [](uint32_t h) { return h & (kBuckets - 1); });
    const Spread high = spreadOf(keys, kBuckets, [](uint32_t h) { return (uint64_t{h} * kBuckets) >> 32; });
    for (const Spread& s : {low, high}) {
      EXPECT_LE(s.fullest, 12u) << keys.front();
      EXPECT_NEAR(s.emptyShare, 0.368, 0.03) << keys.front();
    }
  }
}

TEST(ByteHash, EveryLengthAndEveryByteCounts) {
  // Each length up to 40 bytes, and each byte of it, changes the hash: the
  // short forms read their bytes in overlapping pieces, and none is left out.
  const std::string base = "0123456789abcdefghijklmnopqrstuvwxyzABCD";
  std::vector<uint32_t> byLength;
  for (size_t n = 0; n <= base.size(); ++n) {
    const std::string key = base.substr(0, n);
    byLength.push_back(hashText(key));
    EXPECT_EQ(hashText(key), hashBytes(key.data(), key.size()));
    for (size_t i = 0; i < n; ++i) {
      std::string changed = key;
      changed[i] ^= 0x01;
      EXPECT_NE(hashText(changed), hashText(key)) << n << " bytes, byte " << i;
    }
  }
  std::sort(byLength.begin(), byLength.end());
  EXPECT_EQ(std::adjacent_find(byLength.begin(), byLength.end()), byLength.end());
  // Zero bytes are bytes: a key and the key with a zero after it differ.
  EXPECT_NE(hashText(std::string("J1\0", 3)), hashText("J1"));
}

// The inline compare answers as memcmp: for every length up to five words,
// bytes that differ at any one place (the first, the middle, the last, the
// ends of each word) are told apart, and equal ones are not, whatever lies
// past the length.
TEST(ByteHash, SameBytesAnswersAsMemcmpAtEveryLengthAndPlace) {
  for (size_t size = 0; size <= 40; ++size) {
    std::string a(size + 8, 'a'), b(size + 8, 'a');
    for (size_t i = 0; i < size; ++i) a[i] = b[i] = static_cast<char>('0' + i % 43);
    b[size] = 'z';  // past the length: not compared
    EXPECT_TRUE(sameBytes(a.data(), b.data(), size)) << size;
    for (size_t at = 0; at < size; ++at) {
      std::string c = a;
      c[at] = static_cast<char>(c[at] ^ 0x80);
      EXPECT_FALSE(sameBytes(c.data(), b.data(), size)) << size << " at " << at;
      EXPECT_FALSE(sameBytes(b.data(), c.data(), size)) << size << " at " << at;
    }
  }
}

}  // namespace
}  // namespace dz
