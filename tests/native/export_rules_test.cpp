// Favourite file names and paths, the HTML document, and the conversion of
// UTF-8 bookmark files.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "importexport/cp1252.h"
#include "importexport/favorite_names.h"
#include "importexport/html_document.h"

namespace {

TEST(FavoriteNames, FromFileNames) {
  const struct { std::string file, name; } cases[] = {
      {"Start.url", "Start"}, {"Start.URL", "Start.URL"}, {".url", ""},
      {std::string(200, 'n') + ".url", std::string(127, 'n')}};
  for (const auto& c : cases) {
    char name[128];
    std::memset(name, 'x', sizeof name);
    FavoriteNameFromFileName(c.file, name);
    EXPECT_EQ(FieldText(name), c.name) << c.file;
  }
}

TEST(FavoriteNames, ExportPaths) {
  const std::string folder = "C:\\Fav";
  const struct { std::string name; const char* path; } cases[] = {
      {"Start", "C:\\Fav\\Start.url"},
      {"Ordner\\Seite", "C:\\Fav\\Ordner\\Seite.url"},
      {"Mehr...", "C:\\Fav\\Mehr....url"},
      {"..", "C:\\Fav\\...url"},
      {"..\\..\\Windows\\win", nullptr},
      {"a/../../b", nullptr},
      {"a\\. .\\b", nullptr},
      {"X:win", nullptr},
      {"\\Windows\\win", nullptr},
      {"/etc/x", nullptr},
      {std::string(259 - folder.size() - 5, 'n'), "fits exactly"},
      {std::string(259 - folder.size() - 4, 'n'), nullptr}};
  for (const auto& c : cases) {
    char path[PathBufferSize];
    const bool ok = FavoriteExportPath(folder, c.name, path);
    EXPECT_EQ(ok, c.path != nullptr) << c.name;
    if (!ok) EXPECT_STREQ(path, "");
    else if (std::strcmp(c.path, "fits exactly") == 0) EXPECT_EQ(std::strlen(path), 259u);
    else EXPECT_STREQ(path, c.path);
  }
  char path[PathBufferSize];
  EXPECT_TRUE(FavoriteFilePath(std::string(250, 'f'), "abcd.url", path));
  EXPECT_FALSE(FavoriteFilePath(std::string(250, 'f'), "abcde.url", path));
}

AddressRecord Record(std::uint8_t type, const char* name, const char* link) {
  AddressRecord r{};
  r.type = type;
  SetFieldText(r.name, name);
  SetFieldText(r.link, link);
  return r;
}

std::string Document(const std::vector<AddressRecord>& records, std::uint8_t shownType,
                     std::vector<std::size_t>* positions = nullptr) {
  std::string out;
  HtmlDocumentSteps steps;
  steps.writeLine = [&](std::string_view line) { out.append(line).append("\r\n"); };
  steps.passes = [&](std::uint8_t type) { return type == shownType || type == 255; };
  steps.atRecord = [&](std::size_t i) { if (positions) positions->push_back(i); };
  steps.afterEntries = [&] { out += "|"; };
  WriteHtmlDocument([&](std::size_t i) -> const AddressRecord& { return records[i]; },
                    records.size(), steps);
  return out;
}

const char kHead[] =
    "<html>\r\n<!-- Erzeugt von QX Internet -->\r\n"
    "<head><title>Links aus QX Internet</title></head>\r\n<body bgcolor=#c0c0c0>\r\n"
    "<basefont size=2  face=\"Arial\",\"MS Sans Serife\">\r\n"
    "<font size=3  face=\"Arial\",\"MS Sans Serife\">Links aus QX Internet</font>\r\n"
    "<hr align=center width=100% size=3>\r\n\r\n";
const char kFoot[] = "|\r\n<hr align=center width=100% size=3>\r\n</body>\r\n</html>\r\n";

TEST(HtmlDocument, LinesByteForByte) {
  const std::vector<AddressRecord> records = {
      Record(1, "Dateien", "ftp://f/"), Record(0, "Z\xFCge & <b>", "http://a/?x=\"1\"&y"),
      Record(255, "Ohne", "gibt's"), Record(0, "Beta", "http://b/")};
  std::vector<std::size_t> positions;
  EXPECT_EQ(Document(records, 0, &positions),
            std::string(kHead) +
                "<br><a href=\"http://a/?x=\"1\"&y\">Z\xFCge & <b></a>\r\n"
                "<br><a href=\"gibt's\">Ohne</a>\r\n<br><a href=\"http://b/\">Beta</a>\r\n" + kFoot);
  EXPECT_EQ(positions, (std::vector<std::size_t>{0, 1, 2, 3}));
  // Nothing passes: the empty line of the head and the one after the entries meet.
  EXPECT_EQ(Document({Record(1, "F", "ftp://f/")}, 0), std::string(kHead) + kFoot);
}

TEST(Utf8Files, Declaration) {
  const struct { const char* data; bool utf8; } cases[] = {
      {"\xEF\xBB\xBF<DL>", true},
      {"<META HTTP-EQUIV=\"Content-Type\" CONTENT=\"text/html; charset=UTF-8\">", true},
      {"<meta content='text/html; Charset=utf-8'>", true},
      {"<meta charset=\"utf-8\">", true},
      {"<META CONTENT=\"text/html; charset=windows-1252\">", false},
      {"<A HREF=\"x\" LAST_CHARSET=\"UTF-8\">", false},
      {"<meta x>charset=UTF-8", false},
      {"<meta charset=UTF-", false}};
  for (const auto& c : cases) EXPECT_EQ(DeclaresUtf8(c.data), c.utf8) << c.data;
}

TEST(Utf8Files, ConversionToWindows1252) {
  const struct { std::string in, out; } cases[] = {
      {"\xEF\xBB\xBF" "Gr\xC3\xBC\xC3\x9F" "e", "Gr\xFC\xDF" "e"},
      {"\xE2\x82\xAC \xE2\x80\x99 \xC5\xB8 \xC2\xA0", "\x80 \x92 \x9F \xA0"},
      {"\xEF\xBC\x82 \xEF\xBC\xBC \xE2\x88\x95 \xC2\x81 \xF0\x9F\x98\x80", "? ? ? ? ?"},
      {"\xC3 \xE2\x82 \xC0\xAF \xED\xA0\x80 \xF4\x90\x80\x80 \xFF", "? ? ?? ??? ???? ?"},
      {"a\xEF\xBB\xBF", "a?"},
      {"x\xE2\x82", "x?"}};
  for (const auto& c : cases) EXPECT_EQ(Utf8ToCp1252(c.in), c.out) << c.in;
}

}  // namespace
