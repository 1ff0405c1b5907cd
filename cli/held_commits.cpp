#include "cli/held_commits.h"

namespace dz::cli {

int HeldCommits::CommitFeatureFile(QelHandle file) {
  for (const Held& h : held_)
    if (h.file == file) return 1;
  held_.push_back({file, false});
  // What a commit answers when it goes well: the worker goes on as it would.
  return 1;
}

int HeldCommits::CloseFeatureFile(QelHandle file) {
  for (Held& h : held_) {
    if (h.file != file || h.closed) continue;
    h.closed = true;
    return 1;
  }
  return inner_.CloseFeatureFile(file);
}

void HeldCommits::release(bool write) {
  for (const Held& h : held_) {
    if (write) inner_.CommitFeatureFile(h.file);
    // A file the worker left open is the caller's to close, as it would be.
    if (h.closed) inner_.CloseFeatureFile(h.file);
  }
  held_.clear();
}

}  // namespace dz::cli
