// The functions by value against the routines they wrap, word for word; the
// mathematical names found by argument-dependent lookup beside the C
// library's; kxwrite and kxread through attached units.
#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <functional>
#include <sstream>
#include <string>
#include <type_traits>
#include <utility>
#include <vector>

#include <kx/kx.h>

#include "oracle/sweep.h"
#include "special/bernoulli_table.h"
#include "test_support.h"

namespace {

using oracle::log_uniform;
using oracle::uniform;

kxreal q(__float128 x) { return kxreal{x, 0}; }

// ---- Names: exp(x) on a kxreal is kx's, exp(1.0) stays the C library's ----

static_assert(std::is_same_v<decltype(exp(kxreal{})), kxreal> && std::is_same_v<decltype(exp(1.0)), double>);
static_assert(std::is_same_v<decltype(sin(kxcomplex{})), kxcomplex> && std::is_same_v<decltype(sin(1.0)), double>);
static_assert(std::is_same_v<decltype(atan2(kxreal{}, kxreal{})), kxreal>);
static_assert(std::is_same_v<decltype(hypot(2.0, 3.0)), double> && std::is_same_v<decltype(log10(100)), double>);

// ---- Same words -------------------------------------------------------------

// A row: the typed call and the routine's call on arguments (a, b) drawn by
// the samplers (an integer argument is drawn as a kxreal and truncated; b is
// the even-Bernoulli array).
using call = std::function<kxreal(const kxreal&, const kxreal&)>;
struct same_words_row {
  const char* name;
  oracle::sampler a, b;
  call typed, routine;
  int samples = 40;
};

#define VALUE_OF(expression)                                               \
  []([[maybe_unused]] const kxreal& a, [[maybe_unused]] const kxreal& b) { \
    [[maybe_unused]] const std::span<const kxreal> be = bernoulli();       \
    return expression;                                                     \
  }
#define OUTPUT_OF(statement) VALUE_OF([&] { kxreal r; statement; return r; }())

int n_of(const kxreal& a) { return static_cast<int>(a.hi); }

// The Eulerian table of order m, filled by kxpolylogini.
std::vector<kxreal> eulerian(int m) {
  std::vector<kxreal> t(m);
  kxpolylogini(m, t);
  return t;
}
std::vector<kxreal> pair(const kxreal& a, const kxreal& b) { return {a, b}; }

TEST(Wrappers, GiveTheWordsOfTheRoutineTheyWrap) {
  const oracle::sampler any = uniform(q(-20), q(20)), positive = log_uniform(-300, 300);
  const oracle::sampler unit = uniform(q(0.01Q), q(0.99Q)), orders = uniform(q(2), q(40));
  const oracle::sampler to_50 = uniform(q(0.01Q), q(50));
  const same_words_row rows[] = {
      {"exp", any, any, VALUE_OF(exp(a)), OUTPUT_OF(kxexp(a, r))},
      {"log", positive, any, VALUE_OF(log(a)), OUTPUT_OF(kxlog(a, r))},
      {"sin", any, any, VALUE_OF(sin(a)), OUTPUT_OF(kxreal c; kxcssnr(a, c, r))},
      {"cos", any, any, VALUE_OF(cos(a)), OUTPUT_OF(kxreal s; kxcssnr(a, r, s))},
      {"sinh", any, any, VALUE_OF(sinh(a)), OUTPUT_OF(kxreal c; kxcoshsinh(a, c, r))},
      {"cosh", any, any, VALUE_OF(cosh(a)), OUTPUT_OF(kxreal s; kxcoshsinh(a, r, s))},
      {"asinh", any, any, VALUE_OF(asinh(a)), OUTPUT_OF(kxasinh(a, r))},
      {"acosh", log_uniform(0, 300), any, VALUE_OF(acosh(a)), OUTPUT_OF(kxacosh(a, r))},
      {"atanh", uniform(q(-0.99Q), q(0.99Q)), any, VALUE_OF(atanh(a)), OUTPUT_OF(kxatanh(a, r))},
      {"atan2", any, any, VALUE_OF(atan2(a, b)), OUTPUT_OF(kxang(b, a, r))},
      {"agm", positive, positive, VALUE_OF(agm(a, b)), OUTPUT_OF(kxagmr(a, b, r))},
      {"kxpi", any, any, VALUE_OF(kxpi()), OUTPUT_OF(kxpi(r)), 1},
      {"kxlog2", any, any, VALUE_OF(kxlog2()), OUTPUT_OF(kxlog2(r)), 1},
      {"kxegamma", any, any, VALUE_OF(kxegamma()), OUTPUT_OF(kxegamma(r)), 1},
      {"kxzetar", uniform(q(1.5Q), q(40)), any, VALUE_OF(kxzetar(a)), OUTPUT_OF(kxzetar(a, r))},
      {"kxzetaintr", uniform(q(-60), q(-1)), any, VALUE_OF(kxzetaintr(n_of(a))), OUTPUT_OF(kxzetaintr(n_of(a), r))},
      {"kxzetabe", uniform(q(1.5Q), q(40)), any, VALUE_OF(kxzetabe(be, a)), OUTPUT_OF(kxzetabe(be, a, r))},
      {"kxgammar", uniform(q(-30), q(30)), any, VALUE_OF(kxgammar(a)), OUTPUT_OF(kxgammar(a, r))},
      {"kxincgammar", uniform(q(-3), q(3)), uniform(q(0.5Q), q(200)), VALUE_OF(kxincgammar(a, b)),
       OUTPUT_OF(kxincgammar(a, b, r)), 10},
      {"kxdigammabe", positive, any, VALUE_OF(kxdigammabe(be, a)), OUTPUT_OF(kxdigammabe(be, a, r))},
      {"kxpolygamma", orders, unit, VALUE_OF(kxpolygamma(n_of(a), b)), OUTPUT_OF(kxpolygamma(n_of(a), b, r)), 5},
      {"kxpolygammabe", orders, to_50, VALUE_OF(kxpolygammabe(be, n_of(a), b)),
       OUTPUT_OF(kxpolygammabe(be, n_of(a), b, r))},
      {"kxhurwitzzetan", orders, unit, VALUE_OF(kxhurwitzzetan(n_of(a), b)),
       OUTPUT_OF(kxhurwitzzetan(n_of(a), b, r)), 5},
      {"kxhurwitzzetanbe", orders, to_50, VALUE_OF(kxhurwitzzetanbe(be, n_of(a), b)),
       OUTPUT_OF(kxhurwitzzetanbe(be, n_of(a), b, r))},
      {"kxbesseljnr", orders, to_50, VALUE_OF(kxbesseljnr(n_of(a), b)), OUTPUT_OF(kxbesseljnr(n_of(a), b, r)), 10},
      {"kxbesselynr", orders, to_50, VALUE_OF(kxbesselynr(n_of(a), b)), OUTPUT_OF(kxbesselynr(n_of(a), b, r)), 10},
      {"kxbesselinr", orders, to_50, VALUE_OF(kxbesselinr(n_of(a), b)), OUTPUT_OF(kxbesselinr(n_of(a), b, r)), 10},
      {"kxbesselknr", orders, to_50, VALUE_OF(kxbesselknr(n_of(a), b)), OUTPUT_OF(kxbesselknr(n_of(a), b, r)), 10},
      {"kxbesselj0", to_50, any, VALUE_OF(kxbesselj0(a)), OUTPUT_OF(kxbesseljnr(0, a, r)), 10},
      {"kxbesselj1", to_50, any, VALUE_OF(kxbesselj1(a)), OUTPUT_OF(kxbesseljnr(1, a, r)), 10},
      {"kxbessely0", to_50, any, VALUE_OF(kxbessely0(a)), OUTPUT_OF(kxbesselynr(0, a, r)), 10},
      {"kxbessely1", to_50, any, VALUE_OF(kxbessely1(a)), OUTPUT_OF(kxbesselynr(1, a, r)), 10},
      {"kxbesseljr", unit, to_50, VALUE_OF(kxbesseljr(a, b)), OUTPUT_OF(kxbesseljr(a, b, r)), 10},
      {"kxbesselyr", unit, to_50, VALUE_OF(kxbesselyr(a, b)), OUTPUT_OF(kxbesselyr(a, b, r)), 10},
      {"kxbesselir", unit, to_50, VALUE_OF(kxbesselir(a, b)), OUTPUT_OF(kxbesselir(a, b, r)), 10},
      {"kxbesselkr", unit, to_50, VALUE_OF(kxbesselkr(a, b)), OUTPUT_OF(kxbesselkr(a, b, r)), 10},
      {"kxerfr", any, any, VALUE_OF(kxerfr(a)), OUTPUT_OF(kxerfr(a, r))},
      {"kxerfcr", uniform(q(-5), q(30)), any, VALUE_OF(kxerfcr(a)), OUTPUT_OF(kxerfcr(a, r))},
      {"kxexpint", any, any, VALUE_OF(kxexpint(a)), OUTPUT_OF(kxexpint(a, r)), 10},
      {"kxstruvehn", orders, uniform(q(-12), q(12)), VALUE_OF(kxstruvehn(n_of(a), b)),
       OUTPUT_OF(kxstruvehn(n_of(a), b, r)), 10},
      {"kxpolylogpos", orders, unit, VALUE_OF(kxpolylogpos(n_of(a), b)), OUTPUT_OF(kxpolylogpos(n_of(a), b, r)), 10},
      {"polylog_neg", orders, any, VALUE_OF(polylog_neg(-n_of(a), eulerian(n_of(a)), b)),
       OUTPUT_OF(kxpolylogneg(-n_of(a), eulerian(n_of(a)), b, r)), 10},
      {"kxhypergeompfq", unit, uniform(q(-0.9Q), q(0.9Q)), VALUE_OF(kxhypergeompfq(2, 1, pair(a, q(1)), pair(b, b), b)),
       OUTPUT_OF(kxhypergeompfq(2, 1, pair(a, q(1)), pair(b, b), b, r)), 10},
  };
  for (const same_words_row& row : rows) {
    oracle::operands gen(oracle::detail::name_hash(row.name));
    for (int i = 0; i < row.samples; ++i) {
      const kxreal a = row.a(gen), b = row.b(gen);
      const kxreal typed = row.typed(a, b), routine = row.routine(a, b);
      ASSERT_TRUE(same_words(typed, routine)) << row.name << " at a = " << oracle::hex(a) << ", b = "
                                              << oracle::hex(b) << ": " << oracle::hex(typed) << " against "
                                              << oracle::hex(routine);
    }
  }
}

// ---- kxwrite and kxread -------------------------------------------------------

constexpr int write_unit = 21;
constexpr int read_unit = 22;

kxcomplex drawn(oracle::operands& gen, kxcomplex) { return {gen.pair(), gen.pair()}; }
kxreal drawn(oracle::operands& gen, kxreal) { return gen.pair(); }

// The lines kxwrite gives for one value: its parts in order, real part first.
std::string lines_of(const kxreal& x) { return kxeformat(x, 80, 70) + "\n"; }
std::string lines_of(const kxcomplex& z) { return lines_of(z.re) + lines_of(z.im); }

// Reading a line back gives the words kxinpc gives for it.
void expect_read_back(const kxreal& back, const kxreal& written) {
  kxreal expected;
  kxinpc(kxeformat(written, 80, 70), expected);
  EXPECT_TRUE(same_words(back, expected)) << oracle::hex(back) << " for " << oracle::hex(written);
}
void expect_read_back(const kxcomplex& back, const kxcomplex& written) {
  expect_read_back(back.re, written.re);
  expect_read_back(back.im, written.im);
}

// n values of type T written in one kxwrite and read back in one kxread.
template <class T, std::size_t... I>
void round_trip(std::index_sequence<I...>) {
  oracle::operands gen(sizeof...(I));
  const std::array<T, sizeof...(I)> values = {drawn(gen, (static_cast<void>(I), T{}))...};
  std::ostringstream out;
  kx::attach_output_unit(write_unit, out);
  kxwrite(write_unit, 80, 70, values[I]...);
  kx::detach_unit(write_unit);
  std::string expected;
  for (const T& v : values) expected += lines_of(v);
  EXPECT_EQ(out.str(), expected) << sizeof...(I) << " values";

  std::istringstream in(out.str());
  kx::attach_input_unit(read_unit, in);
  std::array<T, sizeof...(I)> back{};
  kxread(read_unit, back[I]...);
  kx::detach_unit(read_unit);
  for (std::size_t k = 0; k < values.size(); ++k) expect_read_back(back[k], values[k]);
}

template <class T>
concept writable_with = requires(T a, kxreal x, kxcomplex z) { kxwrite(6, 80, 70, a, x, z); };
template <class... T>
concept readable = requires(T&... v) { kxread(5, v...); };
// One kind of value per call, one to five of them, read into variables.
static_assert(!writable_with<kxreal> && readable<kxreal, kxreal, kxreal, kxreal, kxreal>);
static_assert(!readable<kxreal, kxreal, kxreal, kxreal, kxreal, kxreal> && !readable<kxreal, kxcomplex>);
static_assert(!readable<const kxreal> && !readable<> && readable<kxcomplex, kxcomplex>);

TEST(Wrappers, PolylogIniFillsTheTableKxpolyloginiFills) {
  for (int m : {1, 3, 17}) {
    std::vector<kxreal> typed(m);
    kx::polylog_ini(-m, typed);
    const std::vector<kxreal> routine = eulerian(m);
    for (int i = 0; i < m; ++i) EXPECT_TRUE(same_words(typed[i], routine[i])) << "order " << m << ", entry " << i;
  }
}

TEST(Wrappers, WriteAndReadOneToFiveValues) {
  round_trip<kxreal>(std::make_index_sequence<1>());
  round_trip<kxreal>(std::make_index_sequence<2>());
  round_trip<kxreal>(std::make_index_sequence<5>());
  round_trip<kxcomplex>(std::make_index_sequence<1>());
  round_trip<kxcomplex>(std::make_index_sequence<3>());
  round_trip<kxcomplex>(std::make_index_sequence<5>());
}

}  // namespace
