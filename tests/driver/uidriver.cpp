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

std::wstring Widen(const std::string& text) {
  if (text.empty()) return {};
  int n = MultiByteToWideChar(kCodePage, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
  std::wstring out(static_cast<size_t>(n), L'\0');
  MultiByteToWideChar(kCodePage, 0, text.data(), static_cast<int>(text.size()), &out[0], n);
  return out;
}

std::string Narrow(const wchar_t* text, size_t length) {
  if (length == 0) return {};
  int n = WideCharToMultiByte(kCodePage, 0, text, static_cast<int>(length), nullptr, 0, nullptr, nullptr);
  std::string out(static_cast<size_t>(n), '\0');
  WideCharToMultiByte(kCodePage, 0, text, static_cast<int>(length), &out[0], n, nullptr, nullptr);
  return out;
}

DWORD WindowPid(HWND window) {
  DWORD pid = 0;
  GetWindowThreadProcessId(window, &pid);
  return pid;
}

std::string ClassOf(HWND window) {
  char name[256] = {};
  GetClassNameA(window, name, sizeof name);
  return name;
}

std::string CaptionOf(HWND window) {
  // GetWindowTextA reads the caption the system keeps for a foreign window
  // without sending it a message, so a busy target cannot block the search.
  char caption[1024] = {};
  GetWindowTextA(window, caption, sizeof caption);
  return caption;
}

struct WindowSearch {
  DWORD pid;
  const std::string* title;  // nullptr = any
  const char* className;     // nullptr = any
  std::vector<HWND> found;
};

BOOL CALLBACK CollectTopLevel(HWND window, LPARAM param) {
  auto* search = reinterpret_cast<WindowSearch*>(param);
  if (!IsWindowVisible(window)) return TRUE;
  if (search->pid != 0 && WindowPid(window) != search->pid) return TRUE;
  if (search->className != nullptr && ClassOf(window) != search->className) return TRUE;
  if (search->title != nullptr && CaptionOf(window) != *search->title) return TRUE;
  search->found.push_back(window);
  return TRUE;
}

std::vector<HWND> FindTopLevel(DWORD pid, const std::string* title, const char* className) {
  WindowSearch search{pid, title, className, {}};
  EnumWindows(CollectTopLevel, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

BOOL CALLBACK CollectChild(HWND window, LPARAM param) {
  reinterpret_cast<std::vector<HWND>*>(param)->push_back(window);
  return TRUE;
}

// Direct children only: EnumChildWindows also walks grandchildren.
std::vector<HWND> DirectChildren(HWND parent, const char* className) {
  std::vector<HWND> all;
  EnumChildWindows(parent, CollectChild, reinterpret_cast<LPARAM>(&all));
  std::vector<HWND> out;
  for (HWND child : all) {
    if (GetParent(child) != parent) continue;
    if (className != nullptr && lstrcmpiA(ClassOf(child).c_str(), className) != 0) continue;
    out.push_back(child);
  }
  return out;
}

// A 24-bit bottom-up DIB's pixels, rows padded to 4 bytes as in a BMP file.
struct Picture {
  int width = 0;
  int height = 0;
  std::vector<BYTE> bits;

  int Stride() const { return (width * 3 + 3) & ~3; }
  bool operator==(const Picture& other) const {
    return width == other.width && height == other.height && bits == other.bits;
  }
};

BITMAPINFO Info24(int width, int height) {
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = height;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 24;
  info.bmiHeader.biCompression = BI_RGB;
  return info;
}

Picture ReadBitmap(HDC dc, HBITMAP bitmap, int width, int height) {
  Picture picture;
  picture.width = width;
  picture.height = height;
  picture.bits.resize(static_cast<size_t>(picture.Stride()) * static_cast<size_t>(height));
  BITMAPINFO info = Info24(width, height);
  if (GetDIBits(dc, bitmap, 0, static_cast<UINT>(height), picture.bits.data(), &info,
                DIB_RGB_COLORS) != height) {
    picture = Picture{};
  }
  return picture;
}

// Copies a rectangle of the screen. Measured under Wine (X11 driver, Xvfb):
// BitBlt from the screen DC gives what is shown, while PrintWindow on another
// process's window returns TRUE but leaves the bitmap untouched (the DC it
// hands over is a handle of this process only).
Picture CaptureScreen(RECT rect) {
  RECT screen{0, 0, GetSystemMetrics(SM_CXVIRTUALSCREEN), GetSystemMetrics(SM_CYVIRTUALSCREEN)};
  OffsetRect(&screen, GetSystemMetrics(SM_XVIRTUALSCREEN), GetSystemMetrics(SM_YVIRTUALSCREEN));
  RECT clipped{};
  if (!IntersectRect(&clipped, &rect, &screen)) return {};
  const int width = clipped.right - clipped.left;
  const int height = clipped.bottom - clipped.top;
  HDC screenDc = GetDC(nullptr);
  HDC memory = CreateCompatibleDC(screenDc);
  HBITMAP bitmap = CreateCompatibleBitmap(screenDc, width, height);
  HGDIOBJ old = SelectObject(memory, bitmap);
  BOOL copied = BitBlt(memory, 0, 0, width, height, screenDc, clipped.left, clipped.top,
                       SRCCOPY | CAPTUREBLT);
  SelectObject(memory, old);
  Picture picture;
  if (copied) picture = ReadBitmap(memory, bitmap, width, height);
  DeleteObject(bitmap);
  DeleteDC(memory);
  ReleaseDC(nullptr, screenDc);
  return picture;
}

bool WriteBmp(const Picture& picture, const std::string& path) {
  BITMAPINFOHEADER header = Info24(picture.width, picture.height).bmiHeader;
  header.biSizeImage = static_cast<DWORD>(picture.bits.size());
  BITMAPFILEHEADER file{};
  file.bfType = 0x4D42;  // "BM"
  file.bfOffBits = sizeof file + sizeof header;
  file.bfSize = file.bfOffBits + header.biSizeImage;
  std::FILE* out = std::fopen(path.c_str(), "wb");
  if (out == nullptr) return false;
  bool ok = std::fwrite(&file, sizeof file, 1, out) == 1 &&
            std::fwrite(&header, sizeof header, 1, out) == 1 &&
            std::fwrite(picture.bits.data(), 1, picture.bits.size(), out) == picture.bits.size();
  ok = std::fclose(out) == 0 && ok;
  return ok;
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
  const DWORD start = GetTickCount();
  int sameCount = 0;
  while (static_cast<int>(GetTickCount() - start) < timeoutMs) {
    Sleep(60);
    Picture next = CaptureScreen(rect);
    if (next == last && !next.bits.empty()) {
      if (++sameCount >= 2) break;
    } else {
      sameCount = 0;
    }
    last = std::move(next);
  }
  return last;
}

// Draws icon at size width x height on a plain background of colour.
Picture RenderIcon(HICON icon, int width, int height, COLORREF colour) {
  HDC screenDc = GetDC(nullptr);
  HDC memory = CreateCompatibleDC(screenDc);
  HBITMAP bitmap = CreateCompatibleBitmap(screenDc, width, height);
  HGDIOBJ old = SelectObject(memory, bitmap);
  RECT all{0, 0, width, height};
  HBRUSH brush = CreateSolidBrush(colour);
  FillRect(memory, &all, brush);
  DeleteObject(brush);
  DrawIconEx(memory, 0, 0, icon, width, height, 0, nullptr, DI_NORMAL);
  SelectObject(memory, old);
  Picture picture = ReadBitmap(memory, bitmap, width, height);
  DeleteObject(bitmap);
  DeleteDC(memory);
  ReleaseDC(nullptr, screenDc);
  return picture;
}

// Share of icon's opaque pixels that differ from shown (0 = same picture).
// Opaque pixels are those that come out the same on black and on white, so
// the box's background colour does not matter.
double IconDifference(HICON icon, const Picture& shown) {
  Picture onBlack = RenderIcon(icon, shown.width, shown.height, RGB(0, 0, 0));
  Picture onWhite = RenderIcon(icon, shown.width, shown.height, RGB(255, 255, 255));
  if (onBlack.bits.empty() || onWhite.bits.empty()) return 1.0;
  long opaque = 0, differing = 0;
  const int stride = shown.Stride();
  for (int y = 0; y < shown.height; ++y) {
    for (int x = 0; x < shown.width; ++x) {
      const size_t at = static_cast<size_t>(y) * stride + static_cast<size_t>(x) * 3;
      bool same = true;
      for (int c = 0; c < 3; ++c) same = same && onBlack.bits[at + c] == onWhite.bits[at + c];
      if (!same) continue;
      ++opaque;
      for (int c = 0; c < 3; ++c) {
        if (std::abs(onBlack.bits[at + c] - shown.bits[at + c]) > 24) {
          ++differing;
          break;
        }
      }
    }
  }
  return opaque == 0 ? 1.0 : static_cast<double>(differing) / opaque;
}

HWND IconStatic(HWND box) {
  for (HWND child : DirectChildren(box, "Static")) {
    if ((GetWindowLongA(child, GWL_STYLE) & SS_TYPEMASK) == SS_ICON) return child;
  }
  return nullptr;
}

}  // namespace

// --- processes -------------------------------------------------------------

Process::Process(Process&& other) noexcept
    : handle(std::exchange(other.handle, nullptr)), pid(std::exchange(other.pid, 0)) {}

Process& Process::operator=(Process&& other) noexcept {
  if (this != &other) {
    Close(*this);
    handle = std::exchange(other.handle, nullptr);
    pid = std::exchange(other.pid, 0);
  }
  return *this;
}

Process::~Process() { Close(*this); }

void Close(Process& process) {
  if (process.handle != nullptr) CloseHandle(process.handle);
  process.handle = nullptr;
}

void KillProgram(Process& process) {
  if (process.handle == nullptr) return;
  if (WaitForSingleObject(process.handle, 0) == WAIT_TIMEOUT) {
    TerminateProcess(process.handle, 255);
    WaitForSingleObject(process.handle, 5000);
  }
}

Process StartProgram(const std::string& exePath, const std::string& args,
                     const std::string& currentDir) {
  std::string commandLine = "\"" + exePath + "\"";
  if (!args.empty()) commandLine += " " + args;
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION info{};
  if (!CreateProcessA(exePath.c_str(), &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr,
                      currentDir.empty() ? nullptr : currentDir.c_str(), &startup, &info)) {
    return Process{};
  }
  CloseHandle(info.hThread);
  return Process{info.hProcess, info.dwProcessId};
}

bool WaitForExit(Process& process, int timeoutMs, DWORD& exitCode) {
  if (process.handle == nullptr) return false;
  if (WaitForSingleObject(process.handle, static_cast<DWORD>(timeoutMs)) != WAIT_OBJECT_0) {
    return false;
  }
  return GetExitCodeProcess(process.handle, &exitCode) != 0;
}

bool WaitUntil(const std::function<bool()>& condition, int timeoutMs) {
  const DWORD start = GetTickCount();
  for (;;) {
    if (condition()) return true;
    if (static_cast<int>(GetTickCount() - start) >= timeoutMs) return condition();
    Sleep(kPollMs);
  }
}

// --- windows ---------------------------------------------------------------

HWND WaitForWindow(DWORD pid, const std::string& title, const char* className, int timeoutMs) {
  HWND found = nullptr;
  WaitUntil(
      [&] {
        std::vector<HWND> windows = FindTopLevel(pid, &title, className);
        found = windows.empty() ? nullptr : windows.front();
        return found != nullptr;
      },
      timeoutMs);
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

// --- property sheets ---------------------------------------------------------

HWND TabControl(HWND sheet) {
  HWND tab = reinterpret_cast<HWND>(SendMessageA(sheet, PSM_GETTABCONTROL, 0, 0));
  if (tab == nullptr) tab = FindWindowExA(sheet, nullptr, WC_TABCONTROLA, nullptr);
  return tab;
}

// A tab control's texts cannot be read by a plain message across processes:
// TCM_GETITEM carries a pointer that is not marshalled. So the TCITEMW and its
// text buffer are placed in the target's memory and read back from there.
// Both processes are 64-bit, so the structure's layout is the same in both.
std::vector<std::string> TabTitles(HWND sheet) {
  std::vector<std::string> titles;
  HWND tab = TabControl(sheet);
  if (tab == nullptr) return titles;
  HANDLE target = OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE,
                              WindowPid(tab));
  if (target == nullptr) return titles;
  constexpr int kTextChars = 512;
  const SIZE_T size = sizeof(TCITEMW) + kTextChars * sizeof(WCHAR);
  auto* remote = static_cast<BYTE*>(
      VirtualAllocEx(target, nullptr, size, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE));
  if (remote != nullptr) {
    auto* remoteText = reinterpret_cast<WCHAR*>(remote + sizeof(TCITEMW));
    const int count = static_cast<int>(SendMessageW(tab, TCM_GETITEMCOUNT, 0, 0));
    for (int i = 0; i < count; ++i) {
      TCITEMW item{};
      item.mask = TCIF_TEXT;
      item.pszText = remoteText;
      item.cchTextMax = kTextChars;
      const WCHAR empty = 0;
      WCHAR text[kTextChars] = {};
      if (!WriteProcessMemory(target, remote, &item, sizeof item, nullptr) ||
          !WriteProcessMemory(target, remoteText, &empty, sizeof empty, nullptr) ||
          !SendMessageW(tab, TCM_GETITEMW, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(remote)) ||
          !ReadProcessMemory(target, remoteText, text, sizeof text, nullptr)) {
        titles.clear();
        break;
      }
      text[kTextChars - 1] = 0;
      titles.push_back(Narrow(text, wcslen(text)));
    }
    VirtualFreeEx(target, remote, 0, MEM_RELEASE);
  }
  CloseHandle(target);
  return titles;
}

int CurrentTab(HWND sheet) {
  HWND tab = TabControl(sheet);
  return tab == nullptr ? -1 : static_cast<int>(SendMessageA(tab, TCM_GETCURSEL, 0, 0));
}

HWND CurrentPage(HWND sheet) {
  return reinterpret_cast<HWND>(SendMessageA(sheet, PSM_GETCURRENTPAGEHWND, 0, 0));
}

// Posted because leaving or entering a page may show a modal box (a page that
// refuses to be left), and a sent message would wait for that box.
bool SelectTab(HWND sheet, int index, int timeoutMs) {
  if (!PostMessageA(sheet, PSM_SETCURSEL, static_cast<WPARAM>(index), 0)) return false;
  return WaitUntil(
      [&] {
        HWND page = CurrentPage(sheet);
        HWND wanted = reinterpret_cast<HWND>(
            SendMessageA(sheet, PSM_INDEXTOHWND, static_cast<WPARAM>(index), 0));
        return CurrentTab(sheet) == index && page != nullptr && page == wanted &&
               IsWindowVisible(page);
      },
      timeoutMs);
}

// --- controls ------------------------------------------------------------------

void ClickButton(HWND button) { PostMessageA(button, BM_CLICK, 0, 0); }

void TypeText(HWND edit, const std::string& text) {
  // Sent with a time limit: typing must be done when this returns, yet a hung
  // target must not hang the test.
  DWORD_PTR result = 0;
  SendMessageTimeoutW(edit, EM_SETSEL, 0, -1, SMTO_NORMAL, 5000, &result);
  for (wchar_t c : Widen(text)) {
    if (c == L'\n') c = L'\r';
    SendMessageTimeoutW(edit, WM_CHAR, c, 1, SMTO_NORMAL, 5000, &result);
  }
}

void SetText(HWND control, const std::string& text) {
  SendMessageA(control, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
}

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
    const LRESULT length = SendMessageW(listBox, LB_GETTEXTLEN, static_cast<WPARAM>(i), 0);
    if (length == LB_ERR) break;
    std::wstring text(static_cast<size_t>(length) + 1, L'\0');
    const LRESULT got = SendMessageW(listBox, LB_GETTEXT, static_cast<WPARAM>(i),
                                     reinterpret_cast<LPARAM>(&text[0]));
    items.push_back(got == LB_ERR ? std::string() : Narrow(text.c_str(), static_cast<size_t>(got)));
  }
  return items;
}

int ListSelection(HWND listBox) {
  return static_cast<int>(SendMessageA(listBox, LB_GETCURSEL, 0, 0));
}

// LB_SETCURSEL notifies no one, while a click does; the notification is posted
// because the parent may answer it with a modal box.
bool SelectListItem(HWND listBox, int index, bool doubleClick) {
  if (SendMessageA(listBox, LB_SETCURSEL, static_cast<WPARAM>(index), 0) == LB_ERR) return false;
  if ((GetWindowLongA(listBox, GWL_STYLE) & LBS_NOTIFY) == 0) return true;
  HWND parent = GetParent(listBox);
  const int id = GetDlgCtrlID(listBox);
  PostMessageA(parent, WM_COMMAND, MAKEWPARAM(id, LBN_SELCHANGE), reinterpret_cast<LPARAM>(listBox));
  if (doubleClick) {
    PostMessageA(parent, WM_COMMAND, MAKEWPARAM(id, LBN_DBLCLK), reinterpret_cast<LPARAM>(listBox));
  }
  return true;
}

// --- message boxes ---------------------------------------------------------------

// Measured under Wine: icon handles are not comparable across processes (each
// process loads its own copy of a system icon, so STM_GETICON's handle differs
// from LoadIcon's here), and GetIconInfo/DrawIconEx refuse another process's
// icon (ERROR_INVALID_CURSOR_HANDLE). So the icon is told by its picture: the
// icon static as shown on screen is compared with each standard icon drawn
// here, pixel by pixel.
UINT MessageBoxIcon(HWND box) {
  HWND iconStatic = IconStatic(box);
  if (iconStatic == nullptr || !IsWindowVisible(iconStatic)) return 0;
  if (SendMessageA(iconStatic, STM_GETICON, 0, 0) == 0) return 0;
  RECT client{};
  GetClientRect(iconStatic, &client);
  MapWindowPoints(iconStatic, nullptr, reinterpret_cast<POINT*>(&client), 2);
  Picture shown = CaptureScreen(client);
  if (shown.bits.empty()) return 0;
  struct Candidate {
    LPCSTR id;
    UINT style;
  };
  const Candidate candidates[] = {{IDI_EXCLAMATION, MB_ICONEXCLAMATION},
                                  {IDI_QUESTION, MB_ICONQUESTION},
                                  {IDI_HAND, MB_ICONHAND},
                                  {IDI_ASTERISK, MB_ICONASTERISK}};
  UINT best = 0;
  double bestDifference = 0.1;  // more than this is not the same picture
  for (const Candidate& candidate : candidates) {
    const double difference = IconDifference(LoadIconA(nullptr, candidate.id), shown);
    if (difference < bestDifference) {
      bestDifference = difference;
      best = candidate.style;
    }
  }
  return best;
}

bool WaitForMessageBox(DWORD pid, const std::string& title, int timeoutMs, MessageBoxInfo& out) {
  const DWORD start = GetTickCount();
  HWND box = WaitForWindow(pid, title, "#32770", timeoutMs);
  if (box == nullptr) return false;
  out = MessageBoxInfo{};
  out.window = box;
  out.title = CaptionOf(box);
  out.owner = GetWindow(box, GW_OWNER);
  for (HWND child : DirectChildren(box, "Static")) {
    if ((GetWindowLongA(child, GWL_STYLE) & SS_TYPEMASK) != SS_ICON) {
      out.text = GetText(child);
      break;
    }
  }
  for (HWND child : DirectChildren(box, "Button")) {
    if (IsWindowVisible(child)) out.buttons.push_back(GetDlgCtrlID(child));
  }
  // The icon is read off the screen, so the box must be in front and painted;
  // give it at least two seconds even if the caller's timeout is nearly used.
  const int elapsed = static_cast<int>(GetTickCount() - start);
  const int iconTimeout = timeoutMs - elapsed > 2000 ? timeoutMs - elapsed : 2000;
  HWND iconStatic = IconStatic(box);
  if (iconStatic != nullptr && IsWindowVisible(iconStatic) &&
      SendMessageA(iconStatic, STM_GETICON, 0, 0) != 0) {
    BringToFront(box, false);
    WaitUntil([&] { return (out.icon = MessageBoxIcon(box)) != 0; }, iconTimeout);
  }
  return true;
}

bool AnswerMessageBox(const MessageBoxInfo& box, int buttonId) {
  // An answered box is hidden at once but may be destroyed only later.
  if (!IsWindow(box.window) || !IsWindowVisible(box.window)) return false;
  HWND button = GetDlgItem(box.window, buttonId);
  if (button != nullptr && IsWindowVisible(button)) {
    ClickButton(button);
    return true;
  }
  return PostMessageA(box.window, WM_COMMAND, MAKEWPARAM(buttonId, BN_CLICKED), 0) != 0;
}

// --- pictures ------------------------------------------------------------------

bool SaveWindowPicture(HWND window, const std::string& bmpPath) {
  if (!IsWindow(window)) return false;
  BringToFront(window, true);
  RECT rect{};
  if (!GetWindowRect(window, &rect)) return false;
  Picture picture = StablePicture(rect, 3000);
  if (picture.bits.empty()) return false;
  return WriteBmp(picture, bmpPath);
}

std::string PicturesDir() {
  char value[MAX_PATH] = {};
  const DWORD length = GetEnvironmentVariableA("QX_PICTURES", value, sizeof value);
  std::string dir;
  if (length > 0 && length < sizeof value) {
    dir = value;
    if (dir[0] == '/') {
      // Wine shows the Unix root as drive Z:.
      for (char& c : dir) {
        if (c == '/') c = '\\';
      }
      dir = "Z:" + dir;
    }
  } else {
    char current[MAX_PATH] = {};
    GetCurrentDirectoryA(sizeof current, current);
    dir = current;
  }
  while (dir.size() > 3 && (dir.back() == '\\' || dir.back() == '/')) dir.pop_back();
  CreateDirectoryA(dir.c_str(), nullptr);  // fails harmlessly if it exists
  return dir;
}
