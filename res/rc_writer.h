// Writes the dialog part of the plug-in's resource script from the template
// definition: UTF-8 with code page 65001, one DIALOGEX per template and the
// list initialisations as RT_DLGINIT (type 240) data in GBK bytes, as the
// framework executes them when a dialog opens.
#pragma once

#include <string>
#include <vector>

#include "ui/dialog_template.h"

namespace dz::res {

// The whole resource script (UTF-8, LF line ends). Every style bit of every
// control is spelled out, with NOT for the bits a statement would otherwise
// add, so the compiled templates carry exactly the definition's styles.
std::string WriteDialogResourceScript(const std::vector<ui::DialogTemplate>& templates);

}  // namespace dz::res
