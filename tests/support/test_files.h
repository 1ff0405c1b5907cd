// Test support: a temporary directory per test and whole-file helpers.
#pragma once

#include <string>
#include <vector>

#include "ui/message_service.h"

namespace dz::test {

// A fresh directory, removed with everything in it when the object dies.
class TempDir {
 public:
  TempDir();
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;

  const std::string& path() const { return path_; }
  // path()/name
  std::string file(const std::string& name) const;
  // Writes `bytes` to path()/name and returns the full path.
  std::string write(const std::string& name, const std::string& bytes) const;

 private:
  std::string path_;
};

std::string readFile(const std::string& path);
// The names of what is in `dir`, sorted.
std::vector<std::string> namesIn(const std::string& dir);

// A message service that records every message and answers questions from a
// queue (Yes when the queue is empty).
class RecordingMessages : public ui::MessageService {
 public:
  int ShowMessage(const std::string& text, unsigned type) override;

  std::vector<std::string> shown;   // GBK texts in order
  std::vector<unsigned> types;
  std::vector<int> answers;         // consumed front to back for Yes/No boxes
};

}  // namespace dz::test
