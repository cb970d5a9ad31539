// A running qxinet.exe on its Import or Export page, worked from outside:
// runs with their file dialogs and questions, and the records it left.
#pragma once
#include <windows.h>

#include <string>
#include <utility>
#include <vector>

#include "tests/driver/uidriver.h"

// type|name|link|description of every record of the data file, in file order.
std::vector<std::string> StoredRecords(const std::string& dataFile);
std::string RecordsFile(const std::vector<std::string>& records);  // the inverse
std::string WindowsPath(std::string unixPath);
// A bookmark file of count distinct web links whose names come in shuffled order.
std::string GeneratedBookmarks(int count, unsigned seed);

struct ManagerRun {
  int waitMs = 20000;  // for the end of a run
  Process process;
  HWND sheet = nullptr, page = nullptr;
  // Starts qxinet in folder (answering "Adressdatei ist leer !" for an empty
  // data file) and shows tab 7 (Import) or 8 (Export).
  ManagerRun(const std::string& folder, int tab);
  ~ManagerRun();  // closes the sheet; kills the program if it does not end
  // Clicks the buttons in turn, then runs: a file dialog with that title gets
  // the path typed (nullptr: no dialog expected; "": cancelled), and each
  // question or warning that follows must have the text given and gets the
  // answer. Returns once the run has ended, or false.
  bool Run(const std::vector<int>& clicks, const char* dialogTitle, const char* path,
           const std::vector<std::pair<std::string, int>>& boxes = {});
  // The same up to the file dialog, without waiting for the end.
  bool Begin(const std::vector<int>& clicks, const char* dialogTitle, const char* path);
};
