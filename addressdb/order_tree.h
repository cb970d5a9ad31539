// The records of an import in file order, held as a treap: a binary tree in
// that order whose subtree sizes turn a position into a record and a record
// (through its parent links) into its position in log n steps, and whose
// random priorities keep it balanced whatever the order of insertions.
// No platform calls here.
#pragma once

#include <cstddef>
#include <cstdint>
#include <deque>
#include <memory>
#include <random>
#include <vector>

#include "addressdb/record.h"

// Small, so that a walk through the tree touches few cache lines; the
// record lies elsewhere. The first bytes of the name are kept here as well:
// most comparisons of a search end in them without a look at the record.
struct OrderNode {
  std::uint64_t head[2] = {0, 0};  // name bytes 0-15, big-endian, zero behind its end
  OrderNode* left = nullptr;
  OrderNode* right = nullptr;
  std::uint32_t size = 1;  // at most kMostRecords
  std::uint32_t priority = 0;
  AddressRecord* record;
  OrderNode* parent = nullptr;
  // Kept here for the image, which would otherwise need a map per mark.
  bool renamed = false;  // its name changed since the latest addition
  bool moved = false;    // the latest addition moved it
  bool unwritten = false;  // overwritten since the records were last written out
  const AddressRecord* beforeOverwrite = nullptr;  // as it was at that addition
};

// The name order of CompareNames, from the heads where they differ.
int CompareNodeNames(const OrderNode& a, const OrderNode& b);
// Takes the head from the record's name again, after it has changed.
void SetNameHead(OrderNode& node);

class OrderTree {
 public:
  OrderTree() = default;
  OrderTree(const OrderTree&) = delete;
  OrderTree& operator=(const OrderTree&) = delete;

  // A node holding a copy of record, not yet in the order; neither moves in
  // memory, and both live as long as the tree.
  OrderNode* Make(const AddressRecord& record);

  std::size_t Count() const { return Size(root_); }
  OrderNode* At(std::size_t position) const;
  std::size_t PositionOf(const OrderNode* node) const;
  void Insert(std::size_t position, OrderNode* node);
  // In an order sorted by name: node put behind every record whose name is
  // not greater, where a stable sort puts a record added at the end.
  void InsertByName(OrderNode* node);
  void Erase(OrderNode* node);

  // In an order sorted by name: how many records come before name's, counting
  // those of an equal name too when andEqual is set.
  std::size_t CountBefore(const OrderNode& name, bool andEqual) const;

  std::vector<OrderNode*> InOrder() const;
  // The nodes given, all of them made here, become the order.
  void Rebuild(const std::vector<OrderNode*>& order);

 private:
  static std::size_t Size(const OrderNode* n) { return n ? n->size : 0; }
  static void Update(OrderNode* n);
  static OrderNode* Merge(OrderNode* a, OrderNode* b);
  static void Split(OrderNode* t, std::size_t count, OrderNode*& first, OrderNode*& rest);
  static void SplitByName(OrderNode* t, const OrderNode& name, OrderNode*& first, OrderNode*& rest);
  void SetRoot(OrderNode* root);

  // In blocks of many records: a deque would give each record a block.
  static constexpr std::size_t kBlock = 1024;
  std::vector<std::unique_ptr<AddressRecord[]>> records_;
  std::size_t usedInBlock_ = kBlock;
  std::deque<OrderNode> nodes_;
  OrderNode* root_ = nullptr;
  std::minstd_rand random_;
};
