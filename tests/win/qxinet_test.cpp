// The real qxinet.exe under Wine, worked from outside: the first start, instances
// side by side, and every start that is refused, by a box or, for a copy of the
// program with a changed template, silently.
#include "manager/resource.h"
#include "tests/win/manager_run.h"

namespace {

const std::string kExe = "Z:" QXINET_EXE;  // Wine takes '/' as well

const std::string kTwoRecords =
    Bytes({MakeRecord("Beispiel", "http://ex.org/", "Info"), MakeRecord("Dateien", "ftp://f/")});

// qxinet (or a copy of it) started in folder: the box it shows first, if any,
// answered; then its sheet, or, after a box, its end.
HWND Start(Running& run, const std::string& folder, const char* box, bool toSheet, const std::string& exe = kExe) {
  run.process = StartProgram(exe, "", folder);
  if (box) run.ExpectBox("QX Internet 2.0", box);
  if (box && !toSheet) run.ExpectEnd();
  HWND sheet = toSheet ? WaitForWindow(run.process.pid, kSheetTitle, nullptr, kWaitMs) : nullptr;
  EXPECT_TRUE(!toSheet || sheet) << Seen(run.process);
  return sheet;
}

// The first start creates an empty data file, which it holds all the same: a
// second copy there is turned away. One in another folder shows that folder's
// file, and closing leaves it as it was, without a backup or any other file.
// Every refused start shows its box without an owner, then ends with exit code
// 0 (a sheet would keep it running), the file as it was: the second copy, a file
// of the wrong size, and one held without sharing, as qxinet holds it.
TEST(Qxinet, FirstStartInstancesSideBySideAndRefusedStarts) {
  TestFolder folder;
  const std::string other = folder.path() + "\\anderswo", otherFile = other + "\\qxinetvz.dat";
  ASSERT_TRUE(CreateDirectoryA(other.c_str(), nullptr));
  WriteBytes(otherFile, kTwoRecords);
  Running first, second, there;
  HWND firstSheet = Start(first, folder.path(), "Adressdatei ist leer !", true);
  Start(second, folder.path(), "Adressdatenbank ist bereits von einer anderen Instanz dieses Programms ge\xF6"
                               "ffnet ! Programm wird beendet !", false);
  HWND thereSheet = Start(there, other, nullptr, true);
  EXPECT_EQ(ListItems(GetDlgItem(CurrentPage(thereSheet), IDC_LIST)), std::vector<std::string>{"Beispiel"});
  first.ExpectEnd(firstSheet);
  EXPECT_TRUE(FileExists("qxinetvz.dat") && ReadBytes("qxinetvz.dat").empty());  // read once it is no longer held
  there.ExpectEnd(thereSheet);
  EXPECT_EQ(ReadBytes(otherFile), kTwoRecords);
  for (const std::string& path : {folder.path(), other})
    for (const char* file : {"\\qxinetvz.bak", "\\qxinetvz.lck", "\\qxinetvz.tmp"})
      EXPECT_FALSE(FileExists(path + file)) << path << file;
  for (bool held : {false, true}) {
    const std::string before = held ? kTwoRecords : std::string(RecordSize + 1, 'x');
    WriteBytes(otherFile, before);
    HANDLE lock = held ? CreateFileA(otherFile.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr)
                       : INVALID_HANDLE_VALUE;
    Running run;
    Start(run, other, held ? "Adressdatei kann nicht ge\xF6" "ffnet werden !" : "Falsches Dateiformat !", false);
    CloseHandle(lock);
    EXPECT_EQ(ReadBytes(otherFile), before);
  }
}

// A copy of the program with the last letter of one text made X (a text stored
// once, as UTF-16) ends at once with exit code 0 and shows nothing when the text
// lies in a template that it checks: DLG_INFO, DLG_LINK, DLG_INPUT, or the name
// DLG_LINK, which makes that template missing (DLG_LINX keeps the resource
// directory's order). A text of DLG_IMPORT, which is not checked, changes nothing:
// the copy as such starts.
TEST(Qxinet, AChangedTemplateEndsTheProgramSilently) {
  TestFolder folder;
  WriteBytes("qxinetvz.dat", kTwoRecords);
  const std::string copy = folder.path() + "\\qxinet-changed.exe";
  const struct { const wchar_t* text; bool refused; } changes[] = {
      {L"Sicherungskopie", true}, {L"MS-I&Explorer", true}, {L"&Speichern", true}, {L"DLG_LINK", true},
      {L"&Importieren", false}};
  for (const auto& c : changes) {
    SCOPED_TRACE(c.text);
    std::string image = ReadBytes(kExe);
    const std::string wide(reinterpret_cast<const char*>(c.text), 2 * wcslen(c.text));
    const std::size_t at = image.find(wide);
    ASSERT_TRUE(at != std::string::npos && image.find(wide, at + 1) == std::string::npos);
    image[at + wide.size() - 2] = 'X';
    WriteBytes(copy, image);
    Running run;
    HWND sheet = Start(run, folder.path(), nullptr, !c.refused, copy);
    DWORD code = 99;
    if (!c.refused) run.ExpectEnd(sheet);
    EXPECT_TRUE(WaitUntil([&] { return !TopLevelWindows(run.process.pid).empty() ||
                                       WaitForExit(run.process, 0, code); }, kWaitMs));
    EXPECT_TRUE(TopLevelWindows(run.process.pid).empty() && code == 0) << Seen(run.process);
  }
}

}  // namespace
