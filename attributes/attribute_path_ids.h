// Resource ids of the attribute path dialog and its controls, shared by the
// dialog class and the dialog definition (res/dialog_templates.cpp). The
// numbers are the ones the host's users and the resources know; the names
// are ours.
#pragma once

namespace dz {

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

}  // namespace dz
