// A running qxinet.exe on its Import or Export page, worked from outside, and
// the data files it reads and leaves. Records are written "type|name|link|description".
#pragma once
#include <utility>

#include "tests/driver/uidriver.h"  // with the strings and vectors its calls take

using Boxes = std::vector<std::pair<std::string, int>>;  // the text of each box and its answer

// The records of the data file; while qxinet holds it, as its named mapping shows them.
std::vector<std::string> StoredRecords(const std::string& dataFile);
std::string RecordsFile(const std::vector<std::string>& records);
std::string WindowsPath(std::string unixPath);

// Cases that read real browser exports need the sample folder; a plain clone
// has none, and then they are skipped at once, saying which folder was missing.
#define QX_NEED_SAMPLES()                                                   \
  if (!FileExists(WindowsPath(QX_SAMPLES))) GTEST_SKIP() << "sample folder missing: " QX_SAMPLES

struct ManagerRun {
  int waitMs = 20000;  // for the end of a run
  std::function<void(std::size_t)> atBox;  // called with each box's number before its answer
  Process process;
  HWND sheet = nullptr, page = nullptr;
  // Starts qxinet in folder (answering the box of an empty data file) on tab 7 or 8.
  ManagerRun(const std::string& folder, int tab);
  ~ManagerRun();
  // Clicks the buttons, then "run"; a file dialog of that title gets path typed
  // ("": cancelled, "*": taken as offered, dialogTitle nullptr: none may come).
  bool Begin(const std::vector<int>& clicks, const char* dialogTitle, const char* path);
  // Each box that follows must hold the text and gets the answer; true once
  // the run has ended with the status line empty and the bar at 0.
  bool Finish(const Boxes& boxes = {});
  bool Run(const std::vector<int>& clicks, const char* dialogTitle, const char* path,
           const Boxes& boxes = {}) {
    return Begin(clicks, dialogTitle, path) && Finish(boxes);
  }
};
