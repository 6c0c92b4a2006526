// Index quicksort with an explicit stack of ranges. The pivot is the middle
// element (upper middle for even lengths); its order for equal keys is fixed,
// and the relation search depends on it to choose among equal weights.
// The smaller part is processed first, so the stack depth stays below
// log2(m) + 1.
#include <utility>
#include <vector>

#include <kx/pslq/matrix.h>
#include <kx/pslq/utilities.h>
#include <kx/types/number.h>

namespace kx {

namespace {

struct index_range {
  int lo;
  int hi;
};

class index_sorter {
 public:
  index_sorter(std::span<const kxreal> a, std::span<int> ip) : a_(a), ip_(ip) {}

  // a(ip(k)), k from 1.
  const kxreal& key(int k) const { return a_[static_cast<std::size_t>(ip(k) - 1)]; }
  int& ip(int k) const { return ip_[static_cast<std::size_t>(k - 1)]; }

  // Splits [lo, hi] around the pivot; returns p, the last index of the lower part.
  int partition(int lo, int hi) const {
    const int mid = (lo + hi + 1) / 2;
    std::swap(ip(mid), ip(hi));
    const kxreal s = key(hi);
    int i = lo;
    int j = hi - 1;
    int p;
    for (;;) {
      while (i <= j && !(s < key(i))) ++i;
      if (i > j) {
        p = j;
        break;
      }
      int k = j;
      while (k >= i && !(s > key(k))) --k;
      if (k < i) {
        p = i;
        break;
      }
      std::swap(ip(i), ip(k));
      j = k;
    }
    if (!(s >= key(p))) std::swap(ip(hi), ip(p));
    return p;
  }

 private:
  std::span<const kxreal> a_;
  std::span<int> ip_;
};

}  // namespace

void sortindex(int m, std::span<const kxreal> a, std::span<int> ip) {
  require_storage("SORTINDEX", a.size(), m);
  require_storage("SORTINDEX", ip.size(), m);
  for (int i = 1; i <= m; ++i) ip[static_cast<std::size_t>(i - 1)] = i;
  if (m <= 1) return;
  const index_sorter sorter(a, ip);
  std::vector<index_range> stack{{1, m}};
  while (!stack.empty()) {
    const index_range r = stack.back();
    const int p = sorter.partition(r.lo, r.hi);
    const index_range lower{r.lo, p};
    const index_range upper{p + 1, r.hi};
    const int lower_size = p - r.lo + 1;
    const int upper_size = r.hi - p;
    stack.pop_back();
    if (lower_size >= 2 && upper_size >= 2) {
      // The larger part stays below, the smaller on top; equal sizes keep
      // [lo, p] below.
      if (upper_size > lower_size) {
        stack.push_back(upper);
        stack.push_back(lower);
      } else {
        stack.push_back(lower);
        stack.push_back(upper);
      }
    } else if (lower_size >= 2) {
      stack.push_back(lower);
    } else if (upper_size >= 2) {
      stack.push_back(upper);
    }
  }
}

}  // namespace kx
