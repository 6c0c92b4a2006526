// The generalised hypergeometric series pFq(a1..ap; b1..bq; x) =
// sum_{i>=0} (a1)_i ... (ap)_i / ((b1)_i ... (bq)_i) x^i / i! of kxreal
// parameters and argument.
//
// Accuracy is in units of 2^-226, measured against Arb over random
// arguments (the figures and ranges are in the README's accuracy table).
#pragma once

#include <span>

#include <kx/core/core.h>

/// f = pFq(a(1..np); b(1..nq); x) for 1 <= np, nq <= 10, by its series: the
/// numerator (a1 + i - 1)...(ap + i - 1) x^i and the denominator
/// (b1 + i - 1)...(bq + i - 1) i! kept as two running products, one division
/// a term, until a term falls below 2^-226 of the sum. Each product carries
/// a binary exponent of its own and is brought back to [1, 2) by an exact
/// power of two when it leaves [2^-4096, 2^4096]: a term keeps the words of
/// the unscaled quotient, and slow series (3F2 at 0.9, 2F1 at 0.99) and tiny
/// parameters run past the range of binary128.
/// A parameter a(j) = 0, -1, -2, ... ends the series (a polynomial, for any
/// x). The series converges for every x when np <= nq; when np = nq + 1 for
/// |x| < 1, and at |x| = 1 when sum(b) - sum(a) > 0 (x = 1) or > -1
/// (x = -1), within the 10^6-term budget only if that margin is large; when
/// np > nq + 1 only where it ends or settles at once (tiny x).
/// Accuracy: 12 units for 1F1(a; 2.5; x), x in [0, 20]; 70 for 2F1(a, 0.7;
/// 1.9; x), a in [0.1, 3], |x| <= 0.9 (52 measured next to x = -0.9, where
/// the terms alternate); 25 for 3F2(a, 1, 1.5; 2, 2.5; x) there; 8 for
/// 1F2(1.5; b, 2; x), x in [0, 50]; 110 for 2F1 at x in [0.95, 0.99] (some
/// 10^4 terms). A series whose terms change sign (x < 0, or negative
/// parameters) loses what its largest term exceeds the sum by, and all
/// relative accuracy next to a zero of the sum: 2F1 with a, b, c in [-3, 3]
/// (c 0.05 from a pole) and x in [-0.9, 0] gave up to 2e9 units.
/// Messages: "*** KXHYPERGEOMPFQ: NP and NQ must be between 1 and" 10;
/// "*** KXHYPERGEOMPFQ: A and B must hold at least NP and NQ entries:" np, nq
/// (a span too short); "*** KXHYPERGEOMPFQ: B(J) is zero or a negative
/// integer for J =" j (a zero denominator that no earlier zero numerator
/// ends the series before); "*** KXHYPERGEOMPFQ: The series diverges at
/// this X (NP = NQ + 1)." (no a(j) ends it and |x| > 1, or |x| = 1 past the
/// margin above); "*** KXHYPERGEOMPFQ: Term is not finite at I =" i (the
/// terms passed the range: a divergent series or a value beyond it);
/// "*** KXHYPERGEOMPFQ: Loop end error" 1000000.
///   const kxreal one[] = {kxreal{1}};
///   kxhypergeompfq(1, 1, one, one, x, f);   // f = e^x
void kxhypergeompfq(int np, int nq, std::span<const kxreal> a, std::span<const kxreal> b, const kxreal& x,
                    kxreal& f);
