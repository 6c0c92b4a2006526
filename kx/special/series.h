// What the series of the special functions share: the stopping test against
// 2^-226 and the check that an even-Bernoulli array has been filled.
#pragma once

#include <span>

#include <kx/core/core.h>

namespace kx {

/// True when |term| <= 2^-226 |sum|: the term just added no longer changes
/// the sum's 226 bits. Exact (the scaling by 2^-226 is exact above the
/// subnormal range).
bool settled(const kxreal& term, const kxreal& sum);

/// True when the array holds at least `minimum` entries and its first entry
/// is 1/6 within 2^-110 (high word only): the sign that kxberner filled it.
bool bernoulli_ready(std::span<const kxreal> b, int minimum);

/// sin(pi x) for |x| < 1. Within 1/32 of 0 or of +-1 it is the sine series
/// of pi x or pi (+-1 - x) (the offset exact), which keeps its relative
/// accuracy where the cosine-based kxcssnr would lose it; elsewhere kxcssnr.
kxreal sin_pi(const kxreal& x);

/// 1 - 2^u. For |u| < 1/8 the series of -(e^(u log 2) - 1), which keeps the
/// digits that 1 - kxpower(2, u) would cancel near u = 0; else the latter.
kxreal one_minus_power_of_two(const kxreal& u);

/// z^p / e^z, by kxpower and kxexp; for negative z, where p must be an
/// integer, z^p e^-z by kxnpwr and kxexp (kxexp's message from z <= -11000).
kxreal power_over_exp(const kxreal& z, const kxreal& p);

/// P(s, z) = z^s e^-z sum_k z^k / (s (s+1) ... (s+k) g), the regularised
/// lower incomplete gamma function, with g = Gamma(s) given; accurate where
/// it is small, which 1 - Q(s, z) is not. Message: "*** KXINCGAMMAR: Loop
/// end error 1" (10^6 terms).
kxreal regularised_lower_gamma(const kxreal& s, const kxreal& z, const kxreal& g);

/// The sum of P(s, z) without its factor z^s e^-z, for callers that scale
/// that factor themselves where it would underflow.
kxreal lower_gamma_sum(const kxreal& s, const kxreal& z, const kxreal& g);

/// n! as a kxreal, multiplied up 1 * 2 * ... * n (each factor a binary128
/// value); infinite once it leaves the range (n >= 1755).
kxreal factorial(int n);

}  // namespace kx
