// The treap of the import's file order: split and merge by size, parents
// set wherever a child pointer changes.
#include "addressdb/order_tree.h"

void SetNameHead(OrderNode& node) {
  const std::string_view name = FieldText(node.record->name);
  node.head[0] = node.head[1] = 0;
  for (std::size_t i = 0; i < 16 && i < name.size(); ++i)
    node.head[i / 8] |= std::uint64_t(static_cast<unsigned char>(name[i])) << (56 - 8 * (i % 8));
}

// A name has no NUL inside, so zeros behind its end sort a shorter name first,
// as CompareNames does; equal heads with a zero in the last byte are equal
// names.
int CompareNodeNames(const OrderNode& a, const OrderNode& b) {
  for (int i = 0; i < 2; ++i)
    if (a.head[i] != b.head[i]) return a.head[i] < b.head[i] ? -1 : 1;
  if ((a.head[1] & 0xFF) == 0) return 0;
  return CompareNames(*a.record, *b.record);
}

OrderNode* OrderTree::Make(const AddressRecord& record) {
  if (usedInBlock_ == kBlock) {
    records_.emplace_back(new AddressRecord[kBlock]);
    usedInBlock_ = 0;
  }
  AddressRecord* copy = &records_.back()[usedInBlock_++];
  *copy = record;
  nodes_.emplace_back();
  OrderNode* n = &nodes_.back();
  n->record = copy;
  SetNameHead(*n);
  n->priority = static_cast<std::uint32_t>(random_());
  return n;
}

void OrderTree::Update(OrderNode* n) {
  n->size = static_cast<std::uint32_t>(1 + Size(n->left) + Size(n->right));
  if (n->left) n->left->parent = n;
  if (n->right) n->right->parent = n;
}

void OrderTree::SetRoot(OrderNode* root) {
  root_ = root;
  if (root_) root_->parent = nullptr;
}

// a before b; the higher priority stays on top.
OrderNode* OrderTree::Merge(OrderNode* a, OrderNode* b) {
  if (!a) return b;
  if (!b) return a;
  if (a->priority >= b->priority) {
    a->right = Merge(a->right, b);
    Update(a);
    return a;
  }
  b->left = Merge(a, b->left);
  Update(b);
  return b;
}

// The first `count` nodes of t into first, the others into rest. The parents
// of the two roots are left for the caller.
void OrderTree::Split(OrderNode* t, std::size_t count, OrderNode*& first, OrderNode*& rest) {
  if (!t) {
    first = rest = nullptr;
  } else if (Size(t->left) >= count) {
    Split(t->left, count, first, t->left);
    Update(t);
    rest = t;
  } else {
    Split(t->right, count - Size(t->left) - 1, t->right, rest);
    Update(t);
    first = t;
  }
}

// Those whose name is not greater than name's into first.
void OrderTree::SplitByName(OrderNode* t, const OrderNode& name, OrderNode*& first, OrderNode*& rest) {
  if (!t) {
    first = rest = nullptr;
  } else if (CompareNodeNames(name, *t) < 0) {
    SplitByName(t->left, name, first, t->left);
    Update(t);
    rest = t;
  } else {
    SplitByName(t->right, name, t->right, rest);
    Update(t);
    first = t;
  }
}

OrderNode* OrderTree::At(std::size_t position) const {
  OrderNode* n = root_;
  while (n) {
    const std::size_t left = Size(n->left);
    if (position == left) return n;
    if (position < left) {
      n = n->left;
    } else {
      position -= left + 1;
      n = n->right;
    }
  }
  return nullptr;
}

std::size_t OrderTree::PositionOf(const OrderNode* node) const {
  std::size_t position = Size(node->left);
  for (const OrderNode* n = node; n->parent; n = n->parent)
    if (n == n->parent->right) position += Size(n->parent->left) + 1;
  return position;
}

// Down to where the node's priority puts it, then the subtree there split
// around it: one walk from the root.
void OrderTree::Insert(std::size_t position, OrderNode* node) {
  OrderNode* parent = nullptr;
  OrderNode** link = &root_;
  while (*link && (*link)->priority >= node->priority) {
    parent = *link;
    ++parent->size;
    const std::size_t left = Size(parent->left);
    if (position <= left) {
      link = &parent->left;
    } else {
      position -= left + 1;
      link = &parent->right;
    }
  }
  Split(*link, position, node->left, node->right);
  Update(node);
  *link = node;
  node->parent = parent;
}

// As Insert, the way found by the names alone: no subtree's size is read.
void OrderTree::InsertByName(OrderNode* node) {
  OrderNode* parent = nullptr;
  OrderNode** link = &root_;
  while (*link && (*link)->priority >= node->priority) {
    parent = *link;
    ++parent->size;
    link = CompareNodeNames(*node, *parent) < 0 ? &parent->left : &parent->right;
  }
  SplitByName(*link, *node, node->left, node->right);
  Update(node);
  *link = node;
  node->parent = parent;
}

// Its two subtrees joined in its place, the sizes above made one smaller.
void OrderTree::Erase(OrderNode* node) {
  OrderNode* joined = Merge(node->left, node->right);
  OrderNode* parent = node->parent;
  if (joined) joined->parent = parent;
  if (!parent) root_ = joined;
  else if (parent->left == node) parent->left = joined;
  else parent->right = joined;
  for (OrderNode* n = parent; n; n = n->parent) --n->size;
}

std::size_t OrderTree::CountBefore(const OrderNode& name, bool andEqual) const {
  std::size_t count = 0;
  for (const OrderNode* n = root_; n;) {
    const int c = CompareNodeNames(*n, name);
    if (c < 0 || (andEqual && c == 0)) {
      count += Size(n->left) + 1;
      n = n->right;
    } else {
      n = n->left;
    }
  }
  return count;
}

std::vector<OrderNode*> OrderTree::InOrder() const {
  std::vector<OrderNode*> order, path;
  order.reserve(Count());
  for (OrderNode* n = root_; n || !path.empty();) {
    if (n) {
      path.push_back(n);
      n = n->left;
    } else {
      order.push_back(path.back());
      n = path.back()->right;
      path.pop_back();
    }
  }
  return order;
}

void OrderTree::Rebuild(const std::vector<OrderNode*>& order) {
  root_ = nullptr;
  for (OrderNode* n : order) {
    n->left = n->right = nullptr;
    n->size = 1;
    SetRoot(Merge(root_, n));
  }
}
