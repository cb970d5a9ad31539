// State of the running uninstaller and its removal run.
#pragma once
#include <windows.h>

// The name of the installation to remove, as given on the command line.
extern const char* ProgramName;
extern HICON ProgramIcon;
// The dialog once initialised: the owner of the error box.
extern HWND MainDialog;

void ErrorBox(const char* text);
// Removes the installation's files, directory and keys, reporting each stage
// in the dialog's status line.
void RemoveInstallation(HWND dialog);
INT_PTR CALLBACK MainDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
