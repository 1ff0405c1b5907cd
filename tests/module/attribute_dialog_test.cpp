#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>

#include "attributes/attribute_path_dlg.h"
#include "base/file_io.h"
#include "base/fixed_field.h"
#include "base/json.h"
#include "module/session_runner.h"
#include "res/resource_ids.h"
#include "tests/support/recording_host.h"
#include "tests/support/test_files.h"
#include "tests/ui/headless_test_support.h"

namespace dz::test {
namespace {

using namespace res;

// A host file with one parcel numbered "A0101", one boundary point feature
// over the point P1 and one house named H1, each with an attribute block
// whose texts read "old"; attribute files for all three kinds; the dialog on
// the headless backend, working through a recording host on that file.
class AttributePathDialog : public ::testing::Test {
 protected:
  AttributePathDialog()
      : parcels(dir.write("parcels.txt", "0101 owner x landuse y lot 1.5 2.5 z 1 w\nA0101 prefixed x use2 y lot2 3 4 z 1 w\n")),
        parcels2(dir.write("parcels2.txt", "0101 second x use3 y lot3 5 6 z 1 w\n")),
        points(dir.write("points.txt", "P1 nail wall J1 survey\n")),
        houses(dir.write("houses.txt", "H1 brick 3\n")),
        host(dir.path()),
        dialog(host, session.backend) {
    file = host.engine.OpenFeatureFile(dir.file("host.qel").c_str());
    PointRecord p{};
    copyName(p.name, "P1");
    host.engine.AddPoint(file, &p, 1);
    AddFeature(kParcel, "", "P1", kParcelAttributesSize, 40, "A0101");
    AddFeature(kBoundaryPoint, "", "P1", kBoundaryPointAttributesSize, 0, "old");
    AddFeature(kHouse, "H1", "P1", kHouseAttributesSize, 0, "old");
    dialog.m_hFile = file;
  }

  void AddFeature(int16_t kind, const char* name, const char* point, int size, int keyAt, const char* key) {
    FeatureHeader h{};
    copyName(h.name, name);
    h.kind = kind;
    PointRef ref{};
    copyName(ref.name, point);
    std::vector<uint8_t> block(static_cast<size_t>(size), 0);
    std::memcpy(block.data() + keyAt, key, std::strlen(key));
    if (kind == kParcel) std::memcpy(block.data() + 100, "old", 3);
    host.engine.AddFeature(file, &h, &ref, 1, block.data(), size);
  }

  const std::vector<uint8_t>& Block(size_t feature) const { return host.engine.store(file)->features()[feature].attributes; }
  std::string ParcelOwner() const { return fieldText(reinterpret_cast<const char*>(Block(0).data()) + 100, 80); }
  std::string PointMark() const { return fieldText(reinterpret_cast<const char*>(Block(1).data()), 10); }
  std::string HouseStructure() const { return fieldText(reinterpret_cast<const char*>(Block(2).data()), 10); }

  std::string Browse(int button, const std::string& path) const {
    return "click " + std::to_string(button) + "\nfile \"" + path + "\"\n";
  }

  std::string Control(int id, const std::string& text, int enabled, int checked) const {
    return "control " + std::to_string(id) + " text=" + jsonQuoteGbk(text) + " enabled=" + std::to_string(enabled) +
           " readonly=0 checked=" + std::to_string(checked);
  }

  TempDir dir;
  std::string parcels, parcels2, points, houses;
  RecordingHost host;
  QelHandle file = 0;
  HeadlessSession session;
  CAttributePathDlg dialog;
};

TEST_F(AttributePathDialog, OpensWithNoCategoryAndOnlyTheFilePathUsable) {
  session.Play("show 2029\nshow 2038\nshow 2022\nshow 2020\nshow 2023\nshow 2036\nshow 2037\nclick 2");
  EXPECT_EQ(dialog.DoModal(), ui::kIdCancel);
  EXPECT_EQ(session.log[1],
            u8R"(control 2029 text="" enabled=1 readonly=0 checked=0 items=["宗地","界址点","房屋","管点","管线","控制点","坎高","住户","界址线"] selected=-1)");
  EXPECT_EQ(session.log[2], Control(2038, "文件路径", 1, 0));
  EXPECT_EQ(session.log[3], Control(2022, "宗地号前缀", 1, 0));
  EXPECT_EQ(session.log[4], Control(2020, "", 0, 0));
  EXPECT_EQ(session.log[5], Control(2023, "保 存 文 件", 1, 0));
  EXPECT_EQ(session.log[6], Control(2036, "", 0, 0));
  EXPECT_EQ(session.log[7], Control(2037, "浏览", 0, 0));
}

TEST_F(AttributePathDialog, EachCategoryLabelsThePathBoxAndKeepsItsFile) {
  std::string lines;
  for (int i = 0; i < 9; ++i) lines += "select 2029 " + std::to_string(i) + "\nshow 2038\n" + Browse(2032, houses);
  session.Play(lines + "click 2");
  dialog.DoModal();
  const char* labels[] = {"宗地文件路径", "界址点文件路径", "房屋文件路径", "管点文件路径", "管线文件路径",
                          "控制点文件路径", "坎高文件路径", "住户文件路径", "界址线文件路径"};
  for (int i = 0; i < 9; ++i) {
    EXPECT_EQ(session.log[1 + i], Control(2038, labels[i], 1, 0)) << i;
    EXPECT_EQ(dialog.m_strCategoryPath[i], houses) << i;
  }
}

TEST_F(AttributePathDialog, OkAttachesEachKindFromItsFileWithoutCommitting) {
  session.Play("select 2029 0\n" + Browse(2032, parcels) + "select 2029 1\n" + Browse(2032, points) +
               "select 2029 2\n" + Browse(2032, houses) + "click 1");
  host.calls.clear();
  EXPECT_EQ(dialog.DoModal(), ui::kIdOk);
  EXPECT_EQ(ParcelOwner(), "prefixed");  // the line of A0101 itself: no prefix applies
  EXPECT_EQ(PointMark(), "nail");
  EXPECT_EQ(HouseStructure(), "brick");
  EXPECT_TRUE(session.backend.Messages().empty());
  const std::vector<std::string> names = host.callNames();
  EXPECT_EQ(std::count(names.begin(), names.end(), "CommitFeatureFile"), 0);
  EXPECT_EQ(std::count(names.begin(), names.end(), "CloseFeatureFile"), 0);
  EXPECT_EQ(std::count(names.begin(), names.end(), "SaveFeatureFileAs"), 0);
}

TEST_F(AttributePathDialog, OkWithoutPathsChangesNothingButStillSaves) {
  const std::vector<uint8_t> before = Block(0);
  session.Play("check 2023 on\n" + Browse(2037, dir.file("saved")) + "click 1");
  host.calls.clear();
  EXPECT_EQ(dialog.DoModal(), ui::kIdOk);
  EXPECT_EQ(Block(0), before);
  EXPECT_EQ(PointMark(), "old");
  const std::vector<std::string> names = host.callNames();
  ASSERT_GE(names.size(), 2u);
  EXPECT_EQ(names[names.size() - 2], "PrepareSaveAs");
  EXPECT_EQ(names.back(), "SaveFeatureFileAs");
  EXPECT_EQ(std::count(names.begin(), names.end(), "SetFeatureAttributes"), 0);
  EXPECT_TRUE(fileExists(dir.file("saved.qel")));
}

TEST_F(AttributePathDialog, SaveFollowsThePathNotTheTick) {
  session.Play("check 2023 on\n" + Browse(2037, dir.file("kept.qel")) + "check 2023 off\nshow 2036\nshow 2037\nclick 1");
  dialog.DoModal();
  EXPECT_EQ(session.log[1], Control(2036, dir.file("kept.qel"), 0, 0));
  EXPECT_EQ(session.log[2], Control(2037, "浏览", 0, 0));
  EXPECT_TRUE(fileExists(dir.file("kept.qel")));
}

TEST_F(AttributePathDialog, SavePathGetsTheHostExtensionUnlessItsTextIsThere) {
  const struct {
    const char* chosen;
    const char* stored;
  } cases[] = {
      {"D:\\b.QEL", "D:\\b.QEL.qel"},
      {"D:\\x.qel\\b", "D:\\x.qel\\b"},
      {"D:\\a\\b", "D:\\a\\b.qel"},
  };
  for (const auto& c : cases) {
    HeadlessSession s;
    CAttributePathDlg d(host, s.backend);
    s.Play(std::string("check 2023 on\nclick 2037\nfile \"") + c.chosen + "\"\nshow 2036\nclick 2");
    d.DoModal();
    EXPECT_EQ(d.m_strSavePath, c.stored) << c.chosen;
    EXPECT_EQ(s.log[1], Control(2036, c.stored, 1, 0)) << c.chosen;
    EXPECT_EQ(s.backend.FileRequests().at(0).filter, "data files(*.qel)|*qel||");
    EXPECT_FALSE(s.backend.FileRequests().at(0).open);
  }
}

TEST_F(AttributePathDialog, TypedPathCountsOnlyWhenBrowseIsPressedAfterIt) {
  session.Play("select 2029 1\ntype 2031 \"" + points + "\"\nclick 1");
  dialog.DoModal();
  EXPECT_EQ(PointMark(), "old");

  // 浏览 takes the box first, so a cancelled file dialog stores the typed path.
  HeadlessSession s;
  CAttributePathDlg d(host, s.backend);
  d.m_hFile = file;
  s.Play("select 2029 1\ntype 2031 \"" + points + "\"\nclick 2032\nfile-cancel\nclick 1");
  d.DoModal();
  EXPECT_EQ(PointMark(), "nail");
}

TEST_F(AttributePathDialog, CancelledBrowseAfterACategoryChangeClearsThatCategory) {
  session.Play("select 2029 1\n" + Browse(2032, points) + "select 2029 2\nselect 2029 1\nclick 2032\nfile-cancel\nclick 1");
  dialog.DoModal();
  EXPECT_EQ(dialog.m_strCategoryPath[1], "");
  EXPECT_EQ(PointMark(), "old");
}

TEST_F(AttributePathDialog, ChangingCategoryRewritesTypedBoxesFromTheMembers) {
  session.Play("check 2022 on\ntype 2020 \"A\"\ncheck 2023 on\ntype 2036 \"typed.qel\"\ntype 2031 \"typed.txt\"\n"
               "select 2029 0\nshow 2020\nshow 2036\nshow 2031\nclick 1");
  dialog.DoModal();
  EXPECT_EQ(session.log[1], Control(2020, "", 1, 0));
  EXPECT_EQ(session.log[2], Control(2036, "", 1, 0));
  EXPECT_EQ(session.log[3], Control(2031, "", 1, 0));
  EXPECT_FALSE(fileExists(dir.file("typed.qel")));
}

TEST_F(AttributePathDialog, PrefixReachesTheAttachmentOnlyWhenParcelsWereChosenLast) {
  // 宗地, prefix, parcel file, then 界址点: the category change unticked the
  // prefix, so the parcel A0101 does not match 0101.
  session.Play("select 2029 0\nshow 2022\nshow 2020\ntype 2020 \"A\"\n" + Browse(2032, parcels) +
               "select 2029 1\nshow 2022\nshow 2020\n" + Browse(2032, points) + "click 1");
  dialog.DoModal();
  EXPECT_EQ(session.log[1], Control(2022, "宗地号前缀", 1, 1));
  EXPECT_EQ(session.log[2], Control(2020, "", 1, 0));
  EXPECT_EQ(session.log[3], Control(2022, "宗地号前缀", 0, 0));
  EXPECT_EQ(session.log[4], Control(2020, "A", 0, 0));
  EXPECT_EQ(ParcelOwner(), "prefixed");  // the line whose key is A0101 itself
  EXPECT_EQ(PointMark(), "nail");

  // The same choices the other way round: 宗地 last, the prefix applies.
  HeadlessSession s;
  CAttributePathDlg d(host, s.backend);
  d.m_hFile = file;
  s.Play("select 2029 1\n" + Browse(2032, points) + "select 2029 0\ntype 2020 \"A\"\n" + Browse(2032, parcels) +
         "click 1");
  d.DoModal();
  EXPECT_EQ(ParcelOwner(), "owner");
}

TEST_F(AttributePathDialog, PrefixBoxFollowsItsTickWithoutACategory) {
  session.Play("check 2022 on\nshow 2020\ntype 2020 \"A\"\ncheck 2022 off\nshow 2020\ncheck 2022 on\n" +
               Browse(2032, parcels) + "click 1");
  dialog.DoModal();
  EXPECT_EQ(session.log[1], Control(2020, "", 1, 0));
  EXPECT_EQ(session.log[2], Control(2020, "A", 0, 0));
  // A file browsed before any category belongs to 宗地, and the tick set by
  // hand applies the prefix.
  EXPECT_EQ(dialog.m_strCategoryPath[0], parcels);
  EXPECT_EQ(ParcelOwner(), "owner");
}

TEST_F(AttributePathDialog, SecondParcelFileReplacesTheFirst) {
  session.Play("select 2029 0\ntype 2020 \"A\"\n" + Browse(2032, parcels) + Browse(2032, parcels2) + "click 1");
  dialog.DoModal();
  EXPECT_EQ(ParcelOwner(), "second");
}

TEST_F(AttributePathDialog, CancelAttachesAndSavesNothing) {
  session.Play("select 2029 1\n" + Browse(2032, points) + "check 2023 on\n" + Browse(2037, dir.file("x")) + "click 2");
  host.calls.clear();
  EXPECT_EQ(dialog.DoModal(), ui::kIdCancel);
  EXPECT_EQ(PointMark(), "old");
  EXPECT_TRUE(host.calls.empty());
  EXPECT_FALSE(fileExists(dir.file("x.qel")));
}

TEST_F(AttributePathDialog, MissingFileIsToldOncePerFeatureOfItsKind) {
  const std::string gone = dir.write("gone.txt", "");
  session.Play("select 2029 2\n" + Browse(2032, gone) + "click 1");
  session.backend.SetObserver([&](const ui::ScriptAction& a, ui::HeadlessWindow&, ui::Dialog&) {
    if (a.kind == ui::ScriptAction::Kind::Click && a.id == IDC_ATTR_BROWSE_PATH) std::remove(gone.c_str());
  });
  dialog.DoModal();
  const std::vector<std::string> shown = {"打不开房屋属性文件！！！"};
  EXPECT_EQ(session.backend.Messages(), shown);
}

// --- Command 40 as the host calls it ---------------------------------------------

TEST_F(AttributePathDialog, CommandFortyWorksOnTheHostsOpenFile) {
  host.engine.CommitFeatureFile(file);
  FeatureFileEngine engine(dir.path());
  ui::SessionScript script;
  ui::ScriptError error;
  ASSERT_TRUE(ui::ParseSessionScript("open \"" + dir.file("host.qel") + "\"\ncall 40\nselect 2029 2\n" +
                                         Browse(2032, houses) + "click 1\nend\ncommit\n",
                                     script, error))
      << error.message;
  std::vector<std::string> log;
  const module::SessionOutcome outcome =
      module::RunSession(script, engine, engine, [&](const std::string& line) { log.push_back(line); });
  EXPECT_EQ(outcome.exitCode, 0) << outcome.message;
  FeatureFileEngine reader(dir.path());
  const QelHandle h = reader.OpenFeatureFile(dir.file("host.qel").c_str());
  ASSERT_GT(h, 0);
  EXPECT_EQ(fieldText(reinterpret_cast<const char*>(reader.store(h)->features()[2].attributes.data()), 10), "brick");
  EXPECT_EQ(log.back(), "dialog 2004 closed 1");
}

}  // namespace
}  // namespace dz::test
