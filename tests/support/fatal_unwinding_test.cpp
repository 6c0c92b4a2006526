// With a throwing fatal handler, a fatal condition deep inside the relation
// search or the Bernoulli-based routines unwinds to the caller: the exception
// carries the message, every working array is released (run this test under
// LeakSanitizer or valgrind to see it), and the library's next calls give
// word for word what they give when nothing was interrupted.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include <kx/kx.h>
#include <kx/special/loop_budgets.h>
#include <kx/support/format.h>

#include "../test_support.h"

namespace {

kxreal q(__float128 x) { return kxreal{x, 0}; }

std::vector<kxreal> bernoulli(int nb) {
  std::vector<kxreal> b(static_cast<std::size_t>(nb));
  kxberner(b);
  return b;
}

struct search_result {
  int found = -1;
  std::vector<kxreal> r;
};

search_result search(const std::vector<kxreal>& x) {
  kxreal eps;
  kxnpwr(q(10), -60, eps);
  search_result s;
  s.r.resize(x.size());
  zezuv1(0, static_cast<int>(x.size()), 20.0, eps, x, s.found, s.r);
  return s;
}

// log 2, log 3, log 6: the relation (1, 1, -1) up to sign.
std::vector<kxreal> logarithms() {
  std::vector<kxreal> x(3);
  kxlog(q(2), x[0]);
  kxlog(q(3), x[1]);
  kxlog(q(6), x[2]);
  return x;
}

// The results an interruption must not change.
struct results {
  std::vector<kxreal> b;
  search_result relation;
  kxreal zeta, digamma, polygamma, gamma;
};

results compute() {
  results r;
  r.b = bernoulli(120);
  r.relation = search(logarithms());
  kxzetabe(r.b, q(3.5Q), r.zeta);
  kxdigammabe(r.b, q(2.25Q), r.digamma);
  kxpolygammabe(r.b, 3, q(7.5Q), r.polygamma);
  kxgammar(q(0.375Q), r.gamma);
  return r;
}

void expect_same(const results& a, const results& b) {
  ASSERT_EQ(a.b.size(), b.b.size());
  for (std::size_t k = 0; k < a.b.size(); ++k) EXPECT_TRUE(same_words(a.b[k], b.b[k])) << "B_" << 2 * (k + 1);
  EXPECT_EQ(a.relation.found, b.relation.found);
  for (std::size_t k = 0; k < a.relation.r.size(); ++k) EXPECT_TRUE(same_words(a.relation.r[k], b.relation.r[k])) << k;
  EXPECT_TRUE(same_words(a.zeta, b.zeta));
  EXPECT_TRUE(same_words(a.digamma, b.digamma));
  EXPECT_TRUE(same_words(a.polygamma, b.polygamma));
  EXPECT_TRUE(same_words(a.gamma, b.gamma));
}

// Runs `call` with `budget` lowered to `value`, restoring it however the call ends.
void with_budget(int& budget, int value, const std::function<void()>& call) {
  const int saved = budget;
  budget = value;
  try {
    call();
  } catch (...) {
    budget = saved;
    throw;
  }
  budget = saved;
}

// `call` must throw fatal_error with exactly `message`.
void expect_fatal_error(const std::function<void()>& call, const std::string& message) {
  try {
    call();
    ADD_FAILURE() << "no fatal_error for " << message;
  } catch (const kx::fatal_error& e) {
    EXPECT_EQ(std::string(e.what()), message);
  }
}

TEST(FatalUnwinding, InterruptedRoutinesReleaseTheirStorageAndLeaveNoState) {
  const results before = compute();
  EXPECT_EQ(before.relation.found, 1);

  const kx::fatal_handler previous = kx::set_fatal_handler(kx::throw_fatal_error);
  // Inside the search: a tiny entry makes a quotient of h pass kxnint's range
  // after the search has allocated its matrices.
  expect_fatal_error([] { search({q(1), q(0x1p-16000Q), q(3)}); }, "*** KXNINT: Argument is too large.\n");
  // Inside kxberner, between its series arrays' allocation and release.
  expect_fatal_error([] { with_budget(kx::bernoulli_pass_budget, 3, [] { bernoulli(120); }); },
                     "*** KXBERNER: Loop end error\n");
  // Inside the routines that read the Bernoulli numbers, and in Gamma.
  const std::vector<kxreal> b = bernoulli(120);
  expect_fatal_error(
      [&b] { with_budget(kx::zeta_direct_limit, 2, [&b] { kxreal z; kxzetabe(b, q(3.5Q), z); }); },
      "*** KXZETABE: iteration limit exceeded         2         2\n");
  expect_fatal_error([&b] { kxreal z; kxdigammabe(b, kxreal{__builtin_nanq(""), 0}, z); },
                     "*** KXDIGAMMABE: Loop end error: Increase NB2\n");
  expect_fatal_error(
      [&b] { with_budget(kx::hurwitz_term_limit, 10, [&b] { kxreal z; kxpolygammabe(b, 2000, q(1000), z); }); },
      "*** KXPOLYGAMMABE: Loop end error 1\n");
  expect_fatal_error(
      [&b] { with_budget(kx::hurwitz_term_limit, 2, [&b] { kxreal z; kxhurwitzzetanbe(b, 31, q(40), z); }); },
      "*** KXHURWITZZETANBE: Loop end error 1\n");
  expect_fatal_error([] { with_budget(kx::gamma_series_term_limit, 2, [] { kxreal z; kxgammar(q(0.375Q), z); }); },
                     "*** KXGAMMAR: iteration limit exceeded         1         2\n");
  // A fault of a template built at run time, inside the printer.
  expect_fatal_error([] { kx::format_template(kx::runtime_template("(i5"), {}); },
                     "*** KXFORMAT: malformed template (missing ')' at column 4) in template \"(i5\"\n");
  EXPECT_EQ(kx::set_fatal_handler(previous), kx::throw_fatal_error);

  expect_same(compute(), before);
}

}  // namespace
