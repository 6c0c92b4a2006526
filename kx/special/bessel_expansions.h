// What the Bessel routines share: Hankel's expansion of J and Y, the
// asymptotic expansion of I and K, the test that an alternating expansion
// can reach 2^-226, and the recurrences in the order that carry a value
// from low orders to high ones (or back) where the expansions cannot.
#pragma once

#include <span>
#include <vector>

#include <kx/core/core.h>

namespace kx {

/// |x| (high word) from which the expansions replace the power series:
/// 1.5 * 226 * log10(2), as a stored binary128 constant.
inline constexpr __float128 bessel_threshold = 102.049168530089625177457485311603137Q;

/// |x| from which Hankel's expansion of J and Y is tried before the power
/// series: from about here its smallest term, about e^-2x, passes 2^-226.
inline constexpr __float128 hankel_floor = 80;

/// |x| from which the (non-alternating) expansion of K reaches 2^-226 for
/// every order: its smallest term is about e^-2x, whatever mu.
inline constexpr __float128 k_expansion_floor = 78.5Q;

/// The largest order magnitude the Bessel routines accept: their recurrences
/// hold a sequence of about that many values, and a larger order is refused.
inline constexpr int largest_bessel_order = 100000;

/// Iteration limit of every series, fraction and expansion: a variable only
/// so that a test can lower it and reach a "Loop end error".
inline int bessel_term_limit = 1000000;

/// P and Q of Hankel's expansion, and whether both settled within the limit.
struct hankel_sums {
  kxreal p, q;
  bool settled;
};

/// P = sum (-1)^k a_2k(mu) / r^2k and Q = sum (-1)^k a_2k+1(mu) / r^(2k+1),
/// a_j(mu) = (mu - 1)(mu - 9)...(mu - (2j-1)^2) / (j! 8^j), both summed
/// until their terms pass the 2^-226 test against their sums; settled false
/// at the limit, as soon as P's terms grow again after their smallest, or
/// at a NaN term (r^2 past the range).
hankel_sums hankel_expansion(const kxreal& mu, const kxreal& r);

/// J and Y from Hankel's P and Q: with chi = r - phase - pi/4 (phase = order
/// times pi/2), sqrt(2/(pi r)) (P cos chi - Q sin chi) and
/// sqrt(2/(pi r)) (P sin chi + Q cos chi).
void hankel_values(const hankel_sums& h, const kxreal& phase, const kxreal& r, kxreal& j, kxreal& y);

/// The sum S = sum_k a_k / r^k, a_k = (mu - 1)(mu - 9)...(mu - (2k-1)^2) /
/// (k! 8^k), with the sign of every term alternating (for I) or not (for K),
/// until a term passes the 2^-226 test; settled false at the limit or at a
/// NaN term (the shape of every series of the Bessel routines). in_range false when a
/// power series stopped because its running denominator left the range.
struct bessel_sum {
  kxreal s;
  bool settled;
  bool in_range = true;
};
bessel_sum modified_expansion(const kxreal& mu, const kxreal& r, bool alternating);

/// I = S e^r / sqrt(2 pi r) and K = S sqrt(pi/(2r)) / e^r.
kxreal i_from_expansion(const kxreal& s, const kxreal& r);
kxreal k_from_expansion(const kxreal& s, const kxreal& r);

/// True when the alternating expansions (J and Y by Hankel, I) settle near
/// 2^-226 of their sums at this mu = 4 order^2: their terms first grow by
/// about e^(mu / 8r) while alternating, which mu <= 32 r holds to e^4.
bool order_small_against(const kxreal& mu, const kxreal& r);

/// The order N > max(n, r) + 10 at which Miller's recurrence starts: the
/// first where the estimate of f_N / f_n, the product of the ratios
/// f_k / f_(k-1) ~ r / (k + sqrt(k^2 + sign r^2)) (Debye's leading term; 1
/// for J below k = r), summed as logarithms in binary128, falls under e^-180.
/// miller_start sums in doubles and returns the same order, taking the
/// binary128 sum of miller_start_written where the two could differ.
int miller_start(int n, const kxreal& r, int sign);
int miller_start_written(int n, const kxreal& r, int sign);

/// f_(mu0+k)(r) for k = 0..N, up to one common factor, for J (sign -1) or
/// I (sign +1), |mu0| <= 1/2: the recurrence f_(k-1) = (2 (mu0 + k) / r)
/// f_k + sign f_(k+1) run down from f_N = 1, f_(N+1) = 0, with N > max(n, r)
/// the order where f_N / f_n is below e^-180 (Miller's method). Stable: J
/// and I are the solutions that fall as the order rises, so every entry up
/// to about N - 40 carries 2^-226 of the common factor.
std::vector<kxreal> miller_sequence(const kxreal& mu0, int n, const kxreal& r, int sign);

/// f_(mu0+n)(r), n >= 0, |mu0| <= 1/2, for J (sign -1) or I (sign +1): the
/// Miller sequence scaled so that its values at mu0 and mu0 + 1 match the
/// larger of v0 = f_mu0(r), v1 = f_(mu0+1)(r).
kxreal miller_recurrence(const kxreal& mu0, int n, const kxreal& r, int sign, const kxreal& v0, const kxreal& v1);

/// Neumann's sum of a Miller sequence f of J: sum_k w_k f[2k] with w_0 = 1,
/// w_k = (mu0 + 2k) Gamma(mu0 + k) / (Gamma(mu0 + 1) k!), which for exact J
/// is (r/2)^mu0 / Gamma(mu0 + 1) (for mu0 = 0: J_0 + 2 (J_2 + J_4 + ...) =
/// 1). The weights are positive for mu0 > -1, so the sum does not cancel;
/// it runs by Horner's rule from the top, w_k / w_(k-1) = mu0 + 2 for k = 1
/// and (mu0 + 2k) (mu0 + k - 1) / ((mu0 + 2k - 2) k) above (exactly 1 for
/// mu0 = 0).
kxreal neumann_sum(const kxreal& mu0, std::span<const kxreal> f);

/// J_(mu0+n)(r) for n < 0 from f0 = J_mu0(r), f1 = J_(mu0+1)(r) by the
/// recurrence run down in the order, which is stable where the functions of
/// negative non-integer order grow with it (away from integer orders).
kxreal downward_recurrence(const kxreal& mu0, int n, const kxreal& r, const kxreal& f0, const kxreal& f1);

/// f_(mu0+n) from f_mu0 = f0, f_(mu0+1) = f1 by the recurrence run upwards,
/// f_(k+1) = (2 (mu0 + k) / r) f_k + sign f_(k-1): sign -1 for Y (stable,
/// as Y grows with the order) and +1 for K (K grows too). n >= 0. A value
/// beyond the range is infinity of the sign it grew with.
kxreal upward_recurrence(const kxreal& mu0, int n, const kxreal& r, const kxreal& f0, const kxreal& f1, int sign);

/// K_mu0(x) and K_(mu0+1)(x) for |mu0| <= 1/2 and x >= 2, by Steed's
/// evaluation of the continued fraction for K_(mu0+1)/K_mu0 together with
/// Temme's sum for the normalisation; settled false at the limit.
struct k_pair {
  kxreal k0, k1;
  bool settled;
};
k_pair steed_k(const kxreal& mu0, const kxreal& x);

}  // namespace kx
