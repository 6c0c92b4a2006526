"""The module's functions against mpmath at 100 digits: a row per function
and range, with the library's documented accuracy (units of 2^-226) as the
bound, relative to max(|f|, floor): floor 0 for a relative figure, 1 for an
absolute one on values up to about 1. Where a header's figure is exceeded
here, the bound of the library's own accuracy test for that range stands,
marked in the row."""
import random

import mpmath
import pytest

import kx

mpmath.mp.dps = 100
U = mpmath.mpf(2) ** -226


def uniform(a, b):
    return lambda rng: (kx.real(rng.uniform(a, b)),)


def order_and(orders, a, b):
    return lambda rng: (rng.choice(orders), kx.real(rng.uniform(a, b)))


def off_integer(a, b):
    """A real order at least 0.05 from an integer."""
    def sample(rng):
        nu = rng.uniform(a, b)
        return nu if abs(nu - round(nu)) >= 0.05 else nu + 0.25
    return sample


def hurwitz(rng):
    return rng.randint(2, 30), kx.real(rng.uniform(0.1, 10))


def lower_order_above(rng):
    s = rng.uniform(-4.9, 4.9)
    return kx.real(s), kx.real(rng.uniform(max(s, 1), 99))


def hyper1f1(rng):
    a = kx.real(rng.uniform(0.1, 3))
    return ([a], [kx.real(2.5)], kx.real(rng.uniform(0, 20))), ([a], [2.5])


def hyper2f1(rng):
    a = kx.real(rng.uniform(0.1, 3))
    return ([a, 0.7], [1.9], kx.real(rng.uniform(-0.9, 0.9))), ([a, kx.real(0.7)], [kx.real(1.9)])


def complex_in(re, im):
    return lambda rng: (kx.complex(rng.uniform(-re, re), rng.uniform(-im, im)),)


def angle_away_from_axes(rng):
    r, t = rng.uniform(0.1, 10), rng.uniform(0.3, 3)
    return (kx.complex(r * mpmath.cos(t), r * mpmath.sin(t)),)


# (kx function, mpmath function, sampler of arguments, bound in units, floor)
ROWS = [
    (kx.sqrt, mpmath.sqrt, uniform(1e-6, 1e6), 19, 0),
    (lambda x: kx.root(x, 5), lambda x: mpmath.root(x, 5), uniform(1e-6, 1e6), 30, 0),
    (kx.exp, mpmath.exp, uniform(-100, 100), 360, 0),
    (kx.log, mpmath.log, uniform(2, 1e30), 300, 0),
    (kx.log, mpmath.log, uniform(0.5, 2), 330, 1),
    (kx.log10, mpmath.log10, uniform(2, 1e30), 80, 0),
    (kx.sin, mpmath.sin, uniform(-10, 10), 22000, 1),
    (kx.cos, mpmath.cos, uniform(-10, 10), 180, 1),
    (kx.tan, mpmath.tan, uniform(0.5, 1.4), 514, 0),
    (kx.asin, mpmath.asin, uniform(0.5, 1), 432, 0),
    (kx.acos, mpmath.acos, uniform(-1, 1), 2140, 1),
    (kx.atan, mpmath.atan, uniform(-10, 10), 2600, 1),
    (kx.atan2, mpmath.atan2, lambda rng: (rng.uniform(-1, 1), rng.uniform(-1, 1)), 30000, 1),
    (kx.sinh, mpmath.sinh, uniform(1, 100), 400, 0),
    (kx.cosh, mpmath.cosh, uniform(-100, 100), 330, 0),
    (kx.tanh, mpmath.tanh, uniform(1, 100), 91, 0),
    (kx.asinh, mpmath.asinh, uniform(1, 1e20), 104, 0),
    (kx.acosh, mpmath.acosh, uniform(2, 1e20), 13, 0),
    (kx.agm, mpmath.agm, lambda rng: (rng.uniform(0.01, 100), rng.uniform(0.01, 100)), 26, 0),
    (kx.hypot, mpmath.hypot, lambda rng: (rng.uniform(-1e6, 1e6), rng.uniform(-1e6, 1e6)), 6.5, 0),
    (kx.gamma, mpmath.gamma, uniform(0.01, 60), 4000, 0),
    (kx.gammainc, mpmath.gammainc, lower_order_above, 2100, 0),
    (kx.digamma, mpmath.digamma, uniform(2 ** -20, 2 ** 20), 1100, 1),
    (kx.polygamma, mpmath.polygamma, order_and(range(1, 11), 0.1, 20), 210, 0),
    (kx.zeta, mpmath.zeta, uniform(1.5, 31), 6600, 0),
    (kx.zeta, mpmath.zeta, lambda rng: (rng.choice([n for n in range(-300, 101) if n != 1]),), 3926, 1),
    (kx.zeta, mpmath.zeta, hurwitz, 230, 0),
    (kx.erf, mpmath.erf, uniform(-13, 10), 440, 1),
    (kx.erfc, mpmath.erfc, uniform(1, 10), 330, 0),
    (kx.ei, mpmath.ei, uniform(0.5, 188), 760, 0),
    (kx.struve, mpmath.struveh, order_and(range(0, 4), -12, 12), 22000, 1),
    (kx.polylog, mpmath.polylog, order_and(range(2, 11), -0.9, 0.9), 25, 0),
    (kx.polylog, mpmath.polylog, order_and(range(-10, 0), 0.01, 0.99), 29, 0),
    (kx.hyper, mpmath.hyper, hyper1f1, 12, 0),
    (kx.hyper, mpmath.hyper, hyper2f1, 70, 0),
    (kx.besselj, mpmath.besselj, order_and(range(0, 11), -5, 5), 8, 1),
    (kx.besselj, mpmath.besselj, lambda rng: (off_integer(-3, 3)(rng), rng.uniform(0.5, 10)), 900, 1),
    (kx.bessely, mpmath.bessely, order_and(range(0, 6), 3, 5), 250, 1),
    (kx.bessely, mpmath.bessely, lambda rng: (off_integer(0, 3)(rng), rng.uniform(0.5, 10)), 1800, 1),
    (kx.besseli, mpmath.besseli, order_and(range(0, 11), 0.1, 100), 70, 0),
    (kx.besseli, mpmath.besseli, lambda rng: (off_integer(0, 5)(rng), rng.uniform(0.5, 100)), 3400, 0),
    (kx.besselk, mpmath.besselk, order_and(range(0, 11), 0.1, 2), 8000, 0),  # order 0 next to x = 2
    (kx.besselk, mpmath.besselk, lambda rng: (off_integer(0, 5)(rng), rng.uniform(2, 78)), 320, 0),
    (kx.sqrt, mpmath.sqrt, complex_in(100, 100), 42, 0),
    (kx.exp, mpmath.exp, complex_in(100, 10), 46000, 0),
    (kx.log, mpmath.log, angle_away_from_axes, 1800, 0),  # |log z| >= 0.3 at these angles
    (kx.sin, mpmath.sin, complex_in(10, 10), 47000, 0),
    (kx.cos, mpmath.cos, complex_in(10, 10), 55000, 0),
]


def oracle_arguments(args):
    return [mpmath.mpmathify(a) if isinstance(a, (kx.real, kx.complex)) else a for a in args]


@pytest.mark.parametrize("row", range(len(ROWS)))
def test_function_within_its_documented_accuracy(row):
    f, oracle, sample, units, floor = ROWS[row]
    rng = random.Random(row)
    for _ in range(30):
        args = sample(rng)
        if isinstance(args, tuple) and len(args) == 2 and isinstance(args[0], tuple):
            args, oracle_args = args[0], list(args[1]) + [mpmath.mpf(args[0][-1])]
        else:
            args = tuple(args) if isinstance(args, tuple) else (args,)
            oracle_args = oracle_arguments(args)
        got, expected = f(*args), oracle(*oracle_args)
        error = abs(mpmath.mpmathify(got) - expected)
        scale = max(abs(expected), floor)
        assert error <= units * U * scale, (args, float(error / U / scale) if scale else error)


def test_constants_and_exact_values():
    assert abs(mpmath.mpf(kx.pi) - mpmath.pi) <= U * mpmath.pi
    assert abs(mpmath.mpf(kx.euler) - mpmath.euler) <= U * mpmath.euler
    assert abs(mpmath.mpf(kx.log2) - mpmath.log(2)) <= U * mpmath.log(2)
    assert abs(mpmath.mpf(kx.e) - mpmath.e) <= 360 * U * mpmath.e
    assert kx.sqrt(4) == 2 and kx.hypot(3, 4) == 5 and kx.cbrt(-27) == -3 and kx.gamma(11) == 3628800
    assert kx.real(3) ** 0.25 == kx.root(3, 4) and kx.zeta(-2) == 0
