"""kx.real and kx.complex against exact rational arithmetic and mpmath."""
import fractions
import random

import pytest

import kx

F = fractions.Fraction


def test_integers_convert_exactly_where_they_fit_and_round_to_nearest_otherwise():
    rng = random.Random(17)
    for _ in range(2000):
        bits = rng.randrange(1, 400)
        n = rng.getrandbits(bits) * rng.choice((1, -1))
        x = kx.real(n)
        q = F(*x.as_integer_ratio())
        if abs(n) < 2 ** 226 or n.bit_length() - (n & -n).bit_length() < 226:
            assert q == n, n
        else:
            assert abs(q - n) <= F(abs(n), 2 ** 226), n


def test_malformed_text_raises_value_error_with_the_library_message():
    with pytest.raises(ValueError, match=r"^\*\*\* KXINPC: Syntax error in literal string\.$"):
        kx.real("1.2.3")
    assert issubclass(kx.Error, ArithmeticError)
