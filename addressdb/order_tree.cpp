// The treap of the import's file order: split and merge by size, parents
// set wherever a child pointer changes.
#include "addressdb/order_tree.h"

OrderNode* OrderTree::Make(const AddressRecord& record) {
  records_.push_back(record);
  nodes_.emplace_back();
  OrderNode* n = &nodes_.back();
  n->record = &records_.back();
  n->priority = static_cast<std::uint32_t>(random_());
  return n;
}

void OrderTree::Update(OrderNode* n) {
  n->size = 1 + Size(n->left) + Size(n->right);
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

void OrderTree::Insert(std::size_t position, OrderNode* node) {
  node->left = node->right = nullptr;
  node->size = 1;
  OrderNode *first, *rest;
  Split(root_, position, first, rest);
  SetRoot(Merge(Merge(first, node), rest));
}

void OrderTree::Erase(OrderNode* node) {
  OrderNode *first, *rest, *alone;
  Split(root_, PositionOf(node), first, rest);
  Split(rest, 1, alone, rest);
  SetRoot(Merge(first, rest));
}

std::size_t OrderTree::CountBefore(const AddressRecord& name, bool andEqual) const {
  std::size_t count = 0;
  for (const OrderNode* n = root_; n;) {
    const int c = CompareNames(*n->record, name);
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
