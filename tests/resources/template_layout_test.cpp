// The dialog templates of the address manager against their intended layout:
// for DLG_LINK, DLG_IMPORT, DLG_EXPORT, DLG_INFO and DLG_INPUT, every control's
// identifier, class, text (Windows-1252 bytes), rectangle in dialog units and
// styles. The tables below are typed from the design of the pages, not from
// the resource script: they are the check.
//
// Each dialog is checked twice: in its compiled template (exact styles, font,
// dialog-unit rectangles) and as created windows, the pages as children of a
// hidden top-level window as a property sheet creates them, where every
// control's pixel rectangle must equal its dialog-unit rectangle converted by
// MapDialogRect.
#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>

#include <cstring>
#include <string>
#include <vector>

#include "manager/resource.h"

namespace {

constexpr DWORD kChild = WS_CHILD | WS_VISIBLE;
constexpr DWORD kPageStyle = WS_CHILD | WS_VISIBLE | DS_SETFONT | DS_3DLOOK | DS_CONTEXTHELP;
constexpr DWORD kInputStyle =
    WS_POPUP | WS_VISIBLE | WS_CAPTION | WS_THICKFRAME | DS_SETFONT | DS_3DLOOK | DS_CONTEXTHELP;

// Kinds of controls, each with the class it must have and the style bits that
// the created window must still show (the platform may change other bits,
// e.g. hide a list box's unused scroll bar or draw an edit field's border
// itself; those are checked in the template).
enum class Kind { GroupBox, Label, PushButton, Radio, AutoRadio, CheckBox, Edit, ListBox, Progress };

const char* ClassOf(Kind kind) {
  switch (kind) {
    case Kind::GroupBox:
    case Kind::PushButton:
    case Kind::Radio:
    case Kind::AutoRadio:
    case Kind::CheckBox:
      return "Button";
    case Kind::Label:
      return "Static";
    case Kind::Edit:
      return "Edit";
    case Kind::ListBox:
      return "ListBox";
    case Kind::Progress:
      return PROGRESS_CLASSA;  // "msctls_progress32"
  }
  return "";
}

DWORD LiveStyleMask(Kind kind) {
  const DWORD common = WS_CHILD | WS_VISIBLE | WS_TABSTOP;
  switch (kind) {
    case Kind::GroupBox:
    case Kind::PushButton:
    case Kind::Radio:
    case Kind::AutoRadio:
    case Kind::CheckBox:
      return common | 0x0F;  // BS_TYPEMASK
    case Kind::Label:
      return common | SS_TYPEMASK | SS_NOPREFIX;
    case Kind::Edit:
      return common | ES_AUTOHSCROLL | ES_MULTILINE | ES_CENTER | ES_RIGHT | ES_PASSWORD;
    case Kind::ListBox:
      return common | WS_GROUP | LBS_SORT | LBS_NOTIFY | LBS_NOINTEGRALHEIGHT | LBS_MULTIPLESEL;
    case Kind::Progress:
      return common | PBS_SMOOTH | PBS_VERTICAL;
  }
  return 0;
}

struct ControlLayout {
  int id;            // IDC_STATIC for the controls without identifier
  Kind kind;
  const char* text;  // exact Windows-1252 bytes
  int x, y, width, height;  // dialog units
  DWORD style;       // the complete style of the template item
};

struct DialogLayout {
  const char* name;
  bool popup;
  const char* caption;  // only for the popup dialog
  int width, height;    // dialog units
  DWORD style;
  std::vector<ControlLayout> controls;
};

// Frequently used item styles.
constexpr DWORD kGroupBox = kChild | BS_GROUPBOX;
constexpr DWORD kLabel = kChild | SS_LEFT;
constexpr DWORD kCentred = kChild | SS_CENTER;
constexpr DWORD kButton = kChild | BS_PUSHBUTTON | WS_TABSTOP;
constexpr DWORD kCheckBox = kChild | BS_AUTOCHECKBOX | WS_TABSTOP;
constexpr DWORD kManualRadio = kChild | BS_RADIOBUTTON;
constexpr DWORD kDisplayField = kChild | SS_LEFT | SS_NOPREFIX | WS_BORDER;
constexpr DWORD kEditField = kChild | ES_LEFT | WS_BORDER | WS_TABSTOP;

DialogLayout LinkPage() {
  return {"DLG_LINK", false, nullptr, 280, 200, kPageStyle,
          {
              {IDC_LIST, Kind::ListBox, "", 24, 32, 232, 68,
               kChild | LBS_SORT | LBS_NOTIFY | WS_VSCROLL | WS_BORDER | WS_TABSTOP | WS_GROUP},
              {IDC_STATIC, Kind::GroupBox, "", 12, 8, 256, 160, kGroupBox},
              {IDC_STATIC, Kind::Label, "Link :", 24, 104, 60, 8, kLabel},
              {IDC_LINKTEXT, Kind::Label, "", 24, 116, 232, 12, kDisplayField},
              {IDC_STATIC, Kind::Label, "Beschreibung :", 24, 136, 60, 8, kLabel},
              {IDC_DESCTEXT, Kind::Label, "", 24, 148, 232, 12, kDisplayField},
              {IDC_CHANGE, Kind::PushButton, "&\xC4ndern...", 108, 176, 48, 14, kButton},
              {IDC_DELETE, Kind::PushButton, "&L\xF6schen", 164, 176, 48, 14, kButton},
              {IDC_NEW, Kind::PushButton, "&Neu...", 220, 176, 48, 14, kButton},
              {IDC_LAUNCH, Kind::PushButton, "MS-I&Explorer starten...", 12, 176, 88, 14, kButton},
              {IDC_STATIC, Kind::Label, "Bezeichnung :", 24, 20, 60, 8, kLabel},
          }};
}

DialogLayout InputDialog() {
  return {"DLG_INPUT", true, "QX Internet", 280, 147, kInputStyle,
          {
              {IDC_STATIC, Kind::GroupBox, "", 12, 8, 256, 108, kGroupBox},
              {IDC_STATIC, Kind::Label, "Bezeichnung :", 24, 20, 60, 8, kLabel},
              {IDC_NAME, Kind::Edit, "", 24, 32, 232, 12, kEditField},
              {IDC_STATIC, Kind::Label, "Link :", 24, 52, 60, 8, kLabel},
              {IDC_LINK, Kind::Edit, "", 24, 64, 232, 12, kEditField},
              {IDC_STATIC, Kind::Label, "Beschreibung :", 24, 84, 60, 8, kLabel},
              {IDC_DESCRIPTION, Kind::Edit, "", 24, 96, 232, 12, kEditField},
              {IDC_SAVE, Kind::PushButton, "&Speichern", 164, 124, 48, 14, kButton},
              {IDC_CANCEL, Kind::PushButton, "&Abbrechen", 220, 124, 48, 14, kButton},
          }};
}

// The part that the Import and Export pages share after their first frame.
void AddFilterPolicyAndStatus(std::vector<ControlLayout>& controls, const char* runText) {
  const char* const types[] = {"Web", "FTP", "Email", "News", "Goph.", "Archie", "Lokal"};
  controls.push_back({IDC_STATIC, Kind::GroupBox, "Link-Typen", 12, 48, 256, 32, kGroupBox});
  for (int i = 0; i < 7; ++i) {
    controls.push_back({IDC_TYPE_WEB + i, Kind::CheckBox, types[i], 24 + 32 * i, 60, 32, 12, kCheckBox});
  }
  controls.push_back({IDC_STATIC, Kind::GroupBox, "Existierende Eintr\xE4ge", 12, 88, 256, 32, kGroupBox});
  controls.push_back({IDC_POLICY_SKIP, Kind::Radio, " \xFC" "berspringen", 24, 100, 60, 12, kManualRadio});
  controls.push_back({IDC_POLICY_ASK, Kind::Radio, " nachfragen", 96, 100, 60, 12, kManualRadio});
  controls.push_back({IDC_POLICY_OVERWRITE, Kind::Radio, " \xFC" "berschreiben", 168, 100, 60, 12, kManualRadio});
  controls.push_back({IDC_STATIC, Kind::GroupBox, "Status", 12, 128, 256, 40, kGroupBox});
  controls.push_back({IDC_STATUS, Kind::Label, "", 24, 140, 232, 8, kLabel});
  controls.push_back({IDC_PROGRESS, Kind::Progress, "", 24, 152, 232, 8, kChild});
  controls.push_back({IDC_RUN, Kind::PushButton, runText, 212, 176, 56, 14, kButton});
}

DialogLayout ImportPage() {
  DialogLayout layout{"DLG_IMPORT", false, nullptr, 280, 200, kPageStyle,
                  {
                      {IDC_STATIC, Kind::GroupBox, "Import von", 12, 8, 256, 32, kGroupBox},
                      {IDC_SOURCE_FAVORITES, Kind::Radio, " MSIE Favoriten", 24, 20, 72, 12,
                       kManualRadio | WS_TABSTOP},
                      {IDC_SOURCE_BOOKMARKS, Kind::Radio, " Netscape Bookmarks", 100, 20, 84, 12,
                       kManualRadio | WS_TABSTOP},
                      {IDC_SOURCE_HOTLIST, Kind::AutoRadio, " Mosaic Hotlists", 192, 20, 72, 12,
                       kChild | BS_AUTORADIOBUTTON},
                  }};
  AddFilterPolicyAndStatus(layout.controls, "&Importieren");
  return layout;
}

DialogLayout ExportPage() {
  DialogLayout layout{"DLG_EXPORT", false, nullptr, 280, 200, kPageStyle,
                  {
                      {IDC_STATIC, Kind::GroupBox, "Export als", 12, 8, 256, 32, kGroupBox},
                      {IDC_TARGET_FAVORITES, Kind::Radio, " MSIE-Favoriten", 24, 20, 72, 12,
                       kManualRadio | WS_TABSTOP},
                      {IDC_TARGET_HTML, Kind::Radio, " HTML-Dokument", 108, 20, 72, 12,
                       kManualRadio | WS_TABSTOP},
                  }};
  AddFilterPolicyAndStatus(layout.controls, "&Exportieren");
  return layout;
}

DialogLayout InfoPage() {
  std::vector<ControlLayout> controls;
  controls.push_back({IDC_STATIC, Kind::GroupBox, "", 12, 8, 256, 100, kGroupBox});
  const char* const upper[] = {
      "QX Internet f\xFCr Microsoft Windows 95 - Internetadressen verwalten",
      "Ein Katalog Ihrer Internetadressen in sieben Kategorien:",
      "WWW, FTP, Email, News, Gopher, Archie und lokale Dateien",
      "Import: MSIE-Favoriten, Netscape Bookmarks, Mosaic Hotlists",
      "Export: als MSIE-Favoriten oder als HTML-Dokument",
  };
  for (int i = 0; i < 5; ++i) {
    controls.push_back({IDC_STATIC, Kind::Label, upper[i], 24, 24 + 16 * i, 232, 8, kCentred});
  }
  controls.push_back({IDC_STATIC, Kind::GroupBox, "", 12, 116, 256, 70, kGroupBox});
  const char* const lower[] = {
      "Version 2.0",
      "Adressdatei: qxinetvz.dat im aktuellen Verzeichnis",
      "Sicherungskopie: qxinetvz.bak",
  };
  for (int i = 0; i < 3; ++i) {
    controls.push_back({IDC_STATIC, Kind::Label, lower[i], 24, 132 + 16 * i, 232, 8, kCentred});
  }
  return {"DLG_INFO", false, nullptr, 280, 200, kPageStyle, controls};
}

std::vector<DialogLayout> AllDialogs() {
  return {LinkPage(), ImportPage(), ExportPage(), InfoPage(), InputDialog()};
}

std::wstring Widen(const char* cp1252) {
  int n = MultiByteToWideChar(1252, 0, cp1252, -1, nullptr, 0);
  std::wstring out(n > 0 ? n - 1 : 0, L'\0');
  if (n > 1) MultiByteToWideChar(1252, 0, cp1252, -1, &out[0], n);
  return out;
}

std::string Narrow(const std::wstring& text) {
  if (text.empty()) return std::string();
  int n = WideCharToMultiByte(1252, 0, text.c_str(), static_cast<int>(text.size()), nullptr, 0, nullptr,
                              nullptr);
  std::string out(n, '\0');
  WideCharToMultiByte(1252, 0, text.c_str(), static_cast<int>(text.size()), &out[0], n, nullptr, nullptr);
  return out;
}

// ---------------------------------------------------------------------------
// The compiled template, read from the test program's own resources.

struct TemplateItem {
  DWORD style = 0, exStyle = 0;
  int x = 0, y = 0, width = 0, height = 0;
  WORD id = 0;
  std::wstring className;
  std::wstring text;
};

struct Template {
  DWORD style = 0, exStyle = 0;
  int x = 0, y = 0, width = 0, height = 0;
  std::wstring menu, className, caption;
  WORD pointSize = 0;
  std::wstring font;
  std::vector<TemplateItem> items;
};

class TemplateReader {
 public:
  TemplateReader(const BYTE* data, size_t size) : data_(data), size_(size) {}

  bool Word(WORD& value) {
    if (at_ > size_ || size_ - at_ < 2) return false;
    value = static_cast<WORD>(data_[at_] | (data_[at_ + 1] << 8));
    at_ += 2;
    return true;
  }
  bool Dword(DWORD& value) {
    WORD low = 0, high = 0;
    if (!Word(low) || !Word(high)) return false;
    value = low | (static_cast<DWORD>(high) << 16);
    return true;
  }
  bool Short(int& value) {
    WORD w = 0;
    if (!Word(w)) return false;
    value = static_cast<short>(w);
    return true;
  }
  bool String(std::wstring& text) {
    text.clear();
    for (;;) {
      WORD unit = 0;
      if (!Word(unit)) return false;
      if (unit == 0) return true;
      text.push_back(static_cast<wchar_t>(unit));
    }
  }
  // A menu, class or title field: none, an ordinal or a string. Ordinal
  // classes are given by their names.
  bool NameOrOrdinal(std::wstring& text, bool isClass) {
    WORD first = 0;
    if (at_ + 2 > size_) return false;
    first = static_cast<WORD>(data_[at_] | (data_[at_ + 1] << 8));
    if (first == 0xFFFF) {
      WORD ordinal = 0;
      at_ += 2;
      if (!Word(ordinal)) return false;
      const wchar_t* const classes[] = {L"Button", L"Edit", L"Static", L"ListBox", L"ScrollBar", L"ComboBox"};
      if (isClass && ordinal >= 0x80 && ordinal <= 0x85) {
        text = classes[ordinal - 0x80];
      } else {
        text = L"#" + std::to_wstring(ordinal);
      }
      return true;
    }
    return String(text);
  }
  void AlignDword() { at_ = (at_ + 3) & ~static_cast<size_t>(3); }
  bool Skip(size_t n) {
    if (at_ > size_ || size_ - at_ < n) return false;
    at_ += n;
    return true;
  }

 private:
  const BYTE* data_;
  size_t size_;
  size_t at_ = 0;
};

// Reads a DIALOG (not DIALOGEX) template.
bool ReadTemplate(const BYTE* data, size_t size, Template& out) {
  TemplateReader r(data, size);
  WORD count = 0;
  if (!r.Dword(out.style) || !r.Dword(out.exStyle) || !r.Word(count) || !r.Short(out.x) ||
      !r.Short(out.y) || !r.Short(out.width) || !r.Short(out.height))
    return false;
  if (!r.NameOrOrdinal(out.menu, false) || !r.NameOrOrdinal(out.className, true) || !r.String(out.caption))
    return false;
  if (out.style & DS_SETFONT) {
    if (!r.Word(out.pointSize) || !r.String(out.font)) return false;
  }
  for (WORD i = 0; i < count; ++i) {
    r.AlignDword();
    TemplateItem item;
    if (!r.Dword(item.style) || !r.Dword(item.exStyle) || !r.Short(item.x) || !r.Short(item.y) ||
        !r.Short(item.width) || !r.Short(item.height) || !r.Word(item.id))
      return false;
    if (!r.NameOrOrdinal(item.className, true) || !r.NameOrOrdinal(item.text, false)) return false;
    WORD extra = 0;
    if (!r.Word(extra) || !r.Skip(extra)) return false;
    out.items.push_back(item);
  }
  return true;
}

bool LoadTemplate(const char* name, Template& out) {
  HMODULE self = GetModuleHandleA(nullptr);
  HRSRC found = FindResourceA(self, name, RT_DIALOG);
  if (found == nullptr) return false;
  HGLOBAL loaded = LoadResource(self, found);
  if (loaded == nullptr) return false;
  const BYTE* bytes = static_cast<const BYTE*>(LockResource(loaded));
  return bytes != nullptr && ReadTemplate(bytes, SizeofResource(self, found), out);
}

// ---------------------------------------------------------------------------
// The created dialogs.

INT_PTR CALLBACK InertProc(HWND, UINT, WPARAM, LPARAM) { return FALSE; }

// A hidden top-level window that holds the pages, as a property sheet does.
class Host {
 public:
  Host() {
    INITCOMMONCONTROLSEX icc{sizeof icc, ICC_PROGRESS_CLASS | ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&icc);
    window_ = CreateWindowExA(0, "#32770", "Seitenhalter", WS_OVERLAPPEDWINDOW, 0, 0, 640, 480, nullptr,
                              nullptr, GetModuleHandleA(nullptr), nullptr);
  }
  ~Host() {
    if (window_ != nullptr) DestroyWindow(window_);
  }
  HWND window() const { return window_; }

 private:
  HWND window_ = nullptr;
};

// The controls of a dialog in template order (the order of the child windows).
std::vector<HWND> ChildrenInOrder(HWND dialog) {
  std::vector<HWND> out;
  for (HWND child = GetWindow(dialog, GW_CHILD); child != nullptr; child = GetWindow(child, GW_HWNDNEXT)) {
    out.push_back(child);
  }
  return out;
}

std::string WindowText(HWND window) {
  char text[512] = {};
  GetWindowTextA(window, text, sizeof text);
  return text;
}

std::string ClassName(HWND window) {
  char name[256] = {};
  GetClassNameA(window, name, sizeof name);
  return name;
}

RECT RectInDialog(HWND dialog, HWND control) {
  RECT rc{};
  GetWindowRect(control, &rc);
  MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&rc), 2);
  return rc;
}

// The dialog manager converts the origin and the size of a control each on
// its own, so the far edge is origin plus converted size, not the converted
// far edge (the two differ by a pixel of rounding at some base units).
RECT DialogUnitsToPixels(HWND dialog, int x, int y, int width, int height) {
  RECT rc{x, y, width, height};
  MapDialogRect(dialog, &rc);
  return RECT{rc.left, rc.top, rc.left + rc.right, rc.top + rc.bottom};
}

std::string Describe(const RECT& rc) {
  return "{" + std::to_string(rc.left) + ", " + std::to_string(rc.top) + ", " + std::to_string(rc.right) +
         ", " + std::to_string(rc.bottom) + "}";
}

std::string Hex(DWORD value) {
  char text[16];
  wsprintfA(text, "0x%08lX", static_cast<unsigned long>(value));
  return text;
}

class TemplateLayout : public ::testing::TestWithParam<DialogLayout> {
 protected:
  // Creates the dialog: a page as a child of the hidden host, the entry
  // dialog as a popup owned by it.
  HWND Create() {
    const DialogLayout& layout = GetParam();
    dialog_ = CreateDialogParamA(GetModuleHandleA(nullptr), layout.name, host_.window(), InertProc, 0);
    return dialog_;
  }
  void TearDown() override {
    if (dialog_ != nullptr) DestroyWindow(dialog_);
  }

  Host host_;
  HWND dialog_ = nullptr;
};

TEST_P(TemplateLayout, CompiledTemplateMatchesTheTable) {
  const DialogLayout& layout = GetParam();
  Template t;
  ASSERT_TRUE(LoadTemplate(layout.name, t)) << layout.name;
  EXPECT_EQ(Hex(t.style), Hex(layout.style)) << layout.name;
  EXPECT_EQ(t.exStyle, 0u) << layout.name;
  EXPECT_EQ(t.width, layout.width);
  EXPECT_EQ(t.height, layout.height);
  EXPECT_TRUE(t.menu.empty());
  EXPECT_TRUE(t.className.empty());
  EXPECT_EQ(Narrow(t.caption), layout.caption ? layout.caption : "");
  EXPECT_EQ(t.pointSize, 8);
  EXPECT_EQ(Narrow(t.font), "MS Sans Serif");
  ASSERT_EQ(t.items.size(), layout.controls.size()) << layout.name;
  for (size_t i = 0; i < layout.controls.size(); ++i) {
    const ControlLayout& c = layout.controls[i];
    const TemplateItem& item = t.items[i];
    SCOPED_TRACE(std::string(layout.name) + " item " + std::to_string(i) + " \"" + c.text + "\"");
    EXPECT_EQ(item.id, static_cast<WORD>(c.id));
    EXPECT_EQ(lstrcmpiW(item.className.c_str(), Widen(ClassOf(c.kind)).c_str()), 0)
        << Narrow(item.className) << " instead of " << ClassOf(c.kind);
    EXPECT_EQ(item.text, Widen(c.text));
    EXPECT_EQ(item.x, c.x);
    EXPECT_EQ(item.y, c.y);
    EXPECT_EQ(item.width, c.width);
    EXPECT_EQ(item.height, c.height);
    EXPECT_EQ(Hex(item.style), Hex(c.style));
    EXPECT_EQ(item.exStyle, 0u);
  }
}

TEST_P(TemplateLayout, CreatedControlsMatchTheTable) {
  const DialogLayout& layout = GetParam();
  HWND dialog = Create();
  ASSERT_NE(dialog, nullptr) << layout.name << ": error " << GetLastError();
  std::vector<HWND> children = ChildrenInOrder(dialog);
  ASSERT_EQ(children.size(), layout.controls.size()) << layout.name;
  for (size_t i = 0; i < layout.controls.size(); ++i) {
    const ControlLayout& c = layout.controls[i];
    HWND control = children[i];
    SCOPED_TRACE(std::string(layout.name) + " control " + std::to_string(i) + " \"" + c.text + "\"");
    EXPECT_EQ(static_cast<WORD>(GetDlgCtrlID(control)), static_cast<WORD>(c.id));
    if (c.id != IDC_STATIC) {
      EXPECT_EQ(GetDlgItem(dialog, c.id), control);
    }
    EXPECT_EQ(lstrcmpiA(ClassName(control).c_str(), ClassOf(c.kind)), 0)
        << ClassName(control) << " instead of " << ClassOf(c.kind);
    EXPECT_EQ(WindowText(control), c.text);
    if (c.id != IDC_STATIC) {
      char text[512] = {};
      GetDlgItemTextA(dialog, c.id, text, sizeof text);
      EXPECT_EQ(std::string(text), c.text);
    }

    const DWORD mask = LiveStyleMask(c.kind);
    const DWORD style = static_cast<DWORD>(GetWindowLongA(control, GWL_STYLE));
    EXPECT_EQ(Hex(style & mask), Hex(c.style & mask));

    RECT expected = DialogUnitsToPixels(dialog, c.x, c.y, c.width, c.height);
    RECT actual = RectInDialog(dialog, control);
    if (c.kind == Kind::ListBox && !(style & LBS_NOINTEGRALHEIGHT)) {
      // Without LBS_NOINTEGRALHEIGHT the list box shortens itself to whole
      // items; all else of its rectangle stays as given.
      LONG item = static_cast<LONG>(SendMessageA(control, LB_GETITEMHEIGHT, 0, 0));
      EXPECT_EQ(actual.left, expected.left);
      EXPECT_EQ(actual.top, expected.top);
      EXPECT_EQ(actual.right, expected.right);
      EXPECT_LE(actual.bottom, expected.bottom);
      EXPECT_GT(actual.bottom, expected.bottom - item) << Describe(actual) << " for " << Describe(expected);
    } else {
      EXPECT_EQ(Describe(actual), Describe(expected));
    }
  }
}

TEST_P(TemplateLayout, DialogHasItsSizeAndFrame) {
  const DialogLayout& layout = GetParam();
  HWND dialog = Create();
  ASSERT_NE(dialog, nullptr) << layout.name;
  RECT client{};
  GetClientRect(dialog, &client);
  RECT expected = DialogUnitsToPixels(dialog, 0, 0, layout.width, layout.height);
  EXPECT_EQ(Describe(client), Describe(expected));

  const DWORD style = static_cast<DWORD>(GetWindowLongA(dialog, GWL_STYLE));
  if (layout.popup) {
    EXPECT_TRUE(style & WS_POPUP);
    EXPECT_EQ(style & WS_CAPTION, static_cast<DWORD>(WS_CAPTION));
    EXPECT_TRUE(style & WS_THICKFRAME);
    EXPECT_FALSE(style & WS_SYSMENU) << "no system menu, so no close button";
    EXPECT_FALSE(style & WS_CHILD);
    EXPECT_EQ(WindowText(dialog), layout.caption);
  } else {
    EXPECT_TRUE(style & WS_CHILD);
    EXPECT_FALSE(style & WS_POPUP);
    EXPECT_EQ(style & WS_CAPTION, 0u) << "a page has no caption";
    EXPECT_FALSE(style & WS_SYSMENU);
    EXPECT_FALSE(style & WS_THICKFRAME);
    EXPECT_EQ(GetParent(dialog), host_.window());
    EXPECT_EQ(WindowText(dialog), "");
  }
}

TEST_P(TemplateLayout, StaticTextsFitTheirControls) {
  const DialogLayout& layout = GetParam();
  HWND dialog = Create();
  ASSERT_NE(dialog, nullptr) << layout.name;
  std::vector<HWND> children = ChildrenInOrder(dialog);
  ASSERT_EQ(children.size(), layout.controls.size());
  HDC dc = GetDC(dialog);
  HGDIOBJ old = SelectObject(dc, reinterpret_cast<HGDIOBJ>(SendMessageA(dialog, WM_GETFONT, 0, 0)));
  for (size_t i = 0; i < layout.controls.size(); ++i) {
    const ControlLayout& c = layout.controls[i];
    if (c.kind != Kind::Label || c.text[0] == '\0') continue;
    SIZE extent{};
    GetTextExtentPoint32A(dc, c.text, lstrlenA(c.text), &extent);
    RECT box = RectInDialog(dialog, children[i]);
    EXPECT_LE(extent.cx, box.right - box.left) << layout.name << " \"" << c.text << "\"";
    EXPECT_LE(extent.cy, box.bottom - box.top + 1) << layout.name << " \"" << c.text << "\"";
  }
  SelectObject(dc, old);
  ReleaseDC(dialog, dc);
}

INSTANTIATE_TEST_SUITE_P(Dialogs, TemplateLayout, ::testing::ValuesIn(AllDialogs()),
                         [](const ::testing::TestParamInfo<DialogLayout>& info) {
                           return std::string(info.param.name);
                         });

// The two sets of radio buttons of the Import page differ on purpose: 101
// and 102 are manual, 103 checks itself when clicked.
TEST(ImportPageButtons, SourceButtonsMixManualAndAutomatic) {
  Host host;
  HWND page = CreateDialogParamA(GetModuleHandleA(nullptr), "DLG_IMPORT", host.window(), InertProc, 0);
  ASSERT_NE(page, nullptr);
  SendDlgItemMessageA(page, IDC_SOURCE_FAVORITES, BM_CLICK, 0, 0);
  EXPECT_EQ(IsDlgButtonChecked(page, IDC_SOURCE_FAVORITES), static_cast<UINT>(BST_UNCHECKED));
  SendDlgItemMessageA(page, IDC_SOURCE_HOTLIST, BM_CLICK, 0, 0);
  EXPECT_EQ(IsDlgButtonChecked(page, IDC_SOURCE_HOTLIST), static_cast<UINT>(BST_CHECKED));
  SendDlgItemMessageA(page, IDC_TYPE_NEWS, BM_CLICK, 0, 0);
  EXPECT_EQ(IsDlgButtonChecked(page, IDC_TYPE_NEWS), static_cast<UINT>(BST_CHECKED));
  SendDlgItemMessageA(page, IDC_POLICY_ASK, BM_CLICK, 0, 0);
  EXPECT_EQ(IsDlgButtonChecked(page, IDC_POLICY_ASK), static_cast<UINT>(BST_UNCHECKED));
  DestroyWindow(page);
}

// Neither button of the entry dialog is a default push button, so Enter does
// not press one.
TEST(InputDialogButtons, NoDefaultPushButton) {
  Host host;
  HWND dialog = CreateDialogParamA(GetModuleHandleA(nullptr), "DLG_INPUT", host.window(), InertProc, 0);
  ASSERT_NE(dialog, nullptr);
  for (int id : {IDC_SAVE, IDC_CANCEL}) {
    DWORD style = static_cast<DWORD>(GetWindowLongA(GetDlgItem(dialog, id), GWL_STYLE));
    EXPECT_NE(style & 0x0F, static_cast<DWORD>(BS_DEFPUSHBUTTON)) << id;
    LRESULT code = SendDlgItemMessageA(dialog, id, WM_GETDLGCODE, 0, 0);
    EXPECT_FALSE(code & DLGC_DEFPUSHBUTTON) << id;
  }
  DestroyWindow(dialog);
}

// The program icon: two images, 32 x 32 and 16 x 16 pixels, 16 colours each.
TEST(ProgramIcon, HasTwoSixteenColourImages) {
  HMODULE self = GetModuleHandleA(nullptr);
  HRSRC group = FindResourceA(self, "ICON_1", RT_GROUP_ICON);
  ASSERT_NE(group, nullptr);
  const BYTE* dir = static_cast<const BYTE*>(LockResource(LoadResource(self, group)));
  ASSERT_NE(dir, nullptr);
  ASSERT_GE(SizeofResource(self, group), 6u + 2 * 14u);
  WORD count = static_cast<WORD>(dir[4] | (dir[5] << 8));
  ASSERT_EQ(count, 2);
  const int sizes[] = {32, 16};
  for (int i = 0; i < 2; ++i) {
    const BYTE* entry = dir + 6 + 14 * i;  // GRPICONDIRENTRY
    EXPECT_EQ(entry[0], sizes[i]);
    EXPECT_EQ(entry[1], sizes[i]);
    EXPECT_EQ(entry[2], 16);                                           // colours
    EXPECT_EQ(static_cast<WORD>(entry[6] | (entry[7] << 8)), 4);      // bits per pixel
  }
  HICON large = static_cast<HICON>(LoadImageA(self, "ICON_1", IMAGE_ICON, 32, 32, 0));
  HICON little = static_cast<HICON>(LoadImageA(self, "ICON_1", IMAGE_ICON, 16, 16, 0));
  EXPECT_NE(large, nullptr);
  EXPECT_NE(little, nullptr);
  EXPECT_NE(LoadIconA(self, "ICON_1"), nullptr);
  if (large) DestroyIcon(large);
  if (little) DestroyIcon(little);
}

}  // namespace
