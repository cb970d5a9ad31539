// The real qxinet.exe under Wine, worked from outside: the first start, instances
// side by side, and every start that is refused, by a box or, for a copy of the
// program with a changed template, silently.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <vector>

#include "manager/resource.h"
#include "tests/win/manager_run.h"
#include "tests/win/test_folder.h"

namespace {

const char kOtherInstance[] =
    "Adressdatenbank ist bereits von einer anderen Instanz dieses Programms ge\xF6" "ffnet ! Programm wird beendet !";

const std::string kExe = "Z:" QXINET_EXE;  // Wine takes '/' as well

const std::string kTwoRecords =
    Bytes(MakeRecord("Beispiel", "http://ex.org/", "Info")) + Bytes(MakeRecord("Dateien", "ftp://f/"));

// qxinet (or a copy of it) started in folder: the box it shows first, if any,
// answered; then its sheet, unless it is to end.
HWND Start(Running& run, const std::string& folder, const char* box, bool toSheet, const std::string& exe = kExe) {
  run.process = StartProgram(exe, "", folder);
  if (box) run.ExpectBox("QX Internet 2.0", box);
  HWND sheet = toSheet ? WaitForWindow(run.process.pid, "QX Internet 2.0 - Internetadressen verwalten",
                                       nullptr, kWaitMs) : nullptr;
  EXPECT_TRUE(!toSheet || sheet) << Seen(run.process);
  return sheet;
}

// The first start creates an empty data file, which it holds all the same: a
// second copy there is turned away. One in another folder shows that folder's
// file, and closing leaves it as it was, without a backup or any other file.
TEST(Qxinet, FirstStartAndInstancesSideBySide) {
  TestFolder folder_;
  const std::string other = folder_.path() + "\\anderswo";
  ASSERT_TRUE(CreateDirectoryA(other.c_str(), nullptr));
  WriteBytes(other + "\\qxinetvz.dat", kTwoRecords);
  Running first, second, there;
  HWND firstSheet = Start(first, folder_.path(), "Adressdatei ist leer !", true);
  EXPECT_TRUE(FileExists("qxinetvz.dat") && ReadBytes("qxinetvz.dat").empty());
  Start(second, folder_.path(), kOtherInstance, false);
  HWND thereSheet = Start(there, other, nullptr, true);
  EXPECT_EQ(ListItems(GetDlgItem(CurrentPage(thereSheet), IDC_LIST)), std::vector<std::string>{"Beispiel"});
  second.ExpectEnd();
  first.ExpectEnd(firstSheet);
  there.ExpectEnd(thereSheet);
  EXPECT_EQ(ReadBytes(other + "\\qxinetvz.dat"), kTwoRecords);
  for (const std::string& folder : {folder_.path(), other})
    for (const char* file : {"\\qxinetvz.bak", "\\qxinetvz.lck", "\\qxinetvz.tmp"})
      EXPECT_FALSE(FileExists(folder + file)) << folder << file;
}

// The box without an owner, then the end with exit code 0: a sheet would keep
// it running. The file stays as it was.
class QxinetRefusedTest : public ::testing::TestWithParam<int> {};
TEST_P(QxinetRefusedTest, ShowsItsBoxEndsAndLeavesTheFile) {
  TestFolder folder_;
  const char* boxes[] = {"Falsches Dateiformat !", "Adressdatei kann nicht ge\xF6" "ffnet werden !"};
  const std::string before = GetParam() == 0 ? std::string(642, 'x') : kTwoRecords;
  WriteBytes("qxinetvz.dat", before);
  HANDLE lock = GetParam() != 1 ? INVALID_HANDLE_VALUE  // opened without sharing, as qxinet does
      : CreateFileA("qxinetvz.dat", GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
  Running run;
  Start(run, folder_.path(), boxes[GetParam()], false);
  run.ExpectEnd();
  CloseHandle(lock);
  EXPECT_EQ(ReadBytes("qxinetvz.dat"), before);
}
INSTANTIATE_TEST_SUITE_P(WrongSizeLocked, QxinetRefusedTest, ::testing::Values(0, 1));

// Replaces the last letter of the one text (stored as UTF-16) with X.
void ChangeText(std::string& data, const wchar_t* text) {
  const std::string wide(reinterpret_cast<const char*>(text), 2 * wcslen(text));
  const std::size_t at = data.find(wide);
  ASSERT_TRUE(at != std::string::npos && data.find(wide, at + 1) == std::string::npos);
  data[at + wide.size() - 2] = 'X';
}

// A copy of the program with one template changed (without change: rewritten
// the same way; nullptr: renamed, so missing) ends at once with exit code 0 and shows
// nothing, unless the template is not one that it checks.
TEST(Qxinet, AChangedTemplateEndsTheProgramSilently) {
  TestFolder folder_;
  const struct { const char* dialog; void (*change)(std::string&); bool refused; } changes[] = {
      {"DLG_INFO", [](std::string& d) { ChangeText(d, L"Sicherungskopie"); }, true},
      {"DLG_LINK", [](std::string& d) { ChangeText(d, L"MS-I&Explorer"); }, true},
      {"DLG_INPUT", [](std::string& d) { d[2] |= WS_SYSMENU >> 16; }, true},
      {"DLG_LINK", nullptr, true},
      {"DLG_IMPORT", [](std::string& d) { ChangeText(d, L"&Importieren"); }, false},
      {"DLG_INPUT", [](std::string&) {}, false}};
  WriteBytes("qxinetvz.dat", kTwoRecords);
  const std::string copy = folder_.path() + "\\qxinet-changed.exe";
  for (const auto& c : changes) {
    SCOPED_TRACE(c.dialog);
    ASSERT_TRUE(CopyFileA(kExe.c_str(), copy.c_str(), FALSE));
    // From the program itself, which may stay loaded, as it is not written to.
    HMODULE module = LoadLibraryExA(kExe.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    HRSRC found = FindResourceA(module, c.dialog, RT_DIALOG);
    std::string data(static_cast<const char*>(LockResource(LoadResource(module, found))),
                     SizeofResource(module, found));
    if (c.change) c.change(data);
    HANDLE update = BeginUpdateResourceA(copy.c_str(), FALSE);
    EXPECT_TRUE(UpdateResourceA(update, RT_DIALOG, c.dialog, MAKELANGID(LANG_GERMAN, SUBLANG_GERMAN),
                                &data[0], static_cast<DWORD>(data.size())));
    ASSERT_TRUE(EndUpdateResourceA(update, FALSE));
    std::string image = ReadBytes(copy);
    if (!c.change) ChangeText(image, L"DLG_LINK");  // DLG_LINX keeps the resource directory's order
    WriteBytes(copy, image);
    Running run;
    HWND sheet = Start(run, folder_.path(), nullptr, !c.refused, copy);
    DWORD code = 99;
    if (!c.refused) run.ExpectEnd(sheet);
    EXPECT_TRUE(WaitUntil([&] { return !TopLevelWindows(run.process.pid).empty() ||
                                       WaitForExit(run.process, 0, code); }, kWaitMs));
    EXPECT_TRUE(TopLevelWindows(run.process.pid).empty() && code == 0) << Seen(run.process);
  }
}

}  // namespace
