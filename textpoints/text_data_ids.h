// Resource ids of the text data dialog and its controls, shared by the
// dialog class and the dialog definition (res/dialog_templates.cpp). The
// numbers are the ones the host's users and the resources know; the names
// are ours.
#pragma once

namespace dz {

constexpr int IDD_TEXT_DATA = 4052;
constexpr int IDC_TEXT_PREFIX = 1032;
constexpr int IDC_TEXT_DUP_POLICY = 1035;
constexpr int IDC_TEXT_PREVIEW = 1036;
constexpr int IDC_TEXT_CHECK = 1037;
constexpr int IDC_TEXT_SHOW_NORTH = 1038;
constexpr int IDC_TEXT_SHOW_ELEV = 1039;
constexpr int IDC_TEXT_SHOW_CODE = 1040;
constexpr int IDC_TEXT_SHOW_EAST = 1041;
constexpr int IDC_TEXT_SEPARATOR = 1042;
constexpr int IDC_TEXT_CODE_POS = 1043;
constexpr int IDC_TEXT_PATH = 2031;
constexpr int IDC_TEXT_BROWSE = 2040;
constexpr int IDC_TEXT_AUTO_NUMBER = 2042;
constexpr int IDC_TEXT_CUSTOM_NUMBER = 2043;
constexpr int IDC_TEXT_START_NO = 2044;
constexpr int IDC_TEXT_ROW_LAYOUT = 4084;
constexpr int IDC_TEXT_COLUMN_LAYOUT = 4146;
constexpr int IDC_TEXT_CYCLE = 4147;
constexpr int IDC_TEXT_EAST_POS = 4149;
constexpr int IDC_TEXT_NORTH_POS = 4150;
constexpr int IDC_TEXT_ELEV_POS = 4151;
constexpr int IDC_TEXT_VALUE_FIELD = 4152;

}  // namespace dz
