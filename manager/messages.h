// The address manager's two message boxes and the window that owns them.
#pragma once
#include <windows.h>

// The sheet window; null until the sheet has been initialised, so that boxes
// shown during start-up have no owner.
extern HWND SheetWindow;

// Task-modal warning with one OK button, title "QX Internet 2.0".
void ErrorBox(const char* text);

// Task-modal question with Yes and No; true only for Yes.
bool QuestionBox(const char* text);

// Ends the program once the message being handled is done, as a close of the
// sheet would; before the sheet exists, the caller ends it.
void EndProgram();
