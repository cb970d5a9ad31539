// The sheet and the message boxes inside one process: what the sheet's
// callback does to the window and its system menu, and what QuestionBox
// returns for each way its box is closed.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <string>
#include <utility>

#include "manager/app.h"
#include "manager/messages.h"
#include "manager/sheet.h"

namespace {

// What the timer saw of the shown sheet, in words: the items of its system
// menu, its minimise box, OK and Cancel buttons, the current tab, its icon.
std::string seen;

void CALLBACK InspectSheet(HWND, UINT, UINT_PTR timer, DWORD) {
  if (SheetWindow == nullptr || !IsWindowVisible(SheetWindow)) return;
  KillTimer(nullptr, timer);
  HMENU menu = GetSystemMenu(SheetWindow, FALSE);
  const std::pair<UINT, const char*> items[] = {{SC_RESTORE, "restore"},   {SC_MOVE, "move"},
                                                {SC_SIZE, "size"},         {SC_MINIMIZE, "minimize"},
                                                {SC_MAXIMIZE, "maximize"}, {SC_CLOSE, "close"}};
  for (const auto& item : items) {
    if (GetMenuState(menu, item.first, MF_BYCOMMAND) != UINT(-1)) seen += std::string(item.second) + " ";
  }
  if (GetWindowLongA(SheetWindow, GWL_STYLE) & WS_MINIMIZEBOX) seen += "minimize-box ";
  if (GetDlgItem(SheetWindow, IDOK) != nullptr) seen += "ok ";
  if (GetDlgItem(SheetWindow, IDCANCEL) != nullptr) seen += "cancel ";
  HWND tabs = reinterpret_cast<HWND>(SendMessageA(SheetWindow, PSM_GETTABCONTROL, 0, 0));
  seen += "tab " + std::to_string(SendMessageA(tabs, TCM_GETCURSEL, 0, 0));
  for (WPARAM size : {ICON_SMALL, ICON_BIG}) {
    if (reinterpret_cast<HICON>(SendMessageA(SheetWindow, WM_GETICON, size, 0)) == ProgramIcon) {
      seen += " program-icon";
      break;
    }
  }
  PostMessageA(SheetWindow, WM_SYSCOMMAND, SC_CLOSE, 0);
}

TEST(Sheet, CallbackShapesTheWindow) {
  Instance = GetModuleHandleA(nullptr);
  ProgramIcon = LoadIconA(Instance, "ICON_1");
  ASSERT_NE(ProgramIcon, nullptr);
  SheetWindow = nullptr;
  SetTimer(nullptr, 0, 50, InspectSheet);
  ShowSheet();
  EXPECT_EQ(seen, "restore move minimize close minimize-box tab 0 program-icon");
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
