// A program outside the kx tree: it sees only the installed headers and
// library, and prints the square root of 2 to 60 digits.
#include <cstdio>
#include <string>

#include <kx/kx.h>

int main() {
  const kxreal root = sqrt(kxreal{2});
  std::printf("%s\n", kxeformat(root, 70, 60).c_str());
  return kx::min(root, kxreal{1}) == 1.0Q ? 0 : 1;
}
