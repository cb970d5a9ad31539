// Working the Import and Export pages of the real program (see manager_run.h).
#include "tests/win/manager_run.h"

#include <commctrl.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>

#include "manager/resource.h"
#include "tests/win/test_folder.h"

static const int kWait = kWaitMs;
static const char kBoxTitle[] = "QX Internet 2.0";

bool Running::ExpectBox(const char* title, const std::string& text, HWND owner, int answer) {
  MessageBoxInfo box;
  if (!WaitForMessageBox(process.pid, title, kWait, box)) {
    ADD_FAILURE() << "no box \"" << text << "\"; seen: " << Seen(process);
    return false;
  }
  EXPECT_EQ(box.text, text);
  EXPECT_EQ(box.owner, owner) << box.text;
  EXPECT_TRUE(owner || TopLevelWindows(process.pid) == std::vector<HWND>{box.window}) << Seen(process);
  return AnswerMessageBox(box, answer) && WaitForWindowGone(box.window, kWait);
}

bool Running::ExpectEnd(HWND window) {
  if (window) PostMessageA(window, WM_SYSCOMMAND, SC_CLOSE, 0);
  DWORD code = 99;
  const bool ended = WaitForExit(process, kWait, code) && code == 0;
  EXPECT_TRUE(ended) << "exit code " << code << "; seen: " << Seen(process);
  return ended;
}

std::vector<std::string> StoredRecords(const std::string& dataFile) {
  std::string bytes = ReadBytes(dataFile);  // empty while qxinet holds the file
  if (HANDLE map = OpenFileMappingA(FILE_MAP_READ, FALSE, "qxinetfilemap")) {
    WIN32_FILE_ATTRIBUTE_DATA file{};
    GetFileAttributesExA(dataFile.c_str(), GetFileExInfoStandard, &file);
    auto view = static_cast<const char*>(MapViewOfFile(map, FILE_MAP_READ, 0, 0, 0));
    bytes.assign(view, file.nFileSizeLow), UnmapViewOfFile(view), CloseHandle(map);
  }
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
  for (const std::string& t : records) {
    const std::size_t a = t.find('|'), b = t.find('|', a + 1), c = t.find('|', b + 1);
    AddressRecord r = MakeRecord(t.substr(a + 1, b - a - 1), t.substr(b + 1, c - b - 1), t.substr(c + 1));
    r.type = static_cast<std::uint8_t>(std::stoi(t.substr(0, a)));
    bytes += Bytes(r);
  }
  return bytes;
}

std::string WindowsPath(std::string unixPath) {
  std::replace(unixPath.begin(), unixPath.end(), '/', '\\');
  return "Z:" + unixPath;
}

namespace {
std::string Qxinet() {
  const char* other = std::getenv("QX_QXINET");  // a benchmark may time another build
  return other != nullptr ? std::string(other) : WindowsPath(QXINET_EXE);
}
}  // namespace

ManagerRun::ManagerRun(const std::string& folder, int tab) {
  // Read before the start: the program takes the file for itself.
  const bool empty = ReadBytes(folder + "\\qxinetvz.dat").empty();
  process = StartProgram(Qxinet(), "", folder);
  if (empty) ExpectBox(kBoxTitle, "Adressdatei ist leer !");
  sheet = WaitForWindow(process.pid, "QX Internet 2.0 - Internetadressen verwalten", nullptr, kWait);
  if (sheet != nullptr && SelectTab(sheet, tab, kWait)) page = CurrentPage(sheet);
  EXPECT_NE(page, nullptr) << "no page " << tab << "; seen: " << Seen(process);
}

ManagerRun::~ManagerRun() {
  DWORD code = 0;
  if (process.handle == nullptr) return;
  PostMessageA(sheet, WM_SYSCOMMAND, SC_CLOSE, 0);
  // After a failure the program is most likely held by a box nobody answers:
  // waiting the full time for it would only delay the report.
  const bool failed = ::testing::Test::HasFailure();
  if (WaitForExit(process, failed ? 2000 : kWait, code)) return;
  EXPECT_TRUE(failed) << "the program did not end; seen: " << Seen(process);
}

bool ManagerRun::Begin(const std::vector<int>& clicks, const char* dialogTitle, const char* path) {
  for (int id : clicks) SendMessageA(GetDlgItem(page, id), BM_CLICK, 0, 0);
  SetText(GetDlgItem(page, IDC_STATUS), "?");  // only the end of the run empties it again
  ClickButton(GetDlgItem(page, IDC_RUN));
  if (dialogTitle == nullptr) return true;
  HWND dialog = WaitForWindow(process.pid, dialogTitle, "#32770", kWait);
  if (dialog == nullptr) {
    ADD_FAILURE() << "no dialog " << dialogTitle << "; seen: " << Seen(process);
    return false;
  }
  if (*path && *path != '*') SetText(GetDlgItem(GetDlgItem(GetDlgItem(dialog, 1148), 1148), 1148), path);
  ClickButton(GetDlgItem(dialog, *path == '\0' ? IDCANCEL : IDOK));
  return WaitForWindowGone(dialog, kWait);
}

bool ManagerRun::Finish(const Boxes& boxes) {
  MessageBoxInfo box;
  for (std::size_t i = 0; i < boxes.size(); ++i) {
    if (atBox && WaitForMessageBox(process.pid, kBoxTitle, kWait, box)) atBox(i);
    if (!ExpectBox(kBoxTitle, boxes[i].first, sheet, boxes[i].second)) return false;
  }
  // A box nobody expected holds the run: it is reported at once, not after the wait.
  const auto ended = [this] { return GetText(GetDlgItem(page, IDC_STATUS)).empty(); };
  WaitUntil([&] { return ended() || WaitForMessageBox(process.pid, kBoxTitle, 0, box); }, waitMs);
  EXPECT_TRUE(ended()) << "the run did not end; seen: " << Seen(process);
  return ended() && SendMessageA(GetDlgItem(page, IDC_PROGRESS), PBM_GETPOS, 0, 0) == 0;
}
