// Programs under test started and ended from outside: any program with its
// boxes, and qxinet.exe on its Import or Export page with the data files it
// reads and leaves. Records are written "type|name|link|description".
#pragma once
#include <gtest/gtest.h>  // for QX_NEED_SAMPLES, with the pairs that Boxes holds

#include "tests/driver/uidriver.h"  // with the strings and vectors its calls take
#include "tests/win/test_folder.h"

// The caption of qxinet's property sheet.
constexpr char kSheetTitle[] = "QX Internet 2.0 - Internetadressen verwalten";
// Long, so that a first run on a busy machine passes; what a wait saw is told when it fails.
constexpr int kWaitMs = 60000;

// A started program, killed when the test ends if it still runs.
struct Running {
  Process process;
  Running() = default;
  Running(const std::string& exe, const std::string& args, const std::string& folder)
      : process(StartProgram(exe, args, folder)) {}
  ~Running() { KillProgram(process); }
  Running(const Running&) = delete;
  Running& operator=(const Running&) = delete;
  // The next box of that title holds text and is owned by owner (none: it is
  // the program's only window); it gets answer and goes. False, with what was
  // seen instead, when none came.
  bool ExpectBox(const char* title, const std::string& text, HWND owner = nullptr, int answer = IDOK);
  // The program ends with exit code 0, closed through window if one is given.
  bool ExpectEnd(HWND window = nullptr);
};

using Boxes = std::vector<std::pair<std::string, int>>;  // the text of each box and its answer

// The records of the data file; while qxinet holds it, as its named mapping shows them.
std::vector<std::string> StoredRecords(const std::string& dataFile);
// The bytes of such records; the type stored is the one their links give, whatever is written.
std::string RecordsFile(const std::vector<std::string>& records);

// Cases that read real browser exports need the sample folder; a plain clone
// has none, and then they are skipped at once, saying which folder was missing.
// Wine takes the folder's Linux path on drive Z:, slashes and all.
#define QX_SAMPLE(file) "Z:" QX_SAMPLES "/" file
#define QX_NEED_SAMPLES() if (!FileExists(QX_SAMPLE(""))) GTEST_SKIP() << "sample folder missing: " QX_SAMPLES

struct ManagerRun : Running {
  std::function<void(std::size_t)> atBox;  // called with each box's number before its answer
  HWND sheet = nullptr, page = nullptr;
  // Starts qxinet in folder (answering the box of an empty data file) on the tab given.
  ManagerRun(const std::string& folder, int tab);
  // Closes the program and sees it end; after a failure, or once killed, it is not waited for.
  ~ManagerRun();
  // Clicks the buttons, then "run"; a file dialog of that title gets path typed
  // ("": cancelled, "*": taken as offered, dialogTitle nullptr: none may come).
  bool Begin(const std::vector<int>& clicks, const char* dialogTitle, const char* path);
  // Each box that follows must hold the text and gets the answer; true once
  // the run has ended, within waitMs, with the status line empty and the bar at 0.
  bool Finish(const Boxes& boxes = {}, int waitMs = kWaitMs);
  bool Run(const std::vector<int>& clicks, const char* dialogTitle, const char* path, const Boxes& boxes = {}) {
    return Begin(clicks, dialogTitle, path) && Finish(boxes);
  }
};
