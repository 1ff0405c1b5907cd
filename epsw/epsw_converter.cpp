#include "epsw/epsw_converter.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <vector>

#include "base/classic_format.h"
#include "base/fixed_field.h"
#include "base/text_input.h"
#include "epsw/epsw_code_table.h"
#include "epsw/epsw_lines.h"

namespace dz {

namespace {

// Padding for features whose point lines fall short of the announced vertex
// count never goes beyond what a host feature holds.
constexpr int kMostPaddedVertices = kMostFeatureVertices;

}  // namespace

// The code table is indexed once per run; outside a run every lookup reads
// the table afresh.
class CEpswConverter::RunScope {
 public:
  explicit RunScope(CEpswConverter& owner) : m_owner(owner) {
    m_owner.m_bInRun = true;
    m_owner.m_pRunTable.reset();
  }
  ~RunScope() {
    m_owner.m_bInRun = false;
    m_owner.m_pRunTable.reset();
  }
  RunScope(const RunScope&) = delete;
  RunScope& operator=(const RunScope&) = delete;

 private:
  CEpswConverter& m_owner;
};

CEpswConverter::CEpswConverter(HostLibrary& host, ui::MessageService& messages)
    : m_host(host), m_messages(messages) {}

CEpswConverter::~CEpswConverter() = default;

bool CEpswConverter::CheckSettings() {
  const char* problem = nullptr;
  if (m_bConvertCor != 0 && m_strCorPath.empty())
    problem = "请输入Cor文件路径！！";
  else if (m_bConvertNot != 0 && m_strNotPath.empty())
    problem = "请输入Not文件路径！！";
  else if (m_bConvertCor != 1 && m_bConvertNot != 1)
    problem = "请选者转换的文件类型和路径！！";
  else if (m_strOutputPath.empty())
    problem = "请输入Qel文件路径！！";
  if (!problem) return true;
  m_messages.ShowMessage(problem, ui::kMbOk);
  return false;
}

bool CEpswConverter::OnOK() {
  m_outcome = Outcome();
  if (!CheckSettings()) return false;
  m_outcome.settingsAccepted = true;
  m_nPointsWritten = m_nFeaturesWritten = m_nTextsWritten = 0;

  // A cleared box skips its file altogether: its path need not name a file.
  dz::InputLineReader cor;
  if (m_bConvertCor != 0 && !cor.open(m_strCorPath)) {
    m_outcome.corMissing = true;
    m_messages.ShowMessage("can't find *.Cor failed!!", ui::kMbOk);
    return false;
  }
  m_hFile = m_host.OpenFeatureFile(m_strOutputPath.c_str());
  if (m_hFile <= 0) {
    // Nothing has been written; the dialog stays open for another path.
    m_messages.ShowMessage("无法打开Qel文件：" + m_strOutputPath + "！！", ui::kMbOk);
    return false;
  }
  m_outcome.outputOpened = true;
  FileInfo info;
  std::memset(&info, 0, sizeof info);
  m_host.GetFeatureFileInfo(m_hFile, &info);

  if (m_bConvertCor != 0) {
    RunScope run(*this);
    ConvertCorFile(cor);
  }
  if (cor.failed()) return AbandonUnreadFile(m_outcome.corMissing, "can't find *.Cor failed!!");
  cor.close();

  if (m_bConvertNot != 0) {
    dz::InputLineReader note;
    if (!note.open(m_strNotPath)) {
      // The .cor data is already in the output file: keep it. The dialog
      // stays open; with the Cor box cleared a second press converts only
      // the .not file into the same output.
      m_outcome.notMissing = true;
      m_messages.ShowMessage("can't find *.not failed!!", ui::kMbOk);
      FinishFile();
      return false;
    }
    const QelHandle layer = m_host.GetTextLayer(m_hFile);
    if (layer > 0) ConvertNotFile(note, layer);
    if (note.failed()) return AbandonUnreadFile(m_outcome.notMissing, "can't find *.not failed!!");
  }

  FinishFile();
  m_outcome.completed = true;
  m_messages.ShowMessage("数据转换完毕！！！", ui::kMbOk);
  return true;
}

bool CEpswConverter::AbandonUnreadFile(bool& missing, const char* message) {
  // A file that could not be read to its end is not converted in part: the
  // output stays as it was, and the message is that of a missing file.
  m_host.CloseFeatureFile(m_hFile);
  missing = true;
  m_messages.ShowMessage(message, ui::kMbOk);
  return false;
}

void CEpswConverter::FinishFile() {
  m_host.CommitFeatureFile(m_hFile);
  m_host.CloseFeatureFile(m_hFile);
  m_outcome.committed = true;
}

bool CEpswConverter::ConfirmFarPosition(double a, double b) {
  if (!(std::fabs(a) > kFarCoordinate) && !(std::fabs(b) > kFarCoordinate)) return true;
  const std::string question = "是否转换该点(" + dz::formatFixed6(a) + "," + dz::formatFixed6(b) + ")";
  const bool converted = m_messages.ShowMessage(question, ui::kMbYesNo) != ui::kIdNo;
  ++(converted ? m_outcome.farConverted : m_outcome.farDropped);
  return converted;
}

void CEpswConverter::ConvertCorFile(dz::InputLineReader& cor) {
  // The open feature: its entries, one per point line that joined it, and
  // what its feature line said. Vertex count and line kind carry over from
  // the last feature line when a line lacks them.
  std::vector<PointRef> refs;
  bool featureOpen = false;
  int hostCode = 0;
  int lineKind = 0;
  int vertexCount = 0;
  int announced = 0;
  long featureLine = 0;
  // A feature whose point lines fall short of its announced count is padded
  // with empty entries up to that count; the padding of a file is paid for
  // by its lines, one empty entry per line read, so that a damaged count
  // cannot make a small file write a huge one.
  long linesRead = 0;
  long padding = 0;

  auto writeOpenFeature = [&]() {
    if (!featureOpen) return;
    const long filled = static_cast<long>(refs.size());
    const long wanted = std::clamp(announced, 0, kMostPaddedVertices);
    if (wanted > filled) {
      const long added = std::min(wanted - filled, std::max(linesRead - padding, 0L));
      refs.resize(static_cast<size_t>(filled + added), PointRef{});
      padding += added;
      if (filled + added < wanted) {
        m_outcome.paddedShort.add(featureLine);
        m_outcome.entriesNotPadded += wanted - filled - added;
      }
    }
    m_nFeatureLine = featureLine;
    WriteEpswFeature(hostCode, lineKind, refs.data(), static_cast<int>(refs.size()));
    featureOpen = false;
  };
  auto addVertex = [&](const char* name) {
    if (!featureOpen) return;  // points before the first feature line join no feature
    PointRef& ref = refs.emplace_back();
    std::memset(&ref, 0, sizeof ref);
    dz::copyFieldFrom(ref.name, sizeof ref.name, name);
  };

  dz::CorPointFields point;
  PointRecord record;
  std::memset(&record, 0, sizeof record);
  std::string_view line;
  while (cor.readLine(line)) {
    ++linesRead;
    m_nCorLine = cor.lineNumber();
    if (dz::isCorFeatureLine(line)) {
      writeOpenFeature();
      hostCode = LookupEpswCode(std::string(line), lineKind, vertexCount);
      announced = vertexCount;
      refs.clear();
      featureLine = linesRead;
      featureOpen = true;
      continue;
    }
    if (point.parse(line) < dz::CorPointFields::kFields) m_outcome.corUnscanned.add(m_nCorLine);
    // Until a point line has given a name there is no point to add or repeat:
    // a nameless point could never be found again.
    if (!point.hasName()) continue;
    if (m_host.PointExists(m_hFile, point.name) > 0) {
      // The host's point stands; the coordinates of this line are not used.
      addVertex(point.name);
      continue;
    }
    if (!ConfirmFarPosition(point.east, point.north)) continue;
    dz::copyFieldFrom(record.name, sizeof record.name, point.name);
    record.w14 = static_cast<int16_t>(point.first);
    record.w16 = static_cast<int16_t>(point.second);
    record.north = point.north;
    record.east = point.east;
    record.elev = point.elev;
    m_host.AddPoint(m_hFile, &record, 1);
    ++m_nPointsWritten;
    addVertex(point.name);
  }
  writeOpenFeature();
}

void CEpswConverter::ConvertNotFile(dz::InputLineReader& note, QelHandle layer) {
  dz::NoteFields fields;
  TextStyle style;
  std::memset(&style, 0, sizeof style);
  std::string_view line;
  int lineOfRecord = 1;
  while (note.readLine(line)) {
    if (lineOfRecord == 1) {
      if (fields.parseLine1(line) < 2) m_outcome.notUnscanned.add(note.lineNumber());
      lineOfRecord = 2;
      continue;
    }
    if (lineOfRecord == 2) {
      if (fields.parseLine2(line) < 5) m_outcome.notUnscanned.add(note.lineNumber());
      lineOfRecord = 3;
      continue;
    }
    if (fields.parseLine3(line) < 2) m_outcome.notUnscanned.add(note.lineNumber());
    lineOfRecord = 1;

    double anchor[2] = {fields.first, fields.second - fields.height};
    style.b0 = 0;
    style.height = fields.height;
    style.width = fields.height * fields.widthFactor;
    style.angle = static_cast<float>(fields.angle);
    style.w18 = 1;
    if (!ConfirmFarPosition(anchor[0], anchor[1])) continue;

    const int object = m_host.AddTextObject(layer, anchor, fields.text.c_str(), static_cast<int>(fields.text.size()),
                                            &style, 2);
    ++m_nTextsWritten;
    if (object <= 0) continue;
    void* a = nullptr;
    void* b = nullptr;
    if (m_host.GetObjectAttributes(layer, object, &a, &b) <= 0) continue;
    m_host.SetAttributeField(b, a, "注记号", fields.number.c_str());
    m_host.SetAttributeField(b, a, "注记类别", fields.category.c_str());
    m_host.WriteObjectAttributes(layer, 1, object, a, b);
  }
}

}  // namespace dz
