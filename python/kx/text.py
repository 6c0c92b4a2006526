"""Decimal text of kx numbers from their exact values: repr (the shortest
decimal that reads back to the same words), format() and mpmath's view."""
import decimal
import math
import re

_FORMAT_CODE = re.compile(
    r"(?P<align>(?:.?[<>=^])?)(?P<sign>[-+ ]?)(?P<flags>z?#?0?)(?P<width>\d*)"
    r"(?P<grouping>[,_]?)(?:\.(?P<precision>\d+))?(?P<type>[eEfFgGn%]?)\Z", re.S)


_SHORT_EXPONENT = re.compile(r"([eE])([+-])()(\d)(?!\d)")


# Enough digits for every product here (the exact value of a pair has at
# most some 11600 significant digits): the operations below are exact.
_EXACT = decimal.Context(prec=decimal.MAX_PREC, Emax=decimal.MAX_EMAX, Emin=decimal.MIN_EMIN)


def exact_decimal(x):
    """hi + lo of a finite kx.real as a decimal.Decimal, exactly (the value is
    n / 2^k, so n 5^k / 10^k has finitely many digits)."""
    n, d = x.as_integer_ratio()
    k = d.bit_length() - 1
    if n == 0:
        return decimal.Decimal(math.copysign(0.0, float(x)))
    return _EXACT.scaleb(_EXACT.multiply(decimal.Decimal(n), _EXACT.power(5, k)), -k)


def _context(digits):
    return decimal.Context(prec=digits, rounding=decimal.ROUND_HALF_EVEN,
                           Emax=decimal.MAX_EMAX, Emin=decimal.MIN_EMIN)


def _rounded(exact, digits):
    return _context(digits).plus(exact)


def _literal(d):
    """The text of d without trailing zeros: positional from 10^-5 to 10^21,
    as float's repr writes, else d.ddde+X."""
    d = d.normalize(_context(max(len(d.as_tuple().digits), 1)))
    if not d or -5 <= d.adjusted() < 21:
        return format(d, "f")
    sign, digits, _ = d.as_tuple()
    text = "".join(map(str, digits))
    significand = text[0] + ("." + text[1:] if len(text) > 1 else "")
    return f"{'-' if sign else ''}{significand}e{d.adjusted():+d}"


def shortest_literal(x):
    """The decimal literal with the fewest significant digits (at most the
    exact expansion's) that kx.real reads back to exactly the words of x;
    "inf", "-inf" or "nan" for a non-finite x."""
    if not x.is_finite():
        return str(float(x))
    exact = exact_decimal(x)
    if not exact:
        return _literal(exact)
    reads_back = lambda p: type(x)(_literal(_rounded(exact, p))) == x  # the same words
    # Most pairs need 68 to 72 digits: that range is tried first, then
    # ranges twice as wide each time up to the exact expansion's length.
    if reads_back(67):
        low, high = 1, 67
    else:
        low, high, step = 68, 72, 8
        longest = max(len(exact.as_tuple().digits), 72)
        while high < longest and not reads_back(high):
            low, high, step = high + 1, min(high + step, longest), 2 * step
    while low < high:
        middle = (low + high) // 2
        if reads_back(middle):
            high = middle
        else:
            low = middle + 1
    # The search assumes that more digits never stop reading back; the exact
    # expansion always does.
    return _literal(_rounded(exact, low)) if reads_back(low) else _literal(exact)


def real_repr(x):
    return f"kx.real('{shortest_literal(x)}')"


def complex_str(z):
    """(re+imj) as Python writes a complex, each part as str(kx.real)."""
    im = shortest_literal(z.imag)
    return f"({shortest_literal(z.real)}{'' if im.startswith('-') else '+'}{im}j)"


def complex_repr(z):
    return f"kx.complex('{shortest_literal(z.real)}', '{shortest_literal(z.imag)}')"


def real_format(x, fmt):
    """format(x, fmt) with float's format codes except # and z: fill, align
    (< > ^ =), sign, 0, width, grouping (, _), precision and the types
    e E f F g G n %, each rounded from the exact value (halfway cases to
    even). Without a type or precision, str(x) aligned in the width. The
    precision defaults to 6, as for float, whose text a kx.real of a float
    matches for every such format (% apart: float multiplies by 100 first,
    with a rounding)."""
    match = _FORMAT_CODE.match(fmt)
    if match is None or "#" in match["flags"] or "z" in match["flags"]:
        raise ValueError(f"Invalid format string '{fmt}' for object of type 'kx.real'")
    if not match["type"] and match["precision"] is None:
        return format(str(x), match["align"] + match["width"])
    if not x.is_finite() or not x:
        return format(float(x), fmt)  # float writes these values exactly
    precision = match["precision"]
    if precision is None:
        precision = "6"
    kind = match["type"] or "g"
    if kind in "gGn":
        kind, precision = _general_as_fixed_or_exponent(x, kind, int(precision), not match["type"])
    core = match["sign"] + ("," if match["grouping"] else "") + "." + str(precision) + kind
    text = format(exact_decimal(x), core)
    # Two exponent digits at least, as float writes them.
    text = _SHORT_EXPONENT.sub(r"\1\2\g<3>0\4", text)
    if (match["type"] or "g") in "gGn":
        text = _without_trailing_zeros(text)
    if not match["type"] and kind == "f" and "." not in text:
        text += ".0"  # float's rule for a precision without a type
    if match["grouping"] == "_":
        text = text.replace(",", "_")
    return _padded(text, match["align"], "0" in match["flags"], int(match["width"] or 0))


def _general_as_fixed_or_exponent(x, kind, precision, untyped):
    """float's rule for g: with p significant digits (at least 1) and X the
    decimal exponent of x rounded to them, f with p - 1 - X decimals when
    -4 <= X < p (X < p - 1 without a type, which keeps a digit after the
    point), else e with p - 1."""
    p = max(precision, 1)
    exponent = _rounded(exact_decimal(x), p).adjusted()
    if -4 <= exponent < (p - 1 if untyped else p):
        return "f", p - 1 - exponent
    return ("E" if kind == "G" else "e"), p - 1


def _without_trailing_zeros(text):
    """The significand's trailing zeros (and a bare point) dropped, as
    float's g drops them."""
    significand, exponent = re.match(r"([^eE]*)(.*)\Z", text).groups()
    if "." in significand:
        significand = significand.rstrip("0").rstrip(".")
    return significand + exponent


def _padded(text, align, zero, width):
    """text in width columns: = (or the 0 flag) pads after the sign."""
    if zero and not align:
        align = "0="
    if not align.endswith("="):
        return format(text, (align or ">") + str(width))
    fill = align[:-1] or " "
    sign = text[:1] if text[:1] in "+- " else ""
    return sign + text[len(sign):].rjust(width - len(sign), fill)


def complex_format(z, fmt):
    """format(z, fmt): "(re,im)" with each part formatted by fmt."""
    return f"({real_format(z.real, fmt)},{real_format(z.imag, fmt)})"


def real_mpf(x):
    """The exact value hi + lo as mpmath's raw tuple (sign, man, exp, bc)."""
    from mpmath import libmp
    if not x.is_finite():
        return libmp.from_float(float(x))
    n, d = x.as_integer_ratio()
    return libmp.from_man_exp(n, 1 - d.bit_length())


def complex_mpc(z):
    return (real_mpf(z.real), real_mpf(z.imag))
