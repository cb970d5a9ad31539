// The compiled dialog templates of the address manager: the class and exact
// style word of every control (a resource compiler adds styles of its own to
// some statements, and a stray WS_TABSTOP or a default push button changes how
// the page works), every static text fitting its control in the dialog font,
// and the program icon.
#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>

#include <string>
#include <vector>

namespace {

struct Item {
  std::wstring cls;
  DWORD style;
  bool operator==(const Item& o) const { return lstrcmpiW(cls.c_str(), o.cls.c_str()) == 0 && style == o.style; }
};

constexpr DWORD C = WS_CHILD | WS_VISIBLE;
constexpr DWORD kPage = C | DS_SETFONT | DS_3DLOOK | DS_CONTEXTHELP;
const Item kFrame{L"Button", C | BS_GROUPBOX}, kLabel{L"Static", C | SS_LEFT},
    kCentred{L"Static", C | SS_CENTER}, kShown{L"Static", C | SS_LEFT | SS_NOPREFIX | WS_BORDER},
    kPush{L"Button", C | BS_PUSHBUTTON | WS_TABSTOP}, kCheck{L"Button", C | BS_AUTOCHECKBOX | WS_TABSTOP},
    kRadio{L"Button", C | BS_RADIOBUTTON}, kTabRadio{L"Button", C | BS_RADIOBUTTON | WS_TABSTOP},
    kEdit{L"Edit", C | ES_LEFT | WS_BORDER | WS_TABSTOP}, kProgress{L"msctls_progress32", C},
    kList{L"ListBox", C | LBS_SORT | LBS_NOTIFY | WS_VSCROLL | WS_BORDER | WS_TABSTOP | WS_GROUP};

// The Import and Export pages after their first frame: types, policy, status.
std::vector<Item> WithFilterAndStatus(std::vector<Item> items) {
  items.insert(items.end(), {kFrame, kCheck, kCheck, kCheck, kCheck, kCheck, kCheck, kCheck, kFrame,
                             kRadio, kRadio, kRadio, kFrame, kLabel, kProgress, kPush});
  return items;
}

struct Dialog {
  const char* name;
  DWORD style;
  std::vector<Item> items;
};

const Dialog kDialogs[] = {
    {"DLG_LINK", kPage, {kList, kFrame, kLabel, kShown, kLabel, kShown, kPush, kPush, kPush, kPush, kLabel}},
    {"DLG_INPUT", (kPage & ~WS_CHILD) | WS_POPUP | WS_CAPTION | WS_THICKFRAME,
     {kFrame, kLabel, kEdit, kLabel, kEdit, kLabel, kEdit, kPush, kPush}},
    {"DLG_IMPORT", kPage,
     WithFilterAndStatus({kFrame, kTabRadio, kTabRadio, {L"Button", C | BS_AUTORADIOBUTTON}})},
    {"DLG_EXPORT", kPage, WithFilterAndStatus({kFrame, kTabRadio, kTabRadio})},
    {"DLG_INFO", kPage, {kFrame, kCentred, kCentred, kCentred, kCentred, kCentred, kFrame, kCentred,
                         kCentred, kCentred}},
};

void PrintTo(const Dialog& d, std::ostream* os) { *os << d.name; }

// Reads a DIALOG template (not DIALOGEX): its style and its items' classes
// and styles. Ordinal classes are given by their names.
struct Reader {
  const WORD* at;
  DWORD Dword() { DWORD v = at[0] | (DWORD(at[1]) << 16); at += 2; return v; }
  std::wstring Field() {
    if (*at == 0xFFFF) {
      static const wchar_t* const names[] = {L"Button", L"Edit", L"Static", L"ListBox"};
      WORD ordinal = at[1];
      at += 2;
      return ordinal >= 0x80 && ordinal <= 0x83 ? names[ordinal - 0x80] : L"#";
    }
    std::wstring text(reinterpret_cast<const wchar_t*>(at));
    at += text.size() + 1;
    return text;
  }
};

std::vector<Item> CompiledItems(const char* name, DWORD& style) {
  HRSRC found = FindResourceA(nullptr, name, RT_DIALOG);
  if (found == nullptr) return {};
  Reader r{static_cast<const WORD*>(LockResource(LoadResource(nullptr, found)))};
  style = r.Dword();
  r.at += 2;  // extended style
  const WORD count = *r.at;
  r.at += 5;  // count, x, y, cx, cy
  r.Field(), r.Field(), r.Field();  // menu, class, caption
  if (style & DS_SETFONT) r.at++, r.Field();
  std::vector<Item> items;
  for (WORD i = 0; i < count; ++i) {
    r.at += (reinterpret_cast<UINT_PTR>(r.at) & 2) / 2;  // items start on a DWORD
    DWORD itemStyle = r.Dword();
    r.at += 7;  // extended style, x, y, cx, cy, id
    std::wstring cls = r.Field();
    r.Field();  // text
    WORD extra = *r.at++;
    r.at += extra / 2;  // creation data
    items.push_back({cls, itemStyle});
  }
  return items;
}

class Template : public ::testing::TestWithParam<Dialog> {};

TEST_P(Template, ControlsHaveTheirClassesAndExactStyles) {
  DWORD style = 0;
  std::vector<Item> items = CompiledItems(GetParam().name, style);
  EXPECT_EQ(style, GetParam().style);
  ASSERT_EQ(items.size(), GetParam().items.size());
  for (size_t i = 0; i < items.size(); ++i) {
    EXPECT_TRUE(items[i] == GetParam().items[i]) << "control " << i << ": "
        << std::string(items[i].cls.begin(), items[i].cls.end()) << ", style 0x" << std::hex << items[i].style;
  }
}

INSTANTIATE_TEST_SUITE_P(Dialogs, Template, ::testing::ValuesIn(kDialogs),
                         [](const ::testing::TestParamInfo<Dialog>& info) { return std::string(info.param.name); });

INT_PTR CALLBACK Inert(HWND, UINT, WPARAM, LPARAM) { return FALSE; }

TEST(Templates, StaticTextsFitTheirControlsInTheDialogFont) {
  INITCOMMONCONTROLSEX icc{sizeof icc, ICC_PROGRESS_CLASS};
  InitCommonControlsEx(&icc);
  HWND host = CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
  int measured = 0;
  for (const Dialog& d : kDialogs) {
    HWND dialog = CreateDialogParamA(GetModuleHandleA(nullptr), d.name, host, Inert, 0);
    ASSERT_NE(dialog, nullptr) << d.name;
    HDC dc = GetDC(dialog);
    HGDIOBJ old = SelectObject(dc, reinterpret_cast<HGDIOBJ>(SendMessageA(dialog, WM_GETFONT, 0, 0)));
    for (HWND c = GetWindow(dialog, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) {
      char cls[16] = "", text[256] = "";
      GetClassNameA(c, cls, sizeof cls);
      int length = GetWindowTextA(c, text, sizeof text);
      if (lstrcmpiA(cls, "Static") != 0 || length == 0) continue;
      SIZE extent{};
      GetTextExtentPoint32A(dc, text, length, &extent);
      RECT box{};
      GetClientRect(c, &box);
      EXPECT_LE(extent.cx, box.right) << d.name << ": " << text;
      EXPECT_LE(extent.cy, box.bottom + 1) << d.name << ": " << text;
      ++measured;
    }
    SelectObject(dc, old);
    ReleaseDC(dialog, dc);
    DestroyWindow(dialog);
  }
  EXPECT_EQ(measured, 6 + 8);  // the labels of the category page and the entry dialog, the Info lines
  DestroyWindow(host);
}

TEST(ProgramIcon, ThirtyTwoAndSixteenPixelsInSixteenColours) {
  HRSRC group = FindResourceA(nullptr, "ICON_1", RT_GROUP_ICON);
  ASSERT_NE(group, nullptr);
  const BYTE* dir = static_cast<const BYTE*>(LockResource(LoadResource(nullptr, group)));
  ASSERT_EQ(dir[4], 2);  // images
  for (int i = 0; i < 2; ++i) {
    EXPECT_EQ(std::vector<int>(dir + 6 + 14 * i, dir + 9 + 14 * i), (std::vector<int>{32 >> i, 32 >> i, 16}));
  }
}

}  // namespace
