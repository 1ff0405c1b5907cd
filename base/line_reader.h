// Reads a text file line by line the way the Windows C runtime's text mode
// hands lines to a program: CR LF and LF both end a line, the line end is not
// part of the line, the last line needs no line end, and a Ctrl-Z byte ends
// the file. A line is cut at its first zero byte, as the C string it becomes
// would be. Large files are read in blocks, never whole.
#pragma once

#include <cstdio>
#include <string>
#include <vector>

namespace dz {

class LineReader {
 public:
  LineReader() = default;
  ~LineReader() { close(); }
  LineReader(const LineReader&) = delete;
  LineReader& operator=(const LineReader&) = delete;

  // False when the file cannot be opened for reading.
  bool open(const std::string& path);
  void close();
  bool isOpen() const { return file_ != nullptr; }

  // The next line into `line`; false at the end of the file.
  bool readLine(std::string& line);

  // Number of lines handed out so far.
  long lineNumber() const { return lineNumber_; }

 private:
  bool fill();

  std::FILE* file_ = nullptr;
  std::vector<char> buffer_;
  size_t pos_ = 0;
  size_t end_ = 0;
  bool atEnd_ = false;
  long lineNumber_ = 0;
};

}  // namespace dz
