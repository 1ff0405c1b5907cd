#include "attributes/attribute_attacher.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "base/fixed_field.h"

namespace dz {

using dz::attributes::BoundaryPointAttachmentIndex;
using dz::attributes::HouseAttachmentIndex;
using dz::attributes::ParcelAttachmentIndex;

namespace {

const char kParcelFileUnreadable[] = "打不开宗地属性文件！！！";
const char kBoundaryPointFileUnreadable[] = "打不开界址点属性文件！！！";
const char kHouseFileUnreadable[] = "打不开房屋属性文件！！！";

}  // namespace

CAttributeAttacher::CAttributeAttacher(HostLibrary& host, ui::MessageService& messages)
    : m_bUsePrefix(0), m_host(host), m_messages(messages) {}

CAttributeAttacher::~CAttributeAttacher() = default;

template <typename Index>
const Index* CAttributeAttacher::indexOf(LoadedFile<Index>& file, const std::string& path) {
  if (!m_bInRun || !file.loaded || file.path != path) {
    file.path = path;
    file.opened = file.index.load(path);
    file.loaded = true;
  }
  return file.opened ? &file.index : nullptr;
}

template <typename Index>
void CAttributeAttacher::TallyFile(const LoadedFile<Index>& file, AttachmentCounts& counts) {
  if (!file.loaded || !file.opened) return;
  counts.unscannedLines = file.index.unscannedLines();
  counts.keysNotFound = file.index.keysNotFound();
}

void CAttributeAttacher::forgetFiles() {
  m_parcelFile = {};
  m_boundaryPointFile = {};
  m_houseFile = {};
}

void CAttributeAttacher::Run(int handle) {
  // Only the low 16 bits of the argument are the handle.
  const QelHandle file = static_cast<QelHandle>(static_cast<uint16_t>(static_cast<uint32_t>(handle)));
  m_summary = AttachmentSummary();
  // The files read in this run are forgotten on every way out of it, so the
  // next run (or a reader called on its own) reads them afresh.
  struct RunScope {
    explicit RunScope(CAttributeAttacher& attacher) : self(attacher) {
      self.forgetFiles();
      self.m_bInRun = true;
    }
    ~RunScope() {
      self.m_bInRun = false;
      self.forgetFiles();
    }
    CAttributeAttacher& self;
  } scope(*this);

  int count = 0;
  if (m_host.GetFeatureCount(file, &count) <= 0) return;
  m_summary.features = std::max(count, 0);
  for (AheadKey& ahead : m_ahead) ahead.category = kCategoryCount;

  for (int index = 1; index <= count; ++index) {
    // The features ahead have their lookups set off now, so that the trips
    // to memory of tables larger than the caches overlap.
    PrefetchLookup(file, index + kLookAhead, count);
    FeatureHeader header{};
    const PointRef* refs = nullptr;
    int16_t refCount = 0;
    const uint8_t* stored = nullptr;
    int length = 0;
    if (m_host.GetFeature(file, index, &header, &refs, &refCount, &stored, &length) <= 0) {
      ++m_summary.missing;
      continue;
    }

    const int16_t kind = header.kind;
    int size = 0;
    AttachmentCounts* counts = nullptr;
    Category category = kCategoryCount;
    switch (kind) {
      case kParcel:
        size = kParcelAttributesSize;
        counts = &m_summary.parcels;
        category = kParcelCategory;
        break;
      case kBoundaryPoint:
        size = kBoundaryPointAttributesSize;
        counts = &m_summary.boundaryPoints;
        category = kBoundaryPointCategory;
        break;
      case kHouse:
        size = kHouseAttributesSize;
        counts = &m_summary.houses;
        category = kHouseCategory;
        break;
      default:
        ++m_summary.otherKinds;
        continue;
    }
    ++counts->seen;
    const std::string& path = m_strCategoryPath[category];
    if (path.empty()) {
      ++counts->skipped;
      continue;
    }
    // A boundary point is looked up by its first point; without one it has no key.
    if (kind == kBoundaryPoint && (refCount <= 0 || !refs)) {
      ++counts->skipped;
      continue;
    }

    // The copy starts from the feature's own bytes, however many it has, and
    // is at least the kind's size: the reader never runs past the stored
    // block, a feature stored without a block gets a whole one, and bytes
    // beyond the kind's size are written back as they were.
    const int storedLength = stored ? std::max(length, 0) : 0;
    std::vector<uint8_t>& copy = m_block;
    copy.assign(static_cast<size_t>(std::max(storedLength, size)), 0);
    if (storedLength > 0) std::memcpy(copy.data(), stored, static_cast<size_t>(storedLength));

    int16_t result = 0;
    switch (kind) {
      case kParcel:
        result = ReadParcelAttributes(path, copy.data());
        break;
      case kBoundaryPoint:
        result = ReadBoundaryPointAttributes(path, copy.data(), dz::arrayText(refs[0].name));
        break;
      default:
        result = ReadHouseAttributes(path, copy.data(), dz::arrayText(header.name));
        break;
    }
    // The pointers GetFeature handed out are not used past this point: the
    // write below may move the feature's storage.
    if (result != 0) m_host.SetFeatureAttributes(file, index, kind, copy.data(), static_cast<int>(copy.size()));
  }
  TallyFile(m_parcelFile, m_summary.parcels);
  TallyFile(m_boundaryPointFile, m_summary.boundaryPoints);
  TallyFile(m_houseFile, m_summary.houses);
}

bool CAttributeAttacher::ParcelKey(std::string_view number, std::string_view& key) const {
  if (!m_bUsePrefix) {
    key = number;
    return true;
  }
  // The prefix ends at a zero byte, as the text it is joined to would.
  const std::string_view prefix(m_strPrefix.c_str());
  if (number.substr(0, prefix.size()) != prefix) return false;
  key = number.substr(prefix.size());
  return true;
}

void CAttributeAttacher::PrefetchLookup(QelHandle file, int index, int count) {
  // The entry of the key asked for half the distance ago: its slot has come
  // by now.
  AheadKey& half = m_ahead[static_cast<size_t>(index - kLookAhead / 2) % kLookAhead];
  const std::string_view halfKey(half.bytes, half.length);
  switch (half.category) {
    case kParcelCategory:
      m_parcelFile.index.prefetch(halfKey, true);
      break;
    case kBoundaryPointCategory:
      m_boundaryPointFile.index.prefetch(halfKey, true);
      break;
    case kHouseCategory:
      m_houseFile.index.prefetch(halfKey, true);
      break;
    default:
      break;
  }
  half.category = kCategoryCount;
  // The slot of the key of feature `index`, the key kept for its entry.
  AheadKey& ahead = m_ahead[static_cast<size_t>(index) % kLookAhead];
  ahead.category = kCategoryCount;
  // Nothing to fetch before a file is read (or when none is given).
  if (index > count || !(m_parcelFile.opened || m_boundaryPointFile.opened || m_houseFile.opened)) return;
  FeatureHeader header{};
  const PointRef* refs = nullptr;
  int16_t refCount = 0;
  const uint8_t* stored = nullptr;
  int length = 0;
  if (m_host.GetFeature(file, index, &header, &refs, &refCount, &stored, &length) <= 0) return;
  // Only an index read already, of the file the lookup will use.
  const auto ready = [this](const auto& loaded, Category category) {
    return loaded.loaded && loaded.opened && loaded.path == m_strCategoryPath[category];
  };
  const auto keep = [&ahead](Category category, std::string_view key, const auto& loaded) {
    if (key.size() > sizeof ahead.bytes) return;
    loaded.index.prefetch(key, false);
    ahead.category = category;
    ahead.length = static_cast<uint8_t>(key.size());
    std::memcpy(ahead.bytes, key.data(), key.size());
  };
  switch (header.kind) {
    case kParcel: {
      constexpr int kNumberEnd = dz::attributes::kParcelNumberOffset + dz::attributes::kParcelNumberWidth;
      if (!ready(m_parcelFile, kParcelCategory) || !stored || length < kNumberEnd) return;
      const std::string_view number = dz::fieldView(
          reinterpret_cast<const char*>(stored) + dz::attributes::kParcelNumberOffset, dz::attributes::kParcelNumberWidth);
      std::string_view key;
      if (ParcelKey(number, key)) keep(kParcelCategory, key, m_parcelFile);
      return;
    }
    case kBoundaryPoint:
      if (ready(m_boundaryPointFile, kBoundaryPointCategory) && refs && refCount > 0)
        keep(kBoundaryPointCategory, dz::arrayText(refs[0].name), m_boundaryPointFile);
      return;
    case kHouse:
      if (ready(m_houseFile, kHouseCategory)) keep(kHouseCategory, dz::arrayText(header.name), m_houseFile);
      return;
    default:
      return;
  }
}

int16_t CAttributeAttacher::ReadParcelAttributes(const std::string& path, uint8_t* block) {
  const ParcelAttachmentIndex* index = indexOf(m_parcelFile, path);
  if (!index) {
    ++m_summary.parcels.unreadable;
    m_messages.ShowMessage(kParcelFileUnreadable, ui::kMbOk);
    return 0;
  }
  // A line matches when the prefix (if used) followed by its field 1 equals
  // the parcel number, so the number must begin with the prefix and the rest
  // of it is the key. A number of all 40 bytes has no terminator and is
  // compared as those 40 bytes.
  const std::string_view number = dz::fieldView(
      reinterpret_cast<const char*>(block) + dz::attributes::kParcelNumberOffset, dz::attributes::kParcelNumberWidth);
  std::string_view key;
  const dz::attributes::ParcelValues* values = ParcelKey(number, key) ? index->find(key) : nullptr;
  if (values) {
    values->applyTo(block);
    ++m_summary.parcels.attached;
  } else {
    // The parcel is still written back, unchanged.
    ++m_summary.parcels.unmatched;
  }
  return 1;
}

int16_t CAttributeAttacher::ReadBoundaryPointAttributes(const std::string& path, uint8_t* block,
                                                        std::string_view pointName) {
  const BoundaryPointAttachmentIndex* index = indexOf(m_boundaryPointFile, path);
  if (!index) {
    ++m_summary.boundaryPoints.unreadable;
    m_messages.ShowMessage(kBoundaryPointFileUnreadable, ui::kMbOk);
    return 0;
  }
  const auto* values = index->find(pointName);
  if (!values) {
    ++m_summary.boundaryPoints.unmatched;
    return 0;
  }
  values->applyTo(block);
  ++m_summary.boundaryPoints.attached;
  return 1;
}

int16_t CAttributeAttacher::ReadHouseAttributes(const std::string& path, uint8_t* block,
                                                std::string_view featureName) {
  const HouseAttachmentIndex* index = indexOf(m_houseFile, path);
  if (!index) {
    ++m_summary.houses.unreadable;
    m_messages.ShowMessage(kHouseFileUnreadable, ui::kMbOk);
    return 0;
  }
  const auto* values = index->find(featureName);
  if (!values) {
    ++m_summary.houses.unmatched;
    return 0;
  }
  values->applyTo(block);
  ++m_summary.houses.attached;
  return 1;
}

}  // namespace dz
