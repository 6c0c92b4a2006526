// A caller's fatal handler: it receives the message lines the default would
// print, may throw them, and when it returns the default still ends the run.
#include <gtest/gtest.h>

#include <kx/kx.h>
#include <kx/support/fatal.h>

#include "../test_support.h"

namespace {

std::string seen;
void remember_and_return(const std::string& lines) { seen = lines; }

TEST(FatalHandler, ThrowsReturnsOrRestoresTheDefault) {
  EXPECT_EQ(kx::current_fatal_handler(), nullptr);
  EXPECT_EQ(kx::set_fatal_handler(kx::throw_fatal_error), nullptr);
  try {
    kxreal r;
    kxnrt(kxreal{2}, 0, r);
    ADD_FAILURE() << "no exception";
  } catch (const kx::fatal_error& e) {
    EXPECT_STREQ(e.what(), "*** KXNRT: Improper value of N         0\n");
  }
  // A malformed run-time template is a fatal condition like any other.
  EXPECT_THROW(kx::format_template(kx::runtime_template("('x',q7)"), {}), kx::fatal_error);

  EXPECT_EQ(kx::set_fatal_handler(remember_and_return), kx::throw_fatal_error);
  EXPECT_FATAL_STOP(
      {
        kxreal r;
        kxnrt(kxreal{2}, -3, r);
      },
      "^\\*\\*\\* KXNRT: Improper value of N        -3\n$");
  EXPECT_EQ(kx::set_fatal_handler(nullptr), remember_and_return);
  EXPECT_FATAL_STOP(kx::fatal("('*** KXTEST: stop')"), "^\\*\\*\\* KXTEST: stop\n$");
}

}  // namespace
