#include "hostsim/dialog_picture.h"

#include <cstdio>
#include <cstring>
#include <vector>

#include "base/gbk.h"
#include "ui/win32/win32_text.h"

namespace hostsim {
namespace {

std::string utf8(const std::wstring& wide) { return dz::gbkToUtf8(ui::win32::Narrow(wide)); }

std::wstring textOf(HWND w) {
  const int n = GetWindowTextLengthW(w);
  std::wstring text(static_cast<size_t>(n) + 1, L'\0');
  text.resize(static_cast<size_t>(GetWindowTextW(w, &text[0], n + 1)));
  return text;
}

struct Listing {
  RECT origin;
  std::string lines;
};

BOOL CALLBACK listControl(HWND w, LPARAM data) {
  auto* listing = reinterpret_cast<Listing*>(data);
  const std::wstring text = textOf(w);
  if (text.empty() || !IsWindowVisible(w)) return TRUE;
  RECT r;
  GetWindowRect(w, &r);
  char head[96];
  std::snprintf(head, sizeof head, "control\t%d\t%ld\t%ld\t%ld\t%ld\t", GetDlgCtrlID(w),
                r.left - listing->origin.left, r.top - listing->origin.top, r.right - r.left, r.bottom - r.top);
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
  listing.lines = head + utf8(textOf(dialog)) + "\n";
  EnumChildWindows(dialog, &listControl, reinterpret_cast<LPARAM>(&listing));
  return writeFile(textPath, listing.lines.data(), listing.lines.size());
}

}  // namespace hostsim
