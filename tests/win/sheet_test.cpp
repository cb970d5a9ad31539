// The sheet inside the test's own process, where its system menu and icon
// can be read: what the sheet's callback does to the window.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <string>

#include "manager/app.h"
#include "manager/messages.h"
#include "manager/sheet.h"

namespace {

// What the timer saw of the shown sheet, in words: which of restore, move, size,
// minimise, maximise and close its system menu holds (1) or lacks (0), its
// minimise box, OK or Cancel buttons, the current tab, its icons.
std::string seen;

void CALLBACK InspectSheet(HWND, UINT, UINT_PTR timer, DWORD) {
  if (SheetWindow == nullptr || !IsWindowVisible(SheetWindow)) return;
  KillTimer(nullptr, timer);
  for (UINT command : {SC_RESTORE, SC_MOVE, SC_SIZE, SC_MINIMIZE, SC_MAXIMIZE, SC_CLOSE})
    seen += GetMenuState(GetSystemMenu(SheetWindow, FALSE), command, MF_BYCOMMAND) != UINT(-1) ? "1" : "0";
  seen += GetWindowLongA(SheetWindow, GWL_STYLE) & WS_MINIMIZEBOX ? " minimize-box" : "";
  for (int button : {IDOK, IDCANCEL}) seen += GetDlgItem(SheetWindow, button) ? " button" : "";
  seen += " tab " + std::to_string(TabCtrl_GetCurSel(PropSheet_GetTabControl(SheetWindow)));
  for (WPARAM size : {ICON_SMALL, ICON_BIG})
    seen += HICON(SendMessageA(SheetWindow, WM_GETICON, size, 0)) == ProgramIcon ? " icon" : "";
  PostMessageA(SheetWindow, WM_SYSCOMMAND, SC_CLOSE, 0);
}

TEST(Sheet, CallbackShapesTheWindow) {
  Instance = GetModuleHandleA(nullptr);
  ASSERT_NE(ProgramIcon = LoadIconA(Instance, "ICON_1"), nullptr);
  SetTimer(nullptr, 0, 50, InspectSheet);
  ShowSheet();
  EXPECT_EQ(seen, "110101 minimize-box tab 0 icon");
  SheetWindow = nullptr;
}

}  // namespace
