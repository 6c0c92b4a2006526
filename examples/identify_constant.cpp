// Identifying a number with the relation search: is Li_2(1/2) = 0.5822...
// an integer combination of pi^2 and (log 2)^2? The search finds r with
// r1 Li_2(1/2) + r2 pi^2 + r3 (log 2)^2 = 0, and the example prints it as
// a formula. (The command kx-find-relation does the same from the shell:
// kx-find-relation --constants pi2,... reads x from a file.)
#include <cstdio>
#include <string>
#include <vector>

#include <kx/kx.h>

// The value to nd significant digits, without kxeformat's padding.
std::string digits(const kxreal& v, int nd) {
  std::string text = kxeformat(v, nd + 8, nd);
  text.erase(text.find_last_not_of(' ') + 1);
  return text;
}

int main() {
  const kxreal li2 = kxpolylogpos(2, kxreal{0.5Q});
  const kxreal log2 = kxlog2();
  const std::vector<kxreal> x = {li2, kxpi() * kxpi(), log2 * log2};
  std::vector<kxreal> r(x.size());
  int found = 0;
  zezuv1(0, static_cast<int>(x.size()), 20.0, pow(kxreal{10}, -60), x, found, r);
  if (found != 1) {
    std::printf("no relation found\n");
    return 1;
  }
  // The sign that makes the coefficient of Li_2(1/2) positive.
  const int sign = r[0].hi > 0 ? 1 : -1;
  const int r1 = sign * static_cast<int>(r[0].hi), r2 = sign * static_cast<int>(r[1].hi),
            r3 = sign * static_cast<int>(r[2].hi);
  std::printf("Li2(1/2) = %s\n", digits(li2, 68).c_str());
  std::printf("relation: %d*Li2(1/2) %+d*pi^2 %+d*log(2)^2 = 0\n", r1, r2, r3);
  std::printf("so Li2(1/2) = (%d*pi^2 %+d*log(2)^2)/%d\n", -r2, -r3, r1);
}
