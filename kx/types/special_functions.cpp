#include <kx/special/gamma.h>
#include <kx/special/hurwitz.h>
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
