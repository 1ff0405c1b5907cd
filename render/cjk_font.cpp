#include "render/cjk_font.h"

#include <cairo-ft.h>
#include <fontconfig/fontconfig.h>

namespace dz::render {
namespace {

// 中 and A: a font without either would draw boxes in mixed texts such as "砖3".
bool writesChinese(FcPattern* font) {
  FcCharSet* chars = nullptr;
  return FcPatternGetCharSet(font, FC_CHARSET, 0, &chars) == FcResultMatch && FcCharSetHasChar(chars, 0x4E2D) &&
         FcCharSetHasChar(chars, 'A');
}

}  // namespace

CjkFont::~CjkFont() {
  if (face_) cairo_font_face_destroy(face_);
}

bool CjkFont::load(std::string& error) {
  if (face_) return true;
  FcPattern* wanted = FcNameParse(reinterpret_cast<const FcChar8*>(kPreferredFamily));
  FcPatternAddString(wanted, FC_LANG, reinterpret_cast<const FcChar8*>("zh-cn"));
  FcConfigSubstitute(nullptr, wanted, FcMatchPattern);
  FcDefaultSubstitute(wanted);
  FcResult result = FcResultNoMatch;
  FcPattern* match = FcFontMatch(nullptr, wanted, &result);
  FcPatternDestroy(wanted);
  if (!match || !writesChinese(match)) {
    if (match) FcPatternDestroy(match);
    error = "no installed font can write Chinese: install fonts-wqy-microhei (scripts/setup.sh does)";
    return false;
  }
  FcChar8* value = nullptr;
  if (FcPatternGetString(match, FC_FAMILY, 0, &value) == FcResultMatch) family_ = reinterpret_cast<char*>(value);
  if (FcPatternGetString(match, FC_FILE, 0, &value) == FcResultMatch) file_ = reinterpret_cast<char*>(value);
  face_ = cairo_ft_font_face_create_for_pattern(match);  // keeps its own reference
  FcPatternDestroy(match);
  if (cairo_font_face_status(face_) != CAIRO_STATUS_SUCCESS) {
    cairo_font_face_destroy(face_);
    face_ = nullptr;
    error = "cairo cannot use the font " + file_;
    return false;
  }
  return true;
}

}  // namespace dz::render

#if defined(__SANITIZE_ADDRESS__)
// fontconfig builds its configuration at the first lookup and keeps it for
// the life of the process (only FcFini frees it, which cairo's font caches
// forbid while cairo may run). The leak check of a sanitizer build would
// count it as a leak of every program that draws.
extern "C" const char* __lsan_default_suppressions() { return "leak:libfontconfig.so\n"; }
#endif
