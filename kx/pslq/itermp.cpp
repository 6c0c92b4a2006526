// One iteration of multi-pair PSLQ. The pairs (j, j+1) with the largest
// weights gamma^j |h(j, j)| are exchanged in y, b and h; a rotation of
// columns j and j+1 restores the lower trapezoidal form of h; the integer
// matrix T of nearest-integer quotients reduces h below the diagonal to at
// most |h(j, j)|/2, and y and b are updated with T. An entry of y far below
// the size of its row of b is a relation.
#include <quadmath.h>

#include <vector>

#include <kx/support/fatal.h>
#include <kx/pslq/matrix.h>
#include <kx/pslq/search_steps.h>
#include <kx/pslq/utilities.h>
#include <kx/pslq/integer_columns.h>
#include <kx/pslq/integer_multiple.h>
#include <kx/pslq/nearest_quotient.h>
#include <kx/pslq/power_table.h>
#include <kx/core/quad_integer.h>
#include <kx/types/functions.h>
#include <kx/types/number.h>

namespace kx {
namespace {


// The scratch state of one call, released on return.
struct iteration_work {
  explicit iteration_work(int n)
      : q(static_cast<std::size_t>(n)),
        ip(static_cast<std::size_t>(n)),
        flags(static_cast<std::size_t>(n) + 2),
        t(static_cast<std::size_t>(n) * static_cast<std::size_t>(n)) {}
  std::vector<kxreal> q;   // weights, q[i - 1] for i = 1..n-1
  std::vector<int> ip;     // their index order
  std::vector<int> flags;  // flags[i] = 1 when index i is in a chosen pair
  std::vector<int> pairs;  // first indices of the chosen pairs, in order
  std::vector<kxreal> t;   // T, n x n by columns, below the diagonal
};

// nint(0.4 n), both factors binary128: 7 for n = 17.
int pair_limit(int n) { return static_cast<int>(lroundq(static_cast<__float128>(n) * 0.4Q)); }

// Step 5: from the largest weight down, every pair whose indices are both free.
void choose_pairs(int n, int maxpairs, iteration_work& w) {
  for (int k = n - 1; k >= 1 && static_cast<int>(w.pairs.size()) < maxpairs; --k) {
    const int j = w.ip[k - 1];
    if (w.flags[j] == 0 && w.flags[j + 1] == 0) {
      w.pairs.push_back(j);
      w.flags[j] = 1;
      w.flags[j + 1] = 1;
    }
  }
}

void exchange_pairs(int n, const iteration_work& w, std::span<kxreal> y, std::span<kxreal> b,
                    std::span<kxreal> h) {
  for (const int j : w.pairs) {
    std::swap(y[j - 1], y[j]);
    for (int c = 1; c <= n; ++c) std::swap(element(b, n, j, c), element(b, n, j + 1, c));
    for (int c = 1; c <= n - 1; ++c) std::swap(element(h, n, j, c), element(h, n, j + 1, c));
  }
}

// Rotates columns j and j+1 of h so that h(j, j+1) becomes zero.
void remove_corners(int n, const iteration_work& w, std::span<kxreal> h) {
  for (const int j : w.pairs) {
    if (j > n - 2) continue;
    kxreal t1 = element(h, n, j, j);
    kxreal t2 = element(h, n, j, j + 1);
    const kxreal r = sqrt(pow(t1, 2) + pow(t2, 2));
    t1 = t1 / r;
    t2 = t2 / r;
    for (int i = j; i <= n; ++i) {
      const kxreal a = element(h, n, i, j);
      const kxreal c = element(h, n, i, j + 1);
      element(h, n, i, j) = t1 * a + t2 * c;
      element(h, n, i, j + 1) = -(t2 * a) + t1 * c;
    }
  }
}

// Reduces h one sub-diagonal at a time, nearest to the diagonal first, and
// records the integer multipliers in T.
void reduce(int n, iteration_work& w, std::span<kxreal> h) {
  const std::span<kxreal> t(w.t);
  for (int d = 1; d <= n - 1; ++d) {
    for (int j = 1; j <= n - d; ++j) {
      const int l = j + d;
      kxreal& hlj = element(h, n, l, j);
      for (int k = j + 1; k <= l - 1; ++k) subtract_multiple(hlj, element(t, n, l, k), element(h, n, k, j));
      element(t, n, l, j) = nearest_quotient(hlj, element(h, n, j, j));
      subtract_multiple(hlj, element(t, n, l, j), element(h, n, j, j));
    }
  }
}

// y(i) += sum over k > i of T(k, i) y(k), for i increasing; returns the
// smallest |y(i)| and its index (y(n) wins over an equal earlier entry).
void update_y(int n, iteration_work& w, std::span<kxreal> y, kxreal& t1, int& jm) {
  const std::span<kxreal> t(w.t);
  t1 = abs(y[n - 1]);
  jm = n;
  for (int i = 1; i <= n - 1; ++i) {
    for (int k = i + 1; k <= n; ++k) add_multiple(y[i - 1], element(t, n, k, i), y[k - 1]);
    if (abs(y[i - 1]) < t1) {
      t1 = abs(y[i - 1]);
      jm = i;
    }
  }
}

void update_b(int n, iteration_work& w, std::span<kxreal> b) {
  const std::span<kxreal> t(w.t);
  std::vector<integer_term> terms;
  const bool integer_t = integer_multipliers(n, t, terms);
  for (int c = 1; c <= n; ++c) {
    if (integer_t && update_column_in_integers(n, terms, b, c)) continue;
    for (int i = 1; i <= n - 1; ++i) {
      kxreal& bic = element(b, n, i, c);
      for (int k = i + 1; k <= n; ++k) add_multiple(bic, element(t, n, k, i), element(b, n, k, c));
    }
  }
}

kxreal largest_in_row(int n, std::span<kxreal> b, int row) {
  kxreal t2;
  for (int i = 1; i <= n; ++i) t2 = max(t2, abs(element(b, n, row, i)));
  return t2;
}

// The first saved column within tolerance of y, or 0. A column stops
// at the first difference above the tolerance: the running maximum can then
// only grow or become NaN, and the column fails either way.
int matching_saved_column(int n, int nsave, std::span<const kxreal> y, std::span<kxreal> ysave,
                          const kxreal& tolerance) {
  for (int c = 1; c <= nsave; ++c) {
    kxreal d;
    for (int i = 1; i <= n && !(d > tolerance); ++i) d = max(d, abs(y[i - 1] - element(ysave, n, i, c)));
    if (d <= tolerance) return c;
  }
  return 0;
}

void write_pair_report(basic_template<> tmpl, int it, const kxreal& v) {
  std::vector<template_value> values{it};
  append_decsplit(values, v);
  write_template(tmpl, values);
}

}  // namespace

void itermp(int debug, int it, int n, int nsave, const kxreal& eps, std::span<kxreal> b, std::span<kxreal> h,
            std::span<kxreal> ysave, std::span<kxreal> y, int& dupflag, int& outcome) {
  if (nsave < 1) {  // the column of the saved y is it mod nsave
    fatal("('*** ITERMP: Improper value of NSAVE',i10)", nsave);
  }
  require_storage("ITERMP", b.size(), n, n);
  require_storage("ITERMP", h.size(), n, n - 1);
  require_storage("ITERMP", ysave.size(), n, nsave);
  require_storage("ITERMP", y.size(), n);
  outcome = 0;
  const kxreal gamma = sqrt(kxreal{4} / 3.0Q);
  const kxreal teps = 32.0Q * eps;
  iteration_work w(n);

  const std::vector<kxreal> gamma_powers = power_table(gamma, n - 1);
  for (int i = 1; i <= n - 1; ++i) w.q[i - 1] = gamma_powers[i - 1] * abs(element(h, n, i, i));
  sortindex(n - 1, w.q, w.ip);

  int maxpairs;
  if (dupflag != 0) {
    dupflag = 0;
    maxpairs = 1;
  } else {
    maxpairs = pair_limit(n);
  }
  choose_pairs(n, maxpairs, w);
  exchange_pairs(n, w, y, b, h);
  remove_corners(n, w, h);
  reduce(n, w, h);

  kxreal t1;
  int jm;
  update_y(n, w, y, t1, jm);
  update_b(n, w, b);
  const kxreal t2 = largest_in_row(n, b, jm);

  if (t1 <= t2 * teps) {
    if (debug >= 2) write_pair_report("('Iteration',i7,3x,'itermp: Small value in y =',f11.6,'e',i5)", it, t1);
    if (t1 <= t2 * eps) {
      outcome = 1;
    } else {
      outcome = 2;
      if (debug >= 1) write_template("('Iteration',i7,3x,'itermp: Precision exhausted.')", it);
    }
  }

  const int duplicate = matching_saved_column(n, nsave, y, ysave, t2 * teps);
  if (duplicate != 0) {
    if (debug >= 2) write_template("('Iteration',i7,3x,'itermp: Duplicate found, j =',i6)", it, duplicate);
    dupflag = 1;
  }

  const int column = it % nsave + 1;
  for (int i = 1; i <= n; ++i) element(ysave, n, i, column) = y[i - 1];

  if (debug >= 3) {
    write_template("('itermp: Updated y:')");
    printmatfull(1, n, y);
    write_template("('itermp: Updated b matrix:')");
    printmat(n, n, b);
    write_template("('itermp: Updated h matrix:')");
    printmat(n, n - 1, h);
  }
}

}  // namespace kx
