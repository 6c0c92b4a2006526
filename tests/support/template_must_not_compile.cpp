// Compiled once per case by the test suite, each case a template fault that
// must stop the compilation; case 0 must compile, which shows that the
// failures come from the template check and not from the build setup.
#include <string>

#include <kx/support/fatal.h>
#include <kx/support/format.h>

std::string one_case() {
#if KX_CASE == 0
  return kx::format_template("('n =',i4,1p,d12.4,a)", 17, 2.5, "text");
#elif KX_CASE == 1
  return kx::format_template("('n =',i4", 17);  // no closing parenthesis
#elif KX_CASE == 2
  return kx::format_template("('x =',i4)", 2.5);  // a real for an integer item
#elif KX_CASE == 3
  return kx::format_template("('done')", 1);  // a value that no item takes
#elif KX_CASE == 4
  return kx::format_template("(3p,d12.1)", 1.0);  // the scale factor leaves no digit
#elif KX_CASE == 5
  kx::fatal("('*** KXTEST: bad',q5)", 1);  // an unknown item in a fatal message
#endif
}
