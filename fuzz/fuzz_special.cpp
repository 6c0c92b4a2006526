// The special functions on arbitrary arguments: one byte picks the routine,
// the rest gives its arguments (orders, arrays of any length, reals of every
// magnitude, NaN and infinities). Each must end with a value or one of its
// messages.
#include <span>
#include <vector>

#include <kx/special/bessel_expansions.h>

#include "fuzz_bytes.h"

namespace {

constexpr int bernoulli_entries = 120;  // more than any routine asks for (102)

std::span<const kxreal> even_bernoulli() {
  static const std::vector<kxreal> b = [] {
    std::vector<kxreal> v(bernoulli_entries);
    kxberner(v);
    return v;
  }();
  return b;
}

// The Bernoulli array, usually whole, sometimes too short for the routine.
std::span<const kxreal> bernoulli_prefix(kx::fuzz_bytes& in) {
  const std::span<const kxreal> b = even_bernoulli();
  return in.byte() % 8 == 0 ? b.first(in.integer(0, bernoulli_entries)) : b;
}

std::vector<kxreal> arguments(kx::fuzz_bytes& in, int count) {
  std::vector<kxreal> v(static_cast<std::size_t>(count));
  for (kxreal& x : v) x = in.argument();
  return v;
}

void polylog_negative(kx::fuzz_bytes& in, kxreal& f) {
  const int n = in.integer(-300, 300);
  std::vector<kxreal> table(static_cast<std::size_t>(in.integer(0, 310)));
  kxpolylogini(n, table);
  const int order = in.order();
  kxpolylogneg(order, table, in.argument(), f);
}

void hypergeometric(kx::fuzz_bytes& in, kxreal& f) {
  const int np = in.integer(-1, 11);
  const int nq = in.integer(-1, 11);
  const std::vector<kxreal> a = arguments(in, in.integer(0, 11));
  const std::vector<kxreal> b = arguments(in, in.integer(0, 11));
  kxhypergeompfq(np, nq, a, b, in.argument(), f);
}

// Arguments where a routine needs its whole budget of 10^6 terms before it
// answers with its message (documented, and under the sanitizers longer
// than the timeout): the polylogarithm's series for |x| within 10^-3 of 1.
bool needs_whole_budget_polylog(const kxreal& x) { return fabsq(x.hi) > 0.999Q && fabsq(x.hi) < 1; }

// Orders from 10^4 up to the largest accepted (10^5) run recurrences of that
// many steps (0.5 s uninstrumented at 10^5): they are folded within 10^4.
// Orders past 10^5 of any size, infinite or NaN are refused or give NaN
// at once and are kept.
bool folded_order(__float128 nu) { return fabsq(nu) > 1e4Q && fabsq(nu) <= kx::largest_bessel_order; }

kxreal real_order(kx::fuzz_bytes& in) {
  const kxreal nu = in.argument();
  return folded_order(nu.hi) ? kxreal{fmodq(nu.hi, 1e4Q), 0} : nu;
}

// Where nn! or zeta(nn + 1, x) leaves the range (nn >= 1755, or x^-nn
// beyond about 2^+-16000) kxpolygammabe takes its scaled direct sum, which can
// run its 10^6 terms (9 to 14 s uninstrumented) before its message (known
// finding): those arguments are left out.
void polygamma_be(kx::fuzz_bytes& in, kxreal& f) {
  const auto b = bernoulli_prefix(in);
  const int n = in.order();
  const kxreal x = in.argument();
  const bool scaled_sum = n >= 1755 || (x.hi > 0 && fabsq((n + 1.0Q) * log2q(x.hi)) > 12000);
  if (!scaled_sum) kxpolygammabe(b, n, x, f);
}

// kxgammar reduces t by the product (t-1)...(t-n), n about t: up to 10^8
// products, 21 s uninstrumented at t = 3.4e7 (known finding). Arguments
// that reach it (gamma, incomplete gamma, zeta below 0) are kept within 10^5.
kxreal gamma_argument(kx::fuzz_bytes& in) {
  const kxreal t = in.argument();
  return fabsq(t.hi) <= 1e5Q || !finiteq(t.hi) ? t : kxreal{fmodq(t.hi, 1e5Q), 0};
}

// Integer orders that reach kxgammar or factorials (Hurwitz zeta,
// polygamma) are kept within 10^5 for the same reason.
int gamma_order(kx::fuzz_bytes& in) {
  const int n = in.order();
  return n >= -100000 && n <= 100000 ? n : n % 100000;
}

// Integer orders of the Bessel functions as real ones: folded within 10^4
// up to 10^5, kept (and refused) past it, INT_MIN and INT_MAX included.
int bessel_order(kx::fuzz_bytes& in) {
  const int n = in.order();
  return folded_order(n) ? n % 10000 : n;
}

void polylog_positive(kx::fuzz_bytes& in, kxreal& f) {
  const int n = in.order();
  const kxreal x = in.argument();
  if (!needs_whole_budget_polylog(x)) kxpolylogpos(n, x, f);
}

void run_one(kx::fuzz_bytes& in) {
  kxreal f;
  switch (in.byte() % 26) {
    case 0: kxgammar(gamma_argument(in), f); break;
    case 1: { const kxreal s = gamma_argument(in); kxincgammar(s, in.argument(), f); } break;
    case 2: { const auto b = bernoulli_prefix(in); kxdigammabe(b, in.argument(), f); } break;
    case 3: { std::vector<kxreal> b(static_cast<std::size_t>(in.integer(0, 300))); kxberner(b); } break;
    case 4: kxzetaintr(in.order(), f); break;
    case 5: kxzetar(gamma_argument(in), f); break;
    case 6: { const auto b = bernoulli_prefix(in); kxzetabe(b, gamma_argument(in), f); } break;
    case 7: { const int s = gamma_order(in); kxhurwitzzetan(s, in.argument(), f); } break;
    case 8: { const auto b = bernoulli_prefix(in); const int s = gamma_order(in); kxhurwitzzetanbe(b, s, in.argument(), f); } break;
    case 9: { const int n = gamma_order(in); kxpolygamma(n, in.argument(), f); } break;
    case 10: polygamma_be(in, f); break;
    case 11: { const int n = bessel_order(in); kxbesseljnr(n, in.argument(), f); } break;
    case 12: { const int n = bessel_order(in); kxbesselynr(n, in.argument(), f); } break;
    case 13: { const int n = bessel_order(in); kxbesselinr(n, in.argument(), f); } break;
    case 14: { const int n = bessel_order(in); kxbesselknr(n, in.argument(), f); } break;
    case 15: { const kxreal nu = real_order(in); kxbesseljr(nu, in.argument(), f); } break;
    case 16: { const kxreal nu = real_order(in); kxbesselyr(nu, in.argument(), f); } break;
    case 17: { const kxreal nu = real_order(in); kxbesselir(nu, in.argument(), f); } break;
    case 18: { const kxreal nu = real_order(in); kxbesselkr(nu, in.argument(), f); } break;
    case 19: kxerfr(in.argument(), f); break;
    case 20: kxerfcr(in.argument(), f); break;
    case 21: kxexpint(in.argument(), f); break;
    case 22: { const int nu = in.order(); kxstruvehn(nu, in.argument(), f); } break;
    case 23: polylog_positive(in, f); break;
    case 24: polylog_negative(in, f); break;
    default: hypergeometric(in, f); break;
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  kx::fuzz_bytes in(data, size);
  kx::run_or_stop([&] { run_one(in); });
  return 0;
}
