// The category pages and the entry dialog of the real qxinet.exe, worked from
// outside under Wine, each road checked against the bytes of qxinetvz.dat.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <vector>

#include "tests/driver/uidriver.h"
#include "tests/win/test_folder.h"

namespace {

const int kWait = 20000;
const char kBox[] = "QX Internet 2.0";
const char* const kPresets[7] = {"http://", "ftp://", "mailto:", "news:", "gopher:", "archie:", "file:"};

// The bytes of the data file. While qxinet holds it (open without sharing)
// they are read through its named mapping, the size from the folder entry.
std::string DataFileBytes() {
  HANDLE mapping = OpenFileMappingA(FILE_MAP_READ, FALSE, "qxinetfilemap");
  if (mapping == nullptr) return ReadBytes("qxinetvz.dat");
  WIN32_FIND_DATAA entry{};
  HANDLE find = FindFirstFileA("qxinetvz.dat", &entry);
  if (find != INVALID_HANDLE_VALUE) FindClose(find);
  const char* view = static_cast<const char*>(MapViewOfFile(mapping, FILE_MAP_READ, 0, 0, 0));
  std::string bytes = view ? std::string(view, entry.nFileSizeLow) : std::string();
  if (view) UnmapViewOfFile(view);
  CloseHandle(mapping);
  return bytes;
}

// The data file as "type|name|link|description" per record; fails the test
// on a size that is no multiple of 641 or a text field without its NUL.
std::vector<std::string> Stored() {
  std::string bytes = DataFileBytes();
  EXPECT_EQ(bytes.size() % RecordSize, 0u);
  std::vector<std::string> out;
  for (std::size_t at = 0; at + RecordSize <= bytes.size(); at += RecordSize) {
    std::string r = std::to_string(static_cast<unsigned char>(bytes[at]));
    for (auto [offset, width] : {std::pair{1, 128}, {129, 256}, {385, 256}}) {
      std::string field = bytes.substr(at + offset, width);
      EXPECT_NE(field.find('\0'), std::string::npos);
      r += "|" + field.substr(0, field.find('\0'));
    }
    out.push_back(r);
  }
  return out;
}

class PagesTest : public ::testing::Test {
 protected:
  ~PagesTest() override {
    DWORD code;
    if (app_.Valid() && !WaitForExit(app_, 0, code)) KillProgram(app_);
  }
  void Start(const std::vector<AddressRecord>& records) {
    std::string bytes;
    for (const AddressRecord& r : records) bytes += Bytes(r);
    WriteBytes("qxinetvz.dat", bytes);
    app_ = StartProgram(WindowsPath(QXINET_EXE), "", folder_.path());
    if (records.empty()) ExpectBox("Adressdatei ist leer !");
    sheet_ = WaitForWindow(app_.pid, "QX Internet 2.0 - Internetadressen verwalten", nullptr, kWait);
    ASSERT_NE(sheet_, nullptr);
  }
  static std::string WindowsPath(std::string path) {
    for (char& c : path) c = c == '/' ? '\\' : c;
    return "Z:" + path;
  }
  // Shows the tab and waits until the page has taken over its selection.
  HWND Page(int tab) {
    EXPECT_TRUE(SelectTab(sheet_, tab));
    HWND page = CurrentPage(sheet_);
    HWND list = GetDlgItem(page, 101);
    int sel = ListSelection(list);
    std::string link;
    if (sel >= 0) link = LinkOf(page, ListItems(list)[sel]);
    EXPECT_TRUE(WaitForText(GetDlgItem(page, 102), link, kWait));
    return page;
  }
  // The link the record of that name holds in the data file.
  static std::string LinkOf(HWND, const std::string& name) {
    for (const std::string& r : Stored()) {
      std::size_t a = r.find('|'), b = r.find('|', a + 1);
      if (r.substr(a + 1, b - a - 1) == name) return r.substr(b + 1, r.find('|', b + 1) - b - 1);
    }
    return "";
  }
  void Select(HWND page, const std::string& name, bool doubleClick = false) {
    std::vector<std::string> items = ListItems(GetDlgItem(page, 101));
    int index = -1;
    for (std::size_t i = 0; i < items.size(); ++i) if (items[i] == name) index = int(i);
    ASSERT_TRUE(SelectListItem(GetDlgItem(page, 101), index, doubleClick)) << name;
    ASSERT_TRUE(WaitForText(GetDlgItem(page, 102), LinkOf(page, name), kWait));
  }
  HWND OpenDialog(HWND page, int button) {
    ClickButton(GetDlgItem(page, button));
    HWND dialog = WaitForWindow(app_.pid, "QX Internet", "#32770", kWait);
    EXPECT_NE(dialog, nullptr);
    return dialog;
  }
  static void Fill(HWND dialog, const char* name, const char* link, const char* description) {
    if (name) SetText(GetDlgItem(dialog, 101), name);
    if (link) SetText(GetDlgItem(dialog, 102), link);
    if (description) SetText(GetDlgItem(dialog, 103), description);
  }
  void ExpectBox(const std::string& text, int answer = IDOK) {
    MessageBoxInfo box;
    ASSERT_TRUE(WaitForMessageBox(app_.pid, kBox, kWait, box)) << text;
    EXPECT_EQ(box.text, text);
    AnswerMessageBox(box, answer);
    EXPECT_TRUE(WaitForWindowGone(box.window, kWait));
  }
  static void ExpectStored(const std::vector<std::string>& expected) {
    WaitUntil([&] { return Stored() == expected; }, 5000);
    EXPECT_EQ(Stored(), expected);
  }
  // Saves or cancels; with a refusal the box is answered and the dialog stays.
  void Press(HWND dialog, int button, const char* refusal = nullptr) {
    ClickButton(GetDlgItem(dialog, button));
    if (refusal) ExpectBox(refusal);
    EXPECT_EQ(WaitForWindowGone(dialog, refusal ? 300 : kWait), refusal == nullptr);
  }

  TestFolder folder_;
  Process app_;
  HWND sheet_ = nullptr;
};

struct NewCase {
  int tab;
  const char *name, *link, *description, *refusal;
  int listedOn;  // tab whose list shows the new entry, -1 when nothing is stored
};

TEST_F(PagesTest, NewEntries) {
  Start({MakeRecord("Aaa", "http://www.example.org/")});
  const NewCase cases[] = {
      {0, "B Web", "http://b.example/", "Seite", nullptr, 0},
      {1, "C Ftp", "ftp://c.example/pub", "", nullptr, 1},
      {2, "D Post", "mailto:d@example.org", "Brief", nullptr, 2},
      {3, "E News", "news:de.comp", "", nullptr, 3},
      {4, "F Gopher", "gopher://f.example/", "", nullptr, 4},
      {5, "G Archie", "archie:g", "", nullptr, 5},
      {6, "H Datei", "file:///c:/h.txt", "lokal \xE4", nullptr, 6},
      {0, "I Ftp vom Web", "ftp://i.example/", "", nullptr, 1},
      {0, "J Doppelt", "HTTP://WWW.Example.ORG/", "", "Link ist bereits eingetragen !", -1},
  };
  std::vector<std::string> expected = Stored();
  for (const NewCase& c : cases) {
    SCOPED_TRACE(c.name);
    HWND page = Page(c.tab);
    HWND dialog = OpenDialog(page, 106);
    EXPECT_EQ(GetText(GetDlgItem(dialog, 102)), kPresets[c.tab]);
    Fill(dialog, c.name, c.link, c.description);
    if (c.tab == 6) {
      EXPECT_TRUE(SaveWindowPicture(dialog, PicturesDir() + "\\entry-dialog.bmp"));
    }
    Press(dialog, 104);
    if (c.refusal) ExpectBox(c.refusal);
    if (c.listedOn >= 0)
      expected.push_back(std::to_string(c.listedOn == 6 ? 16 : c.listedOn) + "|" + c.name + "|" +
                         c.link + "|" + c.description);
    ExpectStored(expected);
    std::vector<std::string> here = ListItems(GetDlgItem(Page(c.tab), 101));
    EXPECT_EQ(std::count(here.begin(), here.end(), c.name), c.listedOn == c.tab ? 1 : 0);
    if (c.listedOn < 0) continue;
    HWND shown = Page(c.listedOn);
    Select(shown, c.name);
    EXPECT_EQ(GetText(GetDlgItem(shown, 103)), c.description);
  }
  Select(Page(0), "Aaa");
  EXPECT_TRUE(SaveWindowPicture(sheet_, PicturesDir() + "\\page-www-filled.bmp"));
}

}  // namespace
