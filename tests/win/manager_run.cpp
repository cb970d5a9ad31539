// Working the real program from outside (see manager_run.h): its boxes and
// its end, its Import and Export pages, the records it holds.
#include "tests/win/manager_run.h"

#include <commctrl.h>
#include <dlgs.h>

#include <cstdlib>
#include <filesystem>

#include "manager/resource.h"

static const char kBoxTitle[] = "QX Internet 2.0";

bool Running::ExpectBox(const char* title, const std::string& text, HWND owner, int answer) {
  MessageBoxInfo box;
  const bool came = WaitForMessageBox(process.pid, title, kWaitMs, box);
  EXPECT_TRUE(came) << "no box \"" << text << "\"; seen: " << Seen(process);
  if (!came) return false;
  EXPECT_EQ(std::make_pair(box.text, box.owner), std::make_pair(text, owner));
  EXPECT_TRUE(owner || TopLevelWindows(process.pid) == std::vector<HWND>{box.window}) << Seen(process);
  return AnswerMessageBox(box, answer) && WaitForWindowGone(box.window, kWaitMs);
}

bool Running::ExpectEnd(HWND window) {
  if (window) PostMessageA(window, WM_SYSCOMMAND, SC_CLOSE, 0);
  DWORD code = 99;
  const bool ended = WaitForExit(process, kWaitMs, code) && code == 0;
  EXPECT_TRUE(ended) << "exit code " << code << "; seen: " << Seen(process);
  return ended;
}

std::vector<std::string> StoredRecords(const std::string& dataFile) {
  std::string bytes = ReadBytes(dataFile);  // empty while qxinet holds the file
  if (HANDLE map = OpenFileMappingA(FILE_MAP_READ, FALSE, "qxinetfilemap")) {
    if (auto view = static_cast<const char*>(MapViewOfFile(map, FILE_MAP_READ, 0, 0, 0)))
      bytes.assign(view, std::filesystem::file_size(dataFile)), UnmapViewOfFile(view);
    CloseHandle(map);
  }
  std::vector<std::string> records;
  for (std::size_t at = 0; at + RecordSize <= bytes.size(); at += RecordSize) {
    const auto& r = *reinterpret_cast<const AddressRecord*>(&bytes[at]);  // bytes only: no alignment
    records.push_back(std::to_string(r.type) + "|" + std::string(FieldText(r.name)) + "|" +
                      std::string(FieldText(r.link)) + "|" + std::string(FieldText(r.description)));
  }
  return records;
}

std::string RecordsFile(const std::vector<std::string>& records) {
  std::string bytes;
  for (const std::string& t : records) {
    const std::size_t a = t.find('|'), b = t.find('|', a + 1), c = t.find('|', b + 1);
    bytes += Bytes({MakeRecord(t.substr(a + 1, b - a - 1), t.substr(b + 1, c - b - 1), t.substr(c + 1))});
  }
  return bytes;
}

ManagerRun::ManagerRun(const std::string& folder, int tab) {
  // Read before the start: the program takes the file for itself.
  const bool empty = ReadBytes(folder + "\\qxinetvz.dat").empty();
  // A benchmark may time another build.
  process = StartProgram(std::getenv("QX_QXINET") ? std::getenv("QX_QXINET") : "Z:" QXINET_EXE, "", folder);
  if (empty) ExpectBox(kBoxTitle, "Adressdatei ist leer !");
  sheet = WaitForWindow(process.pid, kSheetTitle, nullptr, kWaitMs);
  if (sheet != nullptr && SelectTab(sheet, tab, kWaitMs)) page = CurrentPage(sheet);
  EXPECT_NE(page, nullptr) << "no page " << tab << "; seen: " << Seen(process);
}

// After a failure the program is most likely held by a box nobody answers:
// waiting the full time for it would only delay the report. It is killed.
ManagerRun::~ManagerRun() {
  if (!::testing::Test::HasFailure() && WaitForSingleObject(process.handle, 0) == WAIT_TIMEOUT) ExpectEnd(sheet);
}

// The file name field of the file dialogs (cmb13): under Wine an edit in a
// combo box in a combo box, all three of that id.
HWND FileNameField(HWND dialog) {
  HWND field = dialog;
  for (int depth = 0; depth < 3; ++depth) field = GetDlgItem(field, cmb13);
  return field;
}

bool ManagerRun::Begin(const std::vector<int>& clicks, const char* dialogTitle, const char* path) {
  for (int id : clicks) SendMessageA(GetDlgItem(page, id), BM_CLICK, 0, 0);
  SetText(GetDlgItem(page, IDC_STATUS), "?");  // only the end of the run empties it again
  ClickButton(GetDlgItem(page, IDC_RUN));
  if (dialogTitle == nullptr) return true;
  HWND dialog = WaitForWindow(process.pid, dialogTitle, "#32770", kWaitMs);
  EXPECT_NE(dialog, nullptr) << "no dialog " << dialogTitle << "; seen: " << Seen(process);
  if (dialog == nullptr) return false;
  if (*path && *path != '*') SetText(FileNameField(dialog), path);
  ClickButton(GetDlgItem(dialog, *path == '\0' ? IDCANCEL : IDOK));
  return WaitForWindowGone(dialog, kWaitMs);
}

bool ManagerRun::Finish(const Boxes& boxes, int waitMs) {
  MessageBoxInfo box;
  for (std::size_t i = 0; i < boxes.size(); ++i) {
    if (atBox && WaitForMessageBox(process.pid, kBoxTitle, kWaitMs, box)) atBox(i);
    if (!ExpectBox(kBoxTitle, boxes[i].first, sheet, boxes[i].second)) return false;
  }
  // A box nobody expected holds the run: it is reported at once, not after the wait.
  const auto ended = [this] { return GetText(GetDlgItem(page, IDC_STATUS)).empty(); };
  WaitUntil([&] { return ended() || WaitForMessageBox(process.pid, kBoxTitle, 0, box); }, waitMs);
  EXPECT_TRUE(ended()) << "the run did not end; seen: " << Seen(process);
  return ended() && SendMessageA(GetDlgItem(page, IDC_PROGRESS), PBM_GETPOS, 0, 0) == 0;
}
