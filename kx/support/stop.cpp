#include <cstdio>
#include <cstdlib>

#include <kx/support/stop.h>

// A fatal stop must not look like success to the script that ran us: the
// message is already on standard output, so flush it and exit with 1.
void kxstop() {
  std::fflush(stdout);
  std::exit(1);
}
