// UI driver: works another program's windows from outside (see uidriver.h).
#include "tests/driver/uidriver.h"

#include <commctrl.h>
#include <prsht.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <utility>

namespace {

// Short enough that a test hardly waits longer than needed, long enough not
// to keep a core busy while Wine's other process does the work.
constexpr DWORD kPollMs = 15;
// The code page the programs under test write their texts in.
constexpr UINT kCodePage = 1252;

// Visible top-level windows of pid (0 = any) with that caption and class (nullptr = any).
std::vector<HWND> FindTopLevel(DWORD pid, const std::string* title, const char* className) {
  std::vector<HWND> all, found;
  EnumWindows([](HWND window, LPARAM list) {
    reinterpret_cast<std::vector<HWND>*>(list)->push_back(window);
    return TRUE;
  }, reinterpret_cast<LPARAM>(&all));
  for (HWND window : all) {
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    // GetWindowTextA reads the caption the system keeps for a foreign window
    // without sending it a message, so a busy target cannot block the search.
    char caption[1024] = "", name[256] = "";
    GetWindowTextA(window, caption, sizeof caption);
    GetClassNameA(window, name, sizeof name);
    if (IsWindowVisible(window) && (pid == 0 || owner == pid) && (!title || caption == *title) &&
        (!className || !std::strcmp(name, className)))
      found.push_back(window);
  }
  return found;
}

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

// redrawCaption: measured under Wine, a window made foreground when it was
// created may still draw its caption as inactive; letting it lose and regain
// the foreground makes it look as a person would see it.
void BringToFront(HWND window, bool redrawCaption) {
  DWORD_PTR ignored = 0;
  for (HWND front : {redrawCaption ? GetDesktopWindow() : window, window}) {
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

// Measured under Wine: icon handles are not comparable across processes (each
// process loads its own copy of a system icon, so STM_GETICON's handle differs
// from LoadIcon's here), and GetIconInfo/DrawIconEx refuse another process's
// icon (ERROR_INVALID_CURSOR_HANDLE). So the icon is told by its picture: the
// icon static as shown on screen is compared with each standard icon drawn
// here, pixel by pixel.
UINT MessageBoxIcon(HWND iconStatic) {
  RECT rect{};  // a message box's icon static has no border
  GetWindowRect(iconStatic, &rect);
  const Picture shown = CaptureScreen(rect);
  if (shown.bits.empty()) return 0;
  // Drawn on the box's background, as seen in the first pixel, a corner outside any icon.
  const COLORREF background = RGB(shown.bits[2], shown.bits[1], shown.bits[0]);
  const std::pair<LPCSTR, UINT> candidates[] = {{IDI_EXCLAMATION, MB_ICONEXCLAMATION},
      {IDI_QUESTION, MB_ICONQUESTION}, {IDI_HAND, MB_ICONHAND}, {IDI_ASTERISK, MB_ICONASTERISK}};
  for (const auto& [id, style] : candidates) {
    const Picture drawn = Draw(shown.width, shown.height, [&](HDC dc) {
      RECT all{0, 0, shown.width, shown.height};
      SetBkColor(dc, background);
      ExtTextOutA(dc, 0, 0, ETO_OPAQUE, &all, nullptr, 0, nullptr);
      HICON icon = LoadIconA(nullptr, id);
      return DrawIconEx(dc, 0, 0, icon, shown.width, shown.height, 0, nullptr, DI_NORMAL) != FALSE;
    });
    size_t differing = 0;  // bytes; another icon differs in far more than a twentieth of them
    for (size_t i = 0; i < drawn.bits.size(); ++i) differing += std::abs(drawn.bits[i] - shown.bits[i]) > 24;
    if (!drawn.bits.empty() && differing * 20 < drawn.bits.size()) return style;
  }
  return 0;
}

}  // namespace

void KillProgram(Process& process) {
  if (process.handle != nullptr && TerminateProcess(process.handle, 255))
    WaitForSingleObject(process.handle, 5000);
}

Process StartProgram(const std::string& exePath, const std::string& args, const std::string& currentDir) {
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
  return process.handle != nullptr && WaitForSingleObject(process.handle, timeoutMs) == WAIT_OBJECT_0 &&
         GetExitCodeProcess(process.handle, &exitCode);
}

bool WaitUntil(const std::function<bool()>& condition, int timeoutMs) {
  for (const DWORD start = GetTickCount(); !condition(); Sleep(kPollMs))
    if (static_cast<int>(GetTickCount() - start) >= timeoutMs) return condition();
  return true;
}

HWND WaitForWindow(DWORD pid, const std::string& title, const char* className, int timeoutMs) {
  std::vector<HWND> windows;
  WaitUntil([&] { return !(windows = FindTopLevel(pid, &title, className)).empty(); }, timeoutMs);
  HWND found = windows.empty() ? nullptr : windows.front();
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

int CurrentTab(HWND sheet) { return TabCtrl_GetCurSel(PropSheet_GetTabControl(sheet)); }

HWND CurrentPage(HWND sheet) { return PropSheet_GetCurrentPageHwnd(sheet); }

// Posted because leaving or entering a page may show a modal box (a page that
// refuses to be left), and a sent message would wait for that box.
bool SelectTab(HWND sheet, int index, int timeoutMs) {
  if (!PostMessageA(sheet, PSM_SETCURSEL, static_cast<WPARAM>(index), 0)) return false;
  return WaitUntil([&] {
    HWND page = CurrentPage(sheet);
    return CurrentTab(sheet) == index && IsWindowVisible(page) && page == PropSheet_IndexToHwnd(sheet, index);
  }, timeoutMs);
}

void ClickButton(HWND button) { PostMessageA(button, BM_CLICK, 0, 0); }

void TypeText(HWND edit, const std::string& text) {
  // Sent with a time limit: typing must be done when this returns, yet a hung
  // target must not hang the test.
  DWORD_PTR result = 0;
  SendMessageTimeoutW(edit, EM_SETSEL, 0, -1, SMTO_NORMAL, 5000, &result);
  wchar_t wide[1024];
  const int length = MultiByteToWideChar(kCodePage, 0, text.c_str(), -1, wide, 1024) - 1;  // without the NUL
  for (int i = 0; i < length; ++i)
    SendMessageTimeoutW(edit, WM_CHAR, wide[i] == L'\n' ? L'\r' : wide[i], 1, SMTO_NORMAL, 5000, &result);
}

void SetText(HWND control, const std::string& text) { SetWindowTextA(control, text.c_str()); }

// Measured under Wine to return CP-1252 texts intact.
std::string GetText(HWND control) {
  std::string text(static_cast<size_t>(SendMessageA(control, WM_GETTEXTLENGTH, 0, 0)) + 1, '\0');
  text.resize(static_cast<size_t>(SendMessageA(control, WM_GETTEXT, text.size(), LPARAM(&text[0]))));
  return text;
}

bool WaitForText(HWND control, const std::string& text, int timeoutMs) {
  return WaitUntil([&] { return GetText(control) == text; }, timeoutMs);
}

// Sent wide: under Wine an ANSI LB_GETTEXT across processes returns only the
// first character of the item.
std::vector<std::string> ListItems(HWND listBox) {
  std::vector<std::string> items;
  wchar_t text[1024];
  char narrow[4096];
  const int count = static_cast<int>(SendMessageW(listBox, LB_GETCOUNT, 0, 0));
  for (int i = 0; i < count && SendMessageW(listBox, LB_GETTEXTLEN, i, 0) < 1024; ++i) {
    const int length = static_cast<int>(SendMessageW(listBox, LB_GETTEXT, i, reinterpret_cast<LPARAM>(text)));
    items.emplace_back(narrow, WideCharToMultiByte(kCodePage, 0, text, length, narrow, 4096, 0, 0));
  }
  return items;
}

// LB_SETCURSEL notifies no one, while a click does; the notification is posted
// because the parent may answer it with a modal box.
bool SelectListItem(HWND listBox, int index, bool doubleClick) {
  if (SendMessageA(listBox, LB_SETCURSEL, static_cast<WPARAM>(index), 0) == LB_ERR) return false;
  if ((GetWindowLongA(listBox, GWL_STYLE) & LBS_NOTIFY) == 0) return true;
  for (WORD code : {LBN_SELCHANGE, LBN_DBLCLK})
    if (code == LBN_SELCHANGE || doubleClick)
      PostMessageA(GetParent(listBox), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(listBox), code), LPARAM(listBox));
  return true;
}

bool WaitForMessageBox(DWORD pid, const std::string& title, int timeoutMs, MessageBoxInfo& out) {
  HWND box = WaitForWindow(pid, title, "#32770", timeoutMs);
  if (box == nullptr) return false;
  HWND iconStatic = nullptr, textStatic = nullptr;
  for (HWND child = nullptr; (child = FindWindowExA(box, child, "Static", nullptr)) != nullptr;) {
    HWND& first = (GetWindowLongA(child, GWL_STYLE) & SS_TYPEMASK) == SS_ICON ? iconStatic : textStatic;
    if (first == nullptr) first = child;
  }
  out = MessageBoxInfo{box, GetWindow(box, GW_OWNER), textStatic ? GetText(textStatic) : "", 0};
  // The icon is read off the screen, so the box must be in front and painted;
  // give it at least two seconds even if the caller does not wait for the box.
  if (iconStatic != nullptr && IsWindowVisible(iconStatic) &&
      SendMessageA(iconStatic, STM_GETICON, 0, 0) != 0) {
    BringToFront(box, false);
    WaitUntil([&] { return (out.icon = MessageBoxIcon(iconStatic)) != 0; }, std::max(timeoutMs, 2000));
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
  if (!GetWindowRect(window, &rect)) return false;
  BringToFront(window, true);
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

std::string PicturesDir() {
  char value[MAX_PATH] = "";
  const DWORD length = GetEnvironmentVariableA("QX_PICTURES", value, sizeof value);
  std::string dir = value;
  if (length == 0 || length >= sizeof value) dir.assign(value, GetCurrentDirectoryA(MAX_PATH, value));
  if (dir[0] == '/') dir = "Z:" + dir;  // Wine shows the Unix root as drive Z:
  for (char& c : dir) c = c == '/' ? '\\' : c;
  while (dir.size() > 3 && dir.back() == '\\') dir.pop_back();
  CreateDirectoryA(dir.c_str(), nullptr);  // fails harmlessly if it exists
  return dir;
}
