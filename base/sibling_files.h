// The files kept beside a file while it is written: its lock file and the
// temporary files a save writes before it renames one over the file. Their
// names are short whatever the file's name (a name of 255 bytes still has
// room beside it), hidden on POSIX, and tell whose they are:
//
//   .<up to 32 bytes of the name>.<8 hex digits of a hash of the name>.lock
//   .<up to 32 bytes of the name>.<8 hex digits of a hash of the name>.<8 random letters or digits>.tmp
//
// Two names that share their first 32 bytes are told apart by the hash; on
// Windows the hash is of the name as the file system compares names
// (without case), so that A.qel and a.qel share one lock.
#pragma once

#include <string>

namespace dz {

// Where the lock file of `target` lies.
std::string lockFileFor(const std::string& target);

// A new temporary name beside `target`, different at every call.
std::string newTemporaryFor(const std::string& target);

// Removes the temporary files beside `target` that a save of it left when
// its process was killed: those of the form above, and `<target>.tmp~` that
// earlier versions wrote. Only call it while holding the lock of `target`: a
// live writer of the file holds the lock for as long as its temporary file
// exists. Returns how many were removed.
int removeStaleTemporaries(const std::string& target);

}  // namespace dz
