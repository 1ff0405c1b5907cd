#include "base/line_reader.h"

#include <cstring>

#include "base/file_io.h"

namespace dz {
namespace {
constexpr size_t kBlockSize = 1 << 16;
constexpr char kCtrlZ = 0x1A;
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
  return end_ > 0;
}

namespace {

std::string_view cutAtZero(std::string_view line) { return line.substr(0, line.find('\0')); }

}  // namespace

bool LineReader::readLine(std::string& line) { return copyNextLine(*this, line); }

bool LineReader::readLine(std::string_view& line) {
  if (!failed_ && pos_ < end_) {
    const char* start = buffer_.data() + pos_;
    if (const void* nl = std::memchr(start, '\n', end_ - pos_)) {
      size_t len = static_cast<size_t>(static_cast<const char*>(nl) - start);
      pos_ += len + 1;
      if (len > 0 && start[len - 1] == '\r') --len;
      line = std::string_view(start, len);
      if (zeroInBlock_) line = cutAtZero(line);
      ++lineNumber_;
      return true;
    }
  }
  return joinLine(line);
}

bool LineReader::joinLine(std::string_view& view) {
  std::string& line = joined_;
  line.clear();
  view = std::string_view();
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
  view = cutAtZero(line);
  ++lineNumber_;
  return true;
}

}  // namespace dz
