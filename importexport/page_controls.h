// What the imports and exports do to the controls of their page: the progress
// bar, the status line, the buttons both pages have, and the run of a page's
// checked conversions.
#pragma once
#include <windows.h>

#include <initializer_list>

// The bar's range 0 .. maximum; the maximum goes as its low 16 bits.
void SetProgressRange(HWND page, long maximum);
void SetProgressPosition(HWND page, long position);
void SetStatusText(HWND page, const char* text);

// The link types a page starts with: WWW, FTP and e-mail checked.
void CheckStartTypeBoxes(HWND page);

// A click on one of the policy buttons (Skip, Ask, Overwrite): it alone
// checked and its policy kept. False for any other control.
bool TakePolicyButton(HWND page, int id, int& policy);

// One conversion of a page's run, done when its box is checked: its text in
// the status line, the bar's range 0 .. maximum(), then the conversion.
struct PageStep {
  int box;
  const char* status;
  long (*maximum)();
  void (*run)(HWND page);
};
// The checked steps in order; after them the bar at 0 and no status text.
void RunCheckedSteps(HWND page, std::initializer_list<PageStep> steps);
