#include "qelhost/dialog_picture.h"

#include <cstdio>
#include <cstring>
#include <vector>

#include "base/gbk.h"
#include "ui/win32/win32_dialog_window.h"
#include "ui/win32/win32_text.h"

namespace dz::qelhost {
namespace {

std::string utf8(const std::wstring& wide) { return dz::gbkToUtf8(ui::win32::Narrow(wide)); }

// What sort of control it is, for where its text lies in its rectangle.
const char* kindOf(HWND w) {
  const uint32_t style = static_cast<uint32_t>(GetWindowLongW(w, GWL_STYLE));
  switch (ui::win32::ClassOfWindow(w)) {
    case ui::ControlClass::Button:
      if (ui::IsCheckBoxStyle(style)) return "check";
      if (ui::IsRadioStyle(style)) return "radio";
      return (style & ui::kBsTypeMask) == ui::kBsGroupBox ? "group" : "push";
    case ui::ControlClass::Edit: return "edit";
    case ui::ControlClass::ListBox: return "list";
    case ui::ControlClass::ComboBox: return "combo";
    case ui::ControlClass::Static: break;
  }
  return "static";
}

struct Listing {
  RECT origin;
  std::string lines;
};

BOOL CALLBACK listControl(HWND w, LPARAM data) {
  auto* listing = reinterpret_cast<Listing*>(data);
  const std::wstring text = ui::win32::WindowText(w);
  if (text.empty() || !IsWindowVisible(w)) return TRUE;
  RECT r;
  GetWindowRect(w, &r);
  // How much room the text takes in the control's own font.
  RECT extent{0, 0, 0, 0};
  HDC dc = GetDC(w);
  HGDIOBJ old = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(w, WM_GETFONT, 0, 0)));
  DrawTextW(dc, text.c_str(), -1, &extent, DT_CALCRECT | DT_SINGLELINE | DT_NOPREFIX);
  SelectObject(dc, old);
  ReleaseDC(w, dc);
  char head[128];
  std::snprintf(head, sizeof head, "control\t%d\t%s\t%ld\t%ld\t%ld\t%ld\t%ld\t%ld\t", GetDlgCtrlID(w), kindOf(w),
                r.left - listing->origin.left, r.top - listing->origin.top, r.right - r.left, r.bottom - r.top,
                extent.right - extent.left, extent.bottom - extent.top);
  listing->lines += head + utf8(text) + "\n";
  return TRUE;
}

bool writeFile(const std::wstring& path, const void* data, size_t size) {
  FILE* f = _wfopen(path.c_str(), L"wb");
  if (!f) return false;
  const bool ok = std::fwrite(data, 1, size, f) == size;
  return std::fclose(f) == 0 && ok;
}

// The pixels of `area` of the screen, bottom-up rows of 24-bit BGR.
bool copyScreen(const RECT& area, std::vector<unsigned char>& pixels, BITMAPINFOHEADER& header) {
  const int width = area.right - area.left, height = area.bottom - area.top;
  HDC screen = GetDC(nullptr);
  HDC memory = CreateCompatibleDC(screen);
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = height;  // bottom-up, as BMP files store it
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 24;
  info.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  HBITMAP bitmap = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  bool ok = bitmap != nullptr;
  if (ok) {
    HGDIOBJ old = SelectObject(memory, bitmap);
    ok = BitBlt(memory, 0, 0, width, height, screen, area.left, area.top, SRCCOPY) != 0;
    GdiFlush();
    SelectObject(memory, old);
  }
  if (ok) {
    const size_t stride = (static_cast<size_t>(width) * 3 + 3) & ~size_t(3);
    const auto* begin = static_cast<const unsigned char*>(bits);
    pixels.assign(begin, begin + stride * static_cast<size_t>(height));
    header = info.bmiHeader;
    header.biSizeImage = static_cast<DWORD>(pixels.size());
  }
  if (bitmap) DeleteObject(bitmap);
  DeleteDC(memory);
  ReleaseDC(nullptr, screen);
  return ok;
}

}  // namespace

bool SaveDialogPicture(HWND dialog, const std::wstring& bmpPath, const std::wstring& textPath) {
  RECT window;
  if (!GetWindowRect(dialog, &window) || window.right <= window.left || window.bottom <= window.top) return false;
  const int width = window.right - window.left;
  // The dialog paints on its own thread: copy until two copies agree.
  RedrawWindow(dialog, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
  std::vector<unsigned char> pixels, previous;
  BITMAPINFOHEADER header{};
  for (int attempt = 0; attempt < 40; ++attempt) {
    Sleep(50);
    if (!copyScreen(window, pixels, header)) return false;
    if (pixels == previous) break;
    previous.swap(pixels);
  }
  if (pixels.empty()) pixels = previous;
  BITMAPFILEHEADER file{};
  file.bfType = 0x4D42;  // "BM"
  file.bfOffBits = sizeof file + sizeof header;
  file.bfSize = static_cast<DWORD>(file.bfOffBits + pixels.size());
  std::vector<unsigned char> bytes(file.bfSize);
  std::memcpy(bytes.data(), &file, sizeof file);
  std::memcpy(bytes.data() + sizeof file, &header, sizeof header);
  std::memcpy(bytes.data() + file.bfOffBits, pixels.data(), pixels.size());
  if (!writeFile(bmpPath, bytes.data(), bytes.size())) return false;

  Listing listing{window, ""};
  RECT client;
  GetClientRect(dialog, &client);
  POINT clientOrigin{0, 0};
  ClientToScreen(dialog, &clientOrigin);
  const long border = clientOrigin.x - window.left;
  const long captionBottom = clientOrigin.y - window.top;
  char head[96];
  std::snprintf(head, sizeof head, "caption\t%ld\t%ld\t%ld\t%ld\t", border, border, width - 2 * border,
                captionBottom - border);
  listing.lines = head + utf8(ui::win32::WindowText(dialog)) + "\n";
  EnumChildWindows(dialog, &listControl, reinterpret_cast<LPARAM>(&listing));
  return writeFile(textPath, listing.lines.data(), listing.lines.size());
}

}  // namespace dz::qelhost
