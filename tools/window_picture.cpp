// Pictures of windows for the README, taken from the screen under Xvfb as a
// person would see them (tools/make_docs.sh).
#include "tools/window_picture.h"

#include <cstdio>
#include <functional>
#include <vector>

#include "tests/driver/uidriver.h"

namespace {

// A 24-bit bottom-up DIB's pixels, rows padded to 4 bytes as in a BMP file.
struct Picture {
  int width = 0, height = 0;
  std::vector<BYTE> bits;
};

// Draws into a fresh bitmap of the screen's kind and reads its pixels back.
Picture Draw(int width, int height, const std::function<bool(HDC)>& draw) {
  HDC screenDc = GetDC(nullptr), memory = CreateCompatibleDC(screenDc);
  HBITMAP bitmap = CreateCompatibleBitmap(screenDc, width, height);
  HGDIOBJ old = SelectObject(memory, bitmap);
  Picture picture{width, height, std::vector<BYTE>(static_cast<size_t>((width * 3 + 3) & ~3) * height)};
  BITMAPINFO info{{sizeof(BITMAPINFOHEADER), width, height, 1, 24, BI_RGB, 0, 0, 0, 0, 0}, {}};
  const bool drawn = draw(memory);
  SelectObject(memory, old);
  if (!drawn || GetDIBits(memory, bitmap, 0, height, picture.bits.data(), &info, DIB_RGB_COLORS) != height)
    picture = Picture{};
  DeleteObject(bitmap);
  DeleteDC(memory);
  ReleaseDC(nullptr, screenDc);
  return picture;
}

// Copies a rectangle of the screen. Measured under Wine (X11 driver, Xvfb):
// BitBlt from the screen DC gives what is shown, while PrintWindow on another
// process's window returns TRUE but leaves the bitmap untouched (the DC it
// hands over is a handle of this process only).
Picture CaptureScreen(RECT rect) {
  RECT screen{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)}, r{};
  if (!IntersectRect(&r, &rect, &screen)) return {};
  return Draw(r.right - r.left, r.bottom - r.top, [&](HDC memory) {
    HDC screenDc = GetDC(nullptr);
    BOOL copied = BitBlt(memory, 0, 0, r.right - r.left, r.bottom - r.top, screenDc, r.left, r.top,
                         SRCCOPY | CAPTUREBLT);
    ReleaseDC(nullptr, screenDc);
    return copied != FALSE;
  });
}

// Measured under Wine: a window made foreground when it was created may still
// draw its caption as inactive; letting it lose and regain the foreground
// makes it look as a person would see it.
void BringToFront(HWND window) {
  DWORD_PTR ignored = 0;
  for (HWND front : {GetDesktopWindow(), window}) {
    SetForegroundWindow(front);
    // Lets the window handle its deactivation or activation before going on.
    SendMessageTimeoutA(window, WM_NULL, 0, 0, SMTO_NORMAL, 5000, &ignored);
  }
  BringWindowToTop(window);
  RedrawWindow(window, nullptr, nullptr,
               RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
}

// The screen shows a window only once its process got round to painting it,
// which a foreign process cannot ask for synchronously; a picture that stays
// the same over a few polls is taken as finished.
Picture StablePicture(const RECT& rect, int timeoutMs) {
  Picture last = CaptureScreen(rect);
  int same = 0;
  WaitUntil([&] {
    Sleep(60);
    Picture next = CaptureScreen(rect);
    same = next.bits == last.bits && next.width == last.width && !next.bits.empty() ? same + 1 : 0;
    last = std::move(next);
    return same >= 2;
  }, timeoutMs);
  return last;
}

}  // namespace

bool SaveWindowPicture(HWND window, const std::string& bmpPath) {
  RECT rect{};
  if (!GetWindowRect(window, &rect)) return false;
  BringToFront(window);
  Picture picture = StablePicture(rect, 3000);
  if (picture.bits.empty()) return false;
  const DWORD size = static_cast<DWORD>(picture.bits.size());
  const DWORD offset = sizeof(BITMAPFILEHEADER) + sizeof(BITMAPINFOHEADER);
  BITMAPINFOHEADER header{sizeof header, picture.width, picture.height, 1, 24, BI_RGB, size, 0, 0, 0, 0};
  BITMAPFILEHEADER file{0x4D42, offset + size, 0, 0, offset};  // "BM"
  std::FILE* out = std::fopen(bmpPath.c_str(), "wb");
  bool ok = out && std::fwrite(&file, sizeof file, 1, out) && std::fwrite(&header, sizeof header, 1, out) &&
            std::fwrite(picture.bits.data(), 1, size, out) == size;
  return out && std::fclose(out) == 0 && ok;
}
