// How the dialog exchange writes numbers into boxes and reads them back.
#pragma once

#include <string>
#include <string_view>

namespace dz::ui {

// An integer as "%d" writes it.
std::string FormatExchangeInt(int value);
// A double in its shortest form with up to 15 significant digits ("%.15g"):
// 9999 shows as 9999, 350.5 as 350.5, 1e20 as 1e+20.
std::string FormatExchangeDouble(double value);

// A box's text as an integer: blanks (spaces, tabs) around one decimal
// integer with an optional sign, within the range of int. False for anything
// else, an empty box included.
bool ParseExchangeInt(std::string_view text, int& value);
// A box's text as a double: blanks around one decimal number (sign, digits,
// point, exponent) whose value is finite. False for anything else.
bool ParseExchangeDouble(std::string_view text, double& value);

}  // namespace dz::ui
