#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>

#include "attributes/attribute_path_dlg.h"
#include "base/file_io.h"
#include "base/fixed_field.h"
#include "base/json.h"
#include "tests/support/recording_host.h"
#include "tests/support/test_files.h"
#include "tests/ui/headless_test_support.h"

namespace dz::test {
namespace {

// A host file with a parcel numbered A0101, a boundary point feature over P1
// and a house named H1, whose texts read "old"; attribute files for them;
// the dialog on the headless backend, through a recording host.
class AttributePathDialog : public ::testing::Test {
 protected:
  AttributePathDialog()
      : parcels(dir.write("parcels.txt", "0101 owner x u y l 1 2 z 1 w\nA0101 prefixed x u y l 3 4 z 1 w\n")),
        points(dir.write("points.txt", "P1 nail wall J1 survey\n")),
        houses(dir.write("houses.txt", "H1 brick 3\n")),
        host(dir.path()),
        dialog(host, session.backend) {
    file = host.engine.OpenFeatureFile(dir.file("host.qel").c_str());
    AddFeature(kParcel, "", kParcelAttributesSize, 40, "A0101");
    AddFeature(kBoundaryPoint, "", kBoundaryPointAttributesSize, 0, "old");
    AddFeature(kHouse, "H1", kHouseAttributesSize, 0, "old");
    dialog.m_hFile = file;
  }

  void AddFeature(int16_t kind, const char* name, int size, int keyAt, const char* key) {
    FeatureHeader h{};
    copyName(h.name, name);
    h.kind = kind;
    PointRef ref{};
    copyName(ref.name, "P1");
    std::vector<uint8_t> block(static_cast<size_t>(size), 0);
    std::memcpy(block.data() + keyAt, key, std::strlen(key));
    if (kind == kParcel) std::memcpy(block.data() + 100, "old", 3);
    host.engine.AddFeature(file, &h, &ref, 1, block.data(), size);
  }

  std::string Text(size_t feature, int at, int width) const {
    return fieldText(reinterpret_cast<const char*>(host.engine.store(file)->features()[feature].attributes().data()) + at,
                     width);
  }
  std::string ParcelOwner() const { return Text(0, 100, 80); }
  std::string PointMark() const { return Text(1, 0, 10); }
  std::string HouseStructure() const { return Text(2, 0, 10); }

  static std::string Browse(int button, const std::string& path) {
    return "click " + std::to_string(button) + "\nfile \"" + path + "\"\n";
  }
  static std::string Control(int id, const std::string& text, int enabled, int checked = 0) {
    return "control " + std::to_string(id) + " text=" + jsonQuoteGbk(text) + " enabled=" + std::to_string(enabled) +
           " readonly=0 checked=" + std::to_string(checked);
  }

  TempDir dir;
  std::string parcels, points, houses;
  RecordingHost host;
  QelHandle file = 0;
  HeadlessSession session;
  CAttributePathDlg dialog;
};

TEST_F(AttributePathDialog, OpensWithoutCategoryAndEachCategoryLabelsThePathBox) {
  std::string lines = "show 2038\nshow 2020\nshow 2036\nshow 2037\n";
  for (int i = 0; i < 9; ++i) lines += "select 2029 " + std::to_string(i) + "\nshow 2038\n" + Browse(2032, houses);
  session.Play(lines + "click 2");
  dialog.DoModal();
  std::vector<std::string> expected = {"dialog 2004 opened", Control(2038, "文件路径", 1), Control(2020, "", 0),
                                       Control(2036, "", 0), Control(2037, "浏览", 0)};
  for (const char* label : {"宗地文件路径", "界址点文件路径", "房屋文件路径", "管点文件路径", "管线文件路径",
                            "控制点文件路径", "坎高文件路径", "住户文件路径", "界址线文件路径"})
    expected.push_back(Control(2038, label, 1));
  expected.push_back("dialog 2004 closed 2");
  EXPECT_EQ(session.log, expected);
  for (int i = 0; i < 9; ++i) EXPECT_EQ(dialog.m_strCategoryPath[i], houses) << i;
}

TEST_F(AttributePathDialog, OkAttachesEachKindAndLeavesTheFileToTheHost) {
  session.Play("select 2029 0\n" + Browse(2032, parcels) + "select 2029 1\n" + Browse(2032, points) +
               "select 2029 2\n" + Browse(2032, houses) + "click 1");
  host.calls.clear();
  EXPECT_EQ(dialog.DoModal(), ui::kIdOk);
  EXPECT_EQ(ParcelOwner(), "prefixed");  // the line of A0101 itself: no prefix applies
  EXPECT_EQ(PointMark(), "nail");
  EXPECT_EQ(HouseStructure(), "brick");
  const std::vector<std::string> names = host.callNames();
  for (const char* call : {"CommitFeatureFile", "CloseFeatureFile", "PrepareSaveAs", "SaveFeatureFileAs"})
    EXPECT_EQ(std::count(names.begin(), names.end(), call), 0) << call;
}

TEST_F(AttributePathDialog, SaveFollowsThePathEvenWhenItsTickIsCleared) {
  // No category path: nothing is attached, but the file is saved.
  session.Play("check 2023 on\n" + Browse(2037, dir.file("kept")) + "check 2023 off\nshow 2036\nclick 1");
  host.calls.clear();
  dialog.DoModal();
  EXPECT_EQ(session.log[1], Control(2036, dir.file("kept.qel"), 0));
  const std::vector<std::string> calls = {"GetFeatureCount", "GetFeature", "GetFeature", "GetFeature", "PrepareSaveAs",
                                          "SaveFeatureFileAs"};
  EXPECT_EQ(host.callNames(), calls);
  EXPECT_TRUE(fileExists(dir.file("kept.qel")));
  EXPECT_EQ(ParcelOwner(), "old");
}

TEST_F(AttributePathDialog, SavePathGetsTheHostExtensionUnlessItsTextIsThere) {
  const struct {
    const char* chosen;
    const char* stored;
  } cases[] = {{"D:\\b.QEL", "D:\\b.QEL.qel"}, {"D:\\x.qel\\b", "D:\\x.qel\\b"}, {"D:\\a\\b", "D:\\a\\b.qel"}};
  for (const auto& c : cases) {
    HeadlessSession s;
    CAttributePathDlg d(host, s.backend);
    s.Play(std::string("check 2023 on\nclick 2037\nfile \"") + c.chosen + "\"\nshow 2036\nclick 2");
    d.DoModal();
    EXPECT_EQ(s.log[1], Control(2036, c.stored, 1)) << c.chosen;
  }
}

TEST_F(AttributePathDialog, OnlyBrowseStoresAPathAndACancelledOneStoresTheBox) {
  // Typed without 浏览: not used. 浏览 cancelled after typing: the typed
  // path. 浏览 cancelled right after a category change: the category's file
  // is cleared.
  session.Play("select 2029 1\ntype 2031 \"" + points + "\"\nselect 2029 2\n" + Browse(2032, houses) +
               "select 2029 0\nselect 2029 2\nclick 2032\nfile-cancel\nclick 1");
  dialog.DoModal();
  EXPECT_EQ(dialog.m_strCategoryPath[1], "");
  EXPECT_EQ(dialog.m_strCategoryPath[2], "");
  EXPECT_EQ(PointMark(), "old");
  EXPECT_EQ(HouseStructure(), "old");

  HeadlessSession s;
  CAttributePathDlg d(host, s.backend);
  d.m_hFile = file;
  s.Play("select 2029 1\ntype 2031 \"" + points + "\"\nclick 2032\nfile-cancel\nclick 1");
  d.DoModal();
  EXPECT_EQ(PointMark(), "nail");
}

TEST_F(AttributePathDialog, ChangingCategoryRewritesTypedBoxesFromTheMembers) {
  session.Play("check 2022 on\ntype 2020 \"A\"\ncheck 2023 on\ntype 2036 \"typed.qel\"\nselect 2029 1\n"
               "show 2020\nshow 2036\nclick 1");
  dialog.DoModal();
  EXPECT_EQ(session.log[1], Control(2020, "", 0));
  EXPECT_EQ(session.log[2], Control(2036, "", 1));
  EXPECT_FALSE(fileExists(dir.file("typed.qel")));
}

TEST_F(AttributePathDialog, PrefixReachesTheAttachmentOnlyWhenParcelsWereChosenLast) {
  // 宗地, prefix, parcel file, then 界址点: the category change unticked
  // the prefix, so the parcel A0101 takes the line of A0101 itself.
  session.Play("select 2029 0\nshow 2022\ntype 2020 \"A\"\n" + Browse(2032, parcels) + "select 2029 1\nshow 2022\n" +
               "show 2020\n" + Browse(2032, points) + "click 1");
  dialog.DoModal();
  EXPECT_EQ(session.log[1], Control(2022, "宗地号前缀", 1, 1));
  EXPECT_EQ(session.log[2], Control(2022, "宗地号前缀", 0, 0));
  EXPECT_EQ(session.log[3], Control(2020, "A", 0));
  EXPECT_EQ(ParcelOwner(), "prefixed");

  // 宗地 last: A followed by 0101 matches.
  for (const std::string& lines : {"select 2029 1\n" + Browse(2032, points) + "select 2029 0\n",
                                   // no category at all, the tick set by hand
                                   std::string("check 2022 on\n")}) {
    HeadlessSession s;
    CAttributePathDlg d(host, s.backend);
    d.m_hFile = file;
    s.Play(lines + "type 2020 \"A\"\n" + Browse(2032, dir.write("other.txt", "")) + Browse(2032, parcels) + "click 1");
    d.DoModal();
    EXPECT_EQ(ParcelOwner(), "owner") << lines;  // the second file replaced the first
    std::vector<uint8_t> block(kParcelAttributesSize, 0);
    std::memcpy(block.data() + 40, "A0101", 5);
    host.engine.SetFeatureAttributes(file, 1, kParcel, block.data(), kParcelAttributesSize);
  }
}

TEST_F(AttributePathDialog, CancelAttachesAndSavesNothing) {
  session.Play("select 2029 1\n" + Browse(2032, points) + "check 2023 on\n" + Browse(2037, dir.file("x")) + "click 2");
  host.calls.clear();
  EXPECT_EQ(dialog.DoModal(), ui::kIdCancel);
  EXPECT_TRUE(host.calls.empty());
  EXPECT_FALSE(fileExists(dir.file("x.qel")));
}

}  // namespace
}  // namespace dz::test
