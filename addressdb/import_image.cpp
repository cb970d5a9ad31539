// The in-memory catalogue of an import: lookup by an index of folded links,
// additions placed by binary search, and the undo that gives the backup.
#include "addressdb/import_image.h"

#include <algorithm>
#include <cstring>
#include <utility>

namespace {

// type, name and link: what an overwrite replaces.
constexpr std::size_t kOverwrittenBytes = 1 + 128 + 256;

bool NameLess(const AddressRecord* a, const AddressRecord* b) { return CompareNames(*a, *b) < 0; }

}  // namespace

ImportImage::ImportImage(const AddressRecord* records, std::size_t count) {
  order_.reserve(count);
  for (std::size_t i = 0; i < count; ++i) {
    records_.push_back(records[i]);
    AddressRecord* r = &records_.back();
    order_.push_back(r);
    byLink_[Key(FieldText(r->link))].push_back(r);
    if (i > 0 && NameLess(r, order_[i - 1])) unsorted_ = true;
  }
}

std::string ImportImage::Key(std::string_view link) {
  std::string key(link);
  for (char& c : key)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  return key;
}

long ImportImage::PositionOf(const AddressRecord* record) const {
  auto begin = order_.begin(), end = order_.end();
  if (InNameOrder()) {
    // Among the records of the same name, which are few.
    begin = std::lower_bound(order_.begin(), order_.end(), record, NameLess);
    end = std::upper_bound(begin, order_.end(), record, NameLess);
  }
  auto at = std::find(begin, end, record);
  return at == end ? -1 : static_cast<long>(at - order_.begin());
}

long ImportImage::Find(std::string_view link) const {
  auto found = byLink_.find(Key(link));
  if (found == byLink_.end()) return -1;
  long first = -1;
  for (const AddressRecord* r : found->second) {
    const long p = PositionOf(r);
    if (p >= 0 && (first < 0 || p < first)) first = p;
  }
  return first;
}

void ImportImage::Add(const AddressRecord& record) {
  records_.push_back(record);
  AddressRecord* added = &records_.back();
  byLink_[Key(FieldText(added->link))].push_back(added);

  lastAdded_ = added;
  beforeOverwrite_.clear();
  recordsChanged_ = backupChanged_ = true;
  if (InNameOrder()) {
    orderBeforeAdd_.clear();
    // Behind every record of an equal name, as the stable sort leaves it.
    order_.insert(std::upper_bound(order_.begin(), order_.end(), added, NameLess), added);
  } else if (unsorted_) {
    orderBeforeAdd_ = order_;
    order_.push_back(added);
    std::stable_sort(order_.begin(), order_.end(), NameLess);
    unsorted_ = false;
    displaced_.clear();
  } else {
    orderBeforeAdd_ = order_;
    order_.push_back(added);
    displaced_.insert(added);
    MergeDisplaced();
  }
}

// The stable sort of a list in name order but for a few records: take those
// out, order them by name and old position, and merge them back in, so an
// import that renames as it goes costs one pass per addition, not a sort.
void ImportImage::MergeDisplaced() {
  using Placed = std::pair<AddressRecord*, std::size_t>;  // record, old position
  std::vector<Placed> rest, moved;
  rest.reserve(order_.size());
  for (std::size_t i = 0; i < order_.size(); ++i)
    (displaced_.count(order_[i]) ? moved : rest).emplace_back(order_[i], i);
  auto before = [](const Placed& a, const Placed& b) {
    const int c = CompareNames(*a.first, *b.first);
    return c < 0 || (c == 0 && a.second < b.second);
  };
  std::sort(moved.begin(), moved.end(), before);
  std::vector<Placed> merged(order_.size());
  std::merge(rest.begin(), rest.end(), moved.begin(), moved.end(), merged.begin(), before);
  for (std::size_t i = 0; i < merged.size(); ++i) order_[i] = merged[i].first;
  displaced_.clear();
}

void ImportImage::Overwrite(std::size_t position, const AddressRecord& from) {
  AddressRecord* r = order_[position];
  if (lastAdded_ != nullptr) beforeOverwrite_.emplace(r, *r);  // keeps the first old state
  const std::string oldKey = Key(FieldText(r->link));
  const bool renamed = FieldText(r->name) != FieldText(from.name);
  std::memcpy(r, &from, kOverwrittenBytes);
  recordsChanged_ = true;
  if (renamed && !unsorted_) displaced_.insert(r);

  const std::string newKey = Key(FieldText(r->link));
  if (newKey != oldKey) {
    std::vector<AddressRecord*>& old = byLink_[oldKey];
    old.erase(std::find(old.begin(), old.end(), r));
    if (old.empty()) byLink_.erase(oldKey);
    byLink_[newKey].push_back(r);
  }
}

std::vector<const AddressRecord*> ImportImage::Records() const {
  return std::vector<const AddressRecord*>(order_.begin(), order_.end());
}

std::vector<const AddressRecord*> ImportImage::BeforeLastAddition() const {
  std::vector<const AddressRecord*> before;
  const std::vector<AddressRecord*>& order = orderBeforeAdd_.empty() ? order_ : orderBeforeAdd_;
  before.reserve(order.size());
  for (const AddressRecord* r : order) {
    if (r == lastAdded_) continue;
    auto old = beforeOverwrite_.find(r);
    before.push_back(old == beforeOverwrite_.end() ? r : &old->second);
  }
  return before;
}
