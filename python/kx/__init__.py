"""68-digit arithmetic for Python: the C++ library kx, whose numbers are the
unevaluated sum of two IEEE binary128 values (226 significant bits).

    >>> import kx
    >>> print(kx.real(2) ** 0.5)
"""
from ._kx import *  # noqa: F401,F403
from ._kx import Error, real
