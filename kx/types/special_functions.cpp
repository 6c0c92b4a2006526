#include <kx/special/bessel.h>
#include <kx/special/error_function.h>
#include <kx/special/exponential_integral.h>
#include <kx/special/gamma.h>
#include <kx/special/hurwitz.h>
#include <kx/special/hypergeometric.h>
#include <kx/special/polylog.h>
#include <kx/special/struve.h>
#include <kx/special/zeta.h>
#include <kx/types/special_functions.h>

kxreal kxzetar(const kxreal& s) { kxreal z; kxzetar(s, z); return z; }

kxreal kxzetaintr(int n) { kxreal z; kxzetaintr(n, z); return z; }

kxreal kxzetabe(std::span<const kxreal> b, const kxreal& s) { kxreal z; kxzetabe(b, s, z); return z; }

kxreal kxgammar(const kxreal& t) { kxreal z; kxgammar(t, z); return z; }

kxreal kxincgammar(const kxreal& s, const kxreal& z) { kxreal g; kxincgammar(s, z, g); return g; }

kxreal kxdigammabe(std::span<const kxreal> b, const kxreal& x) { kxreal psi; kxdigammabe(b, x, psi); return psi; }

kxreal kxpolygamma(int nn, const kxreal& x) { kxreal psi; kxpolygamma(nn, x, psi); return psi; }

kxreal kxpolygammabe(std::span<const kxreal> b, int nn, const kxreal& x) {
  kxreal psi;
  kxpolygammabe(b, nn, x, psi);
  return psi;
}

kxreal kxhurwitzzetan(int s, const kxreal& a) { kxreal z; kxhurwitzzetan(s, a, z); return z; }

kxreal kxhurwitzzetanbe(std::span<const kxreal> b, int s, const kxreal& a) {
  kxreal z;
  kxhurwitzzetanbe(b, s, a, z);
  return z;
}

kxreal kxerfr(const kxreal& x) { kxreal y; kxerfr(x, y); return y; }

kxreal kxerfcr(const kxreal& x) { kxreal y; kxerfcr(x, y); return y; }

kxreal kxexpint(const kxreal& x) { kxreal e; kxexpint(x, e); return e; }

kxreal kxstruvehn(int nu, const kxreal& x) { kxreal h; kxstruvehn(nu, x, h); return h; }

kxreal kxpolylogpos(int n, const kxreal& x) { kxreal li; kxpolylogpos(n, x, li); return li; }

kxreal kxhypergeompfq(int np, int nq, std::span<const kxreal> a, std::span<const kxreal> b, const kxreal& x) {
  kxreal f;
  kxhypergeompfq(np, nq, a, b, x, f);
  return f;
}

kxreal kxbesseljnr(int n, const kxreal& x) { kxreal j; kxbesseljnr(n, x, j); return j; }

kxreal kxbesselynr(int n, const kxreal& x) { kxreal y; kxbesselynr(n, x, y); return y; }

kxreal kxbesselinr(int n, const kxreal& x) { kxreal i; kxbesselinr(n, x, i); return i; }

kxreal kxbesselknr(int n, const kxreal& x) { kxreal k; kxbesselknr(n, x, k); return k; }

kxreal kxbesselj0(const kxreal& x) { return kxbesseljnr(0, x); }

kxreal kxbesselj1(const kxreal& x) { return kxbesseljnr(1, x); }

kxreal kxbessely0(const kxreal& x) { return kxbesselynr(0, x); }

kxreal kxbessely1(const kxreal& x) { return kxbesselynr(1, x); }

kxreal kxbesseljr(const kxreal& nu, const kxreal& x) { kxreal j; kxbesseljr(nu, x, j); return j; }

kxreal kxbesselyr(const kxreal& nu, const kxreal& x) { kxreal y; kxbesselyr(nu, x, y); return y; }

kxreal kxbesselir(const kxreal& nu, const kxreal& x) { kxreal i; kxbesselir(nu, x, i); return i; }

kxreal kxbesselkr(const kxreal& nu, const kxreal& x) { kxreal k; kxbesselkr(nu, x, k); return k; }

namespace kx {

kxreal polylog_neg(int n, std::span<const kxreal> table, const kxreal& x) {
  kxreal li;
  kxpolylogneg(n, table, x, li);
  return li;
}

void polylog_ini(int n, std::span<kxreal> table) { kxpolylogini(n, table); }

}  // namespace kx
