#!/usr/bin/env python3
"""Writes the seed corpus of the fuzz targets into fuzz/corpus/<target>/.

Each seed is encoded as fuzz_bytes.h decodes it: integer(lo, hi) takes as
many big-endian bytes as the span needs and adds lo to their value modulo
the span; a binary128 word is its 16 bytes, least significant first.
Run it from anywhere; it rewrites the generated seeds (files named by their
content's purpose), and leaves the regression inputs (named crash-* and
timeout-*) as they are.
"""
import os
import struct

HERE = os.path.dirname(os.path.abspath(__file__))
INT32_MIN, INT32_MAX = -2**31, 2**31 - 1


class Seed:
    def __init__(self):
        self.b = bytearray()

    def byte(self, v):
        self.b.append(v & 0xFF)
        return self

    def integer(self, v, lo, hi):
        span = hi - lo + 1
        n, reach = 0, 1
        while reach < span:
            n, reach = n + 1, reach << 8
        self.b += (v - lo).to_bytes(n, "big") if n else b""
        return self

    def order(self, n):
        # case 0 of order(): [-40, 40]; case 1: [-3000, 3000]; case 2: any
        if -40 <= n <= 40:
            return self.byte(0).integer(n, -40, 40)
        if -3000 <= n <= 3000:
            return self.byte(1).integer(n, -3000, 3000)
        return self.byte(2).integer(n, INT32_MIN, INT32_MAX)

    def word(self, sign, exponent_field, fraction):
        bits = (sign << 127) | (exponent_field << 112) | fraction
        self.b += bits.to_bytes(16, "little")
        return self

    def raw(self, hi, lo):  # argument() case 0: two words, (sign, exp, fraction) each
        self.byte(0)
        return self.word(*hi).word(*lo)

    def special(self, index):  # argument() case 1: the table in fuzz_bytes.h
        return self.byte(1).byte(index)

    def small_integer(self, v):  # case 2
        return self.byte(2).integer(v, -128, 127)

    def half(self, twice):  # case 3: twice / 2
        return self.byte(3).integer(twice, -2000, 2000)

    def ratio(self, num, den):  # case 4: num / den, den in 1..16
        return self.byte(4).integer(num, -128, 127).byte(den - 1)

    def normalised(self, case, fraction, tail, exponent, negative=False):
        span = {5: 4, 6: 64, 7: 1100, 8: 16400}[case]
        self.byte(case).integer(fraction, 0, INT32_MAX).integer(tail, INT32_MIN, INT32_MAX)
        return self.integer(exponent, -span, span).byte(1 if negative else 0)

    def text(self, s):
        self.b += s.encode("latin-1")
        return self


def write(target, name, data):
    folder = os.path.join(HERE, "corpus", target)
    os.makedirs(folder, exist_ok=True)
    with open(os.path.join(folder, name), "wb") as f:
        f.write(bytes(data))


def input_seeds():
    pi70 = "3.141592653589793238462643383279502884197169399375105820974944592307816"
    seeds = {
        "integer": "12345", "negative": "-1.5e+3", "pi70": pi70, "blanks": "  2.5 D - 1 0  ",
        "exponent_d": "6.02214076d23", "lower_e": "1.0e-999", "upper_e": "9.99E999", "point_only": ".",
        "leading_point": ".5", "trailing_point": "7.", "empty": "", "blank": "    ", "two_points": "1.2.3",
        "two_signs": "--1", "four_exponent_digits": "1e1000", "letters": "abc", "digit_letter": "12a3",
        "exponent_no_digits": "1.5e", "plus": "+0.25", "zero": "0.000",
        "many_digits": "1" * 5000 + ".", "tiny_written_out": "0." + "0" * 4940 + "17",
        "huge_written_out": "9" * 4935 + ".5", "lines": "1.5\n-2.25e-3\n" + pi70 + "\n",
        "crlf": "1.5\r\n2.5\r\n", "cr_inside": "1.\r5\n", "nul": "1\x002", "high_bytes": "1\xff\xfe.5",
        "subnormal": "1e-4940", "overflow": "2e4932",
    }
    for name, text in seeds.items():
        write("input", name, text.encode("latin-1"))


def output_seeds():
    def seed(arg, nd, nb, which, room=None):
        s = Seed()
        arg(s)
        s.integer(nd, -4, 160).integer(nb, -4, 240)
        if room is None:
            s.byte(1)
        else:
            s.byte(0).integer(room, 0, 240)
        return s.byte(which).b

    one = lambda s: s.small_integer(1)
    values = {
        "one": one, "zero": lambda s: s.special(0), "minus_zero": lambda s: s.special(1),
        "inf": lambda s: s.special(2), "minus_inf": lambda s: s.special(3), "nan": lambda s: s.special(4),
        "min_normal": lambda s: s.special(5), "min_subnormal": lambda s: s.special(6),
        "max": lambda s: s.special(7), "third": lambda s: s.ratio(1, 3), "minus_half": lambda s: s.half(-1),
        "moderate": lambda s: s.normalised(6, 123456789, -98765, 40),
        "large": lambda s: s.normalised(8, 2**30, 77, 16383, True),
        "tiny": lambda s: s.normalised(8, 5, 3, -16382),
        "low_word_outweighs": lambda s: s.raw((0, 0, 0x676767606767676767676767ce << 8), (0, 0x3FFF + 7681, 0x27fffffffffffb3ff4de << 32)),
        "low_word_nan": lambda s: s.raw((0, 0x3FFF, 0), (0, 0x7FFF, 1)),
    }
    for name, arg in values.items():
        for which, kind in enumerate(("e", "f", "line")):
            write("output", f"{name}_{kind}", seed(arg, 40, 60, which))
    write("output", "narrowest_e", seed(one, 10, 18, 0))
    write("output", "too_narrow_e", seed(one, 10, 17, 0))
    write("output", "negative_digits_f", seed(one, -1, 20, 1))
    write("output", "short_buffer_e", seed(one, 10, 30, 0, room=12))
    write("output", "wide_line", seed(values["moderate"], 150, 240, 2))
    write("output", "zero_digits_f", seed(values["third"], 0, 9, 1))


def special_seeds():
    s = Seed
    r = lambda k: Seed().byte(k)
    seeds = {
        "gamma_half": r(0).ratio(1, 2), "gamma_pole": r(0).small_integer(-3), "gamma_1700": r(0).half(3400),
        "gamma_tiny": r(0).special(12), "incgamma": r(1).small_integer(2).small_integer(3),
        "incgamma_e1_negative": r(1).small_integer(0).half(-7), "digamma": r(2).byte(1).ratio(1, 3),
        "digamma_short_array": r(2).byte(0).integer(50, 0, 120).small_integer(2),
        "berner_240": r(3).integer(240, 0, 300), "zeta_int_2": r(4).order(2), "zeta_int_minus_3001": r(4).order(-3001),
        "zeta_int_one": r(4).order(1), "zeta_half": r(5).ratio(1, 2), "zeta_large": r(5).half(4000),
        "zetabe": r(6).byte(1).ratio(3, 2), "hurwitz": r(7).order(3).ratio(1, 3),
        "hurwitzbe": r(8).byte(1).order(5).ratio(7, 2), "polygamma": r(9).order(2).ratio(1, 4),
        "polygammabe_2000": r(10).byte(1).order(2000).small_integer(10),
        "besselj": r(11).order(1).small_integer(2), "bessely_tiny": r(12).order(1).special(6),
        "besseli": r(13).order(0).half(300), "besselk_tiny_crash": r(14).order(19).special(6),
        "besselk_huge": r(14).order(2).normalised(7, 0, 0, 20),
        "besseljr": r(15).ratio(1, 2).small_integer(1), "besselyr": r(16).ratio(1, 3).half(205),
        "besselir": r(17).ratio(-7, 2).small_integer(100), "besselkr": r(18).ratio(3, 8).small_integer(40),
        "erf": r(19).small_integer(1), "erfc_large": r(20).small_integer(100), "expint": r(21).ratio(-1, 2),
        "expint_zero": r(21).special(0), "struve": r(22).order(3).half(23), "struve_refused": r(22).order(0).small_integer(13),
        "polylog_2": r(23).order(2).ratio(1, 2),
        "polylog_neg": r(24).integer(3, -300, 300).integer(3, 0, 310).order(-3).ratio(1, 2),
        "polylog_neg_short_table": r(24).integer(20, -300, 300).integer(5, 0, 310).order(-20).ratio(-3, 1),
        "hyper_1f1": r(25).integer(1, -1, 11).integer(1, -1, 11).integer(1, 0, 11).small_integer(1)
                     .integer(1, 0, 11).ratio(5, 2).small_integer(3),
        "hyper_2f1_terminating": r(25).integer(2, -1, 11).integer(1, -1, 11).integer(2, 0, 11).small_integer(-5)
                                  .ratio(7, 10).integer(1, 0, 11).ratio(19, 10).ratio(9, 10),
        "hyper_diverges": r(25).integer(2, -1, 11).integer(1, -1, 11).integer(2, 0, 11).small_integer(1)
                          .small_integer(1).integer(1, 0, 11).small_integer(2).small_integer(2),
        "nan_argument": r(5).special(4), "inf_argument": r(0).special(2),
    }
    for name, seed in seeds.items():
        write("special", name, seed.b)


def relation_seeds():
    def seed(n, rb, k, entries):
        s = Seed().integer(n, 3, 30).integer(rb, 1, 8).integer(k, 20, 55)
        for e in entries:
            e(s)
        return s.b

    def value(fraction, exponent, negative=False, narrow=True):
        def put(s):
            s.byte(4 if narrow else 3).integer(fraction, 0, INT32_MAX).integer(fraction * 7 % 2**32 - 2**31,
                                                                                INT32_MIN, INT32_MAX)
            s.byte(1 if negative else 0)  # normalised(0): exponent 0, then the sign
            s.integer(exponent, -4, 4) if narrow else s.integer(exponent, -300, 300)
        return put

    def combination(coefficients):
        def put(s):
            s.byte(0)
            for c in coefficients:
                s.integer(c, -4, 4)
        return put

    zero = lambda s: s.byte(2)
    copy = lambda j, i: (lambda s: s.byte(1).integer(j, 0, i - 1))
    write("relation", "planted_3", seed(3, 8, 50, [value(12345, 0), value(67891, 1), combination([2, -3])]))
    write("relation", "planted_8", seed(8, 8, 40, [value(31 * i + 7, i % 3 - 1) for i in range(7)]
                                        + [combination([1, -2, 0, 3, 0, 0, -1])]))
    write("relation", "duplicate", seed(5, 6, 30, [value(5, 0), value(6, 2), copy(0, 2), value(7, -1), value(8, 1)]))
    write("relation", "with_zero", seed(4, 6, 30, [value(5, 0), zero, value(7, 3), value(9, -2)]))
    write("relation", "leading_zeros", seed(3, 6, 30, [zero, zero, value(3, 0)]))
    write("relation", "wide_magnitudes", seed(6, 6, 45, [value(11 * i + 1, 300 - 120 * i, i % 2 == 1, narrow=False)
                                                         for i in range(6)]))
    write("relation", "random_17", seed(17, 4, 55, [value(1000003 * i % 2**31, i % 5 - 2) for i in range(17)]))
    write("relation", "random_30", seed(30, 3, 25, [value(7919 * i % 2**31, i % 9 - 4, i % 3 == 0) for i in range(30)]))
    write("relation", "three", seed(3, 8, 55, [value(3, 0), value(3, 1), value(5, -1)]))


if __name__ == "__main__":
    input_seeds()
    output_seeds()
    special_seeds()
    relation_seeds()
