// The name rule of shortcut files and the paths formed from them.
#include "importexport/favorite_names.h"

#include <string>

#include "addressdb/record.h"
#include "common/contained_name.h"

namespace {

// A name that would lead out of the folder, to a device or to a stream. The
// last component gets ".url" behind it, so a last ".." names a file.
bool IsUnsafeName(std::string_view name, std::u16string_view fileSystemName) {
  return HasForbiddenCharacter(name) || !StaysInFolder(std::string(name) + ".url") ||
         AnyComponent(fileSystemName, IsDeviceName<char16_t>);
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
