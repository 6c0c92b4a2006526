// The iteration budgets of the special functions' convergence loops. Each is
// a variable, not a constant, only so that a test can lower it and reach the
// message its loop prints when the budget runs out; the library never
// changes them, so every result and message stays that of the constant.
#pragma once

namespace kx {

inline int bernoulli_pass_budget = 10000;     // kxberner: Newton passes on the reciprocal series
inline int gamma_series_term_limit = 100000;  // kxgammar: terms of each of its two series
inline int incgamma_term_limit = 1000000;     // kxincgammar: terms of each expansion
inline int hurwitz_term_limit = 1000000;      // Hurwitz zeta and polygamma: terms of each sum
inline int zeta_direct_limit = 1000000;       // the zeta routines: terms of the direct sum
inline int erf_term_limit = 100000;           // kxerfr, kxerfcr: terms of the series and the fraction
inline int struve_term_limit = 1000000;       // kxstruvehn: terms of its series
inline int hypergeometric_term_limit = 1000000;  // kxhypergeompfq: terms of its series
inline int polylog_term_limit = 1000000;      // kxpolylogpos: terms of its series

}  // namespace kx
