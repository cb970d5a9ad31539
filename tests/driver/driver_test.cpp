// Tests of the UI driver: each works driver_sample_app (found beside this
// test's exe) from outside through the driver and checks what the driver saw
// and did against what the sample is known to show.
#include "tests/driver/uidriver.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <set>
#include <string>
#include <vector>

namespace {

// Control ids of driver_sample_app (see sample_app.cpp).
constexpr int kIdName = 100;
constexpr int kIdFolder = 101;
constexpr int kIdWarn = 102;
constexpr int kIdAsk = 103;
constexpr int kIdAnswer = 104;
constexpr int kIdStop = 105;
constexpr int kIdList = 200;
constexpr int kIdMirror = 201;
constexpr int kIdAbout = 300;

constexpr int kWaitMs = 15000;
const char kSheetTitle[] = "Driver Sample";

std::string ExeDir() {
  char path[MAX_PATH] = {};
  GetModuleFileNameA(nullptr, path, sizeof path);
  std::string dir = path;
  return dir.substr(0, dir.find_last_of("\\/"));
}

std::string SampleExe() { return ExeDir() + "\\driver_sample_app.exe"; }

std::string NewTempFolder() {
  static int counter = 0;
  char temp[MAX_PATH] = {};
  GetTempPathA(sizeof temp, temp);
  std::string folder = std::string(temp) + "qx_driver_" + std::to_string(GetCurrentProcessId()) +
                       "_" + std::to_string(++counter);
  CreateDirectoryA(folder.c_str(), nullptr);
  return folder;
}

std::string Lower(std::string text) {
  CharLowerBuffA(&text[0], static_cast<DWORD>(text.size()));
  return text;
}

std::vector<BYTE> ReadFileBytes(const std::string& path) {
  std::vector<BYTE> bytes;
  std::FILE* in = std::fopen(path.c_str(), "rb");
  if (in == nullptr) return bytes;
  BYTE buffer[65536];
  size_t n;
  while ((n = std::fread(buffer, 1, sizeof buffer, in)) > 0) bytes.insert(bytes.end(), buffer, buffer + n);
  std::fclose(in);
  return bytes;
}

class DriverTest : public ::testing::Test {
 protected:
  void SetUp() override {
    folder_ = NewTempFolder();
    app_ = StartProgram(SampleExe(), "", folder_);
    ASSERT_TRUE(app_.Valid()) << "cannot start " << SampleExe();
    sheet_ = WaitForWindow(app_.pid, kSheetTitle, "#32770", kWaitMs);
    ASSERT_NE(sheet_, nullptr) << "the sample's sheet did not appear";
  }

  void TearDown() override {
    KillProgram(app_);
    Close(app_);
    RemoveDirectoryA(folder_.c_str());
  }

  HWND Control(int id) { return GetDlgItem(CurrentPage(sheet_), id); }

  std::string folder_;
  Process app_;
  HWND sheet_ = nullptr;
};

TEST_F(DriverTest, StartsInTheGivenFolderShowingOnlyTheSheet) {
  HWND folder = Control(kIdFolder);
  ASSERT_NE(folder, nullptr);
  std::string shown = GetText(folder);
  while (!shown.empty() && shown.back() == '\\') shown.pop_back();
  EXPECT_EQ(Lower(shown), Lower(folder_));
  EXPECT_EQ(TopLevelWindows(app_.pid), std::vector<HWND>{sheet_});
}

TEST_F(DriverTest, ReadsTabTitlesExactly) {
  EXPECT_EQ(TabTitles(sheet_), (std::vector<std::string>{" One ", " Zwei ", "\xDC" "ber"}));
  EXPECT_EQ(CurrentTab(sheet_), 0);
}

TEST_F(DriverTest, SwitchesTabs) {
  HWND first = CurrentPage(sheet_);
  ASSERT_NE(first, nullptr);
  ASSERT_TRUE(SelectTab(sheet_, 1));
  EXPECT_EQ(CurrentTab(sheet_), 1);
  EXPECT_NE(CurrentPage(sheet_), first);
  EXPECT_NE(Control(kIdList), nullptr);
  EXPECT_EQ(Control(kIdName), nullptr);

  ASSERT_TRUE(SelectTab(sheet_, 2));
  EXPECT_EQ(CurrentTab(sheet_), 2);
  EXPECT_EQ(GetText(Control(kIdAbout)), "\xDC" "ber dieses Beispiel");

  ASSERT_TRUE(SelectTab(sheet_, 0));
  EXPECT_EQ(CurrentPage(sheet_), first);
  EXPECT_FALSE(SelectTab(sheet_, 5, 500));
  EXPECT_EQ(CurrentTab(sheet_), 0);
}

TEST_F(DriverTest, TypesAndReadsBack) {
  HWND edit = Control(kIdName);
  ASSERT_NE(edit, nullptr);
  TypeText(edit, "Gr\xFC\xDF" "e, Welt");
  EXPECT_EQ(GetText(edit), "Gr\xFC\xDF" "e, Welt");
  TypeText(edit, "neu");  // replaces, as typing over a selected field does
  EXPECT_EQ(GetText(edit), "neu");
  SetText(edit, "\xC4rger");
  EXPECT_EQ(GetText(edit), "\xC4rger");
  EXPECT_TRUE(WaitForText(edit, "\xC4rger", 100));
  EXPECT_FALSE(WaitForText(edit, "anders", 100));
}

TEST_F(DriverTest, WorksTheListBox) {
  ASSERT_TRUE(SelectTab(sheet_, 1));
  HWND list = Control(kIdList);
  HWND mirror = Control(kIdMirror);
  ASSERT_NE(list, nullptr);
  ASSERT_NE(mirror, nullptr);
  EXPECT_EQ(ListItems(list),
            (std::vector<std::string>{"Apfel", "Birne", "K\xE4" "se", "\xDC" "bersicht"}));
  EXPECT_EQ(ListSelection(list), -1);
  EXPECT_EQ(GetText(mirror), "");

  ASSERT_TRUE(SelectListItem(list, 2));
  EXPECT_EQ(ListSelection(list), 2);
  EXPECT_TRUE(WaitForText(mirror, "K\xE4" "se", kWaitMs)) << GetText(mirror);

  ASSERT_TRUE(SelectListItem(list, 1));
  EXPECT_TRUE(WaitForText(mirror, "Birne", kWaitMs)) << GetText(mirror);

  ASSERT_TRUE(SelectListItem(list, 3, true));
  EXPECT_EQ(ListSelection(list), 3);
  EXPECT_TRUE(WaitForText(mirror, "Doppelt: \xDC" "bersicht", kWaitMs)) << GetText(mirror);

  EXPECT_FALSE(SelectListItem(list, 4));
  EXPECT_EQ(ListSelection(list), 3);
}

TEST_F(DriverTest, ReadsAndAnswersAWarningBox) {
  ClickButton(Control(kIdWarn));
  MessageBoxInfo box;
  ASSERT_TRUE(WaitForMessageBox(app_.pid, "Sample", kWaitMs, box));
  EXPECT_EQ(box.title, "Sample");
  EXPECT_EQ(box.text, "Text \xFC" "ber alles !");
  EXPECT_EQ(box.icon, static_cast<UINT>(MB_ICONEXCLAMATION));
  EXPECT_EQ(box.buttons, std::vector<int>{IDOK});
  EXPECT_EQ(box.owner, sheet_);
  EXPECT_FALSE(IsWindowEnabled(sheet_));  // task-modal: the sheet waits
  EXPECT_EQ(TopLevelWindows(app_.pid).size(), 2u);

  ASSERT_TRUE(AnswerMessageBox(box, IDOK));
  EXPECT_TRUE(WaitForWindowGone(box.window, kWaitMs));
  EXPECT_TRUE(WaitUntil([&] { return IsWindowEnabled(sheet_) != 0; }, kWaitMs));
  EXPECT_EQ(TopLevelWindows(app_.pid), std::vector<HWND>{sheet_});
  EXPECT_FALSE(AnswerMessageBox(box, IDOK));  // nothing left to answer
}

TEST_F(DriverTest, AnswersAYesNoBox) {
  HWND answer = Control(kIdAnswer);
  ASSERT_EQ(GetText(answer), "-");

  ClickButton(Control(kIdAsk));
  MessageBoxInfo box;
  ASSERT_TRUE(WaitForMessageBox(app_.pid, "Frage", kWaitMs, box));
  EXPECT_EQ(box.text, "Weiter?");
  EXPECT_EQ(box.icon, static_cast<UINT>(MB_ICONQUESTION));
  EXPECT_EQ(box.buttons, (std::vector<int>{IDYES, IDNO}));
  EXPECT_EQ(box.owner, sheet_);
  ASSERT_TRUE(AnswerMessageBox(box, IDNO));
  EXPECT_TRUE(WaitForText(answer, "No", kWaitMs)) << GetText(answer);
  EXPECT_TRUE(WaitForWindowGone(box.window, kWaitMs));

  ClickButton(Control(kIdAsk));
  ASSERT_TRUE(WaitForMessageBox(app_.pid, "Frage", kWaitMs, box));
  ASSERT_TRUE(AnswerMessageBox(box, IDYES));
  EXPECT_TRUE(WaitForText(answer, "Yes", kWaitMs)) << GetText(answer);
}

TEST_F(DriverTest, TellsTheStopIconAndCancels) {
  ClickButton(Control(kIdStop));
  MessageBoxInfo box;
  ASSERT_TRUE(WaitForMessageBox(app_.pid, "Stopp", kWaitMs, box));
  EXPECT_EQ(box.text, "Halt!");
  EXPECT_EQ(box.icon, static_cast<UINT>(MB_ICONHAND));
  EXPECT_EQ(box.buttons, (std::vector<int>{IDOK, IDCANCEL}));
  ASSERT_TRUE(AnswerMessageBox(box, IDCANCEL));
  EXPECT_TRUE(WaitForText(Control(kIdAnswer), "Cancel", kWaitMs));
}

TEST_F(DriverTest, SavesAPictureOfTheSheet) {
  const std::string path = PicturesDir() + "\\driver_sample.bmp";
  DeleteFileA(path.c_str());
  ASSERT_TRUE(SaveWindowPicture(sheet_, path));

  RECT rect{};
  GetWindowRect(sheet_, &rect);
  const int width = rect.right - rect.left;
  const int height = rect.bottom - rect.top;
  const std::vector<BYTE> bmp = ReadFileBytes(path);
  ASSERT_GT(bmp.size(), 54u);
  ASSERT_EQ(bmp[0], 'B');
  ASSERT_EQ(bmp[1], 'M');
  BITMAPINFOHEADER header;
  memcpy(&header, &bmp[sizeof(BITMAPFILEHEADER)], sizeof header);
  EXPECT_EQ(header.biWidth, width);
  EXPECT_EQ(header.biHeight, height);
  EXPECT_EQ(header.biBitCount, 24);
  const size_t stride = static_cast<size_t>((width * 3 + 3) & ~3);
  ASSERT_EQ(bmp.size(), 54 + stride * static_cast<size_t>(height));

  std::set<DWORD> colours;
  for (int y = 0; y < height; ++y) {
    const BYTE* row = &bmp[54 + stride * static_cast<size_t>(y)];
    for (int x = 0; x < width; ++x) colours.insert(RGB(row[3 * x + 2], row[3 * x + 1], row[3 * x]));
  }
  EXPECT_GE(colours.size(), 3u) << "the picture is (nearly) one colour";
}

TEST_F(DriverTest, ClosingTheSheetEndsTheProgramWithItsCode) {
  ASSERT_TRUE(PostMessageA(sheet_, WM_SYSCOMMAND, SC_CLOSE, 0));
  DWORD code = 0;
  ASSERT_TRUE(WaitForExit(app_, kWaitMs, code));
  EXPECT_EQ(code, 7u);
  EXPECT_TRUE(TopLevelWindows(app_.pid).empty());
  EXPECT_FALSE(IsWindow(sheet_));
}

TEST(Driver, WaitForExitTimesOutOnARunningProgram) {
  Process app = StartProgram(SampleExe(), "", "");
  ASSERT_TRUE(app.Valid());
  DWORD code = 12345;
  EXPECT_FALSE(WaitForExit(app, 200, code));
  EXPECT_EQ(code, 12345u);
  KillProgram(app);
  EXPECT_TRUE(WaitForExit(app, kWaitMs, code));
  EXPECT_EQ(code, 255u);
}

TEST(Driver, ReportsWhatIsNotThere) {
  EXPECT_FALSE(StartProgram(ExeDir() + "\\no_such_program.exe", "", "").Valid());
  const DWORD start = GetTickCount();
  EXPECT_EQ(WaitForWindow(0, "No such window, surely", nullptr, 300), nullptr);
  EXPECT_GE(GetTickCount() - start, 290u);
  MessageBoxInfo box;
  EXPECT_FALSE(WaitForMessageBox(0, "No such box, surely", 100, box));
  EXPECT_TRUE(TopLevelWindows(0xFFFFFFF0u).empty());
}

TEST(Driver, MapsTheUnixPicturesFolderToDriveZ) {
  char saved[MAX_PATH] = {};
  const bool wasSet = GetEnvironmentVariableA("QX_PICTURES", saved, sizeof saved) > 0;

  SetEnvironmentVariableA("QX_PICTURES", "/tmp/");
  EXPECT_EQ(PicturesDir(), "Z:\\tmp");
  SetEnvironmentVariableA("QX_PICTURES", nullptr);
  char current[MAX_PATH] = {};
  GetCurrentDirectoryA(sizeof current, current);
  std::string expected = current;
  if (expected.size() > 3 && expected.back() == '\\') expected.pop_back();
  EXPECT_EQ(PicturesDir(), expected);

  SetEnvironmentVariableA("QX_PICTURES", wasSet ? saved : nullptr);
}

}  // namespace
