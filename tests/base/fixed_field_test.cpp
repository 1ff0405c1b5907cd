#include "base/fixed_field.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string_view>
#include <utility>

namespace dz {
namespace {

TEST(FixedField, NameCopyIsStrncpyOverTwelveBytes) {
  char field[12];
  std::memset(field, 'z', sizeof field);
  copyName(field, "K12");
  EXPECT_EQ(std::string(field, 12), std::string("K12\0\0\0\0\0\0\0\0\0", 12));
  copyName(field, "ABCDEFGHIJKLMNO");
  EXPECT_EQ(std::string(field, 12), "ABCDEFGHIJKL");  // no terminator
  EXPECT_EQ(nameText(field), "ABCDEFGHIJKL");
  copyName(field, std::string("AB\0CD", 5));
  EXPECT_EQ(std::string(field, 12), std::string("AB\0\0\0\0\0\0\0\0\0\0", 12));
}

TEST(FixedField, CopyFromAnUnterminatedFieldReadsTwelveBytesOnly) {
  const char source[16] = {'A', 'B', 'C', 'D', 'E', 'F', 'G', 'H', 'I', 'J', 'K', 'L', 'M', 'N', 'O', 'P'};
  char field[12];
  copyFieldFrom(field, 12, source);
  EXPECT_EQ(std::string(field, 12), "ABCDEFGHIJKL");
}

// Every place of the first zero in an array of N bytes (or none), with bytes
// around it that a word-wise zero test could mistake for one: 0x01 and 0x80
// borrow and carry, 0xFF is all bits. The array is a heap block of exactly
// its size, so a read past it is caught by the sanitizer build.
template <size_t N>
void checkArrayTextLength() {
  const unsigned char fills[] = {0x01, 0x80, 0xFF, 0x21, 0xD7};
  for (size_t zero = 0; zero <= N; ++zero) {
    for (unsigned char fill : fills) {
      std::unique_ptr<char[]> field(new char[N]);
      char(&bytes)[N] = *reinterpret_cast<char(*)[N]>(field.get());
      for (size_t i = 0; i < N; ++i) bytes[i] = static_cast<char>(i % 2 ? fill : 0x01);
      if (zero < N) bytes[zero] = 0;
      if (zero + 3 < N) bytes[zero + 3] = 0;  // a later zero changes nothing
      ASSERT_EQ(arrayTextLength(bytes), zero) << "size " << N << ", fill " << int{fill};
      ASSERT_EQ(arrayText(bytes), std::string_view(bytes, zero));
    }
  }
}

template <size_t... N>
void checkArrayTextLengths(std::index_sequence<N...>) {
  (checkArrayTextLength<N + 1>(), ...);
}

TEST(FixedField, ArrayTextStopsAtTheFirstZeroAndNeverReadsPastTheArray) {
  checkArrayTextLengths(std::make_index_sequence<48>());
  checkArrayTextLength<81>();
}

TEST(FixedField, FieldTextOfAShorterCStringReadsNoFurther) {
  // A name handed in as a short C string: the field's width is an upper
  // bound, and nothing past the terminator is read (a heap block of five
  // bytes, checked by the sanitizer build).
  volatile size_t size = 5;  // unknown to the compiler, as a caller's string is
  auto name = std::make_unique<char[]>(size);
  std::memcpy(name.get(), "nope", 5);
  EXPECT_EQ(nameView(name.get()), "nope");
}

TEST(FixedField, LittleEndianNumbersAtOffsets) {
  uint8_t block[16] = {};
  putLE<int16_t>(block, 10, 0x1234);
  putLE<double>(block, 2, 1.5);
  EXPECT_EQ(block[10], 0x34);
  EXPECT_EQ(block[11], 0x12);
  EXPECT_EQ(getLE<double>(block, 2), 1.5);
  EXPECT_EQ(getLE<int16_t>(block, 10), 0x1234);
}

}  // namespace
}  // namespace dz
