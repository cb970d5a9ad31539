// UI driver: works another program's windows from outside (see uidriver.h).
#include "tests/driver/uidriver.h"

#include <commctrl.h>
#include <prsht.h>

#include <cstdio>
#include <cstdlib>
#include <utility>

namespace {

// Short enough that a test hardly waits longer than needed, long enough not
// to keep a core busy while Wine's other process does the work.
constexpr DWORD kPollMs = 15;
// The code page the programs under test write their texts in.
constexpr UINT kCodePage = 1252;

std::string Narrow(const wchar_t* text, int length) {
  if (length <= 0) return {};
  int n = WideCharToMultiByte(kCodePage, 0, text, length, nullptr, 0, nullptr, nullptr);
  std::string out(static_cast<size_t>(n), '\0');
  WideCharToMultiByte(kCodePage, 0, text, length, &out[0], n, nullptr, nullptr);
  return out;
}

std::string ClassOf(HWND window) {
  char name[256] = {};
  GetClassNameA(window, name, sizeof name);
  return name;
}

struct WindowSearch {
  DWORD pid;
  const std::string* title;  // nullptr = any
  const char* className;     // nullptr = any
  std::vector<HWND> found;
};

BOOL CALLBACK CollectTopLevel(HWND window, LPARAM param) {
  auto* search = reinterpret_cast<WindowSearch*>(param);
  DWORD pid = 0;
  GetWindowThreadProcessId(window, &pid);
  // GetWindowTextA reads the caption the system keeps for a foreign window
  // without sending it a message, so a busy target cannot block the search.
  char caption[1024] = {};
  if (search->title) GetWindowTextA(window, caption, sizeof caption);
  if (IsWindowVisible(window) && (search->pid == 0 || pid == search->pid) &&
      (!search->className || ClassOf(window) == search->className) &&
      (!search->title || caption == *search->title))
    search->found.push_back(window);
  return TRUE;
}

std::vector<HWND> FindTopLevel(DWORD pid, const std::string* title, const char* className) {
  WindowSearch search{pid, title, className, {}};
  EnumWindows(CollectTopLevel, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

// A 24-bit bottom-up DIB's pixels, rows padded to 4 bytes as in a BMP file.
struct Picture {
  int width = 0, height = 0;
  std::vector<BYTE> bits;
  int Stride() const { return (width * 3 + 3) & ~3; }
  bool operator==(const Picture& o) const {
    return width == o.width && height == o.height && bits == o.bits;
  }
};

BITMAPINFO Info24(int width, int height) {
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = height;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 24;
  return info;
}

// Draws into a fresh bitmap of the screen's kind and reads its pixels back.
Picture Draw(int width, int height, const std::function<bool(HDC)>& draw) {
  HDC screenDc = GetDC(nullptr);
  HDC memory = CreateCompatibleDC(screenDc);
  HBITMAP bitmap = CreateCompatibleBitmap(screenDc, width, height);
  HGDIOBJ old = SelectObject(memory, bitmap);
  Picture picture{width, height, {}};
  picture.bits.resize(static_cast<size_t>(picture.Stride()) * static_cast<size_t>(height));
  BITMAPINFO info = Info24(width, height);
  const bool drawn = draw(memory);
  SelectObject(memory, old);
  if (!drawn || GetDIBits(memory, bitmap, 0, static_cast<UINT>(height), picture.bits.data(), &info,
                          DIB_RGB_COLORS) != height)
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
  RECT screen{0, 0, GetSystemMetrics(SM_CXVIRTUALSCREEN), GetSystemMetrics(SM_CYVIRTUALSCREEN)};
  OffsetRect(&screen, GetSystemMetrics(SM_XVIRTUALSCREEN), GetSystemMetrics(SM_YVIRTUALSCREEN));
  RECT r{};
  if (!IntersectRect(&r, &rect, &screen)) return {};
  return Draw(r.right - r.left, r.bottom - r.top, [&](HDC memory) {
    HDC screenDc = GetDC(nullptr);
    BOOL copied = BitBlt(memory, 0, 0, r.right - r.left, r.bottom - r.top, screenDc, r.left, r.top,
                         SRCCOPY | CAPTUREBLT);
    ReleaseDC(nullptr, screenDc);
    return copied != FALSE;
  });
}

// redrawCaption: measured under Wine, a window made foreground when it was
// created may still draw its caption as inactive; letting it lose and regain
// the foreground makes it look as a person would see it.
void BringToFront(HWND window, bool redrawCaption) {
  DWORD_PTR ignored = 0;
  if (redrawCaption) {
    SetForegroundWindow(GetDesktopWindow());
    // Lets the window handle its deactivation before it is activated again.
    SendMessageTimeoutA(window, WM_NULL, 0, 0, SMTO_NORMAL, 5000, &ignored);
  }
  SetForegroundWindow(window);
  SendMessageTimeoutA(window, WM_NULL, 0, 0, SMTO_NORMAL, 5000, &ignored);
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
    same = next == last && !next.bits.empty() ? same + 1 : 0;
    last = std::move(next);
    return same >= 2;
  }, timeoutMs);
  return last;
}

// Share of icon's opaque pixels that differ from shown (0 = same picture).
// Opaque pixels are those that come out the same on black and on white, so
// the box's background colour does not matter.
double IconDifference(HICON icon, const Picture& shown) {
  Picture on[2];
  for (int white = 0; white < 2; ++white)
    on[white] = Draw(shown.width, shown.height, [&](HDC dc) {
      RECT all{0, 0, shown.width, shown.height};
      FillRect(dc, &all, static_cast<HBRUSH>(GetStockObject(white ? WHITE_BRUSH : BLACK_BRUSH)));
      return DrawIconEx(dc, 0, 0, icon, shown.width, shown.height, 0, nullptr, DI_NORMAL) != FALSE;
    });
  if (on[0].bits.empty() || on[1].bits.empty()) return 1.0;
  long opaque = 0, differing = 0;
  for (int y = 0; y < shown.height; ++y)
    for (int x = 0; x < shown.width; ++x) {
      const size_t at = static_cast<size_t>(y) * shown.Stride() + static_cast<size_t>(x) * 3;
      const BYTE *black = &on[0].bits[at], *white = &on[1].bits[at], *seen = &shown.bits[at];
      if (black[0] != white[0] || black[1] != white[1] || black[2] != white[2]) continue;
      ++opaque;
      for (int c = 0; c < 3; ++c)
        if (std::abs(black[c] - seen[c]) > 24) {
          ++differing;
          break;
        }
    }
  return opaque == 0 ? 1.0 : static_cast<double>(differing) / opaque;
}

// Measured under Wine: icon handles are not comparable across processes (each
// process loads its own copy of a system icon, so STM_GETICON's handle differs
// from LoadIcon's here), and GetIconInfo/DrawIconEx refuse another process's
// icon (ERROR_INVALID_CURSOR_HANDLE). So the icon is told by its picture: the
// icon static as shown on screen is compared with each standard icon drawn
// here, pixel by pixel.
UINT MessageBoxIcon(HWND iconStatic) {
  RECT client{};
  GetClientRect(iconStatic, &client);
  MapWindowPoints(iconStatic, nullptr, reinterpret_cast<POINT*>(&client), 2);
  Picture shown = CaptureScreen(client);
  if (shown.bits.empty()) return 0;
  const std::pair<LPCSTR, UINT> candidates[] = {{IDI_EXCLAMATION, MB_ICONEXCLAMATION},
                                                {IDI_QUESTION, MB_ICONQUESTION},
                                                {IDI_HAND, MB_ICONHAND},
                                                {IDI_ASTERISK, MB_ICONASTERISK}};
  UINT best = 0;
  double bestDifference = 0.1;  // more than this is not the same picture
  for (const auto& [id, style] : candidates) {
    const double difference = IconDifference(LoadIconA(nullptr, id), shown);
    if (difference < bestDifference) bestDifference = difference, best = style;
  }
  return best;
}

}  // namespace

Process& Process::operator=(Process&& other) noexcept {
  if (this != &other) {
    if (handle != nullptr) CloseHandle(handle);
    handle = std::exchange(other.handle, nullptr);
    pid = std::exchange(other.pid, 0);
  }
  return *this;
}

Process::~Process() {
  if (handle != nullptr) CloseHandle(handle);
}

void KillProgram(Process& process) {
  if (process.handle != nullptr && WaitForSingleObject(process.handle, 0) == WAIT_TIMEOUT) {
    TerminateProcess(process.handle, 255);
    WaitForSingleObject(process.handle, 5000);
  }
}

Process StartProgram(const std::string& exePath, const std::string& args,
                     const std::string& currentDir) {
  std::string commandLine = "\"" + exePath + "\"" + (args.empty() ? "" : " " + args);
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION info{};
  if (!CreateProcessA(exePath.c_str(), &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr,
                      currentDir.empty() ? nullptr : currentDir.c_str(), &startup, &info))
    return Process{};
  CloseHandle(info.hThread);
  return Process{info.hProcess, info.dwProcessId};
}

bool WaitForExit(Process& process, int timeoutMs, DWORD& exitCode) {
  return process.handle != nullptr &&
         WaitForSingleObject(process.handle, static_cast<DWORD>(timeoutMs)) == WAIT_OBJECT_0 &&
         GetExitCodeProcess(process.handle, &exitCode);
}

bool WaitUntil(const std::function<bool()>& condition, int timeoutMs) {
  const DWORD start = GetTickCount();
  for (;;) {
    if (condition()) return true;
    if (static_cast<int>(GetTickCount() - start) >= timeoutMs) return condition();
    Sleep(kPollMs);
  }
}

HWND WaitForWindow(DWORD pid, const std::string& title, const char* className, int timeoutMs) {
  HWND found = nullptr;
  WaitUntil([&] {
    std::vector<HWND> windows = FindTopLevel(pid, &title, className);
    return (found = windows.empty() ? nullptr : windows.front()) != nullptr;
  }, timeoutMs);
  // A window is visible before its thread has finished showing and
  // activating it; a sent message is handled only once that thread is back
  // in its message loop. Measured under Wine: without this, bringing the
  // window to the front at once could leave its caption drawn as inactive.
  DWORD_PTR ignored = 0;
  if (found != nullptr) SendMessageTimeoutA(found, WM_NULL, 0, 0, SMTO_NORMAL, 5000, &ignored);
  return found;
}

bool WaitForWindowGone(HWND window, int timeoutMs) {
  return WaitUntil([&] { return !IsWindow(window) || !IsWindowVisible(window); }, timeoutMs);
}

std::vector<HWND> TopLevelWindows(DWORD pid) { return FindTopLevel(pid, nullptr, nullptr); }

int CurrentTab(HWND sheet) {
  HWND tab = reinterpret_cast<HWND>(SendMessageA(sheet, PSM_GETTABCONTROL, 0, 0));
  return tab == nullptr ? -1 : static_cast<int>(SendMessageA(tab, TCM_GETCURSEL, 0, 0));
}

HWND CurrentPage(HWND sheet) {
  return reinterpret_cast<HWND>(SendMessageA(sheet, PSM_GETCURRENTPAGEHWND, 0, 0));
}

// Posted because leaving or entering a page may show a modal box (a page that
// refuses to be left), and a sent message would wait for that box.
bool SelectTab(HWND sheet, int index, int timeoutMs) {
  if (!PostMessageA(sheet, PSM_SETCURSEL, static_cast<WPARAM>(index), 0)) return false;
  return WaitUntil([&] {
    HWND page = CurrentPage(sheet);
    return CurrentTab(sheet) == index && page != nullptr && IsWindowVisible(page) &&
           page == reinterpret_cast<HWND>(SendMessageA(sheet, PSM_INDEXTOHWND, index, 0));
  }, timeoutMs);
}

void ClickButton(HWND button) { PostMessageA(button, BM_CLICK, 0, 0); }

void TypeText(HWND edit, const std::string& text) {
  // Sent with a time limit: typing must be done when this returns, yet a hung
  // target must not hang the test.
  DWORD_PTR result = 0;
  SendMessageTimeoutW(edit, EM_SETSEL, 0, -1, SMTO_NORMAL, 5000, &result);
  std::wstring wide(text.size(), L'\0');
  wide.resize(static_cast<size_t>(MultiByteToWideChar(kCodePage, 0, text.data(),
                                                      static_cast<int>(text.size()), &wide[0],
                                                      static_cast<int>(wide.size()))));
  for (wchar_t c : wide)
    SendMessageTimeoutW(edit, WM_CHAR, c == L'\n' ? L'\r' : c, 1, SMTO_NORMAL, 5000, &result);
}

void SetText(HWND control, const std::string& text) {
  SendMessageA(control, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
}

// Measured under Wine to return CP-1252 texts intact.
std::string GetText(HWND control) {
  const LRESULT length = SendMessageA(control, WM_GETTEXTLENGTH, 0, 0);
  if (length <= 0) return {};
  std::string text(static_cast<size_t>(length) + 1, '\0');
  const LRESULT got = SendMessageA(control, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(&text[0]));
  text.resize(got > 0 ? static_cast<size_t>(got) : 0);
  return text;
}

bool WaitForText(HWND control, const std::string& text, int timeoutMs) {
  return WaitUntil([&] { return GetText(control) == text; }, timeoutMs);
}

// Sent wide: under Wine an ANSI LB_GETTEXT across processes returns only the
// first character of the item.
std::vector<std::string> ListItems(HWND listBox) {
  std::vector<std::string> items;
  const int count = static_cast<int>(SendMessageW(listBox, LB_GETCOUNT, 0, 0));
  for (int i = 0; i < count; ++i) {
    const LRESULT length = SendMessageW(listBox, LB_GETTEXTLEN, i, 0);
    if (length == LB_ERR) break;
    std::wstring text(static_cast<size_t>(length) + 1, L'\0');
    const LRESULT got = SendMessageW(listBox, LB_GETTEXT, i, reinterpret_cast<LPARAM>(&text[0]));
    items.push_back(Narrow(text.c_str(), static_cast<int>(got)));
  }
  return items;
}

// LB_SETCURSEL notifies no one, while a click does; the notification is posted
// because the parent may answer it with a modal box.
bool SelectListItem(HWND listBox, int index, bool doubleClick) {
  if (SendMessageA(listBox, LB_SETCURSEL, static_cast<WPARAM>(index), 0) == LB_ERR) return false;
  if ((GetWindowLongA(listBox, GWL_STYLE) & LBS_NOTIFY) == 0) return true;
  const int id = GetDlgCtrlID(listBox);
  for (WORD code : {LBN_SELCHANGE, LBN_DBLCLK})
    if (code == LBN_SELCHANGE || doubleClick)
      PostMessageA(GetParent(listBox), WM_COMMAND, MAKEWPARAM(id, code), reinterpret_cast<LPARAM>(listBox));
  return true;
}

bool WaitForMessageBox(DWORD pid, const std::string& title, int timeoutMs, MessageBoxInfo& out) {
  const DWORD start = GetTickCount();
  HWND box = WaitForWindow(pid, title, "#32770", timeoutMs);
  if (box == nullptr) return false;
  out = MessageBoxInfo{};
  out.window = box;
  out.owner = GetWindow(box, GW_OWNER);
  HWND iconStatic = nullptr, textStatic = nullptr;
  for (HWND child = nullptr; (child = FindWindowExA(box, child, "Static", nullptr)) != nullptr;) {
    HWND& first = (GetWindowLongA(child, GWL_STYLE) & SS_TYPEMASK) == SS_ICON ? iconStatic : textStatic;
    if (first == nullptr) first = child;
  }
  out.text = textStatic ? GetText(textStatic) : "";
  // The icon is read off the screen, so the box must be in front and painted;
  // give it at least two seconds even if the caller's timeout is nearly used.
  const int left = timeoutMs - static_cast<int>(GetTickCount() - start);
  if (iconStatic != nullptr && IsWindowVisible(iconStatic) &&
      SendMessageA(iconStatic, STM_GETICON, 0, 0) != 0) {
    BringToFront(box, false);
    WaitUntil([&] { return (out.icon = MessageBoxIcon(iconStatic)) != 0; }, left > 2000 ? left : 2000);
  }
  return true;
}

bool AnswerMessageBox(const MessageBoxInfo& box, int buttonId) {
  // An answered box is hidden at once but may be destroyed only later.
  if (!IsWindow(box.window) || !IsWindowVisible(box.window)) return false;
  HWND button = GetDlgItem(box.window, buttonId);
  if (button != nullptr && IsWindowVisible(button)) return ClickButton(button), true;
  return PostMessageA(box.window, WM_COMMAND, MAKEWPARAM(buttonId, BN_CLICKED), 0) != 0;
}

bool SaveWindowPicture(HWND window, const std::string& bmpPath) {
  RECT rect{};
  if (!IsWindow(window)) return false;
  BringToFront(window, true);
  if (!GetWindowRect(window, &rect)) return false;
  Picture picture = StablePicture(rect, 3000);
  if (picture.bits.empty()) return false;
  BITMAPINFOHEADER header = Info24(picture.width, picture.height).bmiHeader;
  header.biSizeImage = static_cast<DWORD>(picture.bits.size());
  BITMAPFILEHEADER file{0x4D42, 0, 0, 0, sizeof file + sizeof header};  // "BM"
  file.bfSize = file.bfOffBits + header.biSizeImage;
  std::FILE* out = std::fopen(bmpPath.c_str(), "wb");
  if (out == nullptr) return false;
  bool ok = std::fwrite(&file, sizeof file, 1, out) == 1 &&
            std::fwrite(&header, sizeof header, 1, out) == 1 &&
            std::fwrite(picture.bits.data(), 1, picture.bits.size(), out) == picture.bits.size();
  return std::fclose(out) == 0 && ok;
}

std::string PicturesDir() {
  char value[MAX_PATH] = {};
  const DWORD length = GetEnvironmentVariableA("QX_PICTURES", value, sizeof value);
  std::string dir = value;
  if (length == 0 || length >= sizeof value) {
    GetCurrentDirectoryA(sizeof value, value);
    dir = value;
  } else if (dir[0] == '/') {  // Wine shows the Unix root as drive Z:
    for (char& c : dir) c = c == '/' ? '\\' : c;
    dir = "Z:" + dir;
  }
  while (dir.size() > 3 && (dir.back() == '\\' || dir.back() == '/')) dir.pop_back();
  CreateDirectoryA(dir.c_str(), nullptr);  // fails harmlessly if it exists
  return dir;
}
