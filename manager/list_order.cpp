// The order of a sorted list box filled name by name, without the list box.
#include "manager/list_order.h"

#include <algorithm>
#include <numeric>

namespace {

// Counts at positions 0..n-1 (a Fenwick tree): sums before a position, and
// the position where the sum reaches a given count, each in log n steps.
class Counts {
 public:
  explicit Counts(const std::vector<long>& counts) : tree_(counts.size() + 1, 0) {
    for (std::size_t i = 1; i < tree_.size(); ++i) {
      tree_[i] += counts[i - 1];
      const std::size_t parent = i + (i & (~i + 1));
      if (parent < tree_.size()) tree_[parent] += tree_[i];
    }
  }
  void Add(std::size_t position, long amount) {
    for (std::size_t i = position + 1; i < tree_.size(); i += i & (~i + 1)) tree_[i] += amount;
  }
  long Before(std::size_t position) const {
    long sum = 0;
    for (std::size_t i = position; i > 0; i -= i & (~i + 1)) sum += tree_[i];
    return sum;
  }
  // The first position whose count brings the sum from 'before' above it.
  std::size_t Passing(long before) const {
    std::size_t position = 0, step = 1;
    while (step * 2 < tree_.size()) step *= 2;
    for (; step > 0; step /= 2)
      if (position + step < tree_.size() && tree_[position + step] <= before) {
        position += step;
        before -= tree_[position];
      }
    return position;
  }

 private:
  std::vector<long> tree_;
};

// The list box's search among count items, of which those from 'less' on,
// 'equal' of them, compare equal to the new name: where the new name goes.
long SearchedPosition(long count, long less, long equal) {
  long min = 0, max = count - 1;
  while (min <= max) {
    const long index = (min + max) / 2;
    if (index < less) min = index + 1;
    else if (index >= less + equal) max = index - 1;
    else return index;
  }
  return min;
}

}  // namespace

std::vector<std::size_t> FilledListOrder(const std::vector<std::string>& keys) {
  const std::size_t n = keys.size();
  std::vector<std::size_t> ranked(n);
  std::iota(ranked.begin(), ranked.end(), 0);
  std::stable_sort(ranked.begin(), ranked.end(),
                   [&](std::size_t a, std::size_t b) { return keys[a] < keys[b]; });
  // Equal names form a group of places [first, end) in the finished list.
  std::vector<std::size_t> first(n), end(n);
  for (std::size_t r = 0; r < n; ++r)
    first[ranked[r]] = r > 0 && keys[ranked[r]] == keys[ranked[r - 1]] ? first[ranked[r - 1]] : r;
  for (std::size_t r = n; r-- > 0;)
    end[ranked[r]] = r + 1 < n && first[ranked[r + 1]] == first[ranked[r]] ? end[ranked[r + 1]] : r + 1;

  // Where among its group's names already in the list each name goes; a
  // name equal to no other has its place, whenever it comes.
  const auto alone = [&](std::size_t i) { return end[i] - first[i] == 1; };
  std::vector<long> offset(n);
  Counts added(std::vector<long>(n, 0));
  for (std::size_t i = 0; i < n; ++i) {
    if (!alone(i)) {
      const long less = added.Before(first[i]);
      const long equal = added.Before(end[i]) - less;
      offset[i] = SearchedPosition(static_cast<long>(i), less, equal) - less;
    }
    added.Add(first[i], 1);
  }
  // The last name added keeps the place it took; each earlier one takes its
  // place among the places of its group that later names left free.
  std::vector<std::size_t> order(n);
  std::vector<long> shared(n);
  for (std::size_t r = 0; r < n; ++r) shared[r] = alone(ranked[r]) ? 0 : 1;
  Counts free(shared);
  for (std::size_t i = n; i-- > 0;) {
    if (alone(i)) {
      order[first[i]] = i;
      continue;
    }
    const std::size_t place = free.Passing(free.Before(first[i]) + offset[i]);
    free.Add(place, -1);
    order[place] = i;
  }
  return order;
}
