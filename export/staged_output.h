// An output written beside its target and moved into place only when it is
// whole: a failed export leaves neither a torn OUT nor its temporary files,
// and a replaced OUT stays as it was until the new one is complete.
#pragma once

#include <string>
#include <vector>

namespace dz::gis {

enum class OutputKind { File, Folder };

class StagedOutput {
 public:
  StagedOutput() = default;
  ~StagedOutput();  // removes the stage and all in it unless committed
  StagedOutput(const StagedOutput&) = delete;
  StagedOutput& operator=(const StagedOutput&) = delete;

  // Checks what is at `out` and creates a hidden stage folder beside it.
  // An existing OUT is refused unless `overwrite`; with it, a file output
  // replaces only a file, and a folder output replaces only a folder whose
  // files all belong to an earlier export (their names begin with one of
  // `ownStems` and a dot), so that no unrelated folder is ever deleted.
  // False with a message naming OUT and saying what to do.
  bool begin(const std::string& out, OutputKind kind, bool overwrite, const std::vector<std::string>& ownStems,
             std::string& error);

  // Where to write: inside the stage, with OUT's own name (its extension
  // tells some drivers what to write).
  const std::string& target() const { return target_; }

  // Moves the target over OUT and removes the stage. False with a message
  // when the move failed; OUT is then as it was before.
  bool commit(std::string& error);

 private:
  std::string out_;
  std::string stage_;
  std::string target_;
  OutputKind kind_ = OutputKind::File;
};

}  // namespace dz::gis
