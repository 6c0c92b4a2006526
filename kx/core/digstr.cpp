#include <quadmath.h>

#include <kx/core/core.h>
#include <kx/core/digits.h>
#include <kx/support/fatal.h>

namespace {

constexpr int digstr_length = 32;

// The digit of a remainder r = x - 10 trunc(x / 10). For an integral x below
// 2^113 every step is exact and 0 <= r < 10; for other x the remainder is
// clamped to a digit so that the table is never read outside its ten entries.
char digit_of_remainder(__float128 r) {
  if (!(r >= 0)) return kx::decimal_digits[0];
  if (!(r < 10)) return kx::decimal_digits[9];
  return kx::decimal_digits[static_cast<int>(r)];
}

}  // namespace

std::array<char, 32> kxdigstr(__float128 x, int n) {
  if (n > digstr_length) {
    kx::fatal("('*** KXDIGSTR: Improper value of N',i10)", n);
  }
  std::array<char, 32> s;
  s.fill(' ');
  x = fabsq(x);
  for (int i = n; i >= 1; --i) {
    const __float128 q = truncq(x / 10);
    const __float128 r = x - q * 10;
    s[i - 1] = digit_of_remainder(r);
    x = q;
  }
  return s;
}
