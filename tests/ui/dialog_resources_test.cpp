#include <gtest/gtest.h>

#include <cstring>
#include <map>

#include "attributes/attribute_path_ids.h"
#include "base/gbk.h"
#include "base/json.h"
#include "cass/cass_convert_ids.h"
#include "epsw/epsw_convert_ids.h"
#include "res/dialog_templates.h"
#include "res/rc_writer.h"
#include "tests/support/run_command.h"
#include "tests/support/test_files.h"
#include "textpoints/text_data_ids.h"

namespace dz::test {
namespace {

const char kScriptPath[] = DZ_SOURCE_DIR "/res/dialogs.rc";

TEST(DialogResources, CommittedScriptIsTheGeneratorsOutput) {
  const std::string committed = readFile(kScriptPath);
  const std::string generated = res::WriteDialogResourceScript(res::DialogTemplates());
  EXPECT_TRUE(committed == generated)
      << "res/dialogs.rc differs from the dialog definition: run "
         "`cmake --build build/native --target regen_dialog_rc` and commit the result";
}

TEST(DialogResources, EveryDialogIsAChineseModalFrameIn9PointSongti) {
  ASSERT_EQ(res::DialogTemplates().size(), 4u);
  const std::map<int, std::string> captions = {
      {IDD_CASS_CONVERT, "CASS数据转换"},
      {IDD_EPSW_CONVERT, "清华山维数据转换"},
      {IDD_ATTRIBUTE_PATH, "设置路径"},
      {IDD_TEXT_DATA, "读文本数据"},
  };
  for (const ui::DialogTemplate& d : res::DialogTemplates()) {
    EXPECT_EQ(d.caption, captions.at(d.id));
    EXPECT_EQ(d.style, ui::kDsModalFrame | ui::kWsPopup | ui::kWsCaption | ui::kWsSysMenu) << d.id;
    EXPECT_EQ(d.fontFace, "宋体");
    EXPECT_EQ(d.pointSize, 9);
    EXPECT_EQ(d.language, 0x0804);
  }
}

TEST(DialogResources, ControlsFollowTheirKindsRules) {
  for (const ui::DialogTemplate& d : res::DialogTemplates()) {
    int defaults = 0;
    for (const ui::ControlTemplate& c : d.controls) {
      EXPECT_EQ(c.style & (ui::kWsChild | ui::kWsVisible), ui::kWsChild | ui::kWsVisible) << d.id << "/" << c.id;
      if (c.cls == ui::ControlClass::Edit) {
        const uint32_t edit = ui::kWsBorder | ui::kEsAutoHScroll | ui::kWsTabStop;
        EXPECT_EQ(c.style & edit, edit) << d.id << "/" << c.id;
      }
      if (c.cls == ui::ControlClass::Button && (c.style & ui::kBsTypeMask) == ui::kBsDefPushButton) {
        ++defaults;
        EXPECT_EQ(c.id, 1) << d.id;
      }
      const bool display = d.id == IDD_TEXT_DATA &&
                           (c.id == IDC_TEXT_SHOW_EAST || c.id == IDC_TEXT_SHOW_NORTH ||
                            c.id == IDC_TEXT_SHOW_ELEV || c.id == IDC_TEXT_SHOW_CODE);
      EXPECT_EQ((c.style & ui::kWsDisabled) != 0, display) << d.id << "/" << c.id;
    }
    EXPECT_EQ(defaults, 1) << d.id;
  }
}

TEST(DialogResources, ListInitialisationsInTheirOrder) {
  const ui::DialogTemplate* attributes = res::FindDialogTemplate(IDD_ATTRIBUTE_PATH);
  ASSERT_EQ(attributes->lists.size(), 1u);
  EXPECT_EQ(attributes->lists[0].controlId, IDC_ATTR_CATEGORY);
  const std::vector<std::string> categories = {"宗地", "界址点", "房屋", "管点", "管线", "控制点", "坎高", "住户", "界址线"};
  EXPECT_EQ(attributes->lists[0].items, categories);
  const ui::DialogTemplate* text = res::FindDialogTemplate(IDD_TEXT_DATA);
  ASSERT_EQ(text->lists.size(), 1u);
  EXPECT_EQ(text->lists[0].controlId, IDC_TEXT_DUP_POLICY);
  EXPECT_EQ(text->lists[0].items, (std::vector<std::string>{"改点名", "更新", "忽略"}));
  EXPECT_TRUE(res::FindDialogTemplate(IDD_CASS_CONVERT)->lists.empty());
  EXPECT_EQ(res::FindDialogTemplate(9999), nullptr);
}

// --- The compiled resources match the definition ----------------------------

class ResReader {
 public:
  explicit ResReader(std::string bytes) : b_(std::move(bytes)) {}

  struct Resource {
    uint16_t type = 0, name = 0, language = 0;
    std::string data;
  };

  std::vector<Resource> resources() {
    std::vector<Resource> out;
    size_t p = 0;
    while (p + 8 <= b_.size()) {
      const uint32_t dataSize = u32(p), headerSize = u32(p + 4);
      Resource r;
      size_t q = p + 8;
      r.type = ordinal(q);
      r.name = ordinal(q);
      q = (q + 3) & ~size_t{3};
      r.language = u16(q + 6);
      r.data = b_.substr(p + headerSize, dataSize);
      if (dataSize) out.push_back(r);
      p = (p + headerSize + dataSize + 3) & ~size_t{3};
    }
    return out;
  }

  uint16_t u16(size_t p) const { return static_cast<uint16_t>(uint8_t(b_[p]) | (uint8_t(b_[p + 1]) << 8)); }
  uint32_t u32(size_t p) const { return u16(p) | (uint32_t{u16(p + 2)} << 16); }

 private:
  uint16_t ordinal(size_t& q) const {
    if (u16(q) == 0xFFFF) {
      const uint16_t v = u16(q + 2);
      q += 4;
      return v;
    }
    while (u16(q) != 0) q += 2;
    q += 2;
    return 0;
  }
  std::string b_;
};

struct Cursor {
  const std::string& d;
  size_t p = 0;
  uint16_t u16() {
    const uint16_t v = static_cast<uint16_t>(uint8_t(d[p]) | (uint8_t(d[p + 1]) << 8));
    p += 2;
    return v;
  }
  uint32_t u32() {
    const uint32_t lo = u16();
    return lo | (uint32_t{u16()} << 16);
  }
  int16_t s16() { return static_cast<int16_t>(u16()); }
  // A string or an ordinal ("#n").
  std::u16string text() {
    std::u16string s;
    if (u16At() == 0xFFFF) {
      p += 2;
      const uint16_t v = u16();
      return u"#" + std::u16string(1, static_cast<char16_t>(v));
    }
    for (uint16_t c; (c = u16()) != 0;) s.push_back(static_cast<char16_t>(c));
    return s;
  }
  uint16_t u16At() const { return static_cast<uint16_t>(uint8_t(d[p]) | (uint8_t(d[p + 1]) << 8)); }
  void align() { p = (p + 3) & ~size_t{3}; }
};

TEST(DialogResources, CompiledTemplatesCarryExactlyTheDefinition) {
#ifndef DZ_WINDRES
  GTEST_SKIP() << "i686-w64-mingw32-windres is not installed";
#else
  TempDir dir;
  const std::string out = dir.file("dialogs.res");
  const CommandResult r = runCommand(DZ_WINDRES, {kScriptPath, "-O", "res", "-o", out});
  ASSERT_EQ(r.exitCode, 0) << r.err;
  ResReader reader(readFile(out));
  std::map<int, std::string> dialogs, inits;
  for (const ResReader::Resource& res : reader.resources()) {
    EXPECT_EQ(res.language, 0x0804) << res.type << "/" << res.name;
    if (res.type == 5) dialogs[res.name] = res.data;
    else if (res.type == ui::kRtDlgInit) inits[res.name] = res.data;
    else ADD_FAILURE() << "unexpected resource type " << res.type;
  }
  ASSERT_EQ(dialogs.size(), 4u);
  ASSERT_EQ(inits.size(), 2u);

  for (const ui::DialogTemplate& t : res::DialogTemplates()) {
    SCOPED_TRACE(t.id);
    Cursor c{dialogs.at(t.id)};
    ASSERT_EQ(c.u16(), 1);       // DIALOGEX
    ASSERT_EQ(c.u16(), 0xFFFF);
    c.u32();                     // help id
    EXPECT_EQ(c.u32(), 0u);      // extended style
    EXPECT_EQ(c.u32(), t.style | ui::kDsSetFont);
    ASSERT_EQ(c.u16(), t.controls.size());
    c.s16();
    c.s16();
    EXPECT_EQ(c.s16(), t.cx);
    EXPECT_EQ(c.s16(), t.cy);
    EXPECT_EQ(c.text(), u"");    // menu
    EXPECT_EQ(c.text(), u"");    // class
    EXPECT_EQ(c.text(), gbkToUtf16(t.caption));
    EXPECT_EQ(c.u16(), t.pointSize);
    EXPECT_EQ(c.u16(), 0);       // weight
    EXPECT_EQ(c.u16(), 0x8600);  // not italic, GB2312 character set
    EXPECT_EQ(c.text(), gbkToUtf16(t.fontFace));
    for (const ui::ControlTemplate& control : t.controls) {
      SCOPED_TRACE(control.id);
      c.align();
      c.u32();
      EXPECT_EQ(c.u32(), 0u);
      EXPECT_EQ(c.u32(), control.style);
      EXPECT_EQ(c.s16(), control.x);
      EXPECT_EQ(c.s16(), control.y);
      EXPECT_EQ(c.s16(), control.cx);
      EXPECT_EQ(c.s16(), control.cy);
      EXPECT_EQ(static_cast<int32_t>(c.u32()), control.id);
      EXPECT_EQ(c.text(), u"#" + std::u16string(1, static_cast<char16_t>(control.cls)));
      EXPECT_EQ(c.text(), gbkToUtf16(control.text));
      c.p += c.u16();
    }
  }

  for (const ui::DialogTemplate& t : res::DialogTemplates()) {
    if (t.lists.empty()) continue;
    std::string expected;
    for (const ui::ListInitialisation& list : t.lists)
      for (const std::string& item : list.items) {
        const uint32_t length = static_cast<uint32_t>(item.size() + 1);
        const char head[8] = {char(list.controlId & 0xFF), char(list.controlId >> 8), 0x03, 0x04,
                              char(length & 0xFF),         char(length >> 8),         0,    0};
        expected.append(head, 8);
        expected.append(item);
        expected.push_back('\0');
      }
    expected.append(2, '\0');
    EXPECT_EQ(hexBytes(inits.at(t.id).data(), inits.at(t.id).size()), hexBytes(expected.data(), expected.size())) << t.id;
  }
#endif
}

}  // namespace
}  // namespace dz::test
