// Resource ids of the plug-in's dialogs and their controls, shared by the
// dialog definition and the dialog classes. The numbers are the ones the
// host's users and the resources know; the names are ours.
#pragma once

namespace dz::res {

// CASS conversion.
constexpr int IDD_CASS_CONVERT = 1002;
constexpr int IDC_CASS_QS_PATH = 1013;
constexpr int IDC_CASS_BROWSE_QS = 1014;
constexpr int IDC_CASS_PARCEL_PATH = 1015;
constexpr int IDC_CASS_BROWSE_PARCEL = 1016;
constexpr int IDC_CASS_OUTPUT_PATH = 1017;
constexpr int IDC_CASS_BROWSE_OUTPUT = 1019;
constexpr int IDC_CASS_CAS_PATH = 1021;
constexpr int IDC_CASS_BROWSE_CAS = 1022;

// EPSW conversion.
constexpr int IDD_EPSW_CONVERT = 1003;
constexpr int IDC_EPSW_COR_CHECK = 1023;
constexpr int IDC_EPSW_NOT_CHECK = 1024;
constexpr int IDC_EPSW_COR_PATH = 1025;
constexpr int IDC_EPSW_NOT_PATH = 1026;
constexpr int IDC_EPSW_BROWSE_COR = 1027;
constexpr int IDC_EPSW_BROWSE_NOT = 1028;
constexpr int IDC_EPSW_OUTPUT_PATH = 1029;
constexpr int IDC_EPSW_BROWSE_OUTPUT = 1030;

// Attribute paths.
constexpr int IDD_ATTRIBUTE_PATH = 2004;
constexpr int IDC_ATTR_PREFIX = 2020;
constexpr int IDC_ATTR_USE_PREFIX = 2022;
constexpr int IDC_ATTR_SAVE_FILE = 2023;
constexpr int IDC_ATTR_CATEGORY = 2029;
constexpr int IDC_ATTR_PATH = 2031;
constexpr int IDC_ATTR_BROWSE_PATH = 2032;
constexpr int IDC_ATTR_SAVE_PATH = 2036;
constexpr int IDC_ATTR_BROWSE_SAVE = 2037;
constexpr int IDC_ATTR_PATH_LABEL = 2038;

// Text data.
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

}  // namespace dz::res
