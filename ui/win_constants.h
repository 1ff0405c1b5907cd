// The numbers of the Windows user interface that the dialog layer shares
// with its backends and the resource definition: window and control styles,
// notification codes, button states, file-dialog flags, class ordinals.
// They carry the values Windows gives them, under names of our own, so that
// this header mixes with <windows.h> and builds where there is none.
#pragma once

#include <cstdint>

namespace dz::ui {

// Window styles.
constexpr uint32_t kWsPopup = 0x80000000u;
constexpr uint32_t kWsChild = 0x40000000u;
constexpr uint32_t kWsVisible = 0x10000000u;
constexpr uint32_t kWsDisabled = 0x08000000u;
constexpr uint32_t kWsCaption = 0x00C00000u;
constexpr uint32_t kWsBorder = 0x00800000u;
constexpr uint32_t kWsVScroll = 0x00200000u;
constexpr uint32_t kWsHScroll = 0x00100000u;
constexpr uint32_t kWsSysMenu = 0x00080000u;
constexpr uint32_t kWsGroup = 0x00020000u;
constexpr uint32_t kWsTabStop = 0x00010000u;

// Dialog styles.
constexpr uint32_t kDsSetFont = 0x40u;
constexpr uint32_t kDsModalFrame = 0x80u;

// Edit styles.
constexpr uint32_t kEsAutoHScroll = 0x0080u;
constexpr uint32_t kEsReadOnly = 0x0800u;

// Button styles: the low four bits are the button's type.
constexpr uint32_t kBsPushButton = 0x0u;
constexpr uint32_t kBsDefPushButton = 0x1u;
constexpr uint32_t kBsCheckBox = 0x2u;
constexpr uint32_t kBsAutoCheckBox = 0x3u;
constexpr uint32_t kBsRadioButton = 0x4u;
constexpr uint32_t kBs3State = 0x5u;
constexpr uint32_t kBsAuto3State = 0x6u;
constexpr uint32_t kBsGroupBox = 0x7u;
constexpr uint32_t kBsAutoRadioButton = 0x9u;
constexpr uint32_t kBsTypeMask = 0xFu;

// The kinds of button a button style makes.
constexpr bool IsCheckBoxStyle(uint32_t style) {
  const uint32_t t = style & kBsTypeMask;
  return t == kBsCheckBox || t == kBsAutoCheckBox || t == kBs3State || t == kBsAuto3State;
}
constexpr bool IsRadioStyle(uint32_t style) {
  const uint32_t t = style & kBsTypeMask;
  return t == kBsRadioButton || t == kBsAutoRadioButton;
}

// Static styles: the low five bits are the static's type.
constexpr uint32_t kSsLeft = 0x0000u;
constexpr uint32_t kSsEtchedHorz = 0x0010u;
constexpr uint32_t kSsTypeMask = 0x001Fu;
constexpr uint32_t kSsCenterImage = 0x0200u;

// Combo box styles: the low two bits are the combo's type.
constexpr uint32_t kCbsDropDown = 0x2u;
constexpr uint32_t kCbsDropDownList = 0x3u;
constexpr uint32_t kCbsTypeMask = 0x3u;
constexpr uint32_t kCbsSort = 0x100u;

// List box styles.
constexpr uint32_t kLbsNotify = 0x1u;
constexpr uint32_t kLbsSort = 0x2u;

// Button states (BM_GETCHECK / BM_SETCHECK).
constexpr int kBstUnchecked = 0;
constexpr int kBstChecked = 1;
constexpr int kBstIndeterminate = 2;

// Notification codes of WM_COMMAND. Combo and list boxes share the value of
// their selection change.
constexpr int kBnClicked = 0;
constexpr int kEnChange = 0x0300;
constexpr int kCbnSelChange = 1;
constexpr int kCbnEditChange = 5;
constexpr int kLbnSelChange = 1;

// Combo and list box error result.
constexpr int kCbErr = -1;

// Common file dialog flags.
constexpr unsigned kOfnOverwritePrompt = 0x0002u;
constexpr unsigned kOfnHideReadOnly = 0x0004u;
constexpr unsigned kOfnFileMustExist = 0x1000u;

// Predefined window classes by their template ordinals.
enum class ControlClass : uint16_t {
  Button = 0x0080,
  Edit = 0x0081,
  Static = 0x0082,
  ListBox = 0x0083,
  ComboBox = 0x0085,
};

// Resource language Chinese (PRC): LANG_CHINESE, SUBLANG_CHINESE_SIMPLIFIED.
constexpr uint16_t kLangChinesePrc = 0x0804;
// GB2312_CHARSET, the character set of the dialogs' font.
constexpr uint8_t kCharsetGb2312 = 0x86;

// The list initialisation resource type (RT_DLGINIT) and the message it
// stores for a combo box item: the 16-bit CB_ADDSTRING that the framework
// translates when it executes the data.
constexpr uint16_t kRtDlgInit = 240;
constexpr uint16_t kDlgInitComboAddString = 0x0403;
constexpr uint16_t kDlgInitListAddString = 0x0401;

}  // namespace dz::ui
