"""kx.real and kx.complex: conversions, text, arithmetic, comparison and hash
against exact rationals and mpmath at 400 bits."""
import decimal
import fractions
import math
import random
import threading

import mpmath
import pytest

import kx

F = fractions.Fraction
D = decimal.Decimal
U = F(1, 2 ** 226)  # the unit of the library's accuracy figures
mpmath.mp.prec = 400


def exact(x):
    return F(*x.as_integer_ratio())


def from_mpf(v):
    sign, man, exp, _ = mpmath.mpf(v)._mpf_
    return (-1) ** sign * F(int(man)) * F(2) ** int(exp)


def rounded(q):
    """The rational q rounded to 113 bits by mpmath (to nearest, ties to even)."""
    return from_mpf(mpmath.mpf(mpmath.libmp.from_rational(q.numerator, q.denominator, 113, "n")))


def nearest_pair(q):
    """The pair nearest to the rational q: hi = q to 113 bits, then lo = q - hi."""
    hi = rounded(q)
    return hi, rounded(q - hi)


def random_pair_value(rng):
    """An exact rational that is a normalised pair: a 113-bit hi and a
    113-bit lo from 1 to 60 bits below hi's last place, over the whole
    exponent range (lo kept normal)."""
    e = rng.choice([rng.randint(-40, 40), rng.randint(-16200, 16200), 16271, -16380 + 113 + 60])
    gap = rng.randint(1, 60)
    hi = (rng.getrandbits(112) | 1 << 112) * F(2) ** e
    lo = rng.getrandbits(113) * F(2) ** (e - 113 - gap) * rng.choice((1, -1))
    return (hi + lo) * rng.choice((1, -1))


def test_text_mpmath_fraction_and_decimal_read_back_the_exact_words():
    rng = random.Random(5)
    values = [random_pair_value(rng) for _ in range(1200)]
    values += [F(0), F(1), F(-1, 2 ** 16494), F(2 ** 113 - 1) * 2 ** 16271]
    for q in values:
        x = kx.real(q)
        assert exact(x) == q, q
        assert exact(kx.real(str(x))) == q
        assert exact(eval(repr(x), {"kx": kx})) == q
        assert from_mpf(mpmath.mpf(x)) == q
        assert exact(kx.real(mpmath.mpf(x))) == q
        assert exact(kx.real(D(str(x)))) == q
    assert math.copysign(1, float(kx.real("-0"))) == -1
    assert [str(kx.real(s)) for s in ("inf", "-inf", "nan")] == ["inf", "-inf", "nan"]


def test_conversions_round_to_the_nearest_pair():
    rng = random.Random(6)
    for _ in range(1500):
        bits = rng.randint(200, 600)
        n = rng.getrandbits(bits) * rng.choice((1, -1))
        d = rng.getrandbits(rng.randint(1, 400)) | 1
        digits = f"{rng.getrandbits(300)}e{rng.randint(-400, 300)}"
        for value, q in ((n, F(n)), (F(n, d), F(n, d)), (D(digits), F(D(digits))), (digits, F(D(digits))),
                         (mpmath.mpf(n) / d, from_mpf(mpmath.mpf(n) / d))):
            x = kx.real(value)
            assert (exact(x.hi), exact(x.lo)) == nearest_pair(q), value
            assert abs(exact(x) - q) <= abs(q) * U / 2


def test_literals_follow_the_library_syntax():
    # Blanks and a sign only before the first counted digit (leading zeros
    # are not counted), blanks anywhere in the exponent, any exponent length.
    read = {"0-5": -5, " . 5": F(1, 2), "1e": 1, "+": 0, "": 0, "1.5D+ 3": 1500, "1e+ 1 2": 10 ** 12,
            "00012.5e-2": F(1, 8), "12  ": 12, "1d4000": 10 ** 4000, "-.25E-0003": F(-1, 4000)}
    for text, value in read.items():
        assert exact(kx.real(text)) == nearest_pair(F(value))[0] + nearest_pair(F(value))[1], text
    for text in ("1 2", "5 e3", "1e5e3", "--1", "1.2.3", "1e-+2", "0x10", "1_000"):
        with pytest.raises(ValueError, match=r"^\*\*\* KXINPC: Syntax error in literal string\.$"):
            kx.real(text)


def test_arithmetic_with_every_python_number_on_either_side():
    rng = random.Random(7)
    bound = {"+": 4, "-": 4, "*": 8, "/": 8}
    ops = {"+": lambda a, b: a + b, "-": lambda a, b: a - b, "*": lambda a, b: a * b, "/": lambda a, b: a / b}
    kinds = [lambda q: int(q * 1000), lambda q: float(q), lambda q: F(int(q * 2 ** 80), 3 ** 40),
             lambda q: D(f"{int(q * 10 ** 60)}e-60"), lambda q: mpmath.mpf(q.numerator) / q.denominator, kx.real]
    for _ in range(300):
        x = kx.real(F(rng.getrandbits(226), 2 ** 225) + 1)
        q = F(rng.getrandbits(200), 2 ** 190) + 1
        for kind in kinds:
            other = kind(q)
            o = exact(kx.real(other))  # the operand as converted (exact for int, float, kx.real)
            for name, op in ops.items():
                for result, expected in ((op(x, other), op(exact(x), o)), (op(other, x), op(o, exact(x)))):
                    if isinstance(other, mpmath.mpf) and isinstance(result, mpmath.mpf):
                        result = kx.real(result)  # mpf on the left: mpmath's arithmetic, at 400 bits here
                    assert isinstance(result, kx.real)
                    scale = abs(exact(x)) + abs(o) if name in "+-" else abs(expected)
                    assert abs(exact(result) - expected) <= bound[name] * U * scale, (name, other)


def test_powers_take_integer_powers_and_roots_where_exact():
    rng = random.Random(8)
    for _ in range(200):
        x = kx.real(F(rng.getrandbits(226), 2 ** 224) + F(1, 10))
        a = mpmath.mpf(exact(x).numerator) / exact(x).denominator
        for b, expected, units in ((7, a ** 7, 8 * 9), (-3, a ** -3, 8 * 5), (0.5, mpmath.sqrt(a), 30),
                                   (F(1, 3), mpmath.cbrt(a), 30), (F(-1, 5), a ** F(-1, 5).__float__(), 40),
                                   (kx.real(1.75), a ** mpmath.mpf(1.75), 360 + 330 * 1.75 * abs(float(mpmath.log(a))))):
            if isinstance(b, F) and b.numerator == -1:
                expected = 1 / mpmath.root(a, b.denominator)
            assert abs(from_mpf(x ** b) - from_mpf(expected)) <= units * U * abs(from_mpf(expected)), b
    assert kx.real(-8) ** F(1, 3) == -2 and kx.real(2) ** 10 == 1024 and 2 ** kx.real(3) == 8


def test_comparisons_are_exact_and_hash_agrees_with_equality():
    rng = random.Random(9)
    for _ in range(1000):
        x = kx.real(random_pair_value(rng) / 2 ** rng.randint(0, 200) if rng.random() < 0.5 else rng.getrandbits(200))
        q = exact(x)
        tiny = abs(q) / 2 ** 400
        for r in (q, q + tiny, q - tiny):
            for other in (r, mpmath.mpf(r.numerator) / r.denominator if r == q else None,
                          r.numerator if r.denominator == 1 else None):
                if other is None:
                    continue
                assert (x < other, x <= other, x == other, x != other, x > other, x >= other) == \
                       (q < r, q <= r, q == r, q != r, q > r, q >= r)
                assert (other > x) == (q < r) and (other == x) == (q == r)
        assert hash(x) == hash(q)
    for v in (0, 1, -7, 2 ** 100, 0.1, -2.5e-300, F(3, 8)):
        assert hash(kx.real(v)) == hash(v) and kx.real(v) == v
    assert hash(kx.complex(0.5, -3)) == hash(complex(0.5, -3)) and hash(kx.complex(4)) == hash(4)
    assert kx.real("nan") != kx.real("nan") and not kx.real("nan") < 1


def test_int_float_round_against_mpmath():
    rng = random.Random(10)
    for _ in range(1000):
        q = F(rng.getrandbits(226), 2 ** rng.randint(100, 226)) * rng.choice((1, -1))
        x = kx.real(q)
        v = mpmath.mpf(q.numerator) / q.denominator
        assert int(x) == int(v) and math.floor(x) == int(mpmath.floor(v)) and math.ceil(x) == int(mpmath.ceil(v))
        assert float(x) == float(v)
        assert round(x) == int(mpmath.nint(v))
        assert exact(round(x, 30)) == exact(kx.real(mpmath.nstr(v, 80, strip_zeros=False))) or \
            abs(exact(round(x, 30)) - q) <= F(1, 2 * 10 ** 30) * (1 + F(1, 10 ** 30))
    assert round(kx.real(2.5)) == 2 and round(kx.real(-3.5)) == -4 and int(kx.real("-2.7")) == -2


def test_format_matches_float_for_every_format_code():
    rng = random.Random(11)
    formats = ["e", ".3e", "E", "+.10e", "f", ".0f", ".20f", "g", ".1g", ".17g", "G", ">20.4e", "*^30.5f", ",.2f",
             "_.3f", " .5g", "020.5e", "n", "=+15.3f", "<12.2e", ".30g", ".5", ".0", ",g"]
    for _ in range(400):
        d = rng.choice([rng.random(), rng.uniform(-1e6, 1e6), rng.random() * 10 ** rng.randint(-30, 30), 0.0, -0.0,
                        5e-324, 1e300, 2.5, 9.9999999, 12345.0, float("inf"), float("nan")])
        for fmt in formats:
            assert format(kx.real(d), fmt) == format(d, fmt), (fmt, d)
    x = kx.real(1) / 3
    assert format(x, ".67e") == "3." + "3" * 67 + "e-01" and format(x, ">80") == str(x).rjust(80)


def test_complex_arithmetic_against_mpmath():
    rng = random.Random(12)
    for _ in range(300):
        z = kx.complex(rng.uniform(-4, 4), kx.real(1) / rng.randint(1, 99))
        w = rng.choice([complex(rng.uniform(-4, 4), rng.uniform(-4, 4)), kx.real(rng.uniform(-4, 4)), rng.randint(-9, 9) or 1,
                        mpmath.mpc(rng.uniform(-4, 4), rng.uniform(-4, 4))])
        mz, mw = mpmath.mpc(z), mpmath.mpc(w)
        for result, expected, units in ((z + w, mz + mw, 8), (w - z, mw - mz, 8), (z * w, mz * mw, 24),
                                        (w * z, mw * mz, 24), (z / w, mz / mw, 84), (w / z, mw / mz, 84), (z ** 3, mz ** 3, 80)):
            if isinstance(result, mpmath.mpc):
                result = kx.complex(result)  # mpc on the left: mpmath's arithmetic
            assert isinstance(result, kx.complex)
            assert abs(mpmath.mpc(result) - expected) <= units * 2 ** -226 * (abs(mz) + abs(mw)) ** 3 + abs(expected) * 2 ** -220
    z = kx.complex(3, 4)
    assert abs(z) == 5 and z.conjugate() == complex(3, -4) and (z.real, z.imag) == (3, 4) and complex(z) == 3 + 4j
    assert eval(repr(z), {"kx": kx}) == z and str(kx.complex(1, -2)) == "(1-2j)"


def test_library_errors_raise_and_the_interpreter_goes_on():
    cases = [(kx.log, (-1,), r"^\*\*\* KXLOG: Argument is less than or equal to zero\.$"),
             (kx.atanh, (1,), r"^KXATANH: Argument is <= -1 or >= 1\.$"),
             (kx.gamma, (0,), r"^\*\*\* KXGAMMAR: input argument must have"),
             (kx.zeta, (1,), r"^\*\*\* KXZETAINTR: argument is 1$"),
             (kx.besselj, (0, 0), r"^\*\*\* KXBESSELJNR: Second argument is zero$"),
             (kx.hyper, ([], [1], 1), r"^\*\*\* KXHYPERGEOMPFQ: NP and NQ must be between 1 and"),
             (kx.polylog, (2, 1.5), r"^\*\*\* KXPOLYLOGPOS: \|X\| must be less than one\.$"),
             (lambda: kx.complex(1) / 0, (), r"^\*\*\* KXCDIV: Divisor is zero\.$")]
    for f, args, message in cases:
        with pytest.raises(kx.Error, match=message):
            f(*args)
    assert issubclass(kx.Error, ArithmeticError) and kx.sqrt(4) == 2
    with pytest.raises(ValueError, match=r"^\*\*\* KXINPC: Syntax error in literal string\.$"):
        kx.real("1.2.3")
    for bad in (lambda: kx.real([1]), lambda: kx.real(1) + "1", lambda: kx.exp(None), lambda: kx.polylog(0.5, 0.1)):
        with pytest.raises(TypeError):
            bad()


def test_threads_give_the_sequential_results():
    calls = [(kx.zeta, 3.5), (kx.gamma, 7.25), (kx.besselj, 2, 30), (kx.log, -1), (kx.hyper, [1, 2], [3], 0.5)]

    def run(call):
        try:
            return exact(call[0](*call[1:]))
        except kx.Error as e:
            return str(e)

    expected = [run(c) for c in calls]
    results = []
    threads = [threading.Thread(target=lambda: results.append([run(c) for c in calls * 5])) for _ in range(4)]
    for t in threads:
        t.start()
    for t in threads:
        t.join()
    assert results == [expected * 5] * 4
