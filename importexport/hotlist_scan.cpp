// Scanning a hotlist held whole in memory.
#include "importexport/hotlist_scan.h"

#include <array>
#include <cstring>

#include "importexport/imported_link.h"
#include "importexport/scan_text.h"

namespace {

constexpr char kCr = '\r';

bool IsMark(std::string_view data, std::size_t i) {
  return i + 4 <= data.size() && MatchesAsciiWord(data.data() + i, "Item", 4);
}

// The end of the run of blanks at a position. It keeps the last run it
// walked: marks close together ask about the same long run, which is walked
// once.
class BlankRuns {
 public:
  explicit BlankRuns(std::string_view data) : data_(data) {}
  std::size_t Skip(std::size_t p) {
    if (p >= start_ && p < end_) return end_;
    const std::size_t from = p;
    while (p < data_.size() && data_[p] == ' ') ++p;
    if (p > from) start_ = from, end_ = p;  // an empty run is no run worth keeping
    return p;
  }

 private:
  std::string_view data_;
  std::size_t start_ = 0, end_ = 0;
};

}  // namespace

bool IsHotlistFileTitle(std::string_view title) {
  // Exactly these four spellings: the others (".hOt", ...) are not hotlists.
  static constexpr std::array<std::string_view, 4> kExtensions = {".hot", ".Hot", ".HOt", ".HOT"};
  for (std::string_view e : kExtensions)
    if (title.find(e) != std::string_view::npos) return true;
  return false;
}

bool IsHotlist(std::string_view data) {
  return data.size() >= 7 && MatchesAsciiWord(data.data(), "Hotlist", 7);
}

std::size_t CountHotlistMarks(std::string_view data) {
  std::size_t count = 0;
  for (std::size_t i = 0; i + 4 <= data.size(); ++i)
    if (IsMark(data, i)) ++count;
  return count;
}

void ScanHotlist(std::string_view data, AddressRecord& entry,
                 const std::function<void(std::size_t handled)>& store) {
  std::size_t handled = 0;
  BlankRuns blanks(data);
  for (std::size_t i = 0; i + 4 <= data.size(); ++i) {
    if (!IsMark(data, i)) continue;
    // Two characters after "Item" are passed over unexamined.
    std::size_t p = blanks.Skip(i + 6);
    const std::size_t nameLength = RunUntil(data, p, kCr, 128);
    std::memset(&entry, 0, sizeof entry);
    SetFieldText(entry.name, Piece(data, p, nameLength));

    // The CR and the character after it end the name line.
    p = blanks.Skip(p + nameLength + 2);
    const std::size_t linkLength = RunUntil(data, p, kCr, 256);
    SetFieldText(entry.link, Piece(data, p, linkLength));

    ClassifyImportedLink(entry);
    store(++handled);
  }
}
