// The four conversions between the catalogue and outside formats, started by
// the Import and Export pages. Each reports its own failures.
#pragma once
#include <windows.h>

#include <string>
#include <string_view>

// Shortcut files in the favourites folder: the number matching "*.url", -1
// without a favourites folder.
int CountFavoriteFiles();
bool ImportFavorites(HWND page, int policy);
bool ExportFavorites(HWND page, int policy);

bool ImportBookmarks(HWND page, int policy);
bool ImportHotlist(HWND page, int policy);

bool ExportHtml(HWND page);
// The document's file, written in pieces of about 64 KB; the outcome of the
// writes is not examined.
class HtmlFile {
 public:
  explicit HtmlFile(HANDLE file) : file_(file) {}
  void Flush();

 private:
  friend void WriteHtmlLine(HtmlFile& file, std::string_view text);
  HANDLE file_;
  std::string pending_;
};
// Writes the text, if any, and CR LF.
void WriteHtmlLine(HtmlFile& file, std::string_view text);
