// The shortcuts of the functions' series against what they replace: the
// stopping test's exact scaling against the written kxmuld and kxcpr, and
// the kept logarithms of small integers against the uncached iteration and
// MPFR, also when several threads ask for them at once.
#include <gtest/gtest.h>

#include <random>
#include <thread>
#include <vector>

#include <kx/core/quad_unpacked.h>
#include <kx/elementary/exp_log.h>
#include <kx/special/bessel_expansions.h>
#include <kx/special/series.h>

#include "mpfr_oracle.h"
#include "test_support.h"

namespace {

using kx::iq_bits;
using kx::iq_quad;
using kx::iq_u128;
using oracle::hex;

// The written test: |term| <= 2^-226 |sum| by kxabs, kxmuld and kxcpr.
bool written_settled(const kxreal& term, const kxreal& sum) {
  kxreal t;
  kxreal s;
  kxabs(term, t);
  kxabs(sum, s);
  kxmuld(s, 0x1p-226Q, s);
  int ic = 0;
  kxcpr(t, s, ic);
  return ic <= 0;
}

class sampler {
 public:
  explicit sampler(std::uint64_t seed) : gen_(seed) {}
  int uniform(int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(gen_); }
  bool coin() { return (gen_() & 1) != 0; }

  __float128 word(int field, bool negative, bool zero_fraction = false) {
    field = std::clamp(field, 0, 0x7ffe);
    const iq_u128 f = zero_fraction ? 0 : ((static_cast<iq_u128>(gen_()) << 64) | gen_()) & kx::iq_fraction_mask;
    return iq_quad((negative ? kx::iq_sign_bit : 0) | (static_cast<iq_u128>(field) << 112) | f);
  }

  /// A sum whose high word sits near 1, at the window's lower end plus
  /// 226, at its upper end, or anywhere; its low word a zero of either
  /// sign, normalised, exactly half an ulp (a tie, normalised or not by the
  /// parity of the high word), too large, or below the window's end + 226.
  kxreal sum() {
    int f;
    switch (uniform(0, 4)) {
      case 0: f = kx::iq_window_low + 226 + uniform(-2, 2); break;
      case 1: f = kx::iq_window_high + uniform(-2, 2); break;
      case 2: f = uniform(0, 0x7ffe); break;
      default: f = 0x3fff + uniform(-300, 300);
    }
    const __float128 hi = word(f, coin());
    const bool negative = coin();
    switch (uniform(0, 6)) {
      case 0: return {hi, iq_quad(negative ? kx::iq_sign_bit : 0)};
      case 1: return {hi, word(f - 113, negative, true)};
      case 2: return {hi, word(f - uniform(1, 112), negative)};
      case 3: return {hi, word(kx::iq_window_low + 226 + uniform(-2, 2), negative)};
      default: return {hi, word(f - uniform(113, 240), negative)};
    }
  }

  /// A term for the sum: exactly 2^-226 of it (the test's edge), a last
  /// bit off in either word, or random; either sign.
  kxreal term(const kxreal& s) {
    kxreal t = {s.hi * 0x1p-226Q, s.lo * 0x1p-226Q};
    switch (uniform(0, 4)) {
      case 0: t.hi = iq_quad(iq_bits(t.hi) + (coin() ? 1 : -1)); break;
      case 1: t.lo = iq_quad(iq_bits(t.lo) + (coin() ? 1 : -1)); break;
      case 2: t = {word(kx::iq_field_of(iq_bits(t.hi)) + uniform(-2, 2), false), word(uniform(0, 0x7ffe), coin())}; break;
      default: break;
    }
    return coin() ? kxreal{-t.hi, -t.lo} : t;
  }

 private:
  std::mt19937_64 gen_;
};

// Both answers met, and the answers hinging on the low words.
TEST(SeriesShortcuts, StoppingTestIsTheWrittenOne) {
  sampler g(31);
  long settled = 0;
  long by_low_word = 0;
  const long count = 2000000;
  for (long i = 0; i < count; ++i) {
    const kxreal s = g.sum();
    const kxreal t = g.term(s);
    const bool expected = written_settled(t, s);
    ASSERT_EQ(kx::settled(t, s), expected) << "term " << hex(t) << " sum " << hex(s);
    settled += expected ? 1 : 0;
    if (fabsq(t.hi) == fabsq(s.hi * 0x1p-226Q)) ++by_low_word;
  }
  EXPECT_GT(settled, count / 5);
  EXPECT_LT(settled, count - count / 5);
  EXPECT_GT(by_low_word, count / 10);
}

// log i for the kept integers (and a few past the last) is the uncached
// iteration's words, which the pair (i, -0) takes, and within kxlog's
// bound of MPFR beside its neighbours i +- ulp, which are not kept.
TEST(SeriesShortcuts, KeptLogarithmsAreTheIterations) {
  for (int i = 1; i <= 300; ++i) {
    const __float128 x = i;
    kxreal kept;
    kxreal uncached;
    kxlog(kxreal{x, 0}, kept);
    kxlog(kxreal{x, -0.0Q}, uncached);
    ASSERT_TRUE(same_words(kept, uncached)) << i << ": " << hex(kept) << " not " << hex(uncached);
    for (const __float128 y : {x, nextafterq(x, 0), nextafterq(x, 1000)}) {
      kxreal l;
      kxlog(kxreal{y, 0}, l);
      oracle::big exact{kxreal{y, 0}};
      mpfr_log(exact.get(), exact.get(), MPFR_RNDN);
      oracle::big scale{kxreal{fmaxq(1, logq(y)), 0}};
      EXPECT_LT(oracle::error_units(oracle::big{l}, exact, scale), 330) << oracle::hex(y);
    }
  }
}

// Threads asking for the same logarithms at once, in a fresh process, get
// the words one thread computes alone.
TEST(SeriesShortcuts, KeptLogarithmsAcrossThreads) {
  std::vector<std::vector<kxreal>> seen(4, std::vector<kxreal>(257));
  std::vector<std::thread> threads;
  for (int k = 0; k < 4; ++k) {
    threads.emplace_back([k, &seen] {
      for (int j = 0; j < 256; ++j) {
        const int i = k % 2 == 0 ? j + 1 : 256 - j;
        kxlog(kxreal{i}, seen[k][i]);
      }
    });
  }
  for (std::thread& t : threads) t.join();
  for (int i = 1; i <= 256; ++i) {
    kxreal alone;
    kxlog(kxreal{static_cast<__float128>(i), -0.0Q}, alone);
    for (int k = 0; k < 4; ++k) ASSERT_TRUE(same_words(seen[k][i], alone)) << i;
  }
}

// Miller's starting order from the sum in doubles is the binary128 sum's:
// orders 0 to 300 and a few up to 2000, arguments from 2^-50 (where the
// order floor max(n, r) + 10 decides) to 4096, some within 10^-25 of an
// integer (k^2 - r^2 near 0), for both signs.
TEST(SeriesShortcuts, MillerStartIsTheWrittenSum) {
  std::mt19937_64 gen(32);
  std::uniform_real_distribution<double> log_r(-50, 12);
  long floor_decides = 0;
  for (int i = 0; i < 3000; ++i) {
    const int n = i % 20 == 0 ? static_cast<int>(gen() % 2000) : static_cast<int>(gen() % 301);
    __float128 x = static_cast<__float128>(std::exp2(log_r(gen)));
    if (i % 4 == 1) x = nearbyintq(x) + (gen() % 2 == 0 ? 1 : -1) * 1e-25Q * (1 + x);
    if (!(x > 0)) x = 1;
    const kxreal r{x, 0};
    for (const int sign : {-1, 1}) {
      const int fast = kx::miller_start(n, r, sign);
      ASSERT_EQ(fast, kx::miller_start_written(n, r, sign)) << n << " " << hex(r) << " " << sign;
      if (fast == static_cast<int>(ceilq(fmaxq(n, x) + 10))) ++floor_decides;
    }
  }
  EXPECT_GT(floor_decides, 300);
}

}  // namespace
