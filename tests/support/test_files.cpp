#include "tests/support/test_files.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <random>
#include <stdexcept>

#include "base/file_io.h"

namespace dz::test {

TempDir::TempDir() {
  // A name no other test process picks: random, retried until it is new.
  static std::mt19937_64 random{std::random_device{}()};
  for (int attempt = 0; attempt < 100; ++attempt) {
    const auto candidate = std::filesystem::temp_directory_path() / ("dobrenz-test-" + std::to_string(random()));
    std::error_code ec;
    if (std::filesystem::create_directory(candidate, ec)) {
      path_ = candidate.string();
      return;
    }
  }
  throw std::runtime_error("cannot create a temporary directory");
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

std::vector<std::string> namesIn(const std::string& dir) {
  std::vector<std::string> names;
  for (const auto& e : std::filesystem::directory_iterator(dir)) names.push_back(e.path().filename().string());
  std::sort(names.begin(), names.end());
  return names;
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
