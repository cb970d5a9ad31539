// The catalogue held in memory while an import runs. Every entry is looked
// up, added or overwritten here exactly as one addition or overwrite of the
// data file would do it, and the store writes the result out only now and
// then. The image also keeps what it takes to write the backup an addition
// of the file would have left: the catalogue just before the latest addition.
// No platform calls here.
#pragma once

#include <cstddef>
#include <cstdint>
#include <deque>
#include <string_view>
#include <unordered_map>
#include <utility>
#include <vector>

#include "addressdb/order_tree.h"
#include "addressdb/record.h"

class ImportImage {
 public:
  // Takes a copy of the stored records, in file order.
  ImportImage(const AddressRecord* records, std::size_t count);
  ImportImage(const ImportImage&) = delete;
  ImportImage& operator=(const ImportImage&) = delete;

  std::size_t Count() const { return order_.Count(); }
  // Read it; changes go through Overwrite, which keeps the index and the
  // backup right.
  const AddressRecord& At(std::size_t position) const { return *order_.At(position)->record; }

  // Position of the first record in the current order whose link equals
  // link (a-z equal to A-Z), or -1: the answer of a scan from the front.
  long Find(std::string_view link) const;

  // The record added, then all of them put in name order as a stable sort
  // (the bubble sort's order) does.
  void Add(const AddressRecord& record);

  // Type, name and link of `from` written over the record at position; its
  // description stays, and nothing is re-sorted.
  void Overwrite(std::size_t position, const AddressRecord& from);

  // The records in their current order.
  std::vector<const AddressRecord*> Records() const;
  // The records as they stood just before the latest addition; only
  // meaningful when Added() is true.
  std::vector<const AddressRecord*> BeforeLastAddition() const;
  bool Added() const { return lastAdded_ != nullptr; }

  // What has changed since the caller last wrote it out.
  bool RecordsChanged() const { return recordsChanged_; }
  bool BackupChanged() const { return backupChanged_; }
  void RecordsWritten();
  void BackupWritten() { backupChanged_ = false; }
  // Without an addition no record moves: then the records written out last
  // differ from these only in those overwritten since, which stand here, with
  // their positions, in the order of their first overwrite.
  bool AddedSinceWritten() const { return addedSinceWritten_; }
  std::size_t OverwrittenSinceWritten() const { return unwritten_.size(); }
  std::vector<Placed> Unwritten() const;

 private:
  // A record the latest addition moved, and where it stood before.
  struct Moved {
    OrderNode* node;
    std::size_t before;
  };

  // A record that takes part in the latest addition's placing.
  struct Moving {
    OrderNode* node;
    std::size_t before;  // position before the addition
    std::size_t rest;    // records of the rest that stay in front of it
  };

  static std::uint64_t Key(std::string_view link);
  void SortAll(OrderNode* added);
  void PlaceRenamed(OrderNode* added);

  OrderTree order_;
  // By a hash of the folded link; Find compares the links themselves.
  std::unordered_multimap<std::uint64_t, OrderNode*> byLink_;
  // Records whose name an overwrite changed since the latest addition; the
  // others stay in name order among themselves.
  std::vector<OrderNode*> renamed_;
  std::vector<Moving> moving_;  // kept for its memory
  bool unsorted_ = false;  // the stored file was not in name order

  OrderNode* lastAdded_ = nullptr;
  // What the latest addition moved besides the new record, by position before.
  std::vector<Moved> moved_;
  // Records overwritten since the latest addition, as they were before.
  std::deque<std::pair<OrderNode*, AddressRecord>> overwritten_;

  bool recordsChanged_ = false, backupChanged_ = false, addedSinceWritten_ = false;
  std::vector<OrderNode*> unwritten_;
};
