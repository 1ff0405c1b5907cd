#include "tests/cli/cli_case.h"

#include <algorithm>
#include <stdexcept>

namespace dz::test::cli {

Case::Case(std::string command, std::string behaviour)
    : command_(std::move(command)), behaviour_(std::move(behaviour)) {}

Case& Case::file(std::string name, std::string bytes) {
  inputs_.push_back({std::move(name), std::move(bytes), nullptr});
  return *this;
}

Case& Case::file(std::string name, std::function<void(const std::string& path)> write) {
  inputs_.push_back({std::move(name), "", std::move(write)});
  return *this;
}

Case& Case::copyOfSamples() {
  samplesCopy_ = true;
  return *this;
}

Case& Case::run(std::vector<std::string> args, std::string input) {
  Run r;
  r.args = std::move(args);
  r.input = std::move(input);
  runs_.push_back(std::move(r));
  return *this;
}

Run& Case::last() {
  // An expectation before the first run is a fault of the table.
  if (runs_.empty()) throw std::logic_error(name() + ": an expectation before any run");
  return runs_.back();
}

TextCheck& Case::check(std::vector<std::pair<std::string, TextCheck>>& checks, const std::string& file) {
  for (auto& [name, c] : checks)
    if (name == file) return c;
  checks.emplace_back(file, TextCheck{});
  return checks.back().second;
}

Case& Case::exits(int code) {
  last().exitCode = code;
  return *this;
}

Case& Case::outTo(std::string path) {
  last().outTo = std::move(path);
  return *this;
}

Case& Case::outIs(std::string text) {
  last().out.whole = std::move(text);
  return *this;
}

Case& Case::outHas(std::vector<std::string> fragments) {
  last().out.has = std::move(fragments);
  return *this;
}

Case& Case::outLacks(std::vector<std::string> fragments) {
  last().out.lacks = std::move(fragments);
  return *this;
}

Case& Case::errIs(std::string text) {
  last().err.whole = std::move(text);
  return *this;
}

Case& Case::errHas(std::vector<std::string> fragments) {
  last().err.has = std::move(fragments);
  return *this;
}

Case& Case::errLacks(std::vector<std::string> fragments) {
  last().err.lacks = std::move(fragments);
  return *this;
}

Case& Case::dumpHas(std::string file, std::vector<std::string> fragments) {
  check(last().dumps, file).has = std::move(fragments);
  return *this;
}

Case& Case::dumpLacks(std::string file, std::vector<std::string> fragments) {
  check(last().dumps, file).lacks = std::move(fragments);
  return *this;
}

Case& Case::fileIs(std::string file, std::string bytes) {
  check(last().files, file).whole = std::move(bytes);
  return *this;
}

Case& Case::fileHas(std::string file, std::vector<std::string> fragments) {
  check(last().files, file).has = std::move(fragments);
  return *this;
}

Case& Case::fileLacks(std::string file, std::vector<std::string> fragments) {
  check(last().files, file).lacks = std::move(fragments);
  return *this;
}

Case& Case::leaves(std::string file) {
  last().unchanged.push_back(std::move(file));
  return *this;
}

Case& Case::absent(std::string file) {
  last().absent.push_back(std::move(file));
  return *this;
}

Case& Case::alike(std::string file, std::string other) {
  last().alike.emplace_back(std::move(file), std::move(other));
  return *this;
}

Case& Case::present(std::string file) {
  last().present.push_back(std::move(file));
  return *this;
}

Case& Case::directoryHolds(std::vector<std::string> names) {
  std::sort(names.begin(), names.end());
  last().directory = std::move(names);
  return *this;
}

Case& Case::asUnprivilegedUser() {
  last().unprivileged = true;
  return *this;
}

Case& Case::withEnvironment(std::string name, std::string value) {
  last().environment.emplace_back(std::move(name), std::move(value));
  return *this;
}

}  // namespace dz::test::cli
