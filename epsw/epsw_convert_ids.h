// Resource ids of the EPSW conversion dialog and its controls, shared by the
// dialog class and the dialog definition (res/dialog_templates.cpp). The
// numbers are the ones the host's users and the resources know; the names
// are ours.
#pragma once

namespace dz {

constexpr int IDD_EPSW_CONVERT = 1003;
constexpr int IDC_EPSW_COR_CHECK = 1023;
constexpr int IDC_EPSW_NOT_CHECK = 1024;
constexpr int IDC_EPSW_COR_PATH = 1025;
constexpr int IDC_EPSW_NOT_PATH = 1026;
constexpr int IDC_EPSW_BROWSE_COR = 1027;
constexpr int IDC_EPSW_BROWSE_NOT = 1028;
constexpr int IDC_EPSW_OUTPUT_PATH = 1029;
constexpr int IDC_EPSW_BROWSE_OUTPUT = 1030;

}  // namespace dz
