// Faults the file layer can be told to inject, so that tests can show what a
// full disk, a failing sync or rename, or a read error does to a run: the
// environment variable DZ_TEST_FILE_FAULT names one, read afresh by every
// file operation that can fail that way (no state is kept between them).
//
//   short-write@K   a write that would reach past byte K of a written file
//                   stops at K, and the writes after it write nothing
//   no-space@K      writing past byte K fails with "no space left on device"
//   partial-writes  every write call takes at most 1000 bytes: not a fault,
//                   the file must still come out whole
//   sync            flushing a written file to the disk fails
//   rename          putting a written file in its target's place fails
//   dir-sync        flushing the directory after that rename fails (POSIX)
//   writeback@K     the disk fails to take the bytes before K of a written
//                   file while the writer is still writing it (Linux)
//   read@K          reading past byte K of any file read fails
//
// Without the variable (or with a value that names none of these) nothing is
// injected; the file layer then costs one getenv per operation.
#pragma once

#include <cstddef>
#include <cstdint>

namespace dz {

struct FileFaults {
  enum class Kind { None, ShortWrite, NoSpace, PartialWrites, Sync, Rename, DirSync, Read, Writeback };

  Kind kind = Kind::None;
  uint64_t at = 0;  // K of the faults that happen at a byte

  static constexpr const char* kVariable = "DZ_TEST_FILE_FAULT";
  static constexpr size_t kPartialWriteSize = 1000;

  // The fault DZ_TEST_FILE_FAULT names now.
  static FileFaults fromEnvironment();
  // The fault `text` names ("no-space@4096"); Kind::None when it names none.
  static FileFaults parse(const char* text);

  bool is(Kind k) const { return kind == k; }
};

}  // namespace dz
