// A table of a special function: the Bessel functions J0 and J1 at
// x = 0.5, 1.0, ..., 5.0 to 50 digits (their accuracy there is some units
// of 2^-226 absolute, about 67 digits).
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
  std::printf("%4s %-57s %s\n", "x", "J0(x)", "J1(x)");
  for (int k = 1; k <= 10; ++k) {
    const kxreal x = kxreal{static_cast<__float128>(k)} / 2.0Q;
    std::printf("%4.1f %-57s %s\n", static_cast<double>(x), digits(kxbesseljnr(0, x), 50).c_str(),
                digits(kxbesseljnr(1, x), 50).c_str());
  }
}
