// A dialog template as data: the one definition from which both a resource
// script for the Windows resources and the headless backend's controls are
// built, so the two cannot drift.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "ui/win_constants.h"

namespace dz::ui {

// Control id of labels that nobody addresses (IDC_STATIC).
constexpr int kStaticId = -1;

struct ControlTemplate {
  int id;             // kStaticId for labels nobody addresses
  ControlClass cls;
  uint32_t style;     // the complete window style, kWsChild | kWsVisible included
  std::string text;   // GBK
  int16_t x, y, cx, cy;  // dialog units
};

// Items that the dialog's initialisation adds to a combo or list box, in
// order (the RT_DLGINIT data of the template).
struct ListInitialisation {
  int controlId;
  std::vector<std::string> items;  // GBK
};

struct DialogTemplate {
  int id;
  std::string caption;  // GBK
  uint32_t style;       // without kDsSetFont, which the font implies
  int16_t cx, cy;       // dialog units
  std::string fontFace; // GBK
  uint16_t pointSize;
  uint8_t charset;
  uint16_t language;
  std::vector<ControlTemplate> controls;  // template order = tab order
  std::vector<ListInitialisation> lists;
};

// Finds a template by its resource id; null when there is none.
using TemplateLookup = std::function<const DialogTemplate*(int id)>;

}  // namespace dz::ui
