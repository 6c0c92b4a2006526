// The relation search driver: initialise, iterate until an iteration reports
// a relation or exhausted precision, take stock every 100 iterations, and
// pick the relation out of b when one is reported.
#include <quadmath.h>

#include <cstddef>
#include <vector>

#include <kx/support/fatal.h>
#include <kx/support/timing.h>
#include <kx/pslq/matrix.h>
#include <kx/pslq/pslq.h>
#include <kx/pslq/search_steps.h>
#include <kx/pslq/utilities.h>
#include <kx/types/functions.h>
#include <kx/types/number.h>

namespace {

constexpr int iteration_limit = 100000;
constexpr int checkpoint_interval = 100;
constexpr int progress_interval = 25;
constexpr int saved_vectors = 8;

// The working data of one search, released on every exit.
struct search_state {
  explicit search_state(int n)
      : b(square(n)), h(square(n)), ysave(static_cast<std::size_t>(n) * saved_vectors), y(static_cast<std::size_t>(n)) {}
  static std::size_t square(int n) { return static_cast<std::size_t>(n) * static_cast<std::size_t>(n); }
  std::vector<kxreal> b;
  std::vector<kxreal> h;
  std::vector<kxreal> ysave;
  std::vector<kxreal> y;
};

// Bad arguments end the run here: n < 2 would index outside the sort's
// vector, and a zero or non-finite x turns every later number into NaN.
void check_arguments(int n, std::span<const kxreal> x, std::span<kxreal> r) {
  if (n < 2) {
    kx::fatal("('*** ZEZUV1: Improper value of N',i10)", n);
  }
  kx::require_storage("ZEZUV1", x.size(), n);
  kx::require_storage("ZEZUV1", r.size(), n);
  bool all_zero = true;
  for (int i = 0; i < n; ++i) {
    if (!finiteq(x[i].hi) || !finiteq(x[i].lo)) {
      kx::fatal("('*** ZEZUV1: Input value is not finite, index',i6)", i + 1);
    }
    all_zero = all_zero && x[i].hi == 0;
  }
  if (all_zero) {
    kx::fatal("('*** ZEZUV1: Input vector is zero.')");
  }
}

void write_iteration_report(kx::checked_template<int> tmpl, int it) { kx::write_template(tmpl, it); }

// The iteration number, then the mantissa and exponent of each value.
void write_pairs_report(kx::basic_template<> tmpl, int it, std::initializer_list<kxreal> pairs) {
  std::vector<kx::template_value> values{it};
  for (const kxreal& v : pairs) kx::append_decsplit(values, v);
  kx::write_template(tmpl, values);
}

bool iteration_line_due(int debug, int it) { return debug == 3 || (debug >= 2 && it % progress_interval == 0); }

// The checkpoint: reports and the two limits. True when the search must end.
bool checkpoint_ends_search(int debug, int it, int n, double rb, const search_state& s, kxreal& bmax) {
  kxreal ymin;
  kxreal ymax;
  minmaxabs(n, s.y, ymin, ymax);
  if (debug >= 2)
    write_pairs_report("('Iteration',i7,3x,'Min, max of y =',f11.6,'e',i6,f11.6,'e',i6)", it, {ymin, ymax});
  const kxreal bound = normbound(n, s.h);
  bmax = max(bmax, bound);
  if (debug >= 2)
    write_pairs_report("('Iteration',i7,3x,'Norm bound =',f11.6,'e',i5,4x,'Max. bound =',          f11.6,'e',i5)",
                       it, {bound, bmax});
  if (it > iteration_limit) {
    if (debug >= 1) kx::write_template("('Iteration limit exceeded',i7)", iteration_limit);
    return true;
  }
  if (log10hi(bmax) > rb) {
    if (debug >= 1) kx::write_template("('Norm bound limit exceeded.',1p,d15.6)", rb);
    return true;
  }
  return false;
}

// Row jm of b, where jm is the first index of the smallest |y(i)| below
// 10^300. With no such index (a non-finite y) nothing is found.
void take_relation(int debug, int it, int n, double rb, const search_state& s, int& found, std::span<kxreal> r) {
  kxreal t1 = 1e300Q;
  kxreal t2;
  int jm = 0;
  for (int i = 1; i <= n; ++i) {
    if (abs(s.y[i - 1]) < t1) {
      jm = i;
      t1 = abs(s.y[i - 1]);
    }
    t2 = max(t2, abs(s.y[i - 1]));
  }
  if (jm == 0) return;

  kxreal sum;
  for (int i = 1; i <= n; ++i) {
    r[i - 1] = kx::element(std::span<const kxreal>(s.b), n, jm, i);
    sum = sum + pow(r[i - 1], 2);
  }
  const kxreal norm = sqrt(sum);

  if (debug >= 1) {
    const kxreal bound = normbound(n, s.h);
    write_pairs_report(
        "('Iteration',i7,3x,'Relation detected'/ 'Min, max of y =',0p,f11.6,'e',i5,f11.6,'e',i5/'Max. bound =',"
        "f11.6,'e',i5)",
        it, {t1, t2, bound});
    write_pairs_report(
        "('Index of relation =',i4,3x,'Norm =',f11.6,'e',i5,3x, 'Residual =',f11.6,'e',i5)", jm, {norm, t1});
  }
  if (log10hi(norm) <= rb) {
    found = 1;
  } else if (debug >= 2) {
    kx::write_template("('Relation is too large.')");
  }
}

// A zero x(n) makes the norm of x(n..n) zero, which the initialisation
// divides by; r = e(n) is then an exact relation of norm 1, taken at once.
bool took_zero_last_entry(int debug, int n, double rb, std::span<const kxreal> x, int& found, std::span<kxreal> r) {
  if (x[n - 1].hi != 0) return false;
  for (int i = 1; i <= n; ++i) r[i - 1] = kxreal{i == n ? 1.0Q : 0.0Q};
  if (debug >= 1)
    write_pairs_report("('Index of relation =',i4,3x,'Norm =',f11.6,'e',i5,3x, 'Residual =',f11.6,'e',i5)", n,
                       {kxreal{1}, kxreal{}});
  if (log10hi(kxreal{1}) <= rb) {
    found = 1;
  } else if (debug >= 2) {
    kx::write_template("('Relation is too large.')");
  }
  return true;
}

}  // namespace

void zezuv1(int debug, int n, double rb, const kxreal& eps, std::span<const kxreal> x, int& found,
            std::span<kxreal> r) {
  check_arguments(n, x, r);
  search_state s(n);
  if (debug >= 2) kx::write_template("('ZEZUV1 integer relation detection: n =',i5)", n);

  int it = 0;
  int dupflag = 0;
  int outcome = 0;
  found = 0;
  if (took_zero_last_entry(debug, n, rb, x, found, r)) return;
  kxreal bmax;
  double iteration_time = 0;
  if (debug >= 2) write_iteration_report("('Iteration',i7,3x,'Initialization')", it);

  double start = kx::cpusecond();
  initmp(debug, n, saved_vectors, s.b, s.h, s.ysave, x, s.y);
  const double initialisation_time = kx::cpusecond() - start;
  if (debug >= 2) write_iteration_report("('Iteration',i7,3x,'Start iterations')", it);

  for (;;) {
    it = it + 1;
    if (iteration_line_due(debug, it)) write_iteration_report("('Iteration',i7)", it);
    start = kx::cpusecond();
    itermp(debug, it, n, saved_vectors, eps, s.b, s.h, s.ysave, s.y, dupflag, outcome);
    iteration_time = iteration_time + (kx::cpusecond() - start);
    if (outcome == 0 && it % checkpoint_interval == 0 && checkpoint_ends_search(debug, it, n, rb, s, bmax)) break;
    if (outcome == 0) continue;
    if (outcome != 2) take_relation(debug, it, n, rb, s, found, r);
    break;
  }

  if (debug >= 2) kx::write_template("('CPU times:'/(5f12.2))", initialisation_time, iteration_time);
}
