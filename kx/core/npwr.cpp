// Integer power by binary powering from the lowest bit of |n|.
#include <bit>
#include <climits>
#include <quadmath.h>

#include <kx/core/binary_power.h>
#include <kx/core/core.h>
#include <kx/core/eft.h>
#include <kx/support/fatal.h>
#include <kx/core/quad_words.h>

// The count trunc(log(m) / ln 2 + 1 + 1e-14) of the written formula is the
// number of binary digits of m for every m in [1, 2^31): log2 m is at least
// 6.7e-10 from an integer unless m is a power of two, far beyond the guard
// and the logarithm's error. The integer count gives it without logq.
int kx::power_bit_count(int m) { return std::bit_width(static_cast<unsigned>(m)); }

namespace {

// a^m for m >= 1.
kxreal positive_power(const kxreal& a, int m) { return kx::positive_power(a, m, kxreal{1, 0}, kxmul); }

// a^-m when a^m overflowed (so |a| > 1): the same powering of a' = a 2^-k
// in [1, 2), whose words are those a^m would have 2^-km lower, its
// reciprocal taken near 1 and scaled back. The result is zero when a'^m
// overflows as well, as then |a^-m| < 2^-16384.
kxreal reciprocal_of_overflowing_power(const kxreal& a, int m) {
  const int k = ilogbq(a.hi);
  const kxreal p = positive_power(kx::scaled_by_power_of_two(a, -k), m);
  if (!kx::is_finite(p.hi)) return {copysignq(0, p.hi), 0};
  const int j = ilogbq(p.hi);
  kxreal q;
  kxdiv(kxreal{1, 0}, kx::scaled_by_power_of_two(p, -j), q);
  // k m + j may pass the int range; any shift past 2^-40000 gives zero.
  const long long shift = static_cast<long long>(k) * m + j;
  return kx::scaled_by_power_of_two(q, shift > 40000 ? -40000 : static_cast<int>(-shift));
}

}  // namespace

void kxnpwr(const kxreal& a, int n, kxreal& b) {
  if (a.hi == 0) {
    if (n <= 0) {
      kx::fatal("('*** KXNPWR: Argument is zero and N is negative or zero.')");
    }
    b = {0, 0};
    return;
  }
  if (n == 0) {
    b = {1, 0};
    return;
  }
  // |n| must be representable: -2^31 has no 32-bit magnitude.
  if (n == INT_MIN) {
    kx::fatal("('*** KXNPWR: Improper value of N',i12)", n);
  }
  const int m = n < 0 ? -n : n;
  const kxreal p = positive_power(a, m);
  if (n > 0) {
    b = p;
  } else if (isinfq(p.hi) && kx::is_finite(a.hi)) {
    b = reciprocal_of_overflowing_power(a, m);
  } else if (p.hi == 0) {
    // a^m underflowed, so |a^-m| > 2^16494: infinity, of the sign of a^m
    // that the zero may have lost.
    const bool negative = a.hi < 0 && m % 2 == 1;
    b = {negative ? -HUGE_VALQ : HUGE_VALQ, 0};
  } else {
    kxdiv(kxreal{1, 0}, p, b);
  }
}
