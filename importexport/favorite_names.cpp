// The name rule of shortcut files and the paths formed from them.
#include "importexport/favorite_names.h"

#include <string>

#include "addressdb/record.h"
#include "common/contained_name.h"

namespace {

char16_t Upper(char16_t c) {
  return c >= u'a' && c <= u'z' ? static_cast<char16_t>(c - u'a' + u'A') : c;
}

// The platform takes CON, NUL, COM1 ... for the devices in any case, whatever
// extension or stream follows, with blanks before it; COM and LPT also with
// 0 and with a superscript digit. Writing such a "file" reaches the device.
bool IsDeviceName(std::u16string_view component) {
  std::u16string_view stem = component.substr(0, component.find_first_of(u".:"));
  while (!stem.empty() && stem.back() == u' ') stem.remove_suffix(1);
  std::u16string upper;
  for (char16_t c : stem) upper += Upper(c);
  for (const char16_t* device : {u"CON", u"PRN", u"AUX", u"NUL", u"CONIN$", u"CONOUT$"})
    if (upper == device) return true;
  if (upper.size() != 4 || (upper.compare(0, 3, u"COM") != 0 && upper.compare(0, 3, u"LPT") != 0))
    return false;
  const char16_t digit = upper[3];
  return (digit >= u'0' && digit <= u'9') || digit == u'\u00B9' || digit == u'\u00B2' ||
         digit == u'\u00B3';
}

// A colon names a drive or a stream of another file; a control character
// ends or adds a line of the shortcut file, or is no file name at all.
bool HasForbiddenCharacter(std::string_view name) {
  for (char c : name) {
    const unsigned char u = static_cast<unsigned char>(c);
    if (c == ':' || u < 0x20 || u == 0x7F) return true;
  }
  return false;
}

// A name that would lead out of the folder, to a device or to a stream. The
// last component gets ".url" behind it, so a last ".." names a file.
bool IsUnsafeName(std::string_view name, std::u16string_view fileSystemName) {
  return HasForbiddenCharacter(name) || !StaysInFolder(std::string(name) + ".url") ||
         AnyComponent(fileSystemName, IsDeviceName);
}

bool Join(char (&path)[PathBufferSize], std::string_view a, std::string_view b,
          std::string_view c, std::string_view d) {
  path[0] = '\0';
  const std::size_t total = a.size() + b.size() + c.size() + d.size();
  if (total >= PathBufferSize) return false;
  std::size_t n = 0;
  for (std::string_view part : {a, b, c, d})
    for (char ch : part) path[n++] = ch;
  path[n] = '\0';
  return true;
}

}  // namespace

void FavoriteNameFromFileName(std::string_view fileName, char (&name)[128]) {
  constexpr std::string_view kExtension = ".url";
  if (fileName.size() >= kExtension.size() &&
      fileName.substr(fileName.size() - kExtension.size()) == kExtension)
    fileName.remove_suffix(kExtension.size());
  SetFieldText(name, fileName);
}

bool FavoriteExportPath(std::string_view folder, std::string_view name,
                        std::u16string_view fileSystemName, char (&path)[PathBufferSize]) {
  if (IsUnsafeName(name, fileSystemName)) {
    path[0] = '\0';
    return false;
  }
  return Join(path, folder, "\\", name, ".url");
}

bool FavoriteLinkWritable(std::string_view link) {
  return link.find_first_of("\r\n") == std::string_view::npos;
}
