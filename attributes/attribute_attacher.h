// Attaches attribute records kept in plain text files, one file per
// attribute category, to the parcel, boundary-point and house features of an
// open host feature file. The file handle and its lifetime stay the caller's:
// nothing is opened, committed, closed or saved here.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "attributes/attribute_files.h"
#include "host/host_library.h"
#include "ui/message_service.h"

namespace dz {

// How one kind of feature fared in a run.
struct AttachmentCounts {
  int seen = 0;        // features of the kind handed out by the host
  int attached = 0;    // a line matched and the block was written
  int unmatched = 0;   // the file was read and held no line for the feature
  int unreadable = 0;  // the file could not be opened (told once per feature)
  int skipped = 0;     // no file given for the kind, or a boundary point without points

  // What the kind's file held, for a caller's warnings.
  LineTally unscannedLines;  // lines without all their fields: the missing ones keep the line before's
  KeyTally keysNotFound;     // keys of lines that no feature of the kind matched
};

struct AttachmentSummary {
  int features = 0;       // the host's feature count
  int missing = 0;        // indices the host could not hand out
  int otherKinds = 0;     // features of kinds other than parcel, boundary point, house
  AttachmentCounts parcels;
  AttachmentCounts boundaryPoints;
  AttachmentCounts houses;
};

class CAttributeAttacher {
 public:
  // The attribute categories, in the order of m_strCategoryPath.
  enum Category {
    kParcelCategory,          // 宗地
    kBoundaryPointCategory,   // 界址点
    kHouseCategory,           // 房屋
    kPipePointCategory,       // 管点
    kPipeLineCategory,        // 管线
    kControlPointCategory,    // 控制点
    kBankHeightCategory,      // 坎高
    kHouseholdCategory,       // 住户
    kBoundaryLineCategory,    // 界址线
    kCategoryCount
  };

  CAttributeAttacher(HostLibrary& host, ui::MessageService& messages);
  virtual ~CAttributeAttacher();

  std::string m_strPrefix;                         // parcel-number prefix (GBK)
  std::string m_strCategoryPath[kCategoryCount];   // empty: the category is not attached
  int m_bUsePrefix;                                // 1: the prefix goes before each parcel number read

  // What the last Run met, for a summary.
  AttachmentSummary m_summary;

  // One pass over the features 1..count of the file whose handle is the low
  // 16 bits of `handle`. Each attribute file is read at most once per run.
  void Run(int handle);

  // Looks the parcel number in bytes 40-79 of the 228-byte `block` up in the
  // parcel file and, on a match, writes the line's values into the block.
  // 1 when the file could be opened, matched or not; 0 (after telling the
  // user) when it could not.
  int16_t ReadParcelAttributes(const std::string& path, uint8_t* block);
  // Fills the 38-byte `block` from the line of `pointName`: 1 when a line
  // matched, 0 otherwise (also when the file could not be opened).
  int16_t ReadBoundaryPointAttributes(const std::string& path, uint8_t* block, std::string_view pointName);
  // Fills the 20-byte `block` from the line of `featureName`: 1 when a line
  // matched, 0 otherwise (also when the file could not be opened).
  int16_t ReadHouseAttributes(const std::string& path, uint8_t* block, std::string_view featureName);

 private:
  // An attribute file as read for the current run.
  template <typename Index>
  struct LoadedFile {
    bool loaded = false;
    bool opened = false;
    std::string path;
    Index index;
  };

  // The index of `path`, read now or earlier in this run; null when the file
  // cannot be opened. Outside a run every call reads the file afresh.
  template <typename Index>
  const Index* indexOf(LoadedFile<Index>& file, const std::string& path);
  template <typename Index>
  static void TallyFile(const LoadedFile<Index>& file, AttachmentCounts& counts);
  void forgetFiles();
  // The key that parcel number `number` gives in the parcel file: without
  // the prefix when one is used; false when the number lacks the prefix.
  bool ParcelKey(std::string_view number, std::string_view& key) const;
  // Sets off the lookup that feature `index` of `count` will make, in an
  // index this run has read already: its slot now, and its entry when the
  // feature half as far ahead comes to this call (the slot has come by
  // then). One GetFeature a feature ahead, its key kept for the second trip.
  void PrefetchLookup(QelHandle file, int index, int count);

  HostLibrary& m_host;
  ui::MessageService& m_messages;
  bool m_bInRun = false;
  LoadedFile<dz::attributes::ParcelAttachmentIndex> m_parcelFile;
  LoadedFile<dz::attributes::BoundaryPointAttachmentIndex> m_boundaryPointFile;
  LoadedFile<dz::attributes::HouseAttachmentIndex> m_houseFile;
  // The block of the feature being filled: one buffer for the whole run.
  std::vector<uint8_t> m_block;
  // The keys looked up ahead, by feature number, kept for their entries'
  // trip: a parcel number is at most 40 bytes.
  static constexpr int kLookAhead = 16;
  struct AheadKey {
    Category category = kCategoryCount;  // none
    uint8_t length = 0;
    char bytes[40];
  };
  AheadKey m_ahead[kLookAhead];
};

}  // namespace dz
