// The sheet and the message boxes inside one process: what the sheet's
// callback does to the window and its system menu, and what QuestionBox
// returns for each way its box is closed.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <string>

#include "manager/app.h"
#include "manager/messages.h"
#include "manager/sheet.h"

namespace {

// Filled by the timer while the modal sheet or box runs.
struct Seen {
  bool checked = false;
  bool sizeItem = true, maximizeItem = true;
  bool minimizeItem = false, moveItem = false, closeItem = false, restoreItem = false;
  bool minimizeBox = false;
  bool okButton = true, cancelButton = true;
  int currentTab = -1;
  HICON smallIcon = nullptr, bigIcon = nullptr;
} seen;

bool HasItem(HMENU menu, UINT command) { return GetMenuState(menu, command, MF_BYCOMMAND) != UINT(-1); }

void CALLBACK InspectSheet(HWND, UINT, UINT_PTR timer, DWORD) {
  if (SheetWindow == nullptr || !IsWindowVisible(SheetWindow)) return;
  KillTimer(nullptr, timer);
  HMENU menu = GetSystemMenu(SheetWindow, FALSE);
  seen.sizeItem = HasItem(menu, SC_SIZE);
  seen.maximizeItem = HasItem(menu, SC_MAXIMIZE);
  seen.minimizeItem = HasItem(menu, SC_MINIMIZE);
  seen.moveItem = HasItem(menu, SC_MOVE);
  seen.closeItem = HasItem(menu, SC_CLOSE);
  seen.restoreItem = HasItem(menu, SC_RESTORE);
  seen.minimizeBox = (GetWindowLongA(SheetWindow, GWL_STYLE) & WS_MINIMIZEBOX) != 0;
  seen.okButton = GetDlgItem(SheetWindow, IDOK) != nullptr;
  seen.cancelButton = GetDlgItem(SheetWindow, IDCANCEL) != nullptr;
  HWND tabs = reinterpret_cast<HWND>(SendMessageA(SheetWindow, PSM_GETTABCONTROL, 0, 0));
  seen.currentTab = static_cast<int>(SendMessageA(tabs, TCM_GETCURSEL, 0, 0));
  seen.smallIcon = reinterpret_cast<HICON>(SendMessageA(SheetWindow, WM_GETICON, ICON_SMALL, 0));
  seen.bigIcon = reinterpret_cast<HICON>(SendMessageA(SheetWindow, WM_GETICON, ICON_BIG, 0));
  seen.checked = true;
  PostMessageA(SheetWindow, WM_SYSCOMMAND, SC_CLOSE, 0);
}

TEST(Sheet, CallbackShapesTheWindow) {
  Instance = GetModuleHandleA(nullptr);
  ProgramIcon = LoadIconA(Instance, "ICON_1");
  ASSERT_NE(ProgramIcon, nullptr);
  SheetWindow = nullptr;
  SetTimer(nullptr, 0, 50, InspectSheet);
  ShowSheet();
  ASSERT_TRUE(seen.checked);
  EXPECT_FALSE(seen.sizeItem);
  EXPECT_FALSE(seen.maximizeItem);
  EXPECT_TRUE(seen.minimizeItem);
  EXPECT_TRUE(seen.moveItem);
  EXPECT_TRUE(seen.closeItem);
  EXPECT_TRUE(seen.restoreItem);
  EXPECT_TRUE(seen.minimizeBox);
  EXPECT_FALSE(seen.okButton);
  EXPECT_FALSE(seen.cancelButton);
  EXPECT_EQ(seen.currentTab, 0);
  EXPECT_TRUE(seen.smallIcon == ProgramIcon || seen.bigIcon == ProgramIcon);
  SheetWindow = nullptr;
}

// How the timer closes the next question box.
enum class Close { Yes, No, Cancel, CloseMessage };
Close howToClose;
bool boxSeen;
std::string boxText;

BOOL CALLBACK FindBox(HWND window, LPARAM result) {
  char cls[32], title[64];
  GetClassNameA(window, cls, sizeof cls);
  GetWindowTextA(window, title, sizeof title);
  if (std::string(cls) == "#32770" && std::string(title) == "QX Internet 2.0") {
    *reinterpret_cast<HWND*>(result) = window;
    return FALSE;
  }
  return TRUE;
}

void CALLBACK AnswerBox(HWND, UINT, UINT_PTR, DWORD) {
  HWND box = nullptr;
  EnumThreadWindows(GetCurrentThreadId(), FindBox, reinterpret_cast<LPARAM>(&box));
  if (!box) return;
  if (!boxSeen) {
    boxSeen = true;
    char text[256] = "";
    HWND child = nullptr;
    while ((child = FindWindowExA(box, child, "Static", nullptr)) != nullptr) {
      if (GetWindowTextA(child, text, sizeof text) > 0) boxText = text;
    }
  }
  switch (howToClose) {
    case Close::Yes: PostMessageA(GetDlgItem(box, IDYES), BM_CLICK, 0, 0); break;
    case Close::No: PostMessageA(GetDlgItem(box, IDNO), BM_CLICK, 0, 0); break;
    case Close::Cancel: PostMessageA(box, WM_COMMAND, IDCANCEL, 0); break;
    case Close::CloseMessage: PostMessageA(box, WM_CLOSE, 0, 0); break;
  }
}

struct AnswerCase {
  Close close;
  bool expected;
};

class QuestionBoxTest : public ::testing::TestWithParam<AnswerCase> {};

TEST_P(QuestionBoxTest, TrueOnlyForYes) {
  SheetWindow = nullptr;
  howToClose = GetParam().close;
  boxSeen = false;
  boxText.clear();
  UINT_PTR timer = SetTimer(nullptr, 0, 50, AnswerBox);
  bool answer = QuestionBox("Den Eintrag 'x' wirklich l\xF6schen ?");
  KillTimer(nullptr, timer);
  EXPECT_TRUE(boxSeen);
  EXPECT_EQ(boxText, "Den Eintrag 'x' wirklich l\xF6schen ?");
  EXPECT_EQ(answer, GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(Answers, QuestionBoxTest,
                         ::testing::Values(AnswerCase{Close::Yes, true}, AnswerCase{Close::No, false},
                                           AnswerCase{Close::Cancel, false},
                                           AnswerCase{Close::CloseMessage, false}));

}  // namespace
