#include "standin/point_index.h"

#include <gtest/gtest.h>

#if defined(__unix__)
#include <sys/mman.h>
#include <unistd.h>
#endif

#include <cstring>
#include <string>
#include <vector>

#include "base/fixed_field.h"

namespace dz {
namespace {

// An index over records of its own, as the feature store keeps them.
class Points {
 public:
  bool add(const std::string& name) { return add(NameKey::of(name), name); }
  bool add(const NameKey& key, std::string_view field) {
    if (!index.insert(key, records.data())) return false;
    PointRecord p{};
    std::memcpy(p.name, field.data(), std::min(field.size(), sizeof p.name));
    records.push_back(p);
    return true;
  }
  uint32_t find(const std::string& name) const { return index.find(NameKey::of(name), records.data()); }

  PointIndex index;
  std::vector<PointRecord> records;
};

TEST(PointIndex, FindsEveryNameThroughGrowthAndRefusesRepeats) {
  Points points;
  const int n = 50000;
  for (int i = 0; i < n; ++i) ASSERT_TRUE(points.add("P" + std::to_string(i)));
  EXPECT_FALSE(points.add("P123"));
  EXPECT_EQ(points.index.size(), static_cast<size_t>(n));
  for (int i = 0; i < n; i += 7) EXPECT_EQ(points.find("P" + std::to_string(i)), static_cast<uint32_t>(i));
  EXPECT_EQ(points.find("P" + std::to_string(n)), PointIndex::kNotFound);
  EXPECT_EQ(points.find(""), PointIndex::kNotFound);
}

// The names compared are the records' own: bytes after a first zero in the
// stored field do not count.
TEST(PointIndex, NamesCompareUpToTheirFirstZeroWithinTwelveBytes) {
  Points points;
  const char withTail[12] = {'A', 'B', 0, 'x', 'y', 'z'};
  ASSERT_TRUE(points.add(NameKey::of(withTail), std::string_view(withTail, 12)));
  EXPECT_EQ(points.find("AB"), 0u);
  EXPECT_FALSE(points.add(NameKey::of(std::string_view("AB\0q", 4)), std::string_view("AB\0q", 4)));
  // Twelve bytes without a terminator, and the same with a thirteenth byte.
  ASSERT_TRUE(points.add("ABCDEFGHIJKL"));
  EXPECT_EQ(points.find("ABCDEFGHIJKLM"), 1u);
  EXPECT_EQ(points.find("ABCDEFGHIJK"), PointIndex::kNotFound);
}

// A table at its fullest, before it grows, and right after a reserve: every
// name is found where probing wraps round the end, and no missing name is.
TEST(PointIndex, FindsEveryNameAndNoMissingOneAtEveryFill) {
  for (int n : {1, 16, 17, 1000, 1023, 40000}) {
    Points grown, reserved;
    reserved.index.reserve(static_cast<size_t>(n));
    for (int i = 0; i < n; ++i) {
      ASSERT_TRUE(grown.add("N" + std::to_string(i)));
      ASSERT_TRUE(reserved.add("N" + std::to_string(i)));
    }
    for (const Points* p : {&grown, &reserved}) {
      for (int i = 0; i < n; ++i) ASSERT_EQ(p->find("N" + std::to_string(i)), static_cast<uint32_t>(i));
      for (int i = 0; i < n; ++i) ASSERT_EQ(p->find("M" + std::to_string(i)), PointIndex::kNotFound);
    }
  }
  EXPECT_EQ(Points().find("A"), PointIndex::kNotFound);
}

// Many records at once, as a file is loaded: the same numbers as one by one,
// and a repeated name refused wherever it stands.
TEST(PointIndex, InsertsRecordsAtOnceAsOneByOne) {
  Points points;
  points.add("K0");
  std::vector<PointRecord> more;
  for (int i = 1; i <= 3000; ++i) {
    PointRecord p{};
    copyName(p.name, "K" + std::to_string(i));
    more.push_back(p);
  }
  points.records.insert(points.records.end(), more.begin(), more.end());
  ASSERT_TRUE(points.index.insertAll(more.data(), more.size(), points.records.data()));
  for (int i = 0; i <= 3000; i += 13) EXPECT_EQ(points.find("K" + std::to_string(i)), static_cast<uint32_t>(i));
  EXPECT_EQ(points.find("K3001"), PointIndex::kNotFound);

  // A name met before the batch, one met in it, and one that is new.
  for (const auto& [name, taken] : {std::pair{"K0", true}, {"N5", true}, {"K2999", false}}) {
    std::vector<PointRecord> all(21);
    copyName(all[0].name, "K0");
    for (int i = 1; i <= 20; ++i) copyName(all[i].name, "N" + std::to_string(i - 1));
    copyName(all[16].name, name);
    PointIndex index;
    index.insert(NameKey::of("K0"), all.data());
    EXPECT_EQ(index.insertAll(all.data() + 1, 20, all.data()), !taken) << name;
  }
}

// The word-wise cut of a record's name gives the name the byte-wise one
// gives: for a first zero at every place, GBK bytes and bytes after the zero.
TEST(NameKeyOfRecord, CutsWhereTheByteWiseCopyCuts) {
  uint32_t seed = 7;
  for (int round = 0; round < 20000; ++round) {
    PointRecord p{};
    for (char& c : p.name) {
      seed = seed * 1103515245u + 12345u;
      c = static_cast<char>(seed >> 24);
    }
    const int zeroAt = round % 14;  // 12 and 13: no zero at all
    for (char& c : p.name)
      if (c == 0) c = 1;
    if (zeroAt < 12) p.name[zeroAt] = 0;
    ASSERT_EQ(NameKey::ofRecord(p), NameKey::of(p.name)) << round;
  }
}

#if defined(__unix__)
// A zero-ended name is read twelve bytes at a time within its page: names
// that end right before a page the process may not read (every length, at
// every place up to the page's end) give the key the bytes give, and the
// read does not stray into that page.
TEST(NameKeyOf, ANameAtAPagesEndIsReadWithinItsPage) {
  const long page = sysconf(_SC_PAGESIZE);
  void* mapping = mmap(nullptr, static_cast<size_t>(2 * page), PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
  ASSERT_NE(mapping, MAP_FAILED);
  char* first = static_cast<char*>(mapping);
  ASSERT_EQ(mprotect(first + page, static_cast<size_t>(page), PROT_NONE), 0);
  for (size_t length = 0; length <= 12; ++length) {
    const std::string name = std::string("ABCDEFGHIJKL").substr(0, length);
    for (size_t room = length + 1; room <= 20; ++room) {  // the name and its zero, then the page's end
      char* at = first + page - room;
      std::memset(first + page - 24, 'z', 24);
      std::memcpy(at, name.c_str(), length + 1);
      ASSERT_EQ(NameKey::of(at), NameKey::of(std::string_view(name))) << length << " " << room;
    }
  }
  // Twelve bytes with no zero after them, the last at the page's end.
  std::memcpy(first + page - 12, "ABCDEFGHIJKL", 12);
  EXPECT_EQ(NameKey::of(first + page - 12), NameKey::of(std::string_view("ABCDEFGHIJKL")));
  munmap(mapping, static_cast<size_t>(2 * page));
}
#endif

// The name a numbering uses next, asked for ahead of its lookup.
TEST(NameKeySuccessor, CountsTheTrailingNumberUpWithItsCarry) {
  const auto next = [](const char* name) {
    NameKey k;
    if (!NameKey::of(name).successor(k)) return std::string("none");
    return std::string(k.bytes.data(), strnlen(k.bytes.data(), k.bytes.size()));
  };
  EXPECT_EQ(next("X1"), "X2");
  EXPECT_EQ(next("X9"), "X10");
  EXPECT_EQ(next("A099"), "A100");
  EXPECT_EQ(next("J12_9"), "J12_10");
  EXPECT_EQ(next("999"), "1000");
  EXPECT_EQ(next("X99999999999"), "none");  // twelve bytes: no room for a digit more
  EXPECT_EQ(next("X9999999999"), "X10000000000");
  EXPECT_EQ(next("X"), "none");
  EXPECT_EQ(next(""), "none");
  // Names that end in each of the key's two words, or fill it.
  EXPECT_EQ(next("ABCDEF7"), "ABCDEF8");
  EXPECT_EQ(next("ABCDEFG7"), "ABCDEFG8");
  EXPECT_EQ(next("ABCDEFGH7"), "ABCDEFGH8");
  EXPECT_EQ(next("X12345678901"), "X12345678902");
  EXPECT_EQ(next("\xb5\xe3" "8"), "\xb5\xe3" "9");
}

// The name after next is the successor's successor, whichever digit the
// name ends in and wherever the carry stops.
TEST(NameKeySuccessor, AfterNextIsTheSuccessorTwice) {
  for (const char* stem : {"", "X", "A0", "J12_", "ABCDEFGHIJ", "\xb5\xe3"}) {
    for (int n : {0, 1, 7, 8, 9, 18, 19, 97, 98, 99, 999, 9998, 123456789}) {
      const std::string name = stem + std::to_string(n);
      if (name.size() > 12) continue;
      const NameKey key = NameKey::of(std::string_view(name));
      NameKey next, twice, after;
      const bool expected = key.successor(next) && next.successor(twice);
      ASSERT_EQ(key.afterNext(after), expected) << name;
      if (expected) {
        ASSERT_EQ(after, twice) << name;
      }
    }
  }
  NameKey after;
  EXPECT_FALSE(NameKey::of("X").afterNext(after));
  EXPECT_FALSE(NameKey::of("X99999999998").afterNext(after));  // twelve bytes, and the carry wants a thirteenth
}

TEST(NameKeySuccessor, NumberedAfterIsTheDistanceBetweenTrailingNumbersOfOneStem) {
  const auto distance = [](const char* name, const char* from) -> std::string {
    int64_t d = 0;
    if (!NameKey::of(name).numberedAfter(NameKey::of(from), d)) return "none";
    return std::to_string(d);
  };
  EXPECT_EQ(distance("X17", "X8"), "9");
  EXPECT_EQ(distance("A100", "A099"), "1");
  EXPECT_EQ(distance("X26", "X29"), "-3");
  EXPECT_EQ(distance("12", "3"), "9");
  EXPECT_EQ(distance("ABCDEFGH123", "ABCDEFGH120"), "3");
  EXPECT_EQ(distance("X999999999", "X1"), "999999998");
  EXPECT_EQ(distance("X1", "Y1"), "none");
  EXPECT_EQ(distance("X1", "XX1"), "none");
  EXPECT_EQ(distance("X1", "X"), "none");
  EXPECT_EQ(distance("X", "X"), "none");
  EXPECT_EQ(distance("X1A", "X1A"), "none");
  EXPECT_EQ(distance("X1234567890", "X1"), "none");  // ten digits
}

TEST(NameKeySuccessor, LengthIsWhereTheNameEnds) {
  for (size_t n = 0; n <= 12; ++n) {
    const std::string name = std::string(n, '\xb5').substr(0, n / 2) + std::string(n - n / 2, '1');
    EXPECT_EQ(NameKey::of(std::string_view(name)).length(), n) << n;
  }
}

// Ten names that differ in their last digit only share a run of slots, at
// the digit's place: the bits of their hash above the place are those of the
// rest of the name, wherever in the twelve bytes the name ends. Every other
// name has a place inside a run too.
TEST(NameKeyHash, NamesOfOneDecadeShareARunAtTheirDigitsPlace) {
  const auto hash = [](const std::string& name) { return NameKey::of(std::string_view(name)).hash(); };
  for (const std::string stem : {"", "X", "J12_", "ABCDEF1", "ABCDEFG2", "ABCDEFGH3", "X123456789", "\xb5\xe3"}) {
    const uint32_t run = hash(stem + "0") & ~NameKey::kSpreadMask;
    for (char digit = '0'; digit <= '9'; ++digit) {
      const uint32_t h = hash(stem + digit);
      EXPECT_EQ(h & ~NameKey::kSpreadMask, run) << stem << digit;
      EXPECT_EQ(h & NameKey::kSpreadMask, static_cast<uint32_t>(digit - '0')) << stem << digit;
    }
    // The next decade is another run (one in 2^28 could share it).
    EXPECT_NE(hash(stem + "10") & ~NameKey::kSpreadMask, hash(stem + "20") & ~NameKey::kSpreadMask) << stem;
  }
  for (const char* name : {"", "X", "A1B", "ABCDEFGHIJKL", "12x", "\xb5\xe3"})
    EXPECT_LT(hash(name) & NameKey::kSpreadMask, NameKey::kRunLength) << name;
}

// Numberings that fill whole runs, several of them and names of every length
// among them, with the table's runs often taken by another's: every name is
// found where it went, none that is missing, through growth and at the end of
// the table, where probing wraps round.
TEST(PointIndex, NumberedRunsOfManyStemsAreFoundAndMissesAreNot) {
  const std::vector<std::string> stems = {"", "X", "Y", "J12_", "ABCDEFGH", "ABCDEFGHIJ", "K0"};
  for (int n : {3, 10, 11, 95, 2000}) {
    Points points;
    std::vector<std::string> names;
    const auto name = [&](const std::string& text) {
      if (text.size() <= 12) names.push_back(text);  // longer would be cut to another
    };
    for (int i = 0; i < n; ++i)
      for (const std::string& stem : stems) {
        name(stem + std::to_string(i));
        if (i % 7 == 3) name(stem + std::to_string(i) + "B");
      }
    for (const std::string& each : names) ASSERT_TRUE(points.add(each)) << each;
    for (size_t i = 0; i < names.size(); ++i) ASSERT_EQ(points.find(names[i]), i) << names[i];
    for (const std::string& stem : stems)
      for (const std::string& missing : {stem + std::to_string(n), stem + "1A"})
        if (missing.size() <= 12) {
          ASSERT_EQ(points.find(missing), PointIndex::kNotFound) << missing;
        }
  }
}

TEST(PointIndex, ReserveKeepsWhatIsThere) {
  Points points;
  points.add("K1");
  points.index.reserve(1000);
  EXPECT_EQ(points.find("K1"), 0u);
  EXPECT_TRUE(points.add("K2"));
  EXPECT_EQ(points.find("K2"), 1u);
}

// An insert right after a find that missed the same name takes the slot
// that find stopped at: only while nothing has changed the table since.
TEST(PointIndex, InsertAfterAMissedFindGoesWhereAFreshProbeWould) {
  {
    Points points;  // added, then added again
    points.add("A0");
    ASSERT_EQ(points.find("A1"), PointIndex::kNotFound);
    ASSERT_TRUE(points.add("A1"));
    EXPECT_FALSE(points.add("A1"));
    EXPECT_EQ(points.find("A1"), 1u);
  }
  {
    Points points;  // added by a batch in between
    points.add("A0");
    ASSERT_EQ(points.find("A1"), PointIndex::kNotFound);
    PointRecord one{};
    copyName(one.name, "A1");
    points.records.push_back(one);
    ASSERT_TRUE(points.index.insertAll(&one, 1, points.records.data()));
    EXPECT_FALSE(points.index.insert(NameKey::of("A1"), points.records.data()));
  }
  for (int t = 0; t < 100; ++t) {
    // Other names by a batch, into a table that does not grow: one of them
    // often takes the slot where the missed name would have gone.
    Points points;
    points.add("A0");
    const std::string missed = "Z" + std::to_string(t);
    ASSERT_EQ(points.find(missed), PointIndex::kNotFound);
    std::vector<PointRecord> batch(6);
    for (size_t j = 0; j < batch.size(); ++j) copyName(batch[j].name, "B" + std::to_string(t) + "_" + std::to_string(j));
    points.records.insert(points.records.end(), batch.begin(), batch.end());
    ASSERT_TRUE(points.index.insertAll(batch.data(), batch.size(), points.records.data()));
    ASSERT_TRUE(points.add(missed)) << missed;
    ASSERT_EQ(points.find(missed), 7u);
  }
  {
    Points points;  // the table grown in between
    points.add("A0");
    ASSERT_EQ(points.find("A1"), PointIndex::kNotFound);
    points.index.reserve(100000);
    ASSERT_TRUE(points.add("A1"));
    EXPECT_EQ(points.find("A1"), 1u);
    EXPECT_EQ(points.find("A0"), 0u);
  }
  // Other names added between a miss and its insert, at every fill.
  Points points;
  for (int i = 0; i < 3000; ++i) {
    const std::string name = "B" + std::to_string(i);
    ASSERT_EQ(points.find(name), PointIndex::kNotFound);
    ASSERT_TRUE(points.add("C" + std::to_string(i)));
    ASSERT_TRUE(points.add(name));
  }
  for (int i = 0; i < 3000; ++i) {
    ASSERT_EQ(points.find("C" + std::to_string(i)), static_cast<uint32_t>(2 * i));
    ASSERT_EQ(points.find("B" + std::to_string(i)), static_cast<uint32_t>(2 * i + 1));
  }
}

}  // namespace
}  // namespace dz
