// The value type kxcomplex: what compiles in the operator tables, the
// conversions, every operator against the complex routine on widened
// operands, the complex functions against MPC, and the conversion of a
// string to kxreal against MPFR.
#include <gtest/gtest.h>

#include <climits>
#include <complex>
#include <string>
#include <type_traits>

#include <kx/kx.h>

#include "oracle/complex_sweep.h"
#include "test_support.h"

namespace {

using oracle::big;
using oracle::hex;

// ---- What must and must not compile --------------------------------------

template <class A, class B>
concept addable = requires(A a, B b) {
  { a + b } -> std::same_as<kxcomplex>;
};
template <class A, class B>
concept arithmetic = requires(A a, B b) {
  { a - b } -> std::same_as<kxcomplex>;
  { a * b } -> std::same_as<kxcomplex>;
  { a / b } -> std::same_as<kxcomplex>;
  { a == b } -> std::same_as<bool>;
  { a != b } -> std::same_as<bool>;
};
template <class A, class B>
concept mixes = addable<A, B> && arithmetic<A, B>;
template <class A, class B>
concept mixes_not = !requires(A a, B b) { a + b; } && !requires(A a, B b) { a * b; } &&
                    !requires(A a, B b) { a / b; } && !requires(A a, B b) { a == b; };
template <class A, class B>
concept ordered = requires(A a, B b) { a < b; };
template <class T>
concept complex_power = requires(kxcomplex a, T n) { pow(a, n); };
template <class T>
concept compound = requires(kxcomplex a, T b) { a += b; a -= b; a *= b; a /= b; };

using C = kxcomplex;
using Z = __complex128;
using Q = __float128;
using R = kxreal;
using DZ = std::complex<double>;

// The table: C with C, Z, Q, R on either side, and R with Z.
static_assert(mixes<C, C> && mixes<C, Z> && mixes<Z, C> && mixes<C, Q> && mixes<Q, C>);
static_assert(mixes<C, R> && mixes<R, C> && mixes<R, Z> && mixes<Z, R>);
static_assert(compound<C> && compound<Z> && compound<Q> && compound<R>);
// Nothing else meets a kxcomplex, and R with Z gives no ordering either.
static_assert(mixes_not<C, int> && mixes_not<int, C> && mixes_not<C, double> && mixes_not<double, C>);
static_assert(mixes_not<C, long> && mixes_not<C, float> && mixes_not<C, long double> && mixes_not<C, DZ>);
static_assert(mixes_not<DZ, C> && mixes_not<R, DZ> && !compound<int> && !compound<double>);
static_assert(!ordered<C, C> && !ordered<C, Q> && !ordered<R, Z>);
static_assert(complex_power<int> && !complex_power<long> && !complex_power<double> && !complex_power<Q>);
// Widening is implicit from Z, Q and R; from DZ only when named; narrowing
// only when named; int and double never widen into a kxcomplex.
static_assert(std::is_convertible_v<Z, C> && std::is_convertible_v<Q, C> && std::is_convertible_v<R, C>);
static_assert(!std::is_convertible_v<DZ, C> && std::is_constructible_v<C, DZ>);
static_assert(!std::is_convertible_v<C, Z> && std::is_constructible_v<Z, C>);
static_assert(!std::is_convertible_v<C, DZ> && std::is_constructible_v<DZ, C>);
static_assert(!std::is_constructible_v<C, int> && !std::is_constructible_v<C, double>);
static_assert(!std::is_constructible_v<C, int, int> && !std::is_constructible_v<C, double, double>);
static_assert(sizeof(C) == 64);

// The non-integer powers: R ** R, R ** Q, Q ** R give R; C ** R, R ** C and
// C ** C give C; no other pairing of these types, and no int or double
// operand, has a power.
template <class A, class B, class Result>
concept power_of = requires(A a, B b) {
  { pow(a, b) } -> std::same_as<Result>;
};
template <class A, class B>
concept no_power = !requires(A a, B b) { pow(a, b); };
static_assert(power_of<R, R, R> && power_of<R, Q, R> && power_of<Q, R, R>);
static_assert(power_of<C, R, C> && power_of<R, C, C> && power_of<C, C, C>);
static_assert(power_of<R, int, R> && power_of<C, int, C>);
static_assert(no_power<int, R> && no_power<double, R> && no_power<R, double> && no_power<Q, C>);
static_assert(no_power<C, Q> && no_power<Z, C> && no_power<C, Z> && no_power<R, Z> && no_power<int, C>);

bool same_words(const kxcomplex& a, const kxcomplex& b) { return ::same_words(a.re, b.re) && ::same_words(a.im, b.im); }

Z quad_complex(Q re, Q im) {
  Z z;
  __real__ z = re;
  __imag__ z = im;
  return z;
}

TEST(ComplexType, ConversionsWidenExactlyAndNarrowToHighWords) {
  const kxcomplex fresh;
  EXPECT_TRUE(same_words(fresh, {kxreal{0, 0}, kxreal{0, 0}}));
  const kxreal x{1 + 0x1p-60Q, 0x1p-170Q}, y{-3, 0x1p-120Q};
  EXPECT_TRUE(same_words(kxcomplex{x, y}, {x, y}) && same_words(kxcomplex{x}, {x, kxreal{}}));
  kxcomplex c = 0.25Q;
  EXPECT_TRUE(same_words(c, {kxreal{0.25Q, 0}, kxreal{}}));
  c = quad_complex(2.5Q, -1);
  EXPECT_TRUE(same_words(c, {kxreal{2.5Q, 0}, kxreal{-1.0Q, 0}}));
  EXPECT_TRUE(same_words(kxcomplex{0.5Q, -2.0Q}, {kxreal{0.5Q, 0}, kxreal{-2.0Q, 0}}));
  EXPECT_TRUE(same_words(kxcomplex{DZ{0.1, -3}}, {kxreal{static_cast<Q>(0.1), 0}, kxreal{-3.0Q, 0}}));

  // Narrowing keeps the high words; to double each rounds to nearest even.
  const kxcomplex w{kxreal{1 + 0x1p-52Q + 0x1p-53Q, 0x1p-150Q}, kxreal{1 + 0x1p-53Q, 0x1p-170Q}};
  const Z z = static_cast<Z>(w);
  EXPECT_TRUE(__real__ z == w.re.hi && __imag__ z == w.im.hi);
  EXPECT_EQ(static_cast<DZ>(w), DZ(1 + 0x1p-51, 1.0));
  EXPECT_TRUE(same_words(w.real(), w.re) && same_words(w.imag(), w.im));
  EXPECT_TRUE(same_words(imag(w), w.im) && same_words(aimag(w), w.im));

  // -a and the conjugate flip sign bits only, zeros included.
  const kxcomplex v{kxreal{2, 0}, kxreal{-0x1p-10Q, 0x1p-130Q}};
  EXPECT_TRUE(same_words(-v, {kxreal{-2, -0.0Q}, kxreal{0x1p-10Q, -0x1p-130Q}}));
  EXPECT_TRUE(same_words(conj(v), {v.re, kxreal{0x1p-10Q, -0x1p-130Q}}) && same_words(conjg(v), conj(v)));
}

// Every combination of the table is the complex routine on the widened
// operands, word for word: C * Q is kxcmul with (q, 0), not kxmuld, and
// Q / C divides the widened q.
TEST(ComplexType, OperatorsCallTheRoutineOnWidenedOperands) {
  oracle::operands gen(77);
  const oracle::complex_sampler s = oracle::near_modulus(-20, 20, 10);
  for (int i = 0; i < 200; ++i) {
    const kxcomplex a = s(gen), b = s(gen);
    const kxreal r = b.re;
    const Q q = b.im.hi;
    const Z z = quad_complex(b.re.hi, b.im.hi);
    const kxcomplex wr{r}, wq{q}, wz{z};
    const auto expect = [&](const kxcomplex& typed, void (*routine)(const kxcomplex&, const kxcomplex&, kxcomplex&),
                            const kxcomplex& x, const kxcomplex& y) {
      kxcomplex c;
      routine(x, y, c);
      EXPECT_TRUE(same_words(typed, c)) << hex(x) << ", " << hex(y);
    };
    expect(a + b, kxcadd, a, b);
    expect(a - r, kxcsub, a, wr);
    expect(r - a, kxcsub, wr, a);
    expect(a * q, kxcmul, a, wq);
    expect(q * a, kxcmul, wq, a);
    expect(a / z, kxcdiv, a, wz);
    expect(z / a, kxcdiv, wz, a);
    expect(r * z, kxcmul, wr, wz);
    expect(z - r, kxcsub, wz, wr);
    expect(q / a, kxcdiv, wq, a);
    expect(a / r, kxcdiv, a, wr);
    kxcomplex acc = a;
    acc *= q;
    expect(acc, kxcmul, a, wq);
    EXPECT_TRUE(same_words(pow(a, 5), [&] {
      kxcomplex p;
      kxcpwr(a, 5, p);
      return p;
    }()));
  }
}

TEST(ComplexType, EqualityComparesBothParts) {
  const kxcomplex two{kxreal{2, 0}};
  EXPECT_TRUE(two == 2.0Q && !(two != 2.0Q) && 2.0Q == two);
  const kxcomplex two_plus_i{kxreal{2, 0}, kxreal{1, 0}};
  EXPECT_TRUE(two_plus_i != 2.0Q && !(two_plus_i == kxreal{2}));
  EXPECT_TRUE(two_plus_i == quad_complex(2, 1) && kxreal{2} == quad_complex(2, 0) && quad_complex(2, 1) != kxreal{2});
  // The low words decide, and -0 equals 0.
  EXPECT_TRUE((kxcomplex{kxreal{2, 0x1p-200Q}} != two) && (kxcomplex{kxreal{2}, kxreal{-0.0Q, 0}} == two));
  const kxcomplex nan{kxreal{__builtin_nanq(""), 0}};
  EXPECT_TRUE(nan != nan && !(nan == nan));
}

TEST(ComplexType, FunctionsAgainstMpc) {
  EXPECT_TRUE(same_words(abs(kxcomplex{kxreal{3}, kxreal{4}}), kxreal{5, 0}));
  EXPECT_TRUE(same_words(abs(kxcomplex{kxreal{-3}, kxreal{-4}}), kxreal{5, 0}));
  const kxcomplex root = sqrt(kxcomplex{kxreal{-4}});
  EXPECT_TRUE(root.re == kxreal{} && root.im == kxreal{2});

  const auto modulus = [](const kxcomplex& a, kxreal& m) { m = abs(a); };
  const auto root_of = [](const kxcomplex& a, kxcomplex& b) { b = sqrt(a); };
  // The ends of the range: squares that would overflow or lose their low words.
  const oracle::complex_row rows[] = {
      {"abs", modulus, mpc_abs, oracle::near_modulus(-3000, 3000, 60), 25},
      {"abs huge", modulus, mpc_abs, oracle::near_modulus(8129, 16382, 60), 25},
      {"abs tiny", modulus, mpc_abs, oracle::near_modulus(-16000, -8129, 60), 25},
      {"sqrt", root_of, mpc_sqrt, oracle::near_modulus(-3000, 3000, 60), 42},
  };
  oracle::sweep(rows, 1789);
  EXPECT_TRUE(abs(kxcomplex{kxreal{1e3000Q, 0}}).hi == 1e3000Q);
  EXPECT_TRUE(abs(kxcomplex{kxreal{}, kxreal{-1e-3000Q, 0}}).hi == 1e-3000Q);
}

TEST(ComplexType, FatalMessagesOfTheRoutines) {
  const kxcomplex zero;
  const kxcomplex one{kxreal{1}};
  EXPECT_FATAL_STOP(one / zero, "^\\*\\*\\* KXCDIV: Divisor is zero\\.\n$");
  EXPECT_FATAL_STOP(1.0Q / zero, "^\\*\\*\\* KXCDIV: Divisor is zero\\.\n$");
  EXPECT_FATAL_STOP(pow(zero, -1), "^\\*\\*\\* KXCPWR: Argument is zero and N is negative or zero\\.\n$");
  EXPECT_FATAL_STOP(pow(one, INT_MIN), "^\\*\\*\\* KXCPWR: Improper value of N -2147483648\n$");
}

// ---- Non-integer powers ---------------------------------------------------

oracle::sampler binary128_values(oracle::sampler s) {
  return [s = std::move(s)](oracle::operands& gen) { return kxreal{s(gen).hi, 0}; };
}

// Bounds from powers.h for the rows' largest |t|, the exponent of e, and
// |b| when the base lies in [1/2, 2].
double real_power_bound(double t, double b_near_one = 0) { return 360 + 300 * t + 450 * b_near_one; }
double complex_power_bound(double t) { return real_power_bound(t) + 1000; }

TEST(NonIntegerPowers, SweepAgainstMpfrAndMpc) {
  // |ln a| <= 7 ln 2 < 4.9 and |b| <= 4, so |t| < 19.6.
  const oracle::sampler base = oracle::log_uniform(-7, 6);
  const oracle::sampler exponent = oracle::uniform(-4.0Q, 4.0Q);
  const oracle::row real_rows[] = {
      {"pow R R", [](const kxreal& a, const kxreal& b, kxreal& c) { c = pow(a, b); }, mpfr_pow, base, exponent,
       real_power_bound(19.6)},
      {"pow R Q", [](const kxreal& a, const kxreal& b, kxreal& c) { c = pow(a, b.hi); }, mpfr_pow, base,
       binary128_values(exponent), real_power_bound(19.6)},
      {"pow Q R", [](const kxreal& a, const kxreal& b, kxreal& c) { c = pow(a.hi, b); }, mpfr_pow,
       binary128_values(base), exponent, real_power_bound(19.6)},
  };
  oracle::sweep(real_rows, 1618, 2000);

  // The whole range the bound covers, each point against its own bound.
  oracle::operands gen(1618);
  const oracle::sampler wide_base = oracle::uniform(0.01Q, 100.0Q), wide_exponent = oracle::uniform(-100.0Q, 100.0Q);
  double largest = 0;
  for (int i = 0; i < 2000; ++i) {
    const kxreal a = wide_base(gen), b = wide_exponent(gen), c = pow(a, b);
    oracle::big exact;
    mpfr_pow(exact.get(), oracle::big(a).get(), oracle::big(b).get(), MPFR_RNDN);
    const double t = std::fabs(static_cast<double>(b.hi) * std::log(static_cast<double>(a.hi)));
    const bool near_one = a.hi >= 0.5Q && a.hi <= 2;
    largest = std::max(largest, oracle::error_units(c, exact) / real_power_bound(t, near_one ? std::fabs((double)b.hi) : 0));
  }
  std::printf("[ accuracy ] pow R R, a in [0.01, 100], b in [-100, 100]: largest error %.3f of its bound\n", largest);
  EXPECT_LE(largest, 1);

  // Angles away from the axes, where kxang and the sine of kxcssnr keep
  // their accuracy: theta of z in [pi/4, 3pi/8], |z| in [2^-3, 2^4), so
  // |L| < 2.8; the angle phi of each result stays in about [0.18, 2.5].
  const oracle::complex_sampler z = oracle::polar(-3, 3, 0.7854, 1.1781);
  const oracle::complex_sampler r = oracle::real_axis(oracle::uniform(0.5Q, 2.0Q));
  const oracle::complex_sampler w = oracle::parts(oracle::uniform(0.5Q, 1.0Q), oracle::uniform(-0.1Q, 0.1Q));
  const oracle::complex_sampler w_of_real = oracle::parts(oracle::uniform(-2.0Q, 2.0Q), oracle::uniform(0.5Q, 1.2Q));
  const oracle::complex_sampler w_of_negative = oracle::parts(oracle::uniform(0.1Q, 0.4Q), oracle::uniform(0.05Q, 0.2Q));
  const auto complex_real = [](const kxcomplex& a, const kxcomplex& b, kxcomplex& c) { c = pow(a, b.re); };
  const auto real_complex = [](const kxcomplex& a, const kxcomplex& b, kxcomplex& c) { c = pow(a.re, b); };
  const auto complex_complex = [](const kxcomplex& a, const kxcomplex& b, kxcomplex& c) { c = pow(a, b); };
  const auto mpc_pow_real = [](mpc_ptr c, mpc_srcptr a, mpc_srcptr b) { mpc_pow_fr(c, a, mpc_realref(b), MPC_RNDNN); };
  const oracle::complex_row complex_rows[] = {
      {"pow C R", complex_real, mpc_pow_real, z, r, complex_power_bound(5.6)},
      {"pow R C", real_complex, mpc_pow, oracle::real_axis(oracle::uniform(2.0Q, 8.0Q)), w_of_real,
       complex_power_bound(4.2)},
      // A negative base goes the way of (a, 0) ** w, on the principal branch.
      {"pow -R C", real_complex, mpc_pow, oracle::real_axis(oracle::uniform(-8.0Q, -2.0Q)), w_of_negative,
       complex_power_bound(1.3)},
      {"pow C C", complex_complex, mpc_pow, z, w, complex_power_bound(2.9)},
  };
  oracle::sweep(complex_rows, 1618, 2000);

  // Bases whose squares would overflow: ln|z| from z taken 2^-k lower plus k ln 2.
  const oracle::complex_row huge_base[] = {
      {"pow C R huge", complex_real, mpc_pow_real, oracle::polar(9000, 12000, 0.7854, 1.1781),
       oracle::real_axis(oracle::uniform(0.1Q, 0.2Q)), complex_power_bound(1670)},
  };
  oracle::sweep(huge_base, 1618, 500);
}

TEST(NonIntegerPowers, EdgeValues) {
  // A real exponent goes through kxlog and kxexp: 2 ** 10.0 is 1024 to
  // within the bound, not necessarily exactly.
  const kxreal p = pow(kxreal{2}, kxreal{10});
  EXPECT_LE(oracle::error_units(p, big(__float128{1024})), real_power_bound(7));
  // (-1) ** (1/2) = i and (-8) ** (1/3) = 1 + i sqrt 3 on the principal branch.
  const kxcomplex i = pow(kxreal{-1}, kxcomplex{kxreal{0.5Q, 0}});
  EXPECT_LE(oracle::error_units(big(i.re), big(__float128{0}), big(__float128{1})), complex_power_bound(0));
  EXPECT_LE(oracle::error_units(i.im, big(__float128{1})), complex_power_bound(0));
  // A zero or negative real base of a real power, and a zero complex base,
  // stop in kxlog; a zero real base with a complex exponent too.
  const char* log_message = "^\\*\\*\\* KXLOG: Argument is less than or equal to zero\\.\n$";
  EXPECT_FATAL_STOP(pow(kxreal{-2}, kxreal{0.5Q, 0}), log_message);
  EXPECT_FATAL_STOP(pow(0.0Q, kxreal{2}), log_message);
  EXPECT_FATAL_STOP(pow(kxcomplex{}, kxreal{0.5Q, 0}), log_message);
  EXPECT_FATAL_STOP(pow(kxcomplex{}, kxcomplex{kxreal{1}, kxreal{1}}), log_message);
  EXPECT_FATAL_STOP(pow(kxreal{}, kxcomplex{kxreal{1}, kxreal{1}}), log_message);
}

// ---- Strings to kxreal -----------------------------------------------------

big decimal(const std::string& s) {
  big x;
  mpfr_set_str(x.get(), s.c_str(), 10, MPFR_RNDN);
  return x;
}

// The whole string converts, however long; blanks around a literal do not
// change its words.
TEST(StringConversion, WholeLiteralConvertsAndBlanksDoNotCount) {
  const std::string digits80 = "0.1234567890123456789012345678901234567890123456789012345678901234567890123456789";
  const std::string long_literal = digits80 + "9876543210e-5";
  const kxreal long_value = kx::to_real(long_literal);
  EXPECT_LE(oracle::error_units(long_value, decimal(long_literal)), oracle::inpc_bound(80 + 10, -93));
  // Cut after 80 characters it would differ by more than 10^-85 relative.
  EXPECT_GT(oracle::error_units(long_value, decimal(digits80.substr(0, 80))), 1e10);

  const std::string short_literal = "-2.718281828459045235360287471352662497757247093699959574966967627724";
  const kxreal value = kx::to_real(short_literal);
  EXPECT_LE(oracle::error_units(value, decimal(short_literal)), oracle::inpc_bound(67, -66));
  std::string padded = "   " + short_literal;
  padded.resize(80, ' ');
  EXPECT_TRUE(same_words(kx::to_real(padded), value) && same_words(kx::to_real(padded + "    "), value));
  EXPECT_TRUE(same_words(kx::to_real(""), kxreal{}));
  EXPECT_TRUE(same_words(kx::to_real("   1.5d+3"), kxreal{1500, 0}));
}

}  // namespace
