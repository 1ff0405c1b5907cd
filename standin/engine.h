// The stand-in for the host's feature libraries: feature files in memory,
// loaded from and committed to .qel files of our own format. Every operation
// checks its handles and pointers and answers a failure result instead of
// crashing. A file is locked from its open to its last close
// (base/file_lock.h): a writer in another process or another engine is
// refused at once; a second open in this engine is another handle to the
// same file in memory.
#pragma once

#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "host/host_library.h"
#include "standin/feature_store.h"

namespace dz {

class FeatureFileEngine : public HostLibrary {
 public:
  // `hostDir` is what GetHostInfo(0) reports (trailing separators dropped).
  explicit FeatureFileEngine(std::string hostDir);
  ~FeatureFileEngine() override;

  // The host directory as the tools choose it: the option when given, else
  // the environment variable QEL_HOST_DIR, else the current directory.
  static std::string resolveHostDir(const std::string& option);

  // Why the last OpenFeatureFile failed, naming the file, and problems met
  // since the last call (a commit or save that could not be written): for
  // the CLI to print.
  const std::string& lastOpenError() const { return lastOpenError_; }
  std::vector<std::string> takeProblems();

  // The next OpenFeatureFile of `path` starts an empty file even when one
  // exists there; the old file is replaced only when the new one is committed.
  void startEmpty(const std::string& path) { startEmpty_.insert(path); }

  // The work a caller knows ahead of the next OpenFeatureFile of `path`:
  // about `points` points and `features` features to be added. The file's
  // store is sized for them once, sparing the copies and the transient
  // double tables of growing step by step. Only a hint: more may be added.
  void expectWork(const std::string& path, size_t points, size_t features);

  // Read access for the dump and the tests.
  const FeatureStore* store(QelHandle file) const;

  // For fuzzing: feature files live in memory and no file is read or
  // written. Open starts from what the last commit or save-as of that path
  // left in memory, else empty; commit and save-as encode the file into
  // memory. Call before the first open.
  void keepFilesInMemory() { inMemory_ = true; }
  // The bytes the last commit or save-as of `path` encoded in memory; null when none.
  const std::string* memoryImage(const std::string& path) const;

  QelHandle OpenFeatureFile(const char* path) override;
  int GetFeatureFileInfo(QelHandle file, FileInfo* info) override;
  int16_t AddPoint(QelHandle file, const PointRecord* point, int count) override;
  int PointExists(QelHandle file, const char* name) override;
  int GetPoint(QelHandle file, const char* name, PointRecord* point) override;
  int UpdatePoint(QelHandle file, const char* name, const PointRecord* point) override;
  int GetPointXY(QelHandle file, const char* name, double* first, double* second) override;
  int AddFeature(QelHandle file, const FeatureHeader* header, const PointRef* refs, int count,
                 const void* attributes, int length) override;
  int GetFeatureCount(QelHandle file, int* count) override;
  int16_t GetFeature(QelHandle file, int index, FeatureHeader* header, const PointRef** refs, int16_t* refCount,
                     const uint8_t** attributes, int* length) override;
  int SetFeatureAttributes(QelHandle file, int index, int16_t kind, const void* attributes, int length) override;
  int PrepareSaveAs(QelHandle file) override;
  int SaveFeatureFileAs(QelHandle file, const char* path) override;
  int CommitFeatureFile(QelHandle file) override;
  int CloseFeatureFile(QelHandle file) override;
  QelHandle GetTextLayer(QelHandle file) override;
  const uint8_t* GetHostInfo(int zero) override;
  int AddTextObject(QelHandle layer, const double* anchor, const char* text, int length, const TextStyle* style,
                    int mode) override;
  int16_t GetObjectAttributes(QelHandle layer, int object, void** a, void** b) override;
  int SetAttributeField(void* b, void* a, const char* field, const char* value) override;
  int WriteObjectAttributes(QelHandle layer, int one, int object, void* a, void* b) override;
  int16_t PointInPolygon(const double* pairs, int count, const double* point) override;

 private:
  struct OpenFile;
  struct PendingAttributes;

  OpenFile* file(QelHandle h);
  OpenFile* fileOfLayer(QelHandle layer);
  // The open file whose target is `target`, if any.
  std::shared_ptr<OpenFile> fileWithTarget(const std::string& target) const;
  QelHandle addHandle(std::shared_ptr<OpenFile> f);
  bool loadInto(OpenFile& f, bool startEmpty);
  bool writeStore(const OpenFile& f, const std::string& target);

  // Handles of one file share it (and its lock, released with the last).
  std::map<QelHandle, std::shared_ptr<OpenFile>> files_;
  // The file of the handle last asked for: a conversion asks for the same
  // one for every point and feature it adds. Forgotten when files_ changes.
  QelHandle lastHandle_ = 0;
  OpenFile* lastFile_ = nullptr;
  QelHandle nextHandle_ = 1;
  QelHandle nextLayer_ = 1;
  std::vector<uint8_t> hostInfo_;
  std::string lastOpenError_;
  std::vector<std::string> problems_;
  std::set<std::string> startEmpty_;
  bool inMemory_ = false;
  std::map<std::string, std::string> memoryImages_;
  struct ExpectedWork {
    size_t points = 0;
    size_t features = 0;
  };
  std::map<std::string, ExpectedWork> expected_;
};

}  // namespace dz
