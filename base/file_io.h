// The one place where files are opened by path. Paths are the platform's own
// narrow form and are never transcoded as text.
#pragma once

#include <cstdio>
#include <string>

namespace dz {

std::FILE* openFile(const std::string& path, const char* mode);

// Joins a directory and a file name with the platform's separator, as the
// host directory and a code table name are joined.
std::string joinPath(const std::string& dir, const std::string& name);

bool fileExists(const std::string& path);

// Reads a whole file; false when it cannot be opened or read.
bool readWholeFile(const std::string& path, std::string& bytes);

// Writes `bytes` to `path` so that a crash leaves either the old file or the
// new one: a temporary file beside the target, flushed, then renamed over it,
// and on POSIX the directory flushed after the rename. On failure `error`
// says why and no temporary file is left; the target is untouched unless only
// that last flush failed, when the new file is in place but may not outlive
// a crash.
bool writeFileAtomically(const std::string& path, const std::string& bytes, std::string& error);

}  // namespace dz
