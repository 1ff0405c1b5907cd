// Which collected texts lie inside which houses, kept from one END line to
// the next. Every END gives the houses of the file the unused texts inside
// them; walking every feature and testing every text at each END costs the
// square of the input when a file has many END lines. This index reads each
// feature once, tests each pair of a house and a text near it once, and at an
// END names only the houses whose answer can change: those never visited and
// those with an unused text inside. The answers are those of the full walk.
#pragma once

#include <cstdint>
#include <deque>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "cass/cell_lists.h"
#include "cass/text_entries.h"
#include "host/host_library.h"

namespace dz {

class HouseTextIndex {
 public:
  // A house to visit at this END: its feature number and the unused texts
  // inside it (where the host's point-in-polygon test says 2), ascending,
  // given by textsOf. Texts may be taken by houses visited before it; skip
  // those. Eight bytes: a large file's first END visits every house.
  struct Visit {
    int32_t feature = 0;
    int32_t list = -1;  // in insides_, or none
  };
  const std::vector<int>& textsOf(const Visit& visit) const;

  // Forgets everything: the next update reads `file` from its first feature.
  void reset(QelHandle file);

  // Brings the index up to the features of `file` and entries[0..count) and
  // lists the houses to visit, in feature order. The list and the texts of
  // its visits stay valid until the next call of any other method. Another
  // file than the last starts afresh.
  void update(HostLibrary& host, QelHandle file, const TextEntry* entries, int count, std::vector<Visit>& visits);

  // The visits of the last update are done: texts taken since are dropped
  // from the index once they are half of those it keeps, so that its memory
  // shrinks as houses take their texts (at the cost of one rebuild for as
  // many texts as were dropped).
  void forgetTaken();

  // A point was added to the file: a house that lacked a vertex of that name
  // has a new shape, and is placed afresh at the next update.
  void pointAdded(std::string_view name);

 private:
  struct Box {
    double minF = 0, maxF = 0, minS = 0, maxS = 0;
  };
  // 48 bytes: a large file has hundreds of thousands of houses, few with texts.
  struct House {
    Box box;
    int32_t feature = 0;
    int32_t inside = -1;  // its list in insides_, once a text is found inside
    int16_t vertices = 0;  // a feature of the host has at most 32767
    int16_t level = 0;
    // Grid entries of older shapes are stale. After 65536 new shapes an old
    // entry may pass for current: it then only adds a candidate, which the
    // house's own box turns away.
    uint16_t generation = 0;
    bool nan : 1;      // a NaN coordinate: the box says nothing, every text is tested
    bool wide : 1;     // not in the grid: tested against every text
    bool visited : 1;
    House() : nan(false), wide(false), visited(false) {}
  };
  static_assert(sizeof(House) <= 48, "a house stays small");
  struct GridEntry {
    int house;
    uint16_t generation;
  };

  void readNewFeatures(HostLibrary& host);
  // Reads the ring of house `slot` from its vertices `refs` (the host's).
  void shape(HostLibrary& host, int slot, const PointRef* refs, int16_t refCount);
  // The ring of house `slot` as the host gives it: the last one read, or
  // read again. A house's points never move once they exist (one that was
  // missing makes the house stale), so the ring read again is the same.
  const double* ringOf(HostLibrary& host, int slot);
  // Reads the coordinates of refs_[0..vertices) into ring_.
  void readRing(HostLibrary& host, int slot, int vertices, bool noteMissing);
  void placeHouse(HostLibrary& host, int slot);
  // Puts the houses placed since the last call in the grid of houses.
  void gridHouses();
  void placeText(HostLibrary& host, int text);
  void levelInUse(int level);
  // Puts every placed text in the text grid at `level`.
  void gridTextsAt(int level);
  // The level of the text grid a house whose box is the point (f, s) looks up.
  int pointHouseTextLevel(double f, double s);
  // Whether the text grid holds the texts at `level`: every level of the
  // houses but the point level, which only once a house needs it.
  bool textsAt(int level) const;
  // Notes `text` inside house `slot` when it is a candidate and the host says so.
  bool tryPair(HostLibrary& host, int slot, int text);

  static bool cellAt(double f, double s, int level, GridCell& cell);

  QelHandle file_ = 0;
  const TextEntry* entries_ = nullptr;
  int count_ = 0;       // entries placed so far
  int featuresRead_ = 0;
  // Grown a block at a time: a table that doubles holds its old copy and the
  // new one at once, at the moment a large file's index is largest.
  std::deque<House> houses_;
  std::vector<std::vector<int>> insides_;  // texts inside a house and maybe still unused, ascending
  std::vector<double> ring_;               // (first, second) pairs of the house ringHouse_
  int ringHouse_ = -1;
  std::vector<PointRef> refs_;             // a house's vertices, copied from the host
  std::vector<int> near_;                  // candidates of one placement
  std::vector<int> wide_;                  // houses tested against every text
  std::vector<int> levels_;                // grid levels of the houses placed
  bool pointLevelTexts_ = false;           // the text grid holds the point level
  // Only texts placed after a house look it up here: the houses are put in
  // when such texts come, so the houses of the last END never are.
  CellLists<GridEntry> houseGrid_;
  std::vector<int> ungridded_;             // houses placed but not yet in houseGrid_
  CellLists<int> textGrid_;                // every placed text at every level in use (see textsAt)
  std::deque<int> placed_;                 // texts at a finite position, as placed
  std::vector<int> unplaced_;              // texts at a position that is not finite
  std::vector<int> due_;                   // houses to visit at the next END
  std::vector<int> stale_;                 // houses whose shape changed
  std::unordered_map<std::string, std::vector<int>> waiting_;  // a missing vertex name: its houses
};

}  // namespace dz
