// Reads a text file line by line the way the Windows C runtime's text mode
// hands lines to a program: CR LF and LF both end a line, the line end is not
// part of the line, the last line needs no line end, and a Ctrl-Z byte ends
// the file. A line is cut at its first zero byte, as the C string it becomes
// would be. Large files are read in blocks, never whole.
//
// A file that cannot be read is not an empty file: a directory fails to
// open, and a read error ends the lines with failed() set, so that a reader
// can tell it from the end of the file.
#pragma once

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

#include "base/file_faults.h"

namespace dz {

// A line of a reader that hands out views, copied into `line`: what the
// readers' string form of readLine does. Empty when there is no line.
template <typename Reader>
bool copyNextLine(Reader& reader, std::string& line) {
  std::string_view view;
  const bool read = reader.readLine(view);
  line.assign(view);
  return read;
}

class LineReader {
 public:
  LineReader() = default;
  ~LineReader() { close(); }
  LineReader(const LineReader&) = delete;
  LineReader& operator=(const LineReader&) = delete;

  // False when the file cannot be opened for reading (a directory cannot).
  bool open(const std::string& path);
  void close();
  bool isOpen() const { return file_ != nullptr; }

  // The next line into `line`; false at the end of the file, or at a read
  // error (then failed() is true and the line read up to it is dropped).
  bool readLine(std::string& line);
  // The same line as a view, good until the next read: into the reader's
  // block when the line lies whole in it (most lines: no copy), else into a
  // line put together across blocks. Empty when false is returned. Inline:
  // every line of every input passes here, most of them a dozen bytes long.
  bool readLine(std::string_view& line) {
    if (!failed_ && pos_ < end_) {
      const char* start = buffer_.data() + pos_;
      if (const void* nl = std::memchr(start, '\n', end_ - pos_)) {
        size_t len = static_cast<size_t>(static_cast<const char*>(nl) - start);
        pos_ += len + 1;
        if (len > 0 && start[len - 1] == '\r') --len;
        line = std::string_view(start, len);
        if (zeroInBlock_) line = line.substr(0, line.find('\0'));
        lineKnownAscii_ = asciiBlock_;
        ++lineNumber_;
        return true;
      }
    }
    return joinLine(line);
  }

  // A read failed: the lines handed out are not the whole file.
  bool failed() const { return failed_; }

  // The line handed out last is known to be ASCII: it lay whole in a block
  // that holds no byte of 0x80 or above. False says only that it is not
  // known (a line put together across blocks is not looked at).
  bool lineKnownAscii() const { return lineKnownAscii_; }

  // Number of lines handed out so far.
  long lineNumber() const { return lineNumber_; }

 private:
  bool fill();
  // The line that does not lie whole in the block: put together in joined_.
  bool joinLine(std::string_view& line);

  std::FILE* file_ = nullptr;
  std::vector<char> buffer_;
  size_t pos_ = 0;
  size_t end_ = 0;
  bool atEnd_ = false;
  bool failed_ = false;
  long lineNumber_ = 0;
  uint64_t offset_ = 0;  // bytes read from the file so far
  bool zeroInBlock_ = false;  // the block holds a zero byte: lines are cut at it
  bool asciiBlock_ = false;   // the block holds no byte of 0x80 or above
  bool lineKnownAscii_ = false;
  std::string joined_;
  FileFaults faults_;
};

}  // namespace dz
