"""kx.findrelation, kx.findpoly and kx.identify on relations that mpmath
derives at 300 bits, on random numbers, on bad input, and the GIL."""
import decimal
import fractions
import random
import re
import sys
import threading
import time

import mpmath
import pytest

import kx

mp = mpmath.mp


def text(v, digits=70):
    """v to `digits` significant digits, as a decimal literal."""
    return mpmath.nstr(v, digits, min_fixed=-5, max_fixed=5)


def exact(f):
    """f() evaluated by mpmath at 300 bits."""
    with mp.workprec(300):
        return f()


def alpha():
    return exact(lambda: mpmath.root(3, 4) - mpmath.root(2, 4))


def polynomial_with_roots(roots):
    """The monic polynomial with these roots (a full set of conjugates),
    highest degree first: multiplied out in mpmath's complex numbers at 300
    bits and rounded to integers."""
    with mp.workprec(300):
        p = [mpmath.mpc(1)]
        for root in roots():
            p = [a - root * b for a, b in zip(p + [0], [0] + p)]
        return [int(mpmath.nint(c.real)) for c in p]


def alpha_polynomial():
    """The minimal polynomial of 3^(1/4) - 2^(1/4): its conjugates are
    i^j 3^(1/4) - i^k 2^(1/4)."""
    return polynomial_with_roots(
        lambda: [1j ** j * mpmath.root(3, 4) - 1j ** k * mpmath.root(2, 4) for j in range(4) for k in range(4)])


def proportional(found, expected):
    """found is a non-zero multiple of expected."""
    return all(f * expected[0] == e * found[0] for f, e in zip(found, expected)) and found[0] != 0


def annihilates(r, values, bound=1e-60):
    with mp.workprec(300):
        return abs(mpmath.fsum(c * v for c, v in zip(r, values))) <= bound * max(abs(c) for c in r)


def evaluate_text(polynomial, x):
    """The polynomial text ("x^3 - x - 1") evaluated at x."""
    return eval(polynomial.replace("^", "**"), {"x": x})


# (relation, the values as mpmath computes them, the relation they satisfy).
LINEAR = [
    ("log 12 = 2 log 2 + log 3", lambda: [mpmath.log(2), mpmath.log(3), mpmath.log(12)], [2, 1, -1]),
    ("Li2(1/2) = pi^2/12 - log(2)^2/2",
     lambda: [mpmath.polylog(2, 0.5), mpmath.pi ** 2, mpmath.log(2) ** 2], [12, -1, 6]),
    ("atan(1/5) and atan(1/239) in Machin's formula",
     lambda: [+mpmath.pi, mpmath.atan(mpmath.mpf(1) / 5), mpmath.atan(mpmath.mpf(1) / 239)], [1, -16, 4]),
]


@pytest.mark.parametrize("name,values,relation", LINEAR, ids=[row[0] for row in LINEAR])
def test_linear_relations_from_every_kind_of_input(name, values, relation):
    v = exact(values)
    inputs = {
        "str": ([text(x) for x in v], 68),
        "Decimal": ([decimal.Decimal(text(x)) for x in v], 68),
        "kx.real": ([kx.real(text(x)) for x in v], 68),
        "Fraction": ([fractions.Fraction(text(x)) for x in v], 68),
        "mpf at 300 bits": (v, 68),
        "str of 40 digits": ([text(x, 40) for x in v], 40),
    }
    for kind, (numbers, digits) in inputs.items():
        r = kx.findrelation(numbers)
        assert r is not None and proportional(r, relation), (kind, r)
        assert all(type(c) is int for c in r) and len(r) == len(relation)
        assert not r.doubtful and r.confidence == pytest.approx(digits - len(r) * mpmath.log10(max(map(abs, r))))
        assert mpmath.mpf(str(r.residual)) <= 10.0 ** (2 - digits) * max(map(abs, r)), kind
    with mp.workdps(30):
        assert kx.findrelation([+x for x in v]).confidence < 31
    floats = kx.findrelation([float(x) for x in v])
    assert floats is not None and proportional(floats, relation) and floats.confidence < 16


def test_polynomials_of_lowest_degree_highest_first():
    plastic = exact(lambda: mpmath.findroot(lambda t: t ** 3 - t - 1, 1.3))
    cube_root_plus_root = exact(lambda: mpmath.cbrt(2) + mpmath.sqrt(3))
    rows = [
        (alpha(), 16, alpha_polynomial()),
        (plastic, 3, [1, 0, -1, -1]),
        (plastic, 7, [1, 0, -1, -1]),  # the search finds x^3 times it: the x^3 is dropped
        (exact(lambda: mpmath.sqrt(2)), 6, [1, 0, -2]),
        (cube_root_plus_root, 6, polynomial_with_roots(
            lambda: [mpmath.cbrt(2) * mpmath.exp(2j * mpmath.pi * j / 3) + s * mpmath.sqrt(3)
                     for j in range(3) for s in (1, -1)])),
        (mpmath.mpf(0), 3, [1, 0]),
    ]
    for x, degree, expected in rows:
        p = kx.findpoly(text(x), degree)
        assert p is not None and list(p) == expected, (x, degree, p)
        assert annihilates(p[::-1], exact(lambda: [x ** k for k in range(len(p))]))
        # str() is the same polynomial: compared at a large integer, exactly.
        assert evaluate_text(str(p), 10 ** 9) == sum(c * 10 ** (9 * k) for k, c in enumerate(reversed(p)))


def test_the_issue_command_finds_the_minimal_polynomial_of_the_test_number():
    p = kx.findpoly(kx.real(3) ** 0.25 - kx.real(2) ** 0.25, 16)
    assert list(p) == alpha_polynomial() and not p.doubtful
    assert evaluate_text(str(p), 7) == sum(c * 7 ** k for k, c in enumerate(reversed(alpha_polynomial())))


def test_identify_against_mpmath_for_each_named_constant():
    values = exact(lambda: {
        "pi": +mpmath.pi, "pi2": mpmath.pi ** 2, "e": +mpmath.e, "log2": mpmath.log(2), "log3": mpmath.log(3),
        "log5": mpmath.log(5), "gamma": +mpmath.euler, "zeta3": mpmath.zeta(3), "zeta5": mpmath.zeta(5),
        "catalan": +mpmath.catalan, "sqrt2": mpmath.sqrt(2), "sqrt3": mpmath.sqrt(3), "sqrt5": mpmath.sqrt(5),
    })
    rng = random.Random(5)
    for name, value in values.items():
        p, q, s = rng.randrange(1, 50), rng.randrange(1, 50), rng.randrange(1, 9)
        x = exact(lambda: (p * value - s) / q)  # q x + s - p c = 0
        found = kx.identify(text(x), [name])
        assert found is not None and proportional(found, [q, s, -p]), (name, found)
        assert not found.doubtful and found.formula == str(found)
        # The formula read back gives x again.
        rhs = re.sub(r"(\d+)/(\d+)", r"mpf(\1)/\2", found.formula.split(" = ")[1]).replace("^", "**")
        names = {"mpf": mpmath.mpf, "pi": mpmath.pi, "e": mpmath.e, "log": mpmath.log, "gamma": mpmath.euler,
                 "zeta": mpmath.zeta, "G": mpmath.catalan, "sqrt": mpmath.sqrt}
        assert exact(lambda: abs(eval(rhs, names) - x)) < 1e-60, (name, found.formula)


def test_identify_with_several_constants_and_with_values_of_ones_own():
    x = exact(lambda: 3 * mpmath.pi / 4 - mpmath.log(2) / 2)
    found = kx.identify(text(x), ["pi", "log2", "log3", "zeta3"])
    assert found.formula == "x = 3/4*pi - 1/2*log(2)" and proportional(found, [4, 0, -3, 2, 0, 0])
    own = kx.identify(text(x), {"L": text(exact(lambda: mpmath.log(2))), "P": kx.pi})
    assert own.formula == "x = -1/2*L + 3/4*P"
    assert kx.identify(text(exact(lambda: mpmath.mpf(22) / 7))).formula == "x = 22/7"
    assert kx.identify(text(exact(lambda: mpmath.zeta(7))), ["pi", "log2"]) is None


def test_random_values_give_none_and_a_false_relation_is_doubtful():
    rng = random.Random(11)
    for n in (3, 6):
        values = [text(exact(lambda: mpmath.mpf(rng.getrandbits(300)) / 2 ** 300)) for _ in range(n)]
        assert kx.findrelation(values) is None
        assert kx.findpoly(values[0], n - 1) is None
    # The test number at a tolerance too loose for it: a relation that does
    # not hold beyond some 60 digits comes back, flagged as doubtful.
    powers = [text(p) for p in exact(lambda: [alpha() ** k for k in range(17)])]
    false = kx.findrelation(powers, tol=1e-63)
    assert not annihilates(false, exact(lambda: [alpha() ** k for k in range(17)]), 1e-66)
    assert false.doubtful and false.confidence < 5


@pytest.mark.parametrize("call,error,message", [
    (lambda: kx.findrelation(["1.2.3", "2"]), ValueError, r"KXINPC: Syntax error"),
    (lambda: kx.findrelation(["0.5"]), ValueError, r"two values or more"),
    (lambda: kx.findrelation("0.5 0.25"), TypeError, r"not a str"),
    (lambda: kx.findrelation([1, object()]), TypeError, r"cannot convert"),
    (lambda: kx.findrelation([0, 0, 0]), kx.Error, r"^\*\*\* ZEZUV1: Input vector is zero\.$"),
    (lambda: kx.findrelation([kx.pi, 1], tol=2), ValueError, r"tol"),
    (lambda: kx.findrelation([kx.pi, 1], maxnorm=1e40), ValueError, r"maxnorm"),
    (lambda: kx.findrelation(["0.5", "0.25"]), ValueError, r"too few digits"),
    (lambda: kx.findpoly(kx.pi, 0), ValueError, r"degree"),
    (lambda: kx.identify(kx.pi, ["pi", "tau"]), ValueError, r'unknown constant "tau"'),
    (lambda: kx.identify(kx.pi, {"a": kx.log2, "b": 2 * kx.log2}), ValueError, r"constants alone"),
])
def test_bad_input_raises_python_exceptions(call, error, message):
    with pytest.raises(error, match=message):
        call()


def test_the_search_lets_other_threads_run():
    # With a switch interval of 30 s a thread that holds the GIL is not
    # interrupted: the counter advances during the search only if the search
    # released it.
    powers = [text(p) for p in exact(lambda: [alpha() ** k for k in range(17)])]
    counter, stop, started = [0], threading.Event(), threading.Event()

    def count():
        while not stop.is_set():
            counter[0] += 1
            started.set()
            time.sleep(0.0005)

    interval = sys.getswitchinterval()
    sys.setswitchinterval(30)
    thread = threading.Thread(target=count)
    thread.start()
    try:
        started.wait()
        before = counter[0]
        found = kx.findrelation(powers)
        during = counter[0] - before
    finally:
        stop.set()
        thread.join()
        sys.setswitchinterval(interval)
    assert proportional(found, alpha_polynomial()[::-1]) and during >= 1
