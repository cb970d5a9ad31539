// The sheet inside the test's own process, where its system menu and icon
// can be read: what the sheet's callback does to the window.
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

}  // namespace
