// kx-find-relation end to end: numbers whose relations this test derives
// with MPFR at 400 bits go in as 70-digit literals, and every printed
// relation is checked against MPFR's values, not against kx's. Also the
// constants the finder computes, against MPFR, and its refusals.
#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <functional>
#include <map>
#include <random>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

#include "mpfr_oracle.h"
#include "named_constants.h"
#include "test_support.h"

namespace {

using oracle::big;
using reference = std::function<void(mpfr_ptr)>;

struct run_result {
  int status = -1;
  std::string out, err;
};

std::string slurp(const std::string& path) {
  std::ifstream f(path);
  return {std::istreambuf_iterator<char>(f), std::istreambuf_iterator<char>()};
}

// Runs the finder with `args` on `input` as its standard input. The files
// are this process's own: ctest runs the finder's tests side by side.
run_result run_finder(const std::string& args, const std::string& input) {
  const std::string stem = testing::TempDir() + "finder_" + std::to_string(getpid());
  std::ofstream(stem + "_in.txt") << input;
  const std::string command =
      std::string(KX_FIND_RELATION) + " " + args + " < " + stem + "_in.txt 2> " + stem + "_err.txt";
  run_result r;
  r.out = run_command(command, r.status);
  r.err = slurp(stem + "_err.txt");
  std::remove((stem + "_in.txt").c_str());
  std::remove((stem + "_err.txt").c_str());
  return r;
}

big value_of(const reference& f) {
  big v;
  f(v.get());
  return v;
}

// 70 significant digits, as a literal.
std::string literal(const big& v) {
  char text[128];
  mpfr_snprintf(text, sizeof text, "%.69Re", v.get());
  return text;
}

// The relation report's lines, as (coefficient, label).
std::vector<std::pair<long long, std::string>> printed_relation(const std::string& out) {
  std::vector<std::pair<long long, std::string>> terms;
  const std::regex line(R"(^ *([+-][0-9]+)\. \* (.+)$)");
  std::istringstream lines(out);
  std::string text;
  std::smatch m;
  while (std::getline(lines, text)) {
    if (std::regex_match(text, m, line)) terms.emplace_back(std::stoll(m[1]), m[2]);
  }
  return terms;
}

// |sum of coefficient * value of label| at 400 bits, and the largest term.
double relation_residual(const std::vector<std::pair<long long, std::string>>& terms,
                         const std::map<std::string, big>& values) {
  big sum, term;
  for (const auto& [c, label] : terms) {
    EXPECT_TRUE(values.contains(label)) << label;
    if (!values.contains(label)) continue;
    mpfr_mul_si(term.get(), values.at(label).get(), static_cast<long>(c), MPFR_RNDN);
    mpfr_add(sum.get(), sum.get(), term.get(), MPFR_RNDN);
  }
  return mpfr_get_d(sum.get(), MPFR_RNDN);
}

// The labels of the powers 1, x, ..., x^degree, with their values.
std::map<std::string, big> powers(const big& x, int degree) {
  std::map<std::string, big> v;
  big p(__float128{1});
  for (int k = 0; k <= degree; ++k) {
    char label[16];
    std::snprintf(label, sizeof label, "al^%3d", k);
    v[k == 0 ? std::string("1") : std::string(label)] = p;
    mpfr_mul(p.get(), p.get(), x.get(), MPFR_RNDN);
  }
  return v;
}

void set_pi(mpfr_ptr v) { mpfr_const_pi(v, MPFR_RNDN); }
void set_log2(mpfr_ptr v) { mpfr_const_log2(v, MPFR_RNDN); }
void set_zeta3(mpfr_ptr v) { mpfr_zeta_ui(v, 3, MPFR_RNDN); }
void set_catalan(mpfr_ptr v) { mpfr_const_catalan(v, MPFR_RNDN); }
reference log_of(unsigned long k) { return [k](mpfr_ptr v) { mpfr_log_ui(v, k, MPFR_RNDN); }; }
reference sqrt_of(unsigned long k) { return [k](mpfr_ptr v) { mpfr_sqrt_ui(v, k, MPFR_RNDN); }; }
reference zeta_of(unsigned long k) { return [k](mpfr_ptr v) { mpfr_zeta_ui(v, k, MPFR_RNDN); }; }

TEST(NamedConstants, MatchMpfr) {
  struct row {
    const char* name;
    reference exact;
  };
  // A few units of 2^-226, so that a relation among them holds to 10^-67,
  // the finder's default tolerance for 70-digit input.
  constexpr double bound = 4;
  const row rows[] = {
      {"pi", set_pi},
      {"pi2", [](mpfr_ptr v) { mpfr_const_pi(v, MPFR_RNDN); mpfr_sqr(v, v, MPFR_RNDN); }},
      {"e", [](mpfr_ptr v) { mpfr_set_ui(v, 1, MPFR_RNDN); mpfr_exp(v, v, MPFR_RNDN); }},
      {"log2", set_log2},
      {"log3", log_of(3)},
      {"log5", log_of(5)},
      {"gamma", [](mpfr_ptr v) { mpfr_const_euler(v, MPFR_RNDN); }},
      {"zeta3", zeta_of(3)},
      {"zeta5", zeta_of(5)},
      {"catalan", set_catalan},
      {"sqrt2", sqrt_of(2)},
      {"sqrt3", sqrt_of(3)},
      {"sqrt5", sqrt_of(5)},
  };
  EXPECT_EQ(std::size(rows), finder::named_constants().size());
  for (const row& r : rows) {
    const finder::named_constant* c = finder::find_constant(r.name);
    ASSERT_NE(c, nullptr) << r.name;
    const double err = oracle::error_units(c->value(), value_of(r.exact));
    std::printf("[ accuracy ] %-7s largest error %.3f units of 2^-226 (bound %.1f)\n", r.name, err, bound);
    EXPECT_LE(err, bound) << r.name;
  }
}

// Each row: the finder's arguments, its input, the line the relation must
// print, and the values of its labels for the check at 400 bits.
TEST(FinderProgram, FindsTheRelationsTheTestDerives) {
  struct row {
    std::string args, input, line;
    std::map<std::string, big> values;
  };
  std::vector<row> rows;

  // x = 3/4 pi - 1/2 log 2.
  big x = value_of(set_pi), t = value_of(set_log2);
  mpfr_mul_d(x.get(), x.get(), 0.75, MPFR_RNDN);
  mpfr_div_ui(t.get(), t.get(), 2, MPFR_RNDN);
  mpfr_sub(x.get(), x.get(), t.get(), MPFR_RNDN);
  rows.push_back({"--constants pi,log2,log3", literal(x) + "\n", "Formula: x = 3/4*pi - 1/2*log(2)",
                  {{"x", x}, {"1", big(__float128{1})}, {"pi", value_of(set_pi)}, {"log(2)", value_of(set_log2)},
                   {"log(3)", value_of(log_of(3))}}});

  // w = -1/7 + 2/3 log 3 - 5/2 log 5.
  big w = value_of(log_of(3)), l5 = value_of(log_of(5)), seventh(__float128{1});
  mpfr_mul_ui(w.get(), w.get(), 2, MPFR_RNDN);
  mpfr_div_ui(w.get(), w.get(), 3, MPFR_RNDN);
  mpfr_mul_d(l5.get(), l5.get(), 2.5, MPFR_RNDN);
  mpfr_div_ui(seventh.get(), seventh.get(), 7, MPFR_RNDN);
  mpfr_sub(w.get(), w.get(), l5.get(), MPFR_RNDN);
  mpfr_sub(w.get(), w.get(), seventh.get(), MPFR_RNDN);
  rows.push_back({"--constants log3,log5,e", literal(w) + "\n", "Formula: x = -1/7 + 2/3*log(3) - 5/2*log(5)",
                  {{"x", w}, {"1", big(__float128{1})}, {"log(3)", value_of(log_of(3))}, {"log(5)", value_of(log_of(5))},
                   {"e", value_of([](mpfr_ptr v) { mpfr_set_ui(v, 1, MPFR_RNDN); mpfr_exp(v, v, MPFR_RNDN); })}}});

  // y = -5/3 + zeta(3)/7 + 2 G, from a file with a comment and a blank line.
  big y = value_of(set_zeta3), g = value_of(set_catalan);
  mpfr_div_ui(y.get(), y.get(), 7, MPFR_RNDN);
  mpfr_mul_ui(g.get(), g.get(), 2, MPFR_RNDN);
  mpfr_add(y.get(), y.get(), g.get(), MPFR_RNDN);
  big third(__float128{5});
  mpfr_div_ui(third.get(), third.get(), 3, MPFR_RNDN);
  mpfr_sub(y.get(), y.get(), third.get(), MPFR_RNDN);
  rows.push_back({"--constants zeta3,catalan,gamma", "# y\n\n" + literal(y) + "\n",
                  "Formula: x = -5/3 + 1/7*zeta(3) + 2*G",
                  {{"x", y}, {"1", big(__float128{1})}, {"zeta(3)", value_of(set_zeta3)}, {"G", value_of(set_catalan)},
                   {"gamma", value_of([](mpfr_ptr v) { mpfr_const_euler(v, MPFR_RNDN); })}}});

  // The real root of x^3 - x - 1, by Cardano: cbrt((9 + sqrt 69)/18) + cbrt((9 - sqrt 69)/18).
  big s = value_of(sqrt_of(69)), u, v;
  mpfr_add_ui(u.get(), s.get(), 9, MPFR_RNDN);
  mpfr_ui_sub(v.get(), 9, s.get(), MPFR_RNDN);
  for (mpfr_ptr w : {u.get(), v.get()}) {
    mpfr_div_ui(w, w, 18, MPFR_RNDN);
    mpfr_cbrt(w, w, MPFR_RNDN);
  }
  mpfr_add(u.get(), u.get(), v.get(), MPFR_RNDN);
  rows.push_back({"--algebraic 3", literal(u) + "\n", "Polynomial: x^3 - x - 1", powers(u, 3)});
  // The same root to 30 digits: tolerance 1e-28 by default.
  rows.push_back({"--algebraic 3", literal(u).substr(0, 31) + "\n", "tolerance 1e-28", powers(u, 3)});

  // a = 2^(1/3) + sqrt 3: (a^3 + 9a - 2)^2 = 3 (3a^2 + 3)^2, from (a - sqrt 3)^3 = 2.
  big a = value_of(sqrt_of(3)), c(__float128{2});
  mpfr_cbrt(c.get(), c.get(), MPFR_RNDN);
  mpfr_add(a.get(), a.get(), c.get(), MPFR_RNDN);
  rows.push_back({"--algebraic 6", literal(a) + "\n", "Polynomial: x^6 - 9*x^4 - 4*x^3 + 27*x^2 - 36*x - 23",
                  powers(a, 6)});

  // Linear: 12 (pi/4 + 1/3) - 4 - 3 pi = 0, the exact 1 among 70-digit values.
  big z = value_of(set_pi);
  mpfr_div_ui(z.get(), z.get(), 4, MPFR_RNDN);
  big one_third(__float128{1});
  mpfr_div_ui(one_third.get(), one_third.get(), 3, MPFR_RNDN);
  mpfr_add(z.get(), z.get(), one_third.get(), MPFR_RNDN);
  rows.push_back({"", literal(z) + "\n1\n" + literal(value_of(set_pi)) + "\n", "68 digits of input",
                  {{"x  1", z}, {"x  2", big(__float128{1})}, {"x  3", value_of(set_pi)}}});

  for (const row& r : rows) {
    SCOPED_TRACE(r.args + " on " + r.input);
    const run_result got = run_finder(r.args, r.input);
    EXPECT_EQ(got.status, 0) << got.out << got.err;
    EXPECT_NE(got.out.find(r.line), std::string::npos) << got.out;
    EXPECT_EQ(got.out.find("doubtful"), std::string::npos) << got.out;
    const auto terms = printed_relation(got.out);
    EXPECT_FALSE(terms.empty()) << got.out;
    EXPECT_LT(std::abs(relation_residual(terms, r.values)), 1e-25) << got.out;
  }
}

// 3^(1/4) - 2^(1/4) to 70 digits: at the default tolerance its degree-16
// polynomial; at 10^-63 a relation that does not hold, marked doubtful.
TEST(FinderProgram, DefaultToleranceRefusesAFalseRelation) {
  big a = value_of([](mpfr_ptr v) { mpfr_rootn_ui(v, big(__float128{3}).get(), 4, MPFR_RNDN); });
  big b = value_of([](mpfr_ptr v) { mpfr_rootn_ui(v, big(__float128{2}).get(), 4, MPFR_RNDN); });
  mpfr_sub(a.get(), a.get(), b.get(), MPFR_RNDN);

  const run_result exact = run_finder("--algebraic 16", literal(a));
  EXPECT_EQ(exact.status, 0) << exact.out;
  EXPECT_NE(exact.out.find("Polynomial: x^16 - 20*x^12 - 666*x^8 - 3860*x^4 + 1"), std::string::npos) << exact.out;
  EXPECT_EQ(exact.out.find("doubtful"), std::string::npos) << exact.out;
  EXPECT_LT(std::abs(relation_residual(printed_relation(exact.out), powers(a, 16))), 1e-100);

  const run_result loose = run_finder("--algebraic 16 --tolerance 63", literal(a));
  EXPECT_EQ(loose.status, 0) << loose.out;
  EXPECT_NE(loose.out.find("doubtful"), std::string::npos) << loose.out;
  // Far from zero at 400 bits, so no relation at all.
  EXPECT_GT(std::abs(relation_residual(printed_relation(loose.out), powers(a, 16))), 1e-80) << loose.out;
}

// A literal of 70 random digits in [1, 10).
std::string random_literal(std::mt19937_64& gen) {
  std::string text = std::to_string(1 + gen() % 9) + ".";
  for (int i = 0; i < 69; ++i) text += static_cast<char>('0' + gen() % 10);
  return text;
}

TEST(FinderProgram, NoRelationAmongUnrelatedNumbers) {
  std::mt19937_64 gen(20261209);
  const std::string r1 = random_literal(gen), r2 = random_literal(gen), r3 = random_literal(gen);
  for (const auto& [args, input] : {std::pair<std::string, std::string>{"--constants pi,log2,e,zeta3,catalan", r1},
                                    {"", r1 + "\n" + r2 + "\n" + r3}}) {
    const run_result got = run_finder(args, input);
    EXPECT_EQ(got.status, 1) << args << got.out;
    EXPECT_NE(got.out.find("No relation found"), std::string::npos) << got.out;
  }
}

// Bad usage and bad input: status 2 (3 for a stop inside the search), a
// reason on standard error, and no search at all.
TEST(FinderProgram, RefusesBadUsageAndInput) {
  struct row {
    std::string args, input;
    int status;
    std::string reason;  // a regex on standard error
  };
  const row rows[] = {
      {"", "1.5\n2.25\n1.2.3\n4\n", 2, "line 3: not a decimal literal: \"1.2.3\""},
      {"", "1.5\n\n3,5\n", 2, "line 3:"},
      {"--foo", "1\n2\n", 2, "unknown option.*\nusage:"},
      {"--algebraic 0", "1.5\n", 2, "--algebraic needs an integer from 1.*\nusage:"},
      {"--algebraic", "1.5\n", 2, "--algebraic needs a value"},
      {"--constants pi,tau", "1.5\n", 2, "unknown constant \"tau\""},
      {"--algebraic 2 --constants pi", "1.5\n", 2, "exclude each other"},
      {"--tolerance 7x", "1\n2.5\n", 2, "--tolerance needs an integer"},
      {"--norm-bound 40", "1\n2.5\n", 2, "--norm-bound needs an integer from 1 to 36"},
      {"--debug 4", "1\n2.5\n", 2, "--debug needs an integer from 0 to 3"},
      {"a b", "", 2, "more than one input file"},
      {"/nonexistent/input", "", 2, "cannot read /nonexistent/input"},
      {"", "1.5\n", 2, "needs two numbers or more"},
      {"--algebraic 3", "1.5\n2.5\n", 2, "needs exactly one number, not 2"},
      {"", "0\n0\n", 3, "stopped the search:\n\\*\\*\\* ZEZUV1"},
  };
  for (const row& r : rows) {
    const run_result got = run_finder(r.args, r.input);
    EXPECT_EQ(got.status, r.status) << r.args << " on " << r.input << got.err;
    EXPECT_TRUE(std::regex_search(got.err, std::regex(r.reason))) << r.args << ": " << got.err;
    EXPECT_EQ(got.out.find("Recovered relation"), std::string::npos) << got.out;
    if (r.status == 2) {
      EXPECT_EQ(got.out, "") << r.args;
    }
  }
  const run_result help = run_finder("--help", "");
  EXPECT_EQ(help.status, 0);
  for (const finder::named_constant& c : finder::named_constants()) {
    EXPECT_NE(help.out.find("  " + std::string(c.name) + " "), std::string::npos) << c.name;
  }
  for (const char* word : {"--algebraic", "--constants", "--tolerance", "--norm-bound", "--debug", "doubtful",
                           "Exit status"}) {
    EXPECT_NE(help.out.find(word), std::string::npos) << word;
  }
}

}  // namespace
