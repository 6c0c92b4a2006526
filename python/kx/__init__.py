"""68-digit arithmetic for Python: the C++ library kx, whose numbers are the
unevaluated sum of two IEEE binary128 values (226 significant bits).

    >>> import kx
    >>> kx.real(2) ** 0.5
    kx.real('1.41421356237309504880168872420969807856967187537694807317667973799')

The library's fatal conditions (a domain error, a series that does not
settle) raise kx.Error, whose message is the library's own text.
"""
from ._kx import *  # noqa: F401,F403
from ._kx import Error, complex, real
from . import text as _text

for _type in (real, complex, Error):
    _type.__module__ = "kx"
real.__str__ = _text.shortest_literal
real.__repr__ = _text.real_repr
real.__format__ = _text.real_format
real._mpf_ = property(_text.real_mpf)
complex.__str__ = _text.complex_str
complex.__repr__ = _text.complex_repr
complex.__format__ = _text.complex_format
complex._mpc_ = property(_text.complex_mpc)
del _type
