// The term budget of the exponential's series. A variable, not a constant,
// only so that a test can lower it and reach the message the series prints
// when the budget runs out (no argument does: the series ends within 22
// terms); the library never changes it.
#pragma once

namespace kx {

inline int exp_term_limit = 100;  // kxexp: terms of the series at r/64

}  // namespace kx
