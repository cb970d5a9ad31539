// Classification and rewriting of imported links.
#include "importexport/imported_link.h"

#include <cstring>

namespace {

char Lower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

}  // namespace

bool MatchesAsciiWord(const char* at, const char* word, std::size_t length) {
  for (std::size_t i = 0; i < length; ++i)
    if (Lower(at[i]) != Lower(word[i])) return false;
  return true;
}

void ClassifyImportedLink(AddressRecord& record) {
  ClassifyLink(record);
  if (record.type != static_cast<std::uint8_t>(LinkType::Local)) return;
  std::string_view link = FieldText(record.link);
  if (link.size() >= 8 && link.substr(5, 3) == "///") {
    // "file:" in small letters followed by the link from its ninth
    // character: the text only gets shorter, so it moves down in the field.
    std::size_t rest = link.size() - 8;
    std::memcpy(record.link, "file:", 5);
    std::memmove(record.link + 5, record.link + 8, rest);
    record.link[5 + rest] = '\0';
  }
  for (char* c = record.link; *c != '\0'; ++c)
    if (*c == '/') *c = '\\';
}
