// The typed interface in a few lines: a special function, a complex power and
// a relation search on a vector of one's own. Gamma(1/2) = sqrt(pi) and
// i^i = e^(-pi/2), so x = (log Gamma(1/2) + log i^i, log pi, pi) satisfies
// 2 x1 - x2 + x3 = 0.
#include <cstdio>
#include <vector>

#include <kx/kx.h>

int main() {
  const kxreal g = kxgammar(kxreal{0.5Q});  // Gamma(1/2)
  const kxcomplex i{kxreal{0}, kxreal{1}};
  const kxreal w = pow(i, i).real();        // i^i
  const std::vector<kxreal> x = {log(g) + log(w), log(kxpi()), kxpi()};
  std::vector<kxreal> r(x.size());
  int found = 0;
  zezuv1(0, 3, 20.0, pow(kxreal{10}, -60), x, found, r);
  kxwrite(6, 72, 64, g * g, w);             // pi, then e^(-pi/2)
  std::printf("%s %d %d %d\n", found == 1 ? "relation:" : "no relation:", static_cast<int>(r[0].hi),
              static_cast<int>(r[1].hi), static_cast<int>(r[2].hi));
}
