// Reads points from a delimited text file, one point per line or one value
// per line, names them by automatic or custom numbering and adds them to an
// open host file, resolving names that already exist by the user's policy.
//
// The text data dialog owns one importer for as long as it is open: it
// exchanges its controls straight into the public settings before every
// import, and the naming state (m_szPointName, m_nPointSeq, m_nCode) carries
// over from one import to the next. Its check of the first point splits and
// converts lines with the same public helpers the import uses.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "base/tally.h"
#include "host/host_library.h"
#include "textpoints/line_fields.h"
#include "ui/message_service.h"

namespace dz {

class CTextPointImporter {
 public:
  // Values of m_nLayout, m_nNumbering and m_nDupPolicy, as the dialog's radio
  // groups and list give them.
  enum { kColumnLayout = 0, kRowLayout = 1 };
  enum { kAutoNumbering = 0, kCustomNumbering = 1 };
  enum { kDupRename = 0, kDupUpdate = 1, kDupIgnore = 2 };

  // Longest point name in bytes: it must leave room for the terminating zero
  // of the host's 12-byte field.
  static constexpr size_t kMaxNameBytes = 11;

  // What the last import did, for summaries.
  struct Counts {
    long lines = 0;     // lines read
    long added = 0;     // new points under their own names
    long renamed = 0;   // new points under another free name
    long updated = 0;   // existing points overwritten
    long ignored = 0;   // points skipped because their name was taken
    long refused = 0;   // points whose name could not fit
  };

  // How the last import ended, in facts rather than in the texts of the
  // messages it told: what callers decide on (the CLI's exit status).
  struct Outcome {
    bool opened = false;     // the text file could be read
    bool completed = false;  // it was read to its end and the end was told
    bool baseKept = false;   // the name after the last one drawn would not fit, so m_szPointName stayed

    // What the lines held that the import took as it stands, by the file's
    // line numbers: for a caller's warnings. Nothing here changes what is
    // stored or told.
    LineTally notNumbers;      // an E, N or elevation field that is not a number: 0, or the group's old value
    LineTally shortLines;      // fewer fields than the settings read
    LineTally zeroElevations;  // an elevation of 0, stored as 9999
    LineTally codesNotNumbers; // a code field with text that is not a whole number
    LineTally emptyNames;      // m_nNameField: an empty name, the point refused
    // The file's first line has coordinate fields, none of them a number,
    // some of them text: most likely a header (it is in the tallies too).
    bool headerLike = false;
  };

  // A point as the import stored it or passed it over, for a preview.
  struct PointReport {
    enum Fate { kAdded, kRenamed, kUpdated, kIgnored, kRefused };
    long line = 0;     // the file's line that completed the point
    std::string name;  // the name it got (kRefused: the name that did not fit)
    double east = 0, north = 0, elev = 0;  // as stored: an elevation of 0 as 9999
    int code = 0;
    Fate fate = kAdded;
  };

  CTextPointImporter(HostLibrary& host, ui::MessageService& messages);
  virtual ~CTextPointImporter();

  // --- Settings, taken from the dialog's controls before each import --------
  std::string m_strPath;        // the text file
  std::string m_strSeparator;   // replaced by a space before splitting; empty: spaces only
  int m_nLayout = kColumnLayout;  // kRowLayout, or anything else for the column layout
  int m_nCycle = 0;             // column layout: lines per point
  int m_nValueField = 1;        // column layout: field of each line holding the value
  int m_nEastPos = 0;           // row: field numbers; column: line of the group
  int m_nNorthPos = 0;
  int m_nElevPos = 0;
  int m_nCodePos = -1;          // below 1 in the row layout: no code
  int m_nNumbering = kAutoNumbering;
  int m_nStartNo = 1;           // custom numbering; each import decrements it once when positive
  std::string m_strPrefix;      // custom numbering
  int m_nDupPolicy = kDupIgnore;
  QelHandle m_hFile = 0;        // the host file that receives the points

  // --- Settings of the command line; the dialog leaves them as they are ------
  int m_nNameField = 0;         // row layout: field of the point's name; below 1: names from the numbering
  int m_nSkipLines = 0;         // lines at the start of the file that take no part (a header)
  std::function<void(const PointReport&)> m_fnOnPoint;  // told of every point, when set

  // --- State that outlives one import ---------------------------------------
  char m_szPointName[12] = {};  // base name for automatic numbering; the host's name on the way out
  int m_nPointSeq = 0;          // names drawn since the owner was created
  int m_nCode = -1;             // code of the point being assembled

  // Imports m_strPath into m_hFile; every outcome is told through the
  // message service and recorded in LastOutcome(). At the end m_szPointName
  // holds the name that follows the last number drawn.
  void ImportPoints();

  // Position of the k-th field end in `line` (`length` counts the
  // terminating zero, which ends the last field): -1 for k = 0, -2 when the
  // line has no such field.
  int FindSeparator(const char* line, int length, char separator, int k) const;
  // Field k (from 1) of `line`; " " for a field number below 1 or beyond the
  // last field, so that a missing value converts to 0.
  std::string GetField(const char* line, int length, char separator, int k) const;
  // The same on a whole line, split at single spaces.
  std::string GetField(const std::string& line, int k) const;

  // The line with every occurrence of m_strSeparator (whole GBK characters
  // only) replaced by one space.
  std::string ReplaceSeparator(std::string_view line) const;
  void ReplaceSeparator(std::string_view line, std::string& out) const;

  // The conversions of field texts: leading blanks skipped, as much of a
  // decimal number as there is, 0 when nothing converts.
  static double FieldToNumber(std::string_view field);
  // The same, telling in `number` whether the field is one number and
  // blanks, as isClassicReal does.
  static double FieldToNumber(std::string_view field, bool& number);
  static int FieldToInteger(std::string_view field);

  // Stores one point under the name in `name12` by the duplicate policy; the
  // rename policy writes the name the point finally gets into `name12`.
  // Returns the host's result, or 0 when nothing was stored.
  int StorePoint(QelHandle file, double east, double north, double elev, char* name12);

  // Writes the name of sequence number `seq` into `out12`. False, with
  // `out12` untouched, when that name would be longer than kMaxNameBytes.
  bool MakePointName(const char* base12, int seq, char* out12) const;
  // The name of sequence number `seq` at whatever length it comes out.
  std::string ComposePointName(const char* base12, int seq) const;

  const Counts& LastCounts() const { return counts_; }
  const Outcome& LastOutcome() const { return outcome_; }

 private:
  struct RefusedName {
    long line;
    std::string name;
  };

  void StoreAssembledPoint(double east, double north, double elev);
  // The name is the field m_nNameField of the line in fields_.
  void StoreNamedPoint(double east, double north, double elev);
  void RefuseName(int seq);
  void RefuseName(const std::string& name, double east, double north, double elev);
  void ReportRefusals(const std::string& unusedNextName);
  void Tell(PointReport::Fate fate, std::string_view name, double east, double north, double elev, int code);
  // The same for a point under the 12-byte name field `name12`.
  void TellStored(PointReport::Fate fate, const char* name12, double east, double north, double elev, int code);
  // Notes in outcome_ what a line (the row layout, split into fields_) or a
  // value line (the column layout) holds that is taken as it stands.
  // `numbers`: whether each of the east, north and elevation fields is a number.
  void CheckRowLine(const bool (&numbers)[3], std::string_view codeField, double elev);
  void CheckColumnCoordinate(bool present, std::string_view value);

  HostLibrary& host_;
  ui::MessageService& messages_;
  Counts counts_;
  Outcome outcome_;
  long currentLine_ = 0;  // lines taking part, counted as the layout counts them
  long fileLine_ = 0;     // the file's own number of the current line
  std::vector<RefusedName> refused_;
  bool zeroElevationRead_ = false;  // column layout: the group read an elevation of 0
  LineFields fields_;               // row layout: the current line's fields
};

}  // namespace dz
