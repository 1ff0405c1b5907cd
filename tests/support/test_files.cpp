#include "tests/support/test_files.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <stdexcept>

#include "base/file_io.h"

namespace dz::test {

TempDir::TempDir() {
  std::string pattern = (std::filesystem::temp_directory_path() / "dobrenz-test-XXXXXX").string();
  if (!mkdtemp(pattern.data())) throw std::runtime_error("mkdtemp failed");
  path_ = pattern;
}

TempDir::~TempDir() {
  std::error_code ec;
  std::filesystem::remove_all(path_, ec);
}

std::string TempDir::file(const std::string& name) const { return joinPath(path_, name); }

std::string TempDir::write(const std::string& name, const std::string& bytes) const {
  const std::string path = file(name);
  std::FILE* f = std::fopen(path.c_str(), "wb");
  if (!f) throw std::runtime_error("cannot write " + path);
  std::fwrite(bytes.data(), 1, bytes.size(), f);
  std::fclose(f);
  return path;
}

std::string readFile(const std::string& path) {
  std::string bytes;
  if (!readWholeFile(path, bytes)) throw std::runtime_error("cannot read " + path);
  return bytes;
}

int RecordingMessages::ShowMessage(const std::string& text, unsigned type) {
  shown.push_back(text);
  types.push_back(type);
  if (type != ui::kMbYesNo) return ui::kIdOk;
  if (answers.empty()) return ui::kIdYes;
  const int answer = answers.front();
  answers.erase(answers.begin());
  return answer;
}

}  // namespace dz::test
