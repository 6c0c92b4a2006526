#include "test_run.h"

#include <string>
#include <vector>

#include <kx/kx.h>
#include <kx/support/format.h>

#include "relation_report.h"
#include "run_parameters.h"

namespace test_run {

std::vector<kxreal> powers_of(const kxreal& a, int n) {
  std::vector<kxreal> x(n);
  x[0] = 1.0Q;
  for (int k = 2; k <= n; ++k) x[k - 1] = a * x[k - 2];
  return x;
}

std::vector<kxreal> test_vector() {
  using namespace run_parameters;
  const kxreal alpha = nroot(kxreal{3.0Q}, kr) - nroot(kxreal{2.0Q}, ks);
  return powers_of(alpha, n);
}

bool run() {
  using namespace run_parameters;
  const kxreal eps = pow(kxreal{10.0Q}, nep);

  const std::vector<kxreal> x = test_vector();

  std::vector<kxreal> r(n);
  int found = 0;
  zezuv1(debug, n, rb, eps, x, found, r);
  if (found != 1) {
    kx::write_template("(a)", "TEST FAILED");
    return false;
  }
  std::vector<std::string> labels(n);
  for (int k = 1; k <= n; ++k) labels[k - 1] = relation_report::power_label(k);
  relation_report::write_relation(r, labels);
  kx::write_template("(a)", "TEST PASSED");
  return true;
}

}  // namespace test_run
