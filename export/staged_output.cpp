#include "export/staged_output.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <system_error>

namespace dz::gis {
namespace {

namespace fs = std::filesystem;

bool belongsToExport(const fs::path& name, const std::vector<std::string>& stems) {
  const std::string n = name.string();
  for (const std::string& stem : stems)
    if (n.size() > stem.size() && n.compare(0, stem.size(), stem) == 0 && n[stem.size()] == '.') return true;
  return false;
}

// Empty when `dir` holds only files of an earlier export, else the name of
// the first entry that is not one.
std::string foreignEntry(const fs::path& dir, const std::vector<std::string>& stems) {
  std::error_code ec;
  for (const fs::directory_entry& e : fs::directory_iterator(dir, ec)) {
    if (!e.is_regular_file(ec) || !belongsToExport(e.path().filename(), stems)) return e.path().filename().string();
  }
  return ec ? std::string("(unreadable)") : std::string();
}

}  // namespace

StagedOutput::~StagedOutput() {
  if (stage_.empty()) return;
  std::error_code ec;
  fs::remove_all(stage_, ec);
}

bool StagedOutput::begin(const std::string& out, OutputKind kind, bool overwrite,
                         const std::vector<std::string>& ownStems, std::string& error) {
  fs::path path(out);
  while (path.has_relative_path() && !path.has_filename()) path = path.parent_path();  // "dir/" names dir
  if (path.filename().empty() || path.filename() == "." || path.filename() == "..") {
    error = out + " names no file or folder to write";
    return false;
  }
  out_ = path.string();
  kind_ = kind;

  std::error_code ec;
  const fs::file_status status = fs::symlink_status(path, ec);
  if (fs::exists(status)) {
    if (!overwrite) {
      error = out_ + " already exists: pass --overwrite to replace it.";
      return false;
    }
    if (kind == OutputKind::File && fs::is_directory(status)) {
      error = out_ + " is a folder, and this format writes a file: choose another OUT.";
      return false;
    }
    if (kind == OutputKind::Folder) {
      if (!fs::is_directory(status)) {
        error = out_ + " is not a folder, and this format writes a folder of files: choose another OUT.";
        return false;
      }
      const std::string foreign = foreignEntry(path, ownStems);
      if (!foreign.empty()) {
        error = out_ + " holds " + foreign + ", which no export wrote: --overwrite replaces only an earlier "
                "export's folder; choose another OUT.";
        return false;
      }
    }
  }

  const fs::path parent = path.has_parent_path() ? path.parent_path() : fs::path(".");
  std::string pattern = (parent / ("." + path.filename().string() + ".tmp~XXXXXX")).string();
  if (!mkdtemp(pattern.data())) {
    error = "cannot write " + out_ + ": " + std::strerror(errno);
    return false;
  }
  stage_ = pattern;
  target_ = (fs::path(stage_) / path.filename()).string();
  if (kind == OutputKind::Folder && !fs::create_directory(target_, ec)) {
    error = "cannot write " + out_ + ": " + ec.message();
    return false;
  }
  return true;
}

bool StagedOutput::commit(std::string& error) {
  std::error_code ec;
  if (kind_ == OutputKind::File) {
    // rename() replaces a file in one step.
    fs::rename(target_, out_, ec);
  } else {
    // A folder cannot replace a folder in one step: the old one is moved into
    // the stage first and put back if the new one cannot take its place.
    const fs::path old = fs::path(target_ + "~old");
    std::error_code missing;
    const bool hadOld = fs::exists(fs::symlink_status(out_, missing));
    if (hadOld) fs::rename(out_, old, ec);
    if (!ec) {
      fs::rename(target_, out_, ec);
      if (ec && hadOld) {
        std::error_code back;
        fs::rename(old, out_, back);
      }
    }
  }
  if (ec) {
    error = "cannot move the export into " + out_ + ": " + ec.message();
    return false;
  }
  fs::remove_all(stage_, ec);
  stage_.clear();
  return true;
}

}  // namespace dz::gis
