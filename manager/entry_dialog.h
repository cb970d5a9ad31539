// The entry dialog DLG_INPUT: name, link and description of one entry.
#pragma once
#include <windows.h>

// Dialog procedure over CurrentRecord. Ends with 1 when the user saved input
// that passed the checks (CurrentRecord then holds the texts and the link's
// type), with 0 when the user cancelled.
INT_PTR CALLBACK EntryDialog(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

// Opens the entry dialog over owner; its result as above.
INT_PTR RunEntryDialog(HWND owner);
