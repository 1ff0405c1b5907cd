// The input files of a conversion as its caller wants them read. The
// readers of the input files (.cas, .qs, .cor, .not, attribute and point
// files) read through an InputLineReader, which is a LineReader as long as
// no TextInputRun is in force on the thread: so it is in the plug-in. The
// command line puts a TextInputRun in force for the length of a command,
// and then every input line is decoded from the run's encoding, a line that
// GBK cannot hold is refused (not handed out, its number still counted),
// and what each file held and how far it has been read is recorded for the
// warnings and the progress of the command. The code tables of the host
// directory are the host's own files and are read without it.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "base/line_reader.h"
#include "base/tally.h"
#include "base/text_encoding.h"

namespace dz {

// The size of a file in bytes; 0 when it cannot be told.
uint64_t inputFileSize(const std::string& path);

// A line of an input file that was not handed out.
struct RefusedLine {
  long line = 0;
  Utf8Refusal refusal;
};

// What one input file held, as far as it was read.
struct InputFileReport {
  std::string path;
  uint64_t bytesRead = 0;                 // the lines handed out or refused, with their line ends
  long lines = 0;                         // lines read, refused ones included
  bool byteOrderMark = false;             // the file starts with the UTF-8 byte-order mark
  Utf8Evidence evidence;                  // read as GBK: whether it is UTF-8 after all
  LineTally refused;                      // lines refused for a character GBK cannot hold
  std::vector<RefusedLine> firstRefused;  // the first LineTally::kKept of them
};

class TextInputRun {
 public:
  // In force on this thread until destroyed; runs do not nest.
  explicit TextInputRun(TextEncoding encoding);
  ~TextInputRun();
  TextInputRun(const TextInputRun&) = delete;
  TextInputRun& operator=(const TextInputRun&) = delete;

  // The run in force on this thread, or null.
  static TextInputRun* current();

  TextEncoding encoding() const { return encoding_; }
  // Every input file opened in the run, in the order first opened; a file
  // opened again is read into the same report afresh.
  const std::vector<InputFileReport>& files() const { return files_; }
  // Bytes read of all input files so far.
  uint64_t bytesRead() const { return bytesRead_; }

  // Called with bytesRead() as the reading moves on: at most once per
  // 64 KiB read, and at the end of every file.
  void onProgress(std::function<void(uint64_t)> listener) { listener_ = std::move(listener); }

 private:
  friend class InputLineReader;

  size_t opened(const std::string& path);
  void advance(InputFileReport& file, uint64_t bytes);
  void ended();

  TextEncoding encoding_;
  std::vector<InputFileReport> files_;
  uint64_t bytesRead_ = 0;
  uint64_t nextReport_ = 0;
  std::function<void(uint64_t)> listener_;
};

// Reads an input file line by line as LineReader does, through the run in
// force when it was opened (if any).
class InputLineReader {
 public:
  InputLineReader() = default;
  InputLineReader(const InputLineReader&) = delete;
  InputLineReader& operator=(const InputLineReader&) = delete;

  bool open(const std::string& path);
  void close() { reader_.close(); }
  bool isOpen() const { return reader_.isOpen(); }

  // The next line, decoded; false at the end of the file.
  bool readLine(std::string& line);
  // The same as a view, good until the next read (see LineReader). Read as
  // GBK (or with no run), the line is handed out as the host would read it,
  // a byte-order mark and all.
  bool readLine(std::string_view& line) {
    if (!run_) return reader_.readLine(line);
    if (run_->encoding() != TextEncoding::Gbk) return readUtf8Line(line);
    const bool read = next();
    // Word by word: next() has just written raw_ a word at a time, and a
    // copy of it whole would read it back in one wider load, which waits
    // for those writes to reach the cache (a stall on every line).
    line = std::string_view(raw_.data(), raw_.size());
    return read;
  }
  // Passes over the next line, which takes no part (a header): it is not
  // decoded, so nothing in it is refused. False at the end of the file.
  bool skipLine();

  // Lines of the file read so far, refused ones included: the number of the
  // line last handed out.
  long lineNumber() const { return reader_.lineNumber(); }
  // A read failed: the lines handed out are not the whole file.
  bool failed() const { return reader_.failed(); }

 private:
  LineReader reader_;
  TextInputRun* run_ = nullptr;
  size_t file_ = 0;  // the run's report of this file
  // The next raw line into raw_ (empty at the end), recorded in the run's report.
  bool next();
  // readLine of a UTF-8 run: each line decoded into GBK, a line GBK cannot
  // hold refused.
  bool readUtf8Line(std::string_view& line);

  std::string_view raw_;
  std::string decoded_;
};

}  // namespace dz
