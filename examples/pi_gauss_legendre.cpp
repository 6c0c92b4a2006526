// Computing a constant to 68 digits: pi by the Gauss-Legendre iteration,
// which doubles the correct digits at every step (1, 4, 9, 20, 42, 85), so
// five steps fill the 68 digits of a kxreal. Prints pi and its distance
// from the library's stored pi.
#include <cstdio>
#include <string>

#include <kx/kx.h>

// The value to nd significant digits, without kxeformat's padding.
std::string digits(const kxreal& v, int nd) {
  std::string text = kxeformat(v, nd + 8, nd);
  text.erase(text.find_last_not_of(' ') + 1);
  return text;
}

int main() {
  kxreal a{1};
  kxreal b = kxreal{1} / sqrt(kxreal{2});
  kxreal t{0.25Q};
  kxreal p{1};
  for (int step = 0; step < 5; ++step) {
    const kxreal next = (a + b) / 2.0Q;
    b = sqrt(a * b);
    t = t - p * (a - next) * (a - next);
    a = next;
    p = p * 2.0Q;
  }
  const kxreal pi = (a + b) * (a + b) / (t * 4.0Q);
  std::printf("pi = %s\n", digits(pi, 68).c_str());
  std::printf("|pi - kxpi()| = %s\n", digits(abs(pi - kxpi()), 2).c_str());
}
