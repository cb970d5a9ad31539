// The Export page of the real program under Wine (favourites under each
// policy, the HTML document), the favourites import, and the start states of
// both pages with their pictures.
#include <gtest/gtest.h>

#include <cstring>
#include <set>

#include "tests/win/manager_run.h"
#include "tests/win/test_folder.h"

namespace {

const char kShellFolders[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";
const char kHtmlDialog[] = "QX Internet 2.0 - Speichern als HTML-Dokument";

class ExportTest : public ::testing::Test {
 protected:
  // The favourites folder for the program; an empty value means none.
  void SetFavorites(const std::string& path) {
    if (key_ == nullptr) {
      RegCreateKeyExA(HKEY_CURRENT_USER, kShellFolders, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key_, nullptr);
      DWORD size = sizeof saved_;
      RegQueryValueExA(key_, "Favorites", nullptr, nullptr, reinterpret_cast<BYTE*>(saved_), &size);
    }
    RegSetValueExA(key_, "Favorites", 0, REG_SZ, reinterpret_cast<const BYTE*>(path.c_str()),
                   static_cast<DWORD>(path.size() + 1));
    CreateDirectoryA((folder_.path() + "\\a").c_str(), nullptr);
    if (!path.empty()) CreateDirectoryA(path.c_str(), nullptr);
  }
  ~ExportTest() override {
    if (key_ == nullptr) return;
    RegSetValueExA(key_, "Favorites", 0, REG_SZ, reinterpret_cast<const BYTE*>(saved_),
                   static_cast<DWORD>(std::strlen(saved_) + 1));
    RegCloseKey(key_);
  }
  TestFolder folder_;
  HKEY key_ = nullptr;
  char saved_[MAX_PATH] = "";
  // Deep enough that a name leading out of it still lands inside the test folder.
  const std::string fav_ = folder_.path() + "\\a\\b";
};

bool Checked(HWND page, int id) { return IsDlgButtonChecked(page, id) == BST_CHECKED; }
bool Enabled(HWND page, int id) { return IsWindowEnabled(GetDlgItem(page, id)) != FALSE; }

TEST_F(ExportTest, StartStatesWithAndWithoutFavorites) {
  WriteBytes("qxinetvz.dat", RecordsFile({"0|A|http://a/|"}));
  for (bool favorites : {false, true}) {
    SetFavorites(favorites ? fav_ : "");
    for (int tab : {7, 8}) {
      ManagerRun run(folder_.path(), tab);
      SCOPED_TRACE(std::to_string(tab) + (favorites ? " with favourites" : " without"));
      for (int id = 110; id <= 116; ++id) EXPECT_EQ(Checked(run.page, id), id <= 112) << id;
      EXPECT_EQ(Enabled(run.page, 101), favorites);
      EXPECT_EQ(Checked(run.page, 101), favorites);
      EXPECT_EQ(Checked(run.page, 102), !favorites);
      EXPECT_EQ(Checked(run.page, 104), tab == 7 || favorites);
      for (int id = 104; id <= 106; ++id) EXPECT_EQ(Enabled(run.page, id), tab == 7 || favorites);
      if (!favorites) continue;
      const char* name = tab == 7 ? "\\page-import.bmp" : "\\page-export.bmp";
      EXPECT_TRUE(SaveWindowPicture(run.sheet, PicturesDir() + name));
      if (tab == 7) continue;
      // The HTML document knows no existing files: its choice greys the policy, unchanged.
      SendMessageA(GetDlgItem(run.page, 102), BM_CLICK, 0, 0);
      EXPECT_TRUE(Checked(run.page, 104) && Checked(run.page, 102) && !Checked(run.page, 101));
      for (int id = 104; id <= 106; ++id) EXPECT_FALSE(Enabled(run.page, id));
      SendMessageA(GetDlgItem(run.page, 101), BM_CLICK, 0, 0);
      for (int id = 104; id <= 106; ++id) EXPECT_TRUE(Enabled(run.page, id));
    }
  }
}

const std::string kShortcut = "[InternetShortcut]\r\nURL=";

TEST_F(ExportTest, FavoritesImport) {
  SetFavorites(fav_);
  WriteBytes("qxinetvz.dat", "");
  const std::string bing = WindowsPath(QX_SAMPLES) + "\\favorites\\Bing.url";
  WriteBytes(fav_ + "\\Bing.url", ReadBytes(bing));
  const std::pair<std::string, std::string> files[] = {
      {"Start.url", kShortcut + "http://start.example/\r\n"}, {"Anders.URL", kShortcut + "ftp://start/\r\n"},
      {"Zwei.url", kShortcut + "http://start.example/\r\n"}, {"Leer.url", "[InternetShortcut]\r\nX=1\r\n"},
      {std::string(200, 'N') + ".url", kShortcut + "http://lang.example/\r\n"}, {"Text.txt", kShortcut + "x\r\n"}};
  for (const auto& [name, content] : files) WriteBytes(fav_ + "\\" + name, content);
  {
    ManagerRun run(folder_.path(), 7);
    ASSERT_TRUE(run.Run({101, 104}, nullptr, nullptr));
  }
  const std::vector<std::string> got = StoredRecords("qxinetvz.dat");
  const std::set<std::string> stored(got.begin(), got.end());
  EXPECT_EQ(got.size(), 5u);
  for (const char* r : {"0|Bing|http://go.microsoft.com/fwlink/p/?LinkId=255142|", "1|Anders.URL|ftp://start/|",
                        "255|Leer||"})
    EXPECT_EQ(stored.count(r), 1u) << r;
  EXPECT_EQ(stored.count("0|" + std::string(127, 'N') + "|http://lang.example/|"), 1u);
  // The second file of one link met the policy, whichever the folder yielded first.
  EXPECT_EQ(stored.count("0|Start|http://start.example/|") + stored.count("0|Zwei|http://start.example/|"), 1u);
}

struct FavoritesExportCase {
  int policy;
  std::vector<int> answers;
  const char* link;  // in Seite.url afterwards
};

class FavoritesExport : public ExportTest, public ::testing::WithParamInterface<FavoritesExportCase> {};

TEST_P(FavoritesExport, WritesShortcutFiles) {
  SetFavorites(fav_);
  const std::string old = "[DEFAULT]\r\nBASEURL=http://eins.example/\r\n";
  WriteBytes(fav_ + "\\Seite.url", old + kShortcut + "http://alt.example/\r\nIconIndex=1\r\n");
  WriteBytes("qxinetvz.dat", RecordsFile({"0|..\\..\\raus|http://raus/|", "1|Dateien|ftp://f/|", "3|Gruppe|news:x|",
                                          "0|Seite|http://eins.example/|", "0|Seite|http://zwei.example/|",
                                          "0|x/../../raus|http://raus/|"}));
  std::vector<std::pair<std::string, int>> boxes;
  for (int answer : GetParam().answers)
    boxes.push_back({"Der Eintrag '" + fav_ + "\\Seite.url' existiert bereits ! \xDC" "berschreiben ?", answer});
  {
    ManagerRun run(folder_.path(), 8);
    ASSERT_TRUE(run.Run({101, GetParam().policy}, nullptr, nullptr, boxes));
  }
  EXPECT_EQ(ReadBytes(fav_ + "\\Seite.url"),
            old + kShortcut + GetParam().link + "\r\nIconIndex=1\r\n");
  EXPECT_EQ(ReadBytes(fav_ + "\\Dateien.url"), kShortcut + "ftp://f/\r\n");
  for (const char* absent : {"\\a\\b\\Gruppe.url", "\\raus.url", "\\a\\raus.url"})
    EXPECT_FALSE(FileExists(folder_.path() + absent)) << absent;
}

INSTANTIATE_TEST_SUITE_P(Policies, FavoritesExport, ::testing::Values(
    FavoritesExportCase{104, {}, "http://alt.example/"},
    FavoritesExportCase{105, {IDNO, IDNO}, "http://alt.example/"},
    FavoritesExportCase{105, {IDYES, IDNO}, "http://eins.example/"},
    FavoritesExportCase{106, {}, "http://zwei.example/"}));

const char kHead[] =
    "<html>\r\n<!-- Erzeugt von QX Internet -->\r\n<head><title>Links aus QX Internet</title></head>\r\n"
    "<body bgcolor=#c0c0c0>\r\n<basefont size=2  face=\"Arial\",\"MS Sans Serife\">\r\n"
    "<font size=3  face=\"Arial\",\"MS Sans Serife\">Links aus QX Internet</font>\r\n"
    "<hr align=center width=100% size=3>\r\n\r\n";
const char kFoot[] = "\r\n<hr align=center width=100% size=3>\r\n</body>\r\n</html>\r\n";

struct HtmlCase {
  std::vector<std::string> records;
  std::vector<int> clicks;
  const char* typed;     // nullptr: no dialog may come; "": cancelled
  std::string document;  // "": no file
};

class HtmlExport : public ExportTest, public ::testing::WithParamInterface<HtmlCase> {};

TEST_P(HtmlExport, WritesTheDocument) {
  SetFavorites("");
  WriteBytes("qxinetvz.dat", RecordsFile(GetParam().records));
  WriteBytes("seite", "altes Dokument");
  {
    ManagerRun run(folder_.path(), 8);
    const std::string path = folder_.path() + "\\seite";
    const char* typed = GetParam().typed;
    ASSERT_TRUE(run.Run(GetParam().clicks, typed ? kHtmlDialog : nullptr, typed && *typed ? path.c_str() : typed));
  }
  EXPECT_EQ(ReadBytes("seite"), GetParam().document.empty() ? "altes Dokument" : GetParam().document);
  EXPECT_FALSE(FileExists("seite.htm"));
}

INSTANTIATE_TEST_SUITE_P(Documents, HtmlExport, ::testing::Values(
    HtmlCase{{"0|Z\xFCge & <b>|http://a/?x=\"1\"&y|", "3|Gruppe|news:x|", "255|Ohne|gibt's|", "1|F|ftp://f/|"},
             {},
             "seite",
             std::string(kHead) + "<br><a href=\"http://a/?x=\"1\"&y\">Z\xFCge & <b></a>\r\n"
                 "<br><a href=\"gibt's\">Ohne</a>\r\n<br><a href=\"ftp://f/\">F</a>\r\n" + kFoot},
    HtmlCase{{"0|W|http://w/|", "1|F|ftp://f/|"}, {110, 111}, "seite", std::string(kHead) + kFoot},
    HtmlCase{{"0|W|http://w/|"}, {}, "", ""},
    HtmlCase{{}, {}, nullptr, ""}));

}  // namespace
