// The font for Chinese texts in pictures, found through fontconfig:
// WenQuanYi Micro Hei when it is installed, else the font fontconfig picks
// for Simplified Chinese, as long as it has both Chinese and Latin letters.
#pragma once

#include <string>

typedef struct _cairo_font_face cairo_font_face_t;

namespace dz::render {

class CjkFont {
 public:
  // The family asked for first.
  static constexpr const char* kPreferredFamily = "WenQuanYi Micro Hei";

  CjkFont() = default;
  ~CjkFont();
  CjkFont(const CjkFont&) = delete;
  CjkFont& operator=(const CjkFont&) = delete;

  // False with a message saying what to install when no font fontconfig
  // knows can write Chinese.
  bool load(std::string& error);

  const std::string& family() const { return family_; }
  const std::string& file() const { return file_; }
  // For cairo_set_font_face; owned by this object.
  cairo_font_face_t* face() const { return face_; }

 private:
  std::string family_;
  std::string file_;
  cairo_font_face_t* face_ = nullptr;
};

}  // namespace dz::render
