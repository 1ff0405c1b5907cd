#include "standin/feature_store.h"

#include "base/huge_pages.h"

namespace dz {

void StoredText::setField(const std::string& name, const std::string& value) {
  for (auto& f : fields) {
    if (f.first == name) {
      f.second = value;
      return;
    }
  }
  fields.emplace_back(name, value);
}

bool FeatureStore::addPoint(const PointRecord& point) {
  if (!index_.insert(NameKey::ofRecord(point), points_.data())) return false;
  points_.push_back(point);
  return true;
}

const PointRecord* FeatureStore::findPoint(const NameKey& key) const {
  const uint32_t i = index_.find(key, points_.data());
  return i == PointIndex::kNotFound ? nullptr : &points_[i];
}

PointRecord* FeatureStore::findPoint(const NameKey& key) {
  const uint32_t i = index_.find(key, points_.data());
  return i == PointIndex::kNotFound ? nullptr : &points_[i];
}

void FeatureStore::reservePoints(size_t n) {
  if (n > points_.capacity()) {
    points_.reserve(n);
    adviseHugePages(points_.data() + points_.size(), (points_.capacity() - points_.size()) * sizeof(PointRecord));
  }
  index_.reserve(n);
}

void FeatureStore::reserveFeatures(size_t n) {
  if (n <= features_.capacity()) return;
  features_.reserve(n);
  adviseHugePages(features_.data() + features_.size(), (features_.capacity() - features_.size()) * sizeof(StoredFeature));
}

bool FeatureStore::loadPoints(const PointRecord* points, size_t n) {
  reservePoints(n);
  if (!index_.insertAll(points, n, points)) return false;
  points_.assign(points, points + n);
  return true;
}

}  // namespace dz
