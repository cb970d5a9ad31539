// Paths of favourite files, and the conversion of UTF-8 bookmark files and of wide file names.
#include <gtest/gtest.h>

#include <string>

#include "importexport/cp1252.h"
#include "importexport/favorite_names.h"

// A link with a line break, CR or LF alone included, would add a line of its own to
// the shortcut file (the Windows tests write links with CR LF).
TEST(FavoritePaths, StayInTheFolderAndInTheBuffer) {
  const std::string folder = "C:\\Fav";  // 6 characters: 248 for the name fill 259
  const std::string accepted[] = {"Ordner\\Seite", "Mehr...", "..", "CONSOLE", "COM10", "x.con", "COM\xB4",
                                  "LPT\xB9" "0", std::string(248, 'n')};
  const std::string refused[] = {"..\\..\\Windows\\win", "a/../../b", "a\\. .\\b", "a\\...\\b", "X:win",
      "\\Windows\\win", "/etc/x", "CON", "nul.txt", "Com1 .x", "a\\lpt9\\b", "CONOUT$", "CONIN$", "aux ", "CON:", "NUL:", "COM1:", "LPT1:x",
      "CON :", "cOm\xB9", "COM\xB2.txt", "a\\com\xB3 \\b", "LPT\xB9", "LPT\xB2", "lpt\xB3 .x", "COM0", "lpt0.txt",
      "a\\Com0 \\b", "a:b", "desktop.ini:x", ":b", "a\r\nIconFile=x", "a\tb", "a\x7F", std::string(249, 'n')};
  char path[PathBufferSize];
  for (const std::string& name : accepted)
    EXPECT_TRUE(FavoriteExportPath(folder, name, Cp1252ToUtf16(name), path) &&
                path == folder + "\\" + name + ".url") << name << " gave " << path;
  // A refused name leaves an empty path.
  for (const std::string& name : refused)
    EXPECT_FALSE(FavoriteExportPath(folder, name, Cp1252ToUtf16(name), path) || *path) << name;
  for (const char* link : {"a\rIconFile=x", "a\nIconFile=x"}) EXPECT_FALSE(FavoriteLinkWritable(link)) << link;
  // Devices as the file system sees the name: another code page makes other bytes superscripts.
  EXPECT_FALSE(FavoriteExportPath(folder, "a\\COMx", u"a\\COM\u00B9", path));
}

TEST(Utf8Files, DeclarationAndConversion) {
  // A file of unclosed "<meta charset=", which would cost quadratic work, is a seed of the fuzz target.
  const struct { std::string data; bool utf8; } cases[] = {
      {"\xEF\xBB\xBF<DL>", true}, {"<meta content='text/html' Charset='utf-8'>", true},
      {"<meta charset=\"utf-8\">", true}, {"<META CONTENT=\"text/html; charset=windows-1252\">", false},
      {"<A HREF=\"x\" LAST_CHARSET=\"UTF-8\">", false}, {"<meta x>charset=UTF-8", false},
      {"<meta charset=UTF-", false}, {"<meta charset=x <meta charset=utf-8>", true}};
  for (const auto& c : cases) EXPECT_EQ(DeclaresUtf8(c.data), c.utf8) << c.data.substr(0, 60);
  // Converted to Windows-1252, bytes of a bookmark file and wide file names alike: no look-alikes.
  const struct { std::string in, out; } conversions[] = {
      {"\xEF\xBB\xBF" "Gr\xC3\xBC\xC3\x9F" "e \xC3\xBF", "Gr\xFC\xDF" "e \xFF"}, {"a\xEF\xBB\xBF", "a?"},
      {"\xE2\x82\xAC \xE2\x80\x99 \xC5\xB8 \xC2\xA0", "\x80 \x92 \x9F \xA0"}, {"x\xE2\x82", "x?"},
      // Full-width quote and backslash, division slash, a C1 control, an emoji.
      {"\xEF\xBC\x82 \xEF\xBC\xBC \xE2\x88\x95 \xC2\x81 \xF0\x9F\x98\x80", "? ? ? ? ?"},
      {"\xC3 \xE2\x82 \xC0\xAF \xE0\x80\xAF \xED\xA0\x80 \xF4\x90\x80\x80 \xFF", "? ? ?? ??? ??? ???? ?"}};
  for (auto c : conversions) EXPECT_EQ(c.in.substr(0, Utf8ToCp1252(&c.in[0], c.in.size())), c.out) << c.out;
  EXPECT_EQ(Utf16ToCp1252(u"Gr\u00FC\u00DF \u20AC\u0178 a\uFF3Cb \u2215\u0081 \U0001F600|\xD800x|\xDC00"),
            "Gr\xFC\xDF \x80\x9F a?b ?? ?|?x|?");
  EXPECT_EQ(Cp1252ToUtf16("\x80\x9F\xFF"), u"\u20AC\u0178\u00FF") << "a favourite's name, as its file is named";
}
