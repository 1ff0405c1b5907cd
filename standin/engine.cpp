#include "standin/engine.h"

#include <cstdlib>
#include <cstring>
#include <exception>

#include "base/atomic_file.h"
#include "base/file_io.h"
#include "base/file_lock.h"
#include "base/fixed_field.h"
#include "base/sibling_files.h"
#include "standin/point_in_polygon.h"
#include "standin/qel_format.h"

#ifdef _WIN32
#include <direct.h>
#define getcwd _getcwd
#else
#include <unistd.h>
#endif

namespace dz {

struct FeatureFileEngine::PendingAttributes {
  int object = 0;
  std::vector<std::pair<std::string, std::string>> fields;
};

struct FeatureFileEngine::OpenFile {
  std::string path;    // as given
  std::string target;  // where commits go: the path, or the file its links lead to
  FileLock lock;
  FeatureStore store;
  QelHandle layer = 0;
  // Attribute records handed out by GetObjectAttributes, by object number.
  std::map<int, std::unique_ptr<PendingAttributes>> pending;
};

namespace {

constexpr const char kHostName[] = "DobrenzData stand-in host 1.0";

bool isSeparator(char c) {
#ifdef _WIN32
  return c == '\\' || c == '/';
#else
  return c == '/';
#endif
}

// Locks `target` for a writer and removes what killed writers of it left
// beside it: with the lock taken no writer of the file is alive. False with
// the reason, naming `path`, when another writer has the file.
bool lockForWriting(const std::string& path, const std::string& target, FileLock& lock, std::string& problem) {
  std::string error;
  switch (lock.acquire(target, error)) {
    case FileLock::Result::Busy:
      problem = path + ": file in use by another process";
      return false;
    case FileLock::Result::Failed:
      problem = path + ": " + error;
      return false;
    case FileLock::Result::Locked:
      removeStaleTemporaries(target);
      return true;
    case FileLock::Result::Unlockable:
      return true;
  }
  return true;
}

}  // namespace

FeatureFileEngine::FeatureFileEngine(std::string hostDir) {
  while (!hostDir.empty() && isSeparator(hostDir.back())) hostDir.pop_back();
  hostInfo_.assign(kHostInfoDirOffset + hostDir.size() + 1, 0);
  std::memcpy(hostInfo_.data(), kHostName, sizeof kHostName);
  std::memcpy(hostInfo_.data() + kHostInfoDirOffset, hostDir.data(), hostDir.size());
}

FeatureFileEngine::~FeatureFileEngine() = default;

std::string FeatureFileEngine::resolveHostDir(const std::string& option) {
  if (!option.empty()) return option;
  if (const char* env = std::getenv("QEL_HOST_DIR"); env && *env) return env;
  char buffer[4096];
  if (getcwd(buffer, sizeof buffer)) return buffer;
  return ".";
}

std::vector<std::string> FeatureFileEngine::takeProblems() {
  std::vector<std::string> out;
  out.swap(problems_);
  return out;
}

FeatureFileEngine::OpenFile* FeatureFileEngine::file(QelHandle h) {
  if (lastFile_ && h == lastHandle_) return lastFile_;
  auto it = files_.find(h);
  if (it == files_.end()) return nullptr;
  lastHandle_ = h;
  lastFile_ = it->second.get();
  return lastFile_;
}

FeatureFileEngine::OpenFile* FeatureFileEngine::fileOfLayer(QelHandle layer) {
  if (layer <= 0) return nullptr;
  for (auto& entry : files_)
    if (entry.second->layer == layer) return entry.second.get();
  return nullptr;
}

const FeatureStore* FeatureFileEngine::store(QelHandle h) const {
  auto it = files_.find(h);
  return it == files_.end() ? nullptr : &it->second->store;
}

std::shared_ptr<FeatureFileEngine::OpenFile> FeatureFileEngine::fileWithTarget(const std::string& target) const {
  for (const auto& entry : files_)
    if (entry.second->target == target) return entry.second;
  return nullptr;
}

const std::string* FeatureFileEngine::memoryImage(const std::string& path) const {
  const auto it = memoryImages_.find(path);
  return it == memoryImages_.end() ? nullptr : &it->second;
}

// On disk, the file goes to its temporary as it is encoded, in pieces, through the
// same atomic writer as writeFileAtomically: no second copy of a file of
// hundreds of megabytes in memory, and every guarantee of that writer holds.
bool FeatureFileEngine::writeStore(const OpenFile& f, const std::string& target) {
  if (inMemory_) {
    memoryImages_[target] = encodeQel(f.store);
    return true;
  }
  std::string error;
  AtomicFile out;
  if (out.begin(target, error)) {
    // A piece the writer refuses stops the encoding; commit tells why.
    encodeQel(f.store, [&out](const void* data, size_t size) { return out.write(data, size); });
    if (out.commit(error)) return true;
  }
  problems_.push_back(error);
  return false;
}

// Only a path where nothing is opens as a new file: a file that is there but
// cannot be read, or is not a regular file, is refused, never replaced.
bool FeatureFileEngine::loadInto(OpenFile& f, bool startEmpty) {
  const PathStatus status = examinePath(f.target);
  switch (status.kind) {
    case PathKind::Missing: {
      // A new file needs its folder: a path whose folder is not there
      // opens nothing, rather than a file that no commit can write.
      const std::string folder = siblingPath(f.target, "");
      if (folder.empty() || examinePath(folder).kind == PathKind::Directory) return true;
      lastOpenError_ = f.path + ": the folder of the file does not exist";
      return false;
    }
    case PathKind::Directory:
      lastOpenError_ = f.path + " is a directory, not a feature file";
      return false;
    case PathKind::Other:
      lastOpenError_ = f.path + " is not a regular file";
      return false;
    case PathKind::Unknown:
      lastOpenError_ = f.path + ": cannot be read: " + status.error;
      return false;
    case PathKind::RegularFile:
      break;
  }
  if (startEmpty) return true;
  // Read in pieces: the file is never held whole beside the store it makes.
  std::string reason;
  bool unreadable = false;
  if (readQelFile(f.target, f.store, reason, unreadable)) return true;
  if (unreadable) {
    lastOpenError_ = f.path + ": cannot be read: " + reason;
  } else {
    lastOpenError_ = f.path + ": " + reason;
  }
  return false;
}

void FeatureFileEngine::expectWork(const std::string& path, size_t points, size_t features) {
  expected_[path] = {points, features};
}

// --- QelBlk60 ---------------------------------------------------------------

QelHandle FeatureFileEngine::OpenFeatureFile(const char* path) {
  lastOpenError_.clear();
  if (!path || !*path) {
    lastOpenError_ = "no feature file path given";
    return 0;
  }
  auto f = std::make_shared<OpenFile>();
  f->path = path;
  const bool startEmpty = startEmpty_.erase(f->path) > 0;
  ExpectedWork work;
  if (const auto it = expected_.find(f->path); it != expected_.end()) {
    work = it->second;
    expected_.erase(it);
  }
  if (inMemory_) {
    // Nothing on disk: the file is what an earlier commit left in memory.
    f->target = f->path;
    const std::string* image = startEmpty ? nullptr : memoryImage(f->path);
    std::string reason;
    if (image && !decodeQel(*image, f->store, reason)) {
      lastOpenError_ = f->path + ": " + reason;
      return 0;
    }
    return addHandle(std::move(f));
  }
  std::string error;
  if (!resolveWriteTarget(f->path, f->target, error)) {
    lastOpenError_ = f->path + ": " + error;
    return 0;
  }
  if (std::shared_ptr<OpenFile> open = fileWithTarget(f->target)) {
    // A file open here already is handed out again, not read a second time:
    // two copies would each be committed over the other's changes.
    if (!startEmpty) return addHandle(std::move(open));
    lastOpenError_ = f->path + ": file in use: it is open already";
    return 0;
  }
  if (!lockForWriting(f->path, f->target, f->lock, lastOpenError_)) return 0;
  if (!loadInto(*f, startEmpty)) return 0;
  try {
    f->store.reservePoints(f->store.points().size() + work.points);
    f->store.reserveFeatures(f->store.features().size() + work.features);
  } catch (const std::exception&) {
    // Only a hint, and it may ask more than a 32-bit process can reserve at
    // once while the work itself fits as it grows: the store grows by steps.
  }
  return addHandle(std::move(f));
}

QelHandle FeatureFileEngine::addHandle(std::shared_ptr<OpenFile> f) {
  // Handles are positive 16-bit values; find a free one.
  for (int tries = 0; tries < INT16_MAX; ++tries) {
    const QelHandle h = nextHandle_;
    nextHandle_ = nextHandle_ == INT16_MAX ? 1 : static_cast<QelHandle>(nextHandle_ + 1);
    if (!files_.count(h)) {
      lastFile_ = nullptr;
      files_[h] = std::move(f);
      return h;
    }
  }
  lastOpenError_ = "too many open feature files";
  return 0;
}

int FeatureFileEngine::GetFeatureFileInfo(QelHandle h, FileInfo* info) {
  OpenFile* f = file(h);
  if (!f || !info) return -1;
  std::memset(info, 0, sizeof *info);
  uint8_t* b = info->bytes;
  std::memcpy(b, "QELI", 4);
  putLE<uint32_t>(b, 4, 1);
  putLE<uint32_t>(b, 8, static_cast<uint32_t>(f->store.points().size()));
  putLE<uint32_t>(b, 12, static_cast<uint32_t>(f->store.features().size()));
  putLE<uint32_t>(b, 16, static_cast<uint32_t>(f->store.texts().size()));
  putLE<int16_t>(b, 20, h);
  copyField(reinterpret_cast<char*>(b + 24), sizeof info->bytes - 24 - 1, f->path);
  return 1;
}

int16_t FeatureFileEngine::AddPoint(QelHandle h, const PointRecord* point, int count) {
  OpenFile* f = file(h);
  if (!f || !point || count < 1) return -1;
  bool all = true;
  for (int i = 0; i < count; ++i) all = f->store.addPoint(point[i]) && all;
  return all ? 1 : 0;
}

int FeatureFileEngine::PointExists(QelHandle h, const char* name) {
  OpenFile* f = file(h);
  if (!f || !name) return -1;
  return f->store.pointNumber(NameKey::of(name)) != FeatureStore::kNoPoint ? 1 : -1;
}

int FeatureFileEngine::GetPoint(QelHandle h, const char* name, PointRecord* point) {
  OpenFile* f = file(h);
  if (!f || !name || !point) return -1;
  const size_t i = f->store.pointNumber(NameKey::of(name));
  if (i == FeatureStore::kNoPoint) return 0;
  *point = f->store.points()[i];
  return 1;
}

int FeatureFileEngine::UpdatePoint(QelHandle h, const char* name, const PointRecord* point) {
  OpenFile* f = file(h);
  if (!f || !name || !point) return -1;
  const size_t i = f->store.pointNumber(NameKey::of(name));
  if (i == FeatureStore::kNoPoint) return 0;
  // The name is the index key and stays; every other byte is replaced.
  f->store.updatePoint(i, *point);
  return 1;
}

int FeatureFileEngine::GetPointXY(QelHandle h, const char* name, double* first, double* second) {
  OpenFile* f = file(h);
  if (!f || !name || !first || !second) return -1;
  const size_t i = f->store.pointNumber(NameKey::of(name));
  if (i == FeatureStore::kNoPoint) return 0;
  f->store.points().coordinates(i, *first, *second);
  return 1;
}

int FeatureFileEngine::AddFeature(QelHandle h, const FeatureHeader* header, const PointRef* refs, int count,
                                  const void* attributes, int length) {
  OpenFile* f = file(h);
  // The vertex count travels back as a 16-bit value, so longer lists are refused.
  if (!f || !header || count < 0 || count > INT16_MAX || (count > 0 && !refs) || length < 0 ||
      (length > 0 && !attributes))
    return -1;
  f->store.addFeature(*header, refs, static_cast<size_t>(count), static_cast<const uint8_t*>(attributes),
                      static_cast<size_t>(length));
  return static_cast<int>(f->store.features().size());
}

int FeatureFileEngine::GetFeatureCount(QelHandle h, int* count) {
  OpenFile* f = file(h);
  if (!f || !count) return -1;
  *count = static_cast<int>(f->store.features().size());
  return 1;
}

int16_t FeatureFileEngine::GetFeature(QelHandle h, int index, FeatureHeader* header, const PointRef** refs,
                                      int16_t* refCount, const uint8_t** attributes, int* length) {
  OpenFile* f = file(h);
  if (!f || !header || !refs || !refCount || !attributes || !length) return -1;
  auto& features = f->store.features();
  if (index < 1 || static_cast<size_t>(index) > features.size()) return 0;
  const StoredFeature& feature = features[index - 1];
  *header = feature.header;
  const RecordSpan<PointRef> vertices = feature.refs();
  const RecordSpan<uint8_t> block = feature.attributes();
  *refs = vertices.empty() ? nullptr : vertices.data();
  *refCount = static_cast<int16_t>(vertices.size());
  *attributes = block.empty() ? nullptr : block.data();
  *length = static_cast<int>(block.size());
  return 1;
}

int FeatureFileEngine::SetFeatureAttributes(QelHandle h, int index, int16_t kind, const void* attributes,
                                            int length) {
  OpenFile* f = file(h);
  if (!f || length < 0 || (length > 0 && !attributes)) return -1;
  if (index < 1 || static_cast<size_t>(index) > f->store.features().size()) return 0;
  // The caller may pass the block GetFeature gave out, or a part of it.
  f->store.setFeatureBlock(static_cast<size_t>(index) - 1, kind, static_cast<const uint8_t*>(attributes),
                           static_cast<size_t>(length));
  return 1;
}

int FeatureFileEngine::PrepareSaveAs(QelHandle h) { return file(h) ? 1 : -1; }

int FeatureFileEngine::SaveFeatureFileAs(QelHandle h, const char* path) {
  OpenFile* f = file(h);
  if (!f || !path || !*path) return -1;
  if (inMemory_) return writeStore(*f, path) ? 1 : -1;
  std::string target, error;
  if (!resolveWriteTarget(path, target, error)) {
    problems_.push_back(std::string(path) + ": " + error);
    return -1;
  }
  if (target == f->target) return writeStore(*f, target) ? 1 : -1;
  // Another file is written for the time of the save: it is locked for that
  // long, like any writer of it. One this engine has open would be committed
  // over the save.
  if (fileWithTarget(target)) {
    problems_.push_back(std::string(path) + ": file in use: it is open already");
    return -1;
  }
  FileLock lock;
  if (!lockForWriting(path, target, lock, error)) {
    problems_.push_back(error);
    return -1;
  }
  return writeStore(*f, target) ? 1 : -1;
}

int FeatureFileEngine::CommitFeatureFile(QelHandle h) {
  OpenFile* f = file(h);
  if (!f) return -1;
  return writeStore(*f, f->target) ? 1 : -1;
}

int FeatureFileEngine::CloseFeatureFile(QelHandle h) {
  lastFile_ = nullptr;
  return files_.erase(h) ? 1 : -1;
}

QelHandle FeatureFileEngine::GetTextLayer(QelHandle h) {
  OpenFile* f = file(h);
  if (!f) return 0;
  if (f->layer == 0) {
    f->layer = nextLayer_;
    nextLayer_ = nextLayer_ == INT16_MAX ? 1 : static_cast<QelHandle>(nextLayer_ + 1);
  }
  return f->layer;
}

// --- QelCore60 --------------------------------------------------------------

const uint8_t* FeatureFileEngine::GetHostInfo(int zero) { return zero == 0 ? hostInfo_.data() : nullptr; }

int FeatureFileEngine::AddTextObject(QelHandle layer, const double* anchor, const char* text, int length,
                                     const TextStyle* style, int mode) {
  OpenFile* f = fileOfLayer(layer);
  if (!f || !anchor || !style || length < 0 || (length > 0 && !text)) return -1;
  f->store.addText(anchor, std::string_view(text ? text : "", static_cast<size_t>(length)), *style, mode);
  return static_cast<int>(f->store.texts().size());
}

int16_t FeatureFileEngine::GetObjectAttributes(QelHandle layer, int object, void** a, void** b) {
  OpenFile* f = fileOfLayer(layer);
  if (!f || !a || !b) return -1;
  if (object < 1 || static_cast<size_t>(object) > f->store.texts().size()) return 0;
  auto& slot = f->pending[object];
  if (!slot) {
    slot = std::make_unique<PendingAttributes>();
    slot->object = object;
  }
  *a = slot.get();
  *b = f;
  return 1;
}

int FeatureFileEngine::SetAttributeField(void* b, void* a, const char* field, const char* value) {
  if (!a || !b || !field || !value) return -1;
  for (auto& entry : files_) {
    OpenFile* f = entry.second.get();
    if (f != b) continue;
    for (auto& p : f->pending) {
      if (p.second.get() != a) continue;
      for (auto& kv : p.second->fields) {
        if (kv.first == field) {
          kv.second = value;
          return 1;
        }
      }
      p.second->fields.emplace_back(field, value);
      return 1;
    }
  }
  return -1;
}

int FeatureFileEngine::WriteObjectAttributes(QelHandle layer, int /*one*/, int object, void* a, void* b) {
  OpenFile* f = fileOfLayer(layer);
  if (!f || f != b || !a) return -1;
  auto it = f->pending.find(object);
  if (it == f->pending.end() || it->second.get() != a) return -1;
  StoredText& t = f->store.text(static_cast<size_t>(object - 1));
  for (auto& kv : it->second->fields) t.setField(kv.first, kv.second);
  f->pending.erase(it);
  return 1;
}

int16_t FeatureFileEngine::PointInPolygon(const double* pairs, int count, const double* point) {
  return static_cast<int16_t>(locatePointInRing(pairs, count, point));
}

}  // namespace dz
