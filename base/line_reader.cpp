#include "base/line_reader.h"

#include <cstring>

#include "base/file_io.h"

namespace dz {
namespace {
constexpr size_t kBlockSize = 1 << 16;
constexpr char kCtrlZ = 0x1A;

// Whether no byte of `bytes` has its top bit set: the block's words or-ed
// together (a loop the compiler makes wide), so that a reader that asks it
// of each line need not look at most lines at all.
bool isAscii(const char* bytes, size_t size) {
  uint64_t any = 0;
  size_t i = 0;
  for (; i + 8 <= size; i += 8) {
    uint64_t word;
    std::memcpy(&word, bytes + i, 8);
    any |= word;
  }
  for (; i < size; ++i) any |= static_cast<unsigned char>(bytes[i]);
  return (any & 0x8080808080808080ull) == 0;
}

}  // namespace

bool LineReader::open(const std::string& path) {
  close();
  file_ = openFile(path, "rb");
  if (!file_) return false;
  buffer_.resize(kBlockSize);
  pos_ = end_ = 0;
  atEnd_ = false;
  failed_ = false;
  lineNumber_ = 0;
  offset_ = 0;
  faults_ = FileFaults::fromEnvironment();
  return true;
}

void LineReader::close() {
  if (file_) std::fclose(file_);
  file_ = nullptr;
}

bool LineReader::fill() {
  if (atEnd_ || !file_) return false;
  pos_ = 0;
  end_ = std::fread(buffer_.data(), 1, buffer_.size(), file_);
  if (faults_.is(FileFaults::Kind::Read) && offset_ + end_ > faults_.at) {
    end_ = static_cast<size_t>(faults_.at - offset_);
    failed_ = true;
  } else if (end_ < buffer_.size() && std::ferror(file_)) {
    failed_ = true;
  }
  offset_ += end_;
  if (failed_) {
    // What a failed read leaves is not a whole line: nothing more is handed out.
    atEnd_ = true;
    return false;
  }
  if (const void* z = std::memchr(buffer_.data(), kCtrlZ, end_)) {
    end_ = static_cast<const char*>(z) - buffer_.data();
    atEnd_ = true;
  } else if (end_ < buffer_.size()) {
    atEnd_ = true;
  }
  // Zero bytes are rare: one search of the block spares one per line.
  zeroInBlock_ = std::memchr(buffer_.data(), '\0', end_) != nullptr;
  asciiBlock_ = isAscii(buffer_.data(), end_);
  return end_ > 0;
}

bool LineReader::readLine(std::string& line) { return copyNextLine(*this, line); }

bool LineReader::joinLine(std::string_view& view) {
  std::string& line = joined_;
  line.clear();
  view = std::string_view();
  lineKnownAscii_ = false;
  bool gotAny = false;
  // A CR is held back until we know whether an LF follows it.
  bool pendingCr = false;
  for (;;) {
    if (pos_ == end_ && !fill()) break;
    gotAny = true;
    const char* start = buffer_.data() + pos_;
    const char* nl = static_cast<const char*>(std::memchr(start, '\n', end_ - pos_));
    size_t len = nl ? static_cast<size_t>(nl - start) : end_ - pos_;
    if (pendingCr && !(nl && len == 0)) line.push_back('\r');
    pendingCr = false;
    line.append(start, len);
    pos_ += len;
    if (nl) {
      ++pos_;
      if (!line.empty() && line.back() == '\r') line.pop_back();
      break;
    }
    if (!line.empty() && line.back() == '\r') {
      line.pop_back();
      pendingCr = true;
    }
  }
  if (failed_ || !gotAny) return false;
  if (pendingCr) line.push_back('\r');  // a CR just before the end of the file stays
  view = std::string_view(line).substr(0, line.find('\0'));
  ++lineNumber_;
  return true;
}

}  // namespace dz
