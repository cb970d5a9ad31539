// What the program's own tests cannot show about the UI driver: that it reads
// a message box's owner, icon and buttons as they are, and not as the boxes of
// the program under test happen to be (no owner, exclamation mark, OK).
#include "tests/driver/uidriver.h"

#include <gtest/gtest.h>

namespace {

// Shows the box from a thread of its own, owned by a window of that thread.
DWORD WINAPI AskFromOwnWindow(LPVOID param) {
  auto* owner = static_cast<HWND*>(param);
  *owner = CreateWindowExA(0, "STATIC", "Besitzer", WS_POPUP | WS_VISIBLE, 0, 0, 200, 100, nullptr,
                           nullptr, nullptr, nullptr);
  DWORD answer = MessageBoxA(*owner, "Weiter \xFC" "ber alles ?", "Frage", MB_YESNO | MB_ICONQUESTION);
  DestroyWindow(*owner);
  return answer;
}

TEST(Driver, ReadsAndAnswersAQuestionBoxWithAnOwner) {
  HWND owner = nullptr;
  HANDLE thread = CreateThread(nullptr, 0, AskFromOwnWindow, &owner, 0, nullptr);
  ASSERT_NE(thread, nullptr);
  MessageBoxInfo box;
  ASSERT_TRUE(WaitForMessageBox(GetCurrentProcessId(), "Frage", 15000, box));
  EXPECT_EQ(box.text, "Weiter \xFC" "ber alles ?");
  EXPECT_EQ(box.icon, static_cast<UINT>(MB_ICONQUESTION));
  EXPECT_EQ(box.buttons, (std::vector<int>{IDYES, IDNO}));
  EXPECT_NE(box.owner, nullptr);
  EXPECT_EQ(box.owner, owner);
  EXPECT_TRUE(AnswerMessageBox(box, IDNO));
  ASSERT_EQ(WaitForSingleObject(thread, 15000), WAIT_OBJECT_0);
  DWORD answer = 0;
  GetExitCodeThread(thread, &answer);
  EXPECT_EQ(answer, static_cast<DWORD>(IDNO));
  CloseHandle(thread);
}

}  // namespace
