// Scanning a bookmark file held whole in memory, byte for byte.
#include "importexport/bookmark_scan.h"

#include <cstring>

#include "importexport/imported_link.h"
#include "importexport/scan_text.h"

namespace {

constexpr char kMark[] = "HREF=";
constexpr std::size_t kMarkLength = 5;

bool IsMark(std::string_view data, std::size_t i) {
  return i + 9 < data.size() && MatchesAsciiWord(data.data() + i, kMark, kMarkLength);
}

// The first ">" at or after a position, or the end of the data. It keeps the
// last answer: the marks come in file order and each asks from at most 256
// bytes behind the previous question, so a file of marks without ">" is
// searched once, not once per mark.
class NextClose {
 public:
  explicit NextClose(std::string_view data) : data_(data) {}
  std::size_t From(std::size_t from) {
    if (asked_ <= found_ && from >= asked_ && from <= found_) return found_;
    if (from < asked_ && asked_ <= found_) {
      const std::size_t before = data_.substr(from, asked_ - from).find('>');
      if (before != std::string_view::npos) return from + before;
      return found_;
    }
    asked_ = from;
    found_ = from < data_.size() ? data_.find('>', from) : data_.size();
    if (found_ == std::string_view::npos) found_ = data_.size();
    return found_;
  }

 private:
  std::string_view data_;
  std::size_t asked_ = 1, found_ = 0;  // nothing asked yet
};

}  // namespace

bool IsBookmarkFileTitle(std::string_view title) {
  static constexpr char kTitle[] = "bookmark.htm";
  return title.size() == sizeof kTitle - 1 && MatchesAsciiWord(title.data(), kTitle, title.size());
}

std::size_t CountBookmarkMarks(std::string_view data) {
  std::size_t count = 0;
  for (std::size_t i = 0; i + 9 < data.size(); ++i)
    if (IsMark(data, i)) ++count;
  return count;
}

void ScanBookmarks(std::string_view data, AddressRecord& entry,
                   const std::function<void(std::size_t handled)>& store) {
  std::size_t handled = 0;
  NextClose close(data);
  for (std::size_t i = 0; i + 9 < data.size(); ++i) {
    if (!IsMark(data, i)) continue;
    // The character after "HREF=", normally the opening quote, is not examined.
    const std::size_t p = i + 6;
    const std::size_t linkLength = RunUntil(data, p, '"', 256);
    std::memset(&entry, 0, sizeof entry);
    SetFieldText(entry.link, Piece(data, p, linkLength));

    const std::size_t closing = close.From(p + linkLength);
    const std::size_t q = closing < data.size() ? closing + 1 : data.size();
    const std::size_t nameLength = RunUntil(data, q, '<', 128);
    SetFieldText(entry.name, Piece(data, q, nameLength));

    ClassifyImportedLink(entry);
    store(++handled);
  }
}
