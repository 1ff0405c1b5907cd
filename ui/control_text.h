// Texts as Windows' controls hold them: UTF-16, converted from GBK by our own
// table. A byte that is not part of a GBK character (a line of a file that
// is not GBK, a stray 0xFF) becomes a code point of its own, U+DC80 plus the
// byte — a lone low surrogate, which no character is — and turns back into
// that byte, so that a control hands back exactly the bytes it was given,
// as the headless controls do. The controls draw such a code point as an
// unknown character.
#pragma once

#include <string>
#include <string_view>

namespace dz::ui {

std::u16string ControlText(std::string_view gbk);

// The bytes of a control's text: GBK, each escaped byte as itself; a
// character GBK cannot hold becomes '?'.
std::string ControlTextBytes(std::u16string_view text);

}  // namespace dz::ui
