#include "base/text_input.h"

#include <cstdio>
#include <stdexcept>

#include "base/file_io.h"
#include "base/thread_pointer.h"

namespace dz {

namespace {

ThreadPointer& currentRun() {
  static ThreadPointer run;
  return run;
}

constexpr uint64_t kReportEvery = 64 * 1024;

}  // namespace

uint64_t inputFileSize(const std::string& path) {
  std::FILE* f = openFile(path, "rb");
  if (!f) return 0;
#ifdef _WIN32
  const bool atEnd = _fseeki64(f, 0, SEEK_END) == 0;
  const long long size = atEnd ? _ftelli64(f) : -1;
#else
  const bool atEnd = fseeko(f, 0, SEEK_END) == 0;
  const long long size = atEnd ? static_cast<long long>(ftello(f)) : -1;
#endif
  std::fclose(f);
  return size > 0 ? static_cast<uint64_t>(size) : 0;
}

// --- TextInputRun ---------------------------------------------------------------

TextInputRun::TextInputRun(TextEncoding encoding) : encoding_(encoding) {
  if (currentRun().get()) throw std::logic_error("a text input run is already in force on this thread");
  currentRun().set(this);
}

TextInputRun::~TextInputRun() { currentRun().set(nullptr); }

TextInputRun* TextInputRun::current() { return static_cast<TextInputRun*>(currentRun().get()); }

size_t TextInputRun::opened(const std::string& path) {
  for (size_t i = 0; i < files_.size(); ++i) {
    if (files_[i].path != path) continue;
    files_[i] = InputFileReport();
    files_[i].path = path;
    return i;
  }
  files_.emplace_back();
  files_.back().path = path;
  return files_.size() - 1;
}

void TextInputRun::advance(InputFileReport& file, uint64_t bytes) {
  file.bytesRead += bytes;
  bytesRead_ += bytes;
  if (listener_ && bytesRead_ >= nextReport_) {
    nextReport_ = bytesRead_ + kReportEvery;
    listener_(bytesRead_);
  }
}

void TextInputRun::ended() {
  if (listener_) listener_(bytesRead_);
}

// --- InputLineReader --------------------------------------------------------------

bool InputLineReader::open(const std::string& path) {
  run_ = TextInputRun::current();
  if (!reader_.open(path)) return false;
  if (run_) file_ = run_->opened(path);
  return true;
}

bool InputLineReader::next() {
  InputFileReport& file = run_->files_[file_];
  if (!reader_.readLine(raw_)) {
    // The line ends were not seen: the rest of the file is what they and a
    // Ctrl-Z tail took.
    const uint64_t size = inputFileSize(file.path);
    if (size > file.bytesRead) run_->advance(file, size - file.bytesRead);
    run_->ended();
    return false;
  }
  file.lines = reader_.lineNumber();
  run_->advance(file, raw_.size() + 1);
  if (file.lines == 1 && raw_.substr(0, kUtf8Bom.size()) == kUtf8Bom) file.byteOrderMark = true;
  // An ASCII line is evidence of nothing.
  if (run_->encoding_ == TextEncoding::Gbk && !reader_.lineKnownAscii()) file.evidence.see(raw_);
  return true;
}

bool InputLineReader::skipLine() {
  if (!run_) {
    std::string_view line;
    return reader_.readLine(line);
  }
  return next();
}

bool InputLineReader::readLine(std::string& line) { return copyNextLine(*this, line); }

bool InputLineReader::readUtf8Line(std::string_view& line) {
  for (;;) {
    if (!next()) {
      line = std::string_view();
      return false;
    }
    std::string_view text(raw_);
    if (lineNumber() == 1 && text.substr(0, kUtf8Bom.size()) == kUtf8Bom) text.remove_prefix(kUtf8Bom.size());
    Utf8Refusal refusal;
    if (utf8LineToGbk(text, decoded_, refusal)) {
      line = decoded_;
      return true;
    }
    InputFileReport& file = run_->files_[file_];
    file.refused.add(file.lines);
    if (file.firstRefused.size() < LineTally::kKept) file.firstRefused.push_back({file.lines, refusal});
  }
}

}  // namespace dz
