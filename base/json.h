// Small helpers for writing JSON and logs: quoted strings and numbers that
// read back exactly.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace dz {

// A JSON string literal of UTF-8 text, quotes included.
std::string jsonQuote(std::string_view utf8);
// A JSON string literal of GBK text (converted to UTF-8).
std::string jsonQuoteGbk(std::string_view gbk);
// The shortest decimal form that reads back to the same double; non-finite
// values as the strings "Infinity", "-Infinity" and "NaN".
std::string jsonNumber(double value);
// Lowercase hex of raw bytes.
std::string hexBytes(const void* data, size_t size);

}  // namespace dz
