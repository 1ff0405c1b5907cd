#include "res/dialog_templates.h"

#include "attributes/attribute_path_ids.h"
#include "cass/cass_convert_ids.h"
#include "epsw/epsw_convert_ids.h"
#include "textpoints/text_data_ids.h"

namespace dz::res {
namespace {

using ui::ControlClass;
using ui::ControlTemplate;
using ui::DialogTemplate;

constexpr uint32_t kChild = ui::kWsChild | ui::kWsVisible;
constexpr uint32_t kDialogStyle = ui::kDsModalFrame | ui::kWsPopup | ui::kWsCaption | ui::kWsSysMenu;

// The kinds of control the dialogs use, each with its complete style.
ControlTemplate label(const char* text, int16_t x, int16_t y, int16_t cx, int16_t cy, uint32_t extra = 0,
                      int id = ui::kStaticId) {
  return {id, ControlClass::Static, kChild | ui::kSsLeft | extra, text, x, y, cx, cy};
}
ControlTemplate edit(int id, int16_t x, int16_t y, int16_t cx, int16_t cy, uint32_t extra = 0) {
  return {id, ControlClass::Edit, kChild | ui::kWsBorder | ui::kWsTabStop | ui::kEsAutoHScroll | extra, "", x, y, cx, cy};
}
ControlTemplate push(int id, const char* text, int16_t x, int16_t y, int16_t cx, int16_t cy) {
  return {id, ControlClass::Button, kChild | ui::kWsTabStop | ui::kBsPushButton, text, x, y, cx, cy};
}
ControlTemplate defPush(int id, const char* text, int16_t x, int16_t y, int16_t cx, int16_t cy) {
  return {id, ControlClass::Button, kChild | ui::kWsTabStop | ui::kBsDefPushButton, text, x, y, cx, cy};
}
ControlTemplate autoCheck(int id, const char* text, int16_t x, int16_t y, int16_t cx, int16_t cy) {
  return {id, ControlClass::Button, kChild | ui::kWsTabStop | ui::kBsAutoCheckBox, text, x, y, cx, cy};
}
// The first radio button of a group starts it and is its tab stop; the
// arrow keys move within the group.
ControlTemplate firstRadio(int id, const char* text, int16_t x, int16_t y, int16_t cx, int16_t cy) {
  return {id, ControlClass::Button, kChild | ui::kWsGroup | ui::kWsTabStop | ui::kBsAutoRadioButton, text, x, y, cx, cy};
}
ControlTemplate radio(int id, const char* text, int16_t x, int16_t y, int16_t cx, int16_t cy) {
  return {id, ControlClass::Button, kChild | ui::kBsAutoRadioButton, text, x, y, cx, cy};
}
ControlTemplate groupBox(int16_t x, int16_t y, int16_t cx, int16_t cy) {
  return {ui::kStaticId, ControlClass::Button, kChild | ui::kBsGroupBox, "", x, y, cx, cy};
}
ControlTemplate sunkenLine(int16_t x, int16_t y, int16_t cx, int16_t cy) {
  return {ui::kStaticId, ControlClass::Static, kChild | ui::kSsEtchedHorz, "", x, y, cx, cy};
}

DialogTemplate dialog(int id, const char* caption, int16_t cx, int16_t cy) {
  return {id, caption, kDialogStyle, cx, cy, "宋体", 9, ui::kCharsetGb2312, ui::kLangChinesePrc, {}, {}};
}

DialogTemplate cassConvert() {
  DialogTemplate d = dialog(IDD_CASS_CONVERT, "CASS数据转换", 187, 131);
  d.controls = {
      label("qs 文件", 7, 7, 32, 16),
      edit(IDC_CASS_QS_PATH, 42, 7, 111, 18),
      push(IDC_CASS_BROWSE_QS, "浏览", 157, 7, 23, 18),
      label("宗   地", 7, 36, 32, 14),
      edit(IDC_CASS_PARCEL_PATH, 42, 34, 111, 18),
      push(IDC_CASS_BROWSE_PARCEL, "浏览", 157, 34, 23, 18),
      label("CASS文件", 7, 65, 32, 14),
      edit(IDC_CASS_CAS_PATH, 42, 61, 111, 18),
      push(IDC_CASS_BROWSE_CAS, "浏览", 157, 61, 23, 18),
      label("转 换 为", 7, 90, 32, 14),
      edit(IDC_CASS_OUTPUT_PATH, 42, 88, 111, 18),
      push(IDC_CASS_BROWSE_OUTPUT, "浏览", 157, 87, 23, 18),
      defPush(1, "转换", 26, 109, 29, 14),
      push(2, "取消", 130, 109, 29, 14),
  };
  return d;
}

DialogTemplate epswConvert() {
  DialogTemplate d = dialog(IDD_EPSW_CONVERT, "清华山维数据转换", 207, 97);
  d.controls = {
      defPush(1, "转  换", 29, 76, 38, 14),
      push(2, "取  消", 129, 76, 38, 14),
      autoCheck(IDC_EPSW_COR_CHECK, "Cor文件路径", 7, 33, 59, 13),
      autoCheck(IDC_EPSW_NOT_CHECK, "Not文件路径", 7, 53, 59, 13),
      edit(IDC_EPSW_COR_PATH, 67, 33, 108, 12),
      edit(IDC_EPSW_NOT_PATH, 67, 54, 108, 12),
      push(IDC_EPSW_BROWSE_COR, "浏览", 178, 33, 22, 13),
      push(IDC_EPSW_BROWSE_NOT, "浏览", 178, 53, 22, 13),
      label("输出Qel路径", 7, 11, 45, 15, ui::kSsCenterImage),
      edit(IDC_EPSW_OUTPUT_PATH, 58, 13, 118, 12),
      push(IDC_EPSW_BROWSE_OUTPUT, "浏览", 178, 13, 22, 13),
  };
  return d;
}

DialogTemplate attributePath() {
  DialogTemplate d = dialog(IDD_ATTRIBUTE_PATH, "设置路径", 187, 107);
  d.controls = {
      label("选择属性类别", 7, 8, 53, 12),
      {IDC_ATTR_CATEGORY, ControlClass::ComboBox, kChild | ui::kWsVScroll | ui::kWsTabStop | ui::kCbsDropDown, "", 60, 8, 102, 67},
      label("文件路径", 2, 29, 57, 16, ui::kSsCenterImage, IDC_ATTR_PATH_LABEL),
      edit(IDC_ATTR_PATH, 59, 29, 101, 16),
      push(IDC_ATTR_BROWSE_PATH, "浏览", 165, 30, 20, 15),
      autoCheck(IDC_ATTR_USE_PREFIX, "宗地号前缀", 2, 49, 52, 14),
      edit(IDC_ATTR_PREFIX, 59, 47, 101, 16),
      autoCheck(IDC_ATTR_SAVE_FILE, "保 存 文 件", 2, 69, 57, 14),
      edit(IDC_ATTR_SAVE_PATH, 59, 69, 101, 16),
      push(IDC_ATTR_BROWSE_SAVE, "浏览", 165, 70, 20, 15),
      defPush(1, "OK", 7, 86, 50, 14),
      push(2, "Cancel", 130, 86, 50, 14),
  };
  d.lists = {{IDC_ATTR_CATEGORY, {"宗地", "界址点", "房屋", "管点", "管线", "控制点", "坎高", "住户", "界址线"}}};
  return d;
}

DialogTemplate textData() {
  DialogTemplate d = dialog(IDD_TEXT_DATA, "读文本数据", 235, 213);
  d.controls = {
      defPush(1, "数据录入", 85, 189, 50, 14),
      push(2, "退  出", 153, 189, 50, 14),
      firstRadio(IDC_TEXT_COLUMN_LAYOUT, "录入竖排数据", 18, 48, 70, 13),
      radio(IDC_TEXT_ROW_LAYOUT, "录入横排数据", 134, 48, 70, 13),
      label("循环数", 125, 87, 23, 11, ui::kWsGroup),
      edit(IDC_TEXT_CYCLE, 154, 86, 22, 13),
      label("E坐标", 125, 119, 20, 11),
      edit(IDC_TEXT_EAST_POS, 154, 118, 22, 13),
      label("N坐标", 125, 136, 20, 11),
      edit(IDC_TEXT_NORTH_POS, 154, 134, 22, 13),
      label("高 程", 125, 152, 20, 11),
      edit(IDC_TEXT_ELEV_POS, 154, 150, 22, 13),
      label("有效数", 125, 70, 23, 11),
      edit(IDC_TEXT_VALUE_FIELD, 154, 70, 22, 13),
      label("文件路径", 7, 7, 35, 13),
      edit(IDC_TEXT_PATH, 46, 7, 159, 16),
      push(IDC_TEXT_BROWSE, "浏 览", 205, 7, 23, 17),
      firstRadio(IDC_TEXT_AUTO_NUMBER, "自动编排点号", 12, 27, 68, 13),
      radio(IDC_TEXT_CUSTOM_NUMBER, "自定义起始点号", 79, 29, 68, 12),
      edit(IDC_TEXT_START_NO, 151, 28, 34, 14),
      sunkenLine(7, 45, 221, 1),
      label("前缀", 187, 28, 18, 14),
      edit(IDC_TEXT_PREFIX, 204, 28, 24, 14),
      sunkenLine(7, 185, 221, 1),
      label("重点名", 7, 191, 25, 11),
      {IDC_TEXT_DUP_POLICY, ControlClass::ComboBox, kChild | ui::kWsVScroll | ui::kWsTabStop | ui::kCbsDropDownList, "", 34, 189, 43, 44},
      label("分隔符", 126, 103, 23, 11),
      edit(IDC_TEXT_SEPARATOR, 154, 102, 22, 13),
      {IDC_TEXT_PREVIEW, ControlClass::ListBox, kChild | ui::kWsBorder | ui::kWsVScroll | ui::kWsTabStop | ui::kLbsNotify, "", 7, 61, 114, 122},
      groupBox(121, 56, 101, 127),
      label("编 码", 125, 167, 20, 11),
      edit(IDC_TEXT_CODE_POS, 154, 166, 22, 13),
      push(IDC_TEXT_CHECK, "检  验", 183, 65, 36, 15),
      edit(IDC_TEXT_SHOW_EAST, 179, 117, 40, 14, ui::kWsDisabled),
      edit(IDC_TEXT_SHOW_NORTH, 179, 135, 40, 14, ui::kWsDisabled),
      edit(IDC_TEXT_SHOW_ELEV, 179, 152, 40, 14, ui::kWsDisabled),
      edit(IDC_TEXT_SHOW_CODE, 179, 167, 40, 14, ui::kWsDisabled),
  };
  d.lists = {{IDC_TEXT_DUP_POLICY, {"改点名", "更新", "忽略"}}};
  return d;
}

}  // namespace

const std::vector<ui::DialogTemplate>& DialogTemplates() {
  static const std::vector<ui::DialogTemplate> templates = {cassConvert(), epswConvert(), attributePath(), textData()};
  return templates;
}

const ui::DialogTemplate* FindDialogTemplate(int id) {
  for (const ui::DialogTemplate& t : DialogTemplates())
    if (t.id == id) return &t;
  return nullptr;
}

}  // namespace dz::res
