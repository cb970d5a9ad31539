// Classification and rewriting of imported links.
#include "importexport/imported_link.h"

#include <cstring>

namespace {

// The local category's start as the table spells it, in small letters.
std::string_view LocalPrefix() {
  for (const LinkCategory& c : kLinkCategories)
    if (c.type == LinkType::Local) return c.prefix;
  return {};
}

}  // namespace

bool MatchesAsciiWord(const char* at, const char* word, std::size_t length) {
  return StartsWithIgnoringAsciiCase(std::string_view(at, length), std::string_view(word, length));
}

void ClassifyImportedLink(AddressRecord& record) {
  ClassifyLink(record);
  if (record.type != static_cast<std::uint8_t>(LinkType::Local)) return;
  std::string_view link = FieldText(record.link);
  const std::string_view prefix = LocalPrefix();
  const std::size_t length = prefix.size();
  if (link.size() >= length + 3 && link.substr(length, 3) == "///") {
    // The prefix in small letters followed by the link after "///": the
    // text only gets shorter, so it moves down in the field.
    std::size_t rest = link.size() - length - 3;
    std::memcpy(record.link, prefix.data(), length);
    std::memmove(record.link + length, record.link + length + 3, rest);
    record.link[length + rest] = '\0';
  }
  for (char* c = record.link; *c != '\0'; ++c)
    if (*c == '/') *c = '\\';
}
