// zeta(s): for s above 31.2361 the direct sum of i^-s; below, Borwein's
// alternating sum of 140 terms with binomial weights (error about
// (3 + sqrt 8)^-70, below 2^-226); negative s through the functional
// equation zeta(s) = 2 zeta(1-s) Gamma(1-s) cos(pi(1-s)/2) / (2 pi)^(1-s).
// Euler-Maclaurin: 40 leading terms and the Bernoulli tail at 40.
#include <quadmath.h>

#include <array>
#include <span>

#include <kx/core/core.h>
#include <kx/elementary/circular.h>
#include <kx/elementary/exp_log.h>
#include <kx/special/gamma.h>
#include <kx/special/loop_budgets.h>
#include <kx/special/series.h>
#include <kx/special/zeta.h>
#include <kx/support/fatal.h>

namespace {

constexpr int borwein_m = 70;
constexpr int zetabe_minimum = 102;
constexpr int maclaurin_terms = 40;
// Beyond this |n| the functional equation's value leaves the range.
constexpr int overflow_order = 10000;
// 2^-s is below the least subnormal here: zeta(s) = 1 to the format.
constexpr __float128 unit_floor = 16495;

// 226 log 2 / log(452/3): above it the direct sum needs fewer terms than
// Borwein's. Formed once (logq is deterministic): the same word each call.
__float128 direct_threshold() {
  static const __float128 threshold =
      156.651262806547639928294459449547905Q / logq(150.666666666666666666666666666666658Q);
  return threshold;
}

// 224 log 2 / log 64: above it the direct sum beats Euler-Maclaurin at 40.
__float128 maclaurin_threshold() {
  static const __float128 threshold = 155.264968445427749309459995206631547Q / logq(64);
  return threshold;
}

// sum_{i>=1} 1/i^t, stopping by the 2^-226 test; `inverse_power(i)` gives i^-t.
template <typename Power, typename Fail>
kxreal direct_sum(Power inverse_power, Fail fail) {
  kxreal z{1};
  for (int i = 2; i <= kx::zeta_direct_limit; ++i) {
    const kxreal term = inverse_power(i);
    kxadd(z, term, z);
    if (kx::settled(term, z)) return z;
  }
  fail();
  __builtin_unreachable();
}

// 2^70 and Borwein's weights e_0 .. e_139 (e_(i-1) divides the i-th term):
// the same for every s, so formed once, by the operations in the order the
// sum used to interleave them with its terms.
struct borwein_weights {
  kxreal two_m;
  std::array<kxreal, 2 * borwein_m> e;
};

borwein_weights form_borwein_weights() {
  borwein_weights w;
  kxnpwr(kxreal{2}, borwein_m, w.two_m);
  kxreal e;
  kxneg(w.two_m, e);
  kxreal binomial;
  for (int i = 1; i <= 2 * borwein_m; ++i) {
    w.e[i - 1] = e;
    if (i == borwein_m) {
      binomial = kxreal{1};
      kxadd(e, binomial, e);
    } else if (i > borwein_m) {
      kxmuld(binomial, 2 * borwein_m + 1 - i, binomial);
      kxdivd(binomial, i - borwein_m, binomial);
      kxadd(e, binomial, e);
    }
  }
  return w;
}

const borwein_weights& stored_borwein_weights() {
  static const borwein_weights w = form_borwein_weights();
  return w;
}

// Borwein: -S / (2^70 (1 - 2^(1-t))) with S = sum_{i=1..140} (-1)^(i-1) e_(i-1) / i^t;
// `power(i)` gives i^t and `one_minus` 1 - 2^(1-t).
template <typename Power>
kxreal borwein_sum(Power power, const kxreal& one_minus) {
  const borwein_weights& w = stored_borwein_weights();
  __float128 sigma = 1;
  kxreal sum;
  for (int i = 1; i <= 2 * borwein_m; ++i) {
    kxreal term;
    kxdiv(w.e[i - 1], power(i), term);
    kxmuld(term, sigma, term);
    kxadd(sum, term, sum);
    sigma = -sigma;
  }
  kxreal den;
  kxmul(w.two_m, one_minus, den);
  kxreal z;
  kxneg(sum, z);
  kxdiv(z, den, z);
  return z;
}

// Borwein's sum at a real t with i^t and 2^(1-t) by kxpower.
kxreal borwein_real(const kxreal& t) {
  kxreal u;
  kxsub(kxreal{1}, t, u);
  return borwein_sum(
      [&t](int i) {
        kxreal r;
        kxpower(kxreal{i}, t, r);
        return r;
      },
      kx::one_minus_power_of_two(u));
}

kxreal inverse_real_power(int i, const kxreal& t) {
  kxreal r;
  kxpower(kxreal{i}, t, r);
  kxdiv(kxreal{1}, r, r);
  return r;
}

// zeta(s) = 2 zeta(t) Gamma(t) c / (2 pi)^t for s < 0, t = 1 - s, with
// c = cos(pi t/2), taken as sin(pi s/2) for -1 < s < 0 where t/2 is near
// 1/2 and the cosine would lose the offset.
kxreal reflect(const kxreal& s, const kxreal& t, const kxreal& zeta_t) {
  kxreal pi;
  kxpi(pi);
  kxreal g;
  kxgammar(t, g);
  kxreal angle;
  kxreal c;
  kxreal sine;
  if (s.hi > -1) {
    kxmuld(s, 0.5Q, angle);
    c = kx::sin_pi(angle);
  } else {
    kxmul(pi, t, angle);
    kxmuld(angle, 0.5Q, angle);
    kxcssnr(angle, c, sine);
  }
  kxreal two_pi;
  kxmuld(pi, 2, two_pi);
  kxpower(two_pi, t, two_pi);
  kxreal z;
  kxmul(zeta_t, g, z);
  kxmul(z, c, z);
  kxdiv(z, two_pi, z);
  kxmuld(z, 2, z);
  return z;
}

// The sign of zeta(1 - k) for even k: that of cos(pi k/2) = (-1)^(k/2).
__float128 odd_negative_sign(long long k) { return (k / 2) % 2 == 0 ? 1 : -1; }

// Gamma(k)/(2 pi)^k as a running product, where (k-1)! leaves the range.
kxreal gamma_over_two_pi_power(int k) {
  kxreal two_pi;
  kxpi(two_pi);
  kxmuld(two_pi, 2, two_pi);
  kxreal r{1};
  for (int i = 1; i < k; ++i) {
    kxmuld(r, i, r);
    kxdiv(r, two_pi, r);
  }
  kxdiv(r, two_pi, r);
  return r;
}

// zeta(n) = 2 zeta(k) Gamma(k) cos(pi k/2)/(2 pi)^k for n = 1 - k < 0, k even.
kxreal reflect_integer(int k, const kxreal& zeta_k) {
  kxreal pi;
  kxpi(pi);
  kxreal angle;
  kxmuld(pi, k, angle);
  kxmuld(angle, 0.5Q, angle);
  kxreal c;
  kxreal sine;
  kxcssnr(angle, c, sine);
  kxreal z;
  const kxreal g = kx::factorial(k - 1);
  if (!finiteq(g.hi)) {
    kxmul(zeta_k, gamma_over_two_pi_power(k), z);
    kxmul(z, c, z);
  } else {
    kxreal two_pi;
    kxmuld(pi, 2, two_pi);
    kxnpwr(two_pi, k, two_pi);
    kxmul(zeta_k, g, z);
    kxmul(z, c, z);
    kxdiv(z, two_pi, z);
  }
  kxmuld(z, 2, z);
  return z;
}

// The value at a large negative integer s: 0 for even s, infinite otherwise
// (|zeta(s)| passes the range near s = -2313).
kxreal large_negative_integer(const kxreal& s) {
  kxreal half;
  kxreal ip;
  kxreal f;
  kxmuld(s, 0.5Q, half);
  kxinfr(half, ip, f);
  if (f.hi == 0) return {};
  // k = 1 - s; the sign is (-1)^(k/2), k/2 = (1 - s)/2.
  kxreal k2;
  kxsub(kxreal{1}, s, k2);
  kxmuld(k2, 0.25Q, k2);
  kxinfr(k2, ip, f);
  return {f.hi == 0 ? __builtin_inff128() : -__builtin_inff128(), 0};
}

// The Euler-Maclaurin value of zeta(t) at N = 40, for 0 < t <= 37.333, t != 1.
kxreal maclaurin(std::span<const kxreal> b, const kxreal& t) {
  kxreal sum{1};
  kxreal power;
  for (int i = 2; i <= maclaurin_terms; ++i) {
    kxpower(kxreal{i}, t, power);
    kxreal r;
    kxdiv(kxreal{1}, power, r);
    kxadd(sum, r, sum);
  }
  kxreal t1;
  kxsub(t, kxreal{1}, t1);
  kxreal r;
  kxmul(power, t1, r);
  kxdiv(kxreal{maclaurin_terms}, r, r);
  kxadd(sum, r, sum);
  kxdiv(kxreal{0.5Q}, power, r);
  kxsub(sum, r, sum);
  kxreal correction;
  kxmuld(power, 480, r);
  kxdiv(t, r, correction);
  kxreal ratio = t;
  kxreal w;
  kxmuld(power, maclaurin_terms, w);
  const int last = std::min(static_cast<int>(b.size()), kx::zeta_direct_limit);
  kxreal previous = correction;
  for (int k = 2; k <= last; ++k) {
    const int m = 2 * k - 2;
    kxreal f;
    kxadd(t, kxreal{m}, f);
    kxmul(ratio, f, ratio);
    kxadd(t, kxreal{m - 1}, f);
    kxmul(ratio, f, ratio);
    kxdivd(ratio, static_cast<__float128>(m + 1) * m, ratio);
    kxmuld(w, maclaurin_terms * maclaurin_terms, w);
    kxreal term;
    kxreal den;
    kxmul(ratio, b[k - 1], term);
    kxmuld(w, 2 * k, den);
    kxdiv(term, den, term);
    // The tail diverges: where its terms grow again before settling against
    // the correction alone, it ends at its smallest term if that term is
    // below 2^-226 of the whole sum.
    if (fabsq(term.hi) >= fabsq(previous.hi)) {
      kxreal whole;
      kxadd(sum, correction, whole);
      if (!kx::settled(previous, whole)) break;
      return whole;
    }
    kxadd(correction, term, correction);
    if (kx::settled(term, correction)) {
      kxadd(sum, correction, sum);
      return sum;
    }
    previous = term;
  }
  kx::fatal("('*** KXZETABE: iteration limit exceeded',2i10)", 2, last);
}

}  // namespace

void kxzetaintr(int n, kxreal& z) {
  if (n == 1) kx::fatal("('*** KXZETAINTR: argument is 1')");
  if (n == 0) {
    z = kxreal{-0.5Q};
    return;
  }
  if (n < 0 && n % 2 == 0) {
    z = kxreal{};
    return;
  }
  const long long k = n < 0 ? 1 - static_cast<long long>(n) : n;
  if (n < 0 && k > overflow_order) {
    z = kxreal{odd_negative_sign(k) * __builtin_inff128(), 0};
    return;
  }
  const int ki = static_cast<int>(k);
  kxreal zk;
  if (static_cast<__float128>(ki) > direct_threshold()) {
    zk = direct_sum(
        [ki](int i) {
          kxreal r;
          kxnpwr(kxreal{i}, -ki, r);
          return r;
        },
        [] { kx::fatal("('*** KXZETAINTR: iteration limit exceeded',2i10)", 1, kx::zeta_direct_limit); });
  } else {
    kxreal p;
    kxnpwr(kxreal{2}, 1 - ki, p);
    kxsub(kxreal{1}, p, p);
    zk = borwein_sum(
        [ki](int i) {
          kxreal r;
          kxnpwr(kxreal{i}, ki, r);
          return r;
        },
        p);
  }
  z = n < 0 ? reflect_integer(ki, zk) : zk;
}

void kxzetar(const kxreal& s, kxreal& z) {
  int ic = 0;
  kxcpr(s, kxreal{1}, ic);
  if (ic == 0) kx::fatal("('*** KXZETAR: argument is 1')");
  if (s.hi > unit_floor) {
    z = kxreal{1};
    return;
  }
  kxreal ip;
  kxreal f;
  kxinfr(s, ip, f);
  if (f.hi == 0) {
    if (s.hi > -0x1p31Q) {
      kxzetaintr(static_cast<int>(s.hi), z);
    } else {
      z = large_negative_integer(s);
    }
    return;
  }
  kxreal t = s;
  if (s.hi < 0) kxsub(kxreal{1}, s, t);
  kxreal zt;
  if (t.hi > direct_threshold()) {
    zt = direct_sum([&t](int i) { return inverse_real_power(i, t); },
                    [] { kx::fatal("('*** KXZETAR: iteration limit exceeded',2i10)", 1, kx::zeta_direct_limit); });
  } else {
    zt = borwein_real(t);
  }
  z = s.hi < 0 ? reflect(s, t, zt) : zt;
}

void kxzetabe(std::span<const kxreal> b, const kxreal& s, kxreal& z) {
  if (!kx::bernoulli_ready(b, zetabe_minimum)) {
    kx::fatal(
        "('*** KXZETABE: Array of even Bernoulli coefficients must be initialized'/ 'with at least',i8,' "
        "entries.')",
        zetabe_minimum);
  }
  int ic = 0;
  kxcpr(s, kxreal{1}, ic);
  if (ic == 0) kx::fatal("('*** KXZETABE: argument is 1')");
  if (s.hi == 0) {
    z = kxreal{-0.5Q};
    return;
  }
  kxreal t = s;
  if (s.hi < 0) {
    kxreal half;
    kxreal ip;
    kxreal f;
    kxmuld(s, 0.5Q, half);
    kxinfr(half, ip, f);
    if (f.hi == 0) {
      z = kxreal{};
      return;
    }
    kxsub(kxreal{1}, s, t);
  }
  kxreal zt;
  if (t.hi > maclaurin_threshold()) {
    zt = direct_sum([&t](int i) { return inverse_real_power(i, t); },
                    [] { kx::fatal("('*** KXZETABE: iteration limit exceeded',2i10)", 1, kx::zeta_direct_limit); });
  } else {
    zt = maclaurin(b, t);
  }
  z = s.hi < 0 ? reflect(s, t, zt) : zt;
}
