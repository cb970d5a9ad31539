// Working the Import and Export pages of the real program (see manager_run.h).
#include "tests/win/manager_run.h"

#include <commctrl.h>
#include <algorithm>
#include <cstring>
#include <random>
#include <gtest/gtest.h>

#include "addressdb/record.h"
#include "tests/win/test_folder.h"

namespace {
const int kWait = 20000;
const char kBoxTitle[] = "QX Internet 2.0";
}  // namespace

std::vector<std::string> StoredRecords(const std::string& dataFile) {
  const std::string bytes = ReadBytes(dataFile);
  std::vector<std::string> records;
  for (std::size_t at = 0; at + RecordSize <= bytes.size(); at += RecordSize) {
    AddressRecord r;
    std::memcpy(&r, bytes.data() + at, RecordSize);
    records.push_back(std::to_string(r.type) + "|" + std::string(FieldText(r.name)) + "|" +
                      std::string(FieldText(r.link)) + "|" + std::string(FieldText(r.description)));
  }
  return records;
}

std::string RecordsFile(const std::vector<std::string>& records) {
  std::string bytes;
  for (const std::string& text : records) {
    std::size_t a = text.find('|'), b = text.find('|', a + 1), c = text.find('|', b + 1);
    AddressRecord r = MakeRecord(text.substr(a + 1, b - a - 1), text.substr(b + 1, c - b - 1),
                                 text.substr(c + 1));
    r.type = static_cast<std::uint8_t>(std::stoi(text.substr(0, a)));
    bytes += Bytes(r);
  }
  return bytes;
}

std::string WindowsPath(std::string unixPath) {
  for (char& c : unixPath)
    if (c == '/') c = '\\';
  return "Z:" + unixPath;
}

std::string GeneratedBookmarks(int count, unsigned seed) {
  std::vector<int> order(count);
  for (int i = 0; i < count; ++i) order[i] = i;
  std::shuffle(order.begin(), order.end(), std::mt19937(seed));
  std::string file = "<!DOCTYPE NETSCAPE-Bookmark-file-1>\n<TITLE>Bookmarks</TITLE>\n<DL><p>\n";
  for (int i = 0; i < count; ++i)
    file += "<DT><A HREF=\"http://www.example.org/seite/" + std::to_string(i) +
            ".htm\" ADD_DATE=\"1\">Seite " + std::to_string(order[i]) + "</A>\n";
  return file + "</DL><p>\n";
}

ManagerRun::ManagerRun(const std::string& folder, int tab) {
  const bool empty = ReadBytes(folder + "\\qxinetvz.dat").empty();
  process = StartProgram(WindowsPath(QXINET_EXE), "", folder);
  MessageBoxInfo box;
  if (empty && WaitForMessageBox(process.pid, kBoxTitle, kWait, box)) AnswerMessageBox(box, IDOK);
  sheet = WaitForWindow(process.pid, "QX Internet 2.0 - Internetadressen verwalten", nullptr, kWait);
  if (sheet != nullptr && SelectTab(sheet, tab)) page = CurrentPage(sheet);
  EXPECT_NE(page, nullptr);
}

ManagerRun::~ManagerRun() {
  if (!process.Valid()) return;
  DWORD code = 0;
  PostMessageA(sheet, WM_SYSCOMMAND, SC_CLOSE, 0);
  if (!WaitForExit(process, kWait, code)) {
    ADD_FAILURE() << "the program did not end";
    KillProgram(process);
  }
}

bool ManagerRun::Begin(const std::vector<int>& clicks, const char* dialogTitle, const char* path) {
  for (int id : clicks) SendMessageA(GetDlgItem(page, id), BM_CLICK, 0, 0);
  // Only the end of the run empties the status line again.
  SetText(GetDlgItem(page, 107), "?");
  ClickButton(GetDlgItem(page, 130));
  if (dialogTitle != nullptr) {
    HWND dialog = WaitForWindow(process.pid, dialogTitle, "#32770", kWait);
    if (dialog == nullptr) return false;
    if (*path == '\0') {
      PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
    } else {
      HWND name = GetDlgItem(GetDlgItem(GetDlgItem(dialog, 1148), 1148), 1148);
      if (*path != '*') SetText(name, path);  // "*": what the dialog offers
      ClickButton(GetDlgItem(dialog, IDOK));
    }
    if (!WaitForWindowGone(dialog, kWait)) return false;
  }
  return true;
}

bool ManagerRun::Run(const std::vector<int>& clicks, const char* dialogTitle, const char* path,
                     const std::vector<std::pair<std::string, int>>& boxes) {
  if (!Begin(clicks, dialogTitle, path)) return false;
  for (const auto& [text, answer] : boxes) {
    MessageBoxInfo box;
    if (!WaitForMessageBox(process.pid, kBoxTitle, kWait, box)) return false;
    EXPECT_EQ(box.text, text);
    AnswerMessageBox(box, answer);
    WaitForWindowGone(box.window, kWait);
  }
  const bool ended = WaitForText(GetDlgItem(page, 107), "", waitMs);
  MessageBoxInfo extra;
  EXPECT_FALSE(WaitForMessageBox(process.pid, kBoxTitle, 0, extra)) << "unexpected: " << extra.text;
  return ended && SendMessageA(GetDlgItem(page, 108), PBM_GETPOS, 0, 0) == 0;
}
