// The ZEZUV1 test program: prints its parameters, then runs the test. It
// ends with status 0 after "TEST PASSED" and 1 after "TEST FAILED", so a
// script that runs it can tell the two apart.
#include <kx/kx.h>
#include <kx/support/format.h>

#include "run_parameters.h"
#include "test_run.h"

namespace {

void write_header() {
  using namespace run_parameters;
  kx::write_template(
      "('ZEZUV1 Test Program'/ 'n =',i4,3x,'kq =',i2/ 'kr =',i2,3x,'ks =',i2,3x,'rb =',1p,d12.4/ "
      "'Full precision level ndp =',i6,' digits'/ 'Full precision epsilon level nep = ',i6)",
      n, kq, kr, ks, rb, ndp, nep);
}

}  // namespace

int main() {
  write_header();
  return test_run::run() ? 0 : 1;
}
