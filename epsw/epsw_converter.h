// The EPSW conversion: the points and features of a .cor file and the
// annotations of a .not file into a host feature file. The EPSW dialog owns
// one converter for its whole life, exchanges its controls into the settings
// below and calls OnOK for its "转  换" button, so that the state that outlives
// one run (the file handle and the running numbers) carries over when the
// user presses the button again after an error.
#pragma once

#include <memory>
#include <string>

#include "base/tally.h"
#include "host/feature_writing.h"
#include "host/host_library.h"
#include "ui/message_service.h"

namespace dz {

class EpswCodeTable;
class InputLineReader;

class CEpswConverter {
 public:
  // How the last OnOK ended, in facts rather than in the texts of the
  // messages it told: what callers decide on (the CLI's exit status).
  struct Outcome {
    bool settingsAccepted = false;  // the four checks passed
    bool corMissing = false;        // the selected .cor file could not be opened or read to its end
    bool outputOpened = false;      // the host opened the output file
    bool notMissing = false;        // the selected .not file could not be opened or read to its end
    bool committed = false;         // the output file was committed and closed
    bool completed = false;         // every selected file was converted and the end told
    int codeTableMissing = 0;       // feature lines told that EPSWconvert.txt cannot be opened
    int farConverted = 0;           // far points and texts the answer kept
    int farDropped = 0;             // far points and texts the answer left out
    // Features not written: more vertices than a host feature holds. Their
    // points are written all the same.
    FeatureTally tooLong;
    // Features whose point lines fall short of their announced vertex count
    // and were padded with fewer empty entries than that: a file pays for
    // padding with its lines, one empty entry per line read.
    FeatureTally paddedShort;
    long entriesNotPadded = 0;  // the empty entries left out

    // What the files held that the conversion took as it stands, for a
    // caller's warnings. Nothing here changes what is written or told.
    LineTally corUnscanned;  // .cor lines without all their fields: the missing ones keep the line before's
    LineTally notUnscanned;  // .not lines alike
  };

  CEpswConverter(HostLibrary& host, ui::MessageService& messages);
  virtual ~CEpswConverter();
  CEpswConverter(const CEpswConverter&) = delete;
  CEpswConverter& operator=(const CEpswConverter&) = delete;

  // Settings (the dialog's check boxes and paths).
  int m_bConvertNot = 1;  // the .not file is selected
  int m_bConvertCor = 1;  // the .cor file is selected
  std::string m_strOutputPath;
  std::string m_strCorPath;
  std::string m_strNotPath;

  // State that outlives one run. The two numbers are never reset: a second
  // run continues T<n> and the feature names where the first left off.
  QelHandle m_hFile = 0;        // the output file while a run lasts
  char m_chPointPrefix = 'T';   // first character of every generated point name
  int m_nPointNo = 0;           // last number given to a generated point
  int m_nFeatureNo = 0;         // last number given to a feature name

  // What the last run wrote, for a summary: calls made, whatever the host
  // answered.
  int m_nPointsWritten = 0;
  int m_nFeaturesWritten = 0;
  int m_nTextsWritten = 0;

  // The confirm work of the dialog: checks the settings, converts, commits and
  // closes the output file. True when the dialog is to close as confirmed;
  // false when it stays open after a message (a check failed, or a file could
  // not be opened).
  bool OnOK();
  const Outcome& LastOutcome() const { return m_outcome; }

  // The four checks of the settings, each failure told in a message; true
  // when all pass. OnOK runs them first.
  bool CheckSettings();

  // Reads a .cor feature line ("%ld %d %d %s") into `lineKind` and
  // `vertexCount` (a field the line lacks leaves its argument unchanged) and
  // maps its EPSW code through the code table of the host directory: the host
  // code, 0 when the table has no line for it, -1 when the table cannot be
  // opened (after a message).
  int LookupEpswCode(std::string line, int& lineKind, int& vertexCount);

  // Writes one collected feature, named by the next feature number: every
  // vertex gets the host kind of `lineKind`; a circle of two vertices gets a
  // generated first vertex; features of host code 3750 become one feature per
  // vertex, all of the same name. May rewrite the entries of `refs`.
  void WriteEpswFeature(int hostCode, int lineKind, PointRef* refs, int count);

  // Names `record` by the prefix and the next point number, adds it to the
  // output file and copies its 12-byte name to `name`.
  void AddGeneratedPoint(char name[12], PointRecord& record);

  // The host code of the special feature written one vertex at a time.
  static constexpr int kSingleVertexCode = 3750;
  // Coordinates beyond this (in absolute value) are asked about.
  static constexpr double kFarCoordinate = 100000000.0;

 private:
  class RunScope;

  dz::PointNamer m_pointNamer;  // the generated names, made in one buffer

  void ConvertCorFile(InputLineReader& cor);
  void ConvertNotFile(InputLineReader& note, QelHandle layer);
  // True when the point or text at (a, b) is to be converted: always when it
  // is near, else as the user answers the question.
  bool ConfirmFarPosition(double a, double b);
  void FinishFile();
  // Closes the output without a commit after a file could not be read to
  // its end; sets `missing` and tells `message`. Returns false.
  bool AbandonUnreadFile(bool& missing, const char* message);
  std::string CodeTablePath();

  HostLibrary& m_host;
  ui::MessageService& m_messages;
  Outcome m_outcome;
  long m_nFeatureLine = 0;  // the .cor line of the feature being written
  long m_nCorLine = 0;  // the .cor line being converted
  // While a run lasts, the code table once it has been read.
  bool m_bInRun = false;
  std::unique_ptr<EpswCodeTable> m_pRunTable;
};

}  // namespace dz
