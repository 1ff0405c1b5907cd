// Resource ids of the CASS conversion dialog and its controls, shared by the
// dialog class and the dialog definition (res/dialog_templates.cpp). The
// numbers are the ones the host's users and the resources know; the names
// are ours.
#pragma once

namespace dz {

constexpr int IDD_CASS_CONVERT = 1002;
constexpr int IDC_CASS_QS_PATH = 1013;
constexpr int IDC_CASS_BROWSE_QS = 1014;
constexpr int IDC_CASS_PARCEL_PATH = 1015;
constexpr int IDC_CASS_BROWSE_PARCEL = 1016;
constexpr int IDC_CASS_OUTPUT_PATH = 1017;
constexpr int IDC_CASS_BROWSE_OUTPUT = 1019;
constexpr int IDC_CASS_CAS_PATH = 1021;
constexpr int IDC_CASS_BROWSE_CAS = 1022;

}  // namespace dz
