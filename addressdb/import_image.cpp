// The in-memory catalogue of an import: the file order as a tree with
// positions, an index of folded links, additions that move only the new
// record and those renamed since the one before, and the undo that gives the
// backup.
#include "addressdb/import_image.h"

#include <algorithm>
#include <cstring>

namespace {

// type, name and link: what an overwrite replaces.
constexpr std::size_t kOverwrittenBytes = 1 + 128 + 256;

bool NameLess(const OrderNode* a, const OrderNode* b) { return CompareNodeNames(*a, *b) < 0; }

}  // namespace

ImportImage::ImportImage(const AddressRecord* records, std::size_t count) {
  std::vector<OrderNode*> order;
  order.reserve(count);
  byLink_.reserve(count);
  for (std::size_t i = 0; i < count; ++i) {
    OrderNode* n = order_.Make(records[i]);
    byLink_.emplace(Key(FieldText(n->record->link)), n);
    if (i > 0 && NameLess(n, order.back())) unsorted_ = true;
    order.push_back(n);
  }
  order_.Rebuild(order);
}

// FNV-1a over the link with a-z for A-Z: equal links, equal keys.
std::uint64_t ImportImage::Key(std::string_view link) {
  std::uint64_t key = 14695981039346656037u;
  for (char c : link) key = (key ^ static_cast<unsigned char>(AsciiLower(c))) * 1099511628211u;
  return key;
}

long ImportImage::Find(std::string_view link) const {
  long first = -1;
  for (auto [at, end] = byLink_.equal_range(Key(link)); at != end; ++at) {
    const OrderNode* n = at->second;
    if (!LinksEqual(FieldText(n->record->link), link)) continue;
    const long p = static_cast<long>(order_.PositionOf(n));
    if (first < 0 || p < first) first = p;
  }
  return first;
}

void ImportImage::Add(const AddressRecord& record) {
  OrderNode* added = order_.Make(record);
  byLink_.emplace(Key(FieldText(added->record->link)), added);

  for (const Moved& m : moved_) m.node->moved = false;
  moved_.clear();
  lastAdded_ = added;
  for (auto& o : overwritten_) o.first->beforeOverwrite = nullptr;
  overwritten_.clear();
  recordsChanged_ = backupChanged_ = addedSinceWritten_ = true;
  if (unsorted_) {
    SortAll(added);
  } else {
    PlaceRenamed(added);
  }
}

// The first addition to a file stored out of name order sorts it whole.
void ImportImage::SortAll(OrderNode* added) {
  std::vector<OrderNode*> order = order_.InOrder();
  moved_.reserve(order.size());
  for (std::size_t i = 0; i < order.size(); ++i) {
    order[i]->moved = true;
    moved_.push_back({order[i], i});
  }
  order.push_back(added);
  std::stable_sort(order.begin(), order.end(), NameLess);
  order_.Rebuild(order);
  unsorted_ = false;
}

// The stable sort of an order that is in name order but for the renamed
// records and the new one at the end. With those taken out the rest is
// sorted, and a record of an equal name stays in front of a moving one
// exactly when it stood in front of it: the ones among the first
// `before - (moving ones in front of it)` of the rest. The moving records
// then go back in by name and former position; the new one alone goes in
// behind every record of its name.
void ImportImage::PlaceRenamed(OrderNode* added) {
  if (renamed_.empty()) {
    order_.InsertByName(added);
    return;
  }
  std::vector<Moving>& moving = moving_;
  moving.clear();
  for (OrderNode* n : renamed_) {
    n->renamed = false;
    moving.push_back({n, order_.PositionOf(n), 0});
  }
  renamed_.clear();
  std::sort(moving.begin(), moving.end(),
            [](const Moving& a, const Moving& b) { return a.before < b.before; });
  for (const Moving& m : moving) {
    m.node->moved = true;
    moved_.push_back({m.node, m.before});
    order_.Erase(m.node);
  }
  moving.push_back({added, order_.Count() + moving.size(), 0});

  for (std::size_t i = 0; i < moving.size(); ++i) {
    const OrderNode& name = *moving[i].node;
    const std::size_t to = order_.CountBefore(name, true), stays = moving[i].before - i;
    // One that stood behind every record of its name (the new one always
    // does) needs no second search.
    moving[i].rest = stays >= to ? to : std::max(order_.CountBefore(name, false), stays);
  }
  std::sort(moving.begin(), moving.end(), [](const Moving& a, const Moving& b) {
    const int c = CompareNodeNames(*a.node, *b.node);
    return c < 0 || (c == 0 && a.before < b.before);
  });
  for (std::size_t i = 0; i < moving.size(); ++i) order_.Insert(moving[i].rest + i, moving[i].node);
}

void ImportImage::Overwrite(std::size_t position, const AddressRecord& from) {
  OrderNode* n = order_.At(position);
  AddressRecord& r = *n->record;
  if (lastAdded_ != nullptr && n->beforeOverwrite == nullptr) {
    overwritten_.emplace_back(n, r);
    n->beforeOverwrite = &overwritten_.back().second;
  }
  const std::uint64_t oldKey = Key(FieldText(r.link));
  const bool renamed = FieldText(r.name) != FieldText(from.name);
  std::memcpy(&r, &from, kOverwrittenBytes);
  SetNameHead(*n);
  recordsChanged_ = true;
  if (!n->unwritten) {
    n->unwritten = true;
    unwritten_.push_back(n);
  }
  if (renamed && !unsorted_ && !n->renamed) {
    n->renamed = true;
    renamed_.push_back(n);
  }

  const std::uint64_t newKey = Key(FieldText(r.link));
  if (newKey != oldKey) {
    auto at = byLink_.equal_range(oldKey).first;
    while (at->second != n) ++at;
    byLink_.erase(at);
    byLink_.emplace(newKey, n);
  }
}

void ImportImage::RecordsWritten() {
  recordsChanged_ = addedSinceWritten_ = false;
  for (OrderNode* n : unwritten_) n->unwritten = false;
  unwritten_.clear();
}

std::vector<Placed> ImportImage::Unwritten() const {
  std::vector<Placed> records;
  records.reserve(unwritten_.size());
  for (const OrderNode* n : unwritten_) records.push_back({static_cast<long>(order_.PositionOf(n)), n->record});
  return records;
}

std::vector<const AddressRecord*> ImportImage::Records() const {
  std::vector<const AddressRecord*> records;
  records.reserve(order_.Count());
  for (const OrderNode* n : order_.InOrder()) records.push_back(n->record);
  return records;
}

// The current order without the records the latest addition moved, which
// go back to where they stood, with their bytes from before any overwrite.
std::vector<const AddressRecord*> ImportImage::BeforeLastAddition() const {
  std::vector<const AddressRecord*> before;
  before.reserve(order_.Count());
  auto put = [&](const OrderNode* n) {
    before.push_back(n->beforeOverwrite ? n->beforeOverwrite : n->record);
  };
  auto next = moved_.begin();
  for (const OrderNode* n : order_.InOrder()) {
    if (n == lastAdded_ || n->moved) continue;
    for (; next != moved_.end() && next->before == before.size(); ++next) put(next->node);
    put(n);
  }
  for (; next != moved_.end(); ++next) put(next->node);
  return before;
}
