// Converts a CASS exchange file (.cas) into a host feature file: lines,
// polylines, circles, points and special features become generated points
// X1, X2, ... with a feature over them; parcels take their rings from the .qs
// file and their attributes from the parcel attribute file; houses take
// their structure and floor count from the texts that lie inside them.
//
// The class's methods are spread over files named for their work:
// cass_converter.cpp (the reader and its state machine, circles, code
// lookup), cass_converter_features.cpp (points and features),
// cass_converter_parcels.cpp (parcels and labels), cass_converter_texts.cpp
// (the TEXT section), cass_converter_houses.cpp (houses and text objects).
// What it uses knows nothing of it: the line classification (cas_lines.h),
// the indexes of the code table and of the two parcel files
// (cass_code_table.h, parcel_import.h), the text entries (text_entries.h),
// the structure texts and the text grid of the houses (house_import.h).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "base/tally.h"
#include "cass/cass_code_table.h"
#include "cass/house_import.h"
#include "cass/house_text_index.h"
#include "cass/parcel_import.h"
#include "cass/text_entries.h"
#include "host/feature_writing.h"
#include "host/host_library.h"
#include "ui/message_service.h"

namespace dz {

// One vertex as the .cas coordinate line "p,q" gives it: c1 = q becomes the
// first (north) coordinate of its point, c2 = p the second (east).
struct VertexPair {
  double c1 = 0;
  double c2 = 0;
};

class CCassConverter {
 public:
  // How the last Run ended, in facts rather than in the texts of the
  // messages it told: what callers decide on (the CLI's exit status).
  struct Outcome {
    bool casOpened = false;     // the exchange file could be read
    bool outputOpened = false;  // the host opened the output file
    bool committed = false;     // the .cas was read to its end, the output committed and closed
    // Side files that could not be opened, counted as often as they were told.
    int codeTableMissing = 0;   // CASSCode.txt, once per lookup
    int qsMissing = 0;          // the .qs file, once per parcel
    int parcelFileMissing = 0;  // the parcel attribute file, once per parcel
    // Features not written: more vertices than a host feature holds. Their
    // points are written all the same.
    FeatureTally tooLong;

    // What the files held that the conversion took as it stands, for a
    // caller's warnings. Nothing here changes what is written or told.
    LineTally unscannedCoordinates;  // .cas coordinate lines without two numbers: the vertex keeps older values
    KeyTally parcelsWithoutRing;     // parcel numbers no .qs line holds: written without boundary points
    KeyTally parcelsWithoutAttributes;  // parcel numbers the attribute file lacks: not written
  };

  // What the caller tells after a Run that converted.
  static constexpr char kConvertedMessage[] = "转换完毕！！";

  CCassConverter(HostLibrary& host, ui::MessageService& messages);
  virtual ~CCassConverter();
  CCassConverter(const CCassConverter&) = delete;
  CCassConverter& operator=(const CCassConverter&) = delete;

  std::string m_strQsPath;      // parcel boundary file (.qs)
  std::string m_strParcelPath;  // parcel attribute file (.txt)
  std::string m_strCasPath;     // the exchange file
  std::string m_strOutputPath;  // the feature file to write into
  // A parcel that needs the .qs or attribute file when its path is empty is
  // told of as the plug-in tells it; the command line, which tells it once,
  // clears this. Either way the parcel is counted in the outcome.
  bool m_bTellUnsetSideFiles = true;
  QelHandle m_hFile = 0;
  int32_t m_nPointNo = 1;             // number tried first for the next generated point
  std::string m_strPointPrefix = "X";
  dz::TextEntries m_TextEntries;  // every text collected, in file order
  int32_t m_nTextEntries = 0;  // complete entries; -1 while the first has its text but no position
  int32_t m_nTextObjectsWritten = 0;  // entries already written as text objects

  // What the run handed to the host, for a summary.
  int m_nPointsAdded = 0;
  int m_nFeaturesAdded = 0;  // all features, parcels, labels and houses included
  int m_nParcelsAdded = 0;
  int m_nLabelsAdded = 0;
  int m_nHousesAdded = 0;
  int m_nTextsAdded = 0;

  // The whole conversion. True when it converted: the .cas file was read and
  // the output file committed. False after a failure it has reported.
  bool Run();
  const Outcome& LastOutcome() const { return m_outcome; }

  int LookupCassCode(std::string_view code);
  void WriteFeature(const VertexPair* vertices, int n, int kind, int hostCode);
  void BuildPointRefs(const VertexPair* vertices, int n, int kind, int hostCode, PointRef* refs);
  void AddFeatureRecord(int hostCode, const PointRef* refs, int count);
  static std::string ExtractField(std::string_view line, int k);
  void WriteParcel(std::string_view header, const VertexPair* vertices, int n, int hostCode);
  // `textToggle` is the reader's: 0 when the next text-section line is a
  // text, 1 when it is that text's position.
  void CollectTextEntry(std::string_view line, int16_t& textToggle);
  void ReadParcelRing(QelHandle handle, int n, const std::string& parcel);
  void WriteParcelFeature(QelHandle handle, const PointRef* refs, int count, const std::string& parcel);
  // The work of an END line: the houses of m_hFile take their structure and
  // floors from entries[0..count), and the entries not yet written become
  // text objects. Called again with the same entries grown by new ones (an
  // entry once given keeps its place), it visits only what can change.
  void ApplyHouseAttributes(dz::TextEntry* entries, int count);

 private:
  struct ReadState;

  dz::PointNamer m_pointNamer;  // the generated names, made in one buffer
  std::vector<PointRef> m_featureRefs;  // the vertices of the feature being written

  // The houses visited at an END line take the texts inside them.
  void GiveHousesTheirTexts(dz::TextEntry* entries, int count);

  // `left` is the text before the line's first comma.
  void OnHeaderLine(ReadState& s, std::string_view line, std::string_view left);
  void OnCoordinateLine(ReadState& s, std::string_view line);
  void Flush(ReadState& s);
  // Every point the conversion adds goes through here, so that a house
  // waiting for a vertex of that name takes its shape.
  void AddHostPoint(QelHandle file, const PointRecord& point);
  // Counts a feature the host's vertex count cannot hold, at the line where it begins.
  void RefuseFeature();

  HostLibrary& m_host;
  ui::MessageService& m_messages;
  Outcome m_outcome;
  dz::CassCodeTable m_codeTable;
  dz::QsParcelIndex m_qsIndex;
  dz::CassParcelAttributeIndex m_parcelIndex;
  dz::HouseTextIndex m_houseIndex;
  long m_nFeatureLine = 0;  // the .cas line where the feature being written begins
};

}  // namespace dz
