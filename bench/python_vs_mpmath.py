"""Time per call of kx's Python module beside mpmath at 68 digits: exp,
gamma, zeta and the relation search of the test program (the 17 powers of
3^(1/4) - 2^(1/4)). Prints a Markdown table, the machine and the date.

Run it with an interpreter that has mpmath and the built module, e.g.

    PYTHONPATH=build/python /usr/bin/python3 bench/python_vs_mpmath.py

Each figure is the median over several runs of the mean time per call in a
run. mpmath's pslq finds the relation only with its tolerance and limits set
by hand (TOLERANCE, MAXCOEFF, MAXSTEPS below); kx.findrelation uses its
defaults. Both results are checked before anything is timed.
"""
import datetime
import itertools
import platform
import statistics
import time

import mpmath

import kx

mp = mpmath.mp
mp.dps = 68

# mpmath's pslq at 68 digits: its default tolerance and maxcoeff=1000 find
# nothing here (the polynomial has the coefficient 3860), and tolerances of
# 1e-40 to 1e-60 return false relations; 1e-65 finds the polynomial.
TOLERANCE = mpmath.mpf(10) ** -65
MAXCOEFF = 10 ** 5
MAXSTEPS = 10 ** 5

POLYNOMIAL = [1, 0, 0, 0, -3860, 0, 0, 0, -666, 0, 0, 0, -20, 0, 0, 0, 1]


def per_call(f, seconds=0.3, runs=7):
    """Median over `runs` runs of the mean time of one call of f, each run
    lasting about `seconds`."""
    start = time.perf_counter()
    f()
    once = time.perf_counter() - start
    calls = max(1, int(seconds / max(once, 1e-7)))
    means = []
    for _ in range(runs):
        start = time.perf_counter()
        for _ in range(calls):
            f()
        means.append((time.perf_counter() - start) / calls)
    return statistics.median(means)


def same(a, b):
    """kx's a and mpmath's b agree to 60 digits."""
    b = mpmath.mpf(b)
    return abs(mpmath.mpf(str(a)) - b) <= abs(b) * mpmath.mpf(10) ** -60


def cycling(f, arguments):
    """A call of f on the next of the arguments, round and round: no result
    of an earlier call with the same argument can serve."""
    it = itertools.cycle(arguments)
    return lambda: f(next(it))


def cases():
    """(name, kx's call, mpmath's call), the arguments converted beforehand:
    64 arguments x = sqrt 2 + k/7, k = 1..64, in (1.5, 10.6), each given to
    kx as its 70-digit literal."""
    xs = [mpmath.sqrt(2) + mpmath.mpf(k) / 7 for k in range(1, 65)]
    kx_xs = [kx.real(mpmath.nstr(x, 70)) for x in xs]
    alpha = mpmath.root(3, 4) - mpmath.root(2, 4)
    powers = [alpha ** k for k in range(17)]
    kx_powers = [kx.real(mpmath.nstr(p, 70)) for p in powers]
    return [
        ("exp(x)", cycling(kx.exp, kx_xs), cycling(mpmath.exp, xs)),
        ("gamma(x)", cycling(kx.gamma, kx_xs), cycling(mpmath.gamma, xs)),
        ("zeta(x)", cycling(kx.zeta, kx_xs), cycling(mpmath.zeta, xs)),
        ("relation among 1, a, ..., a^16, a = 3^(1/4) - 2^(1/4)", lambda: kx.findrelation(kx_powers),
         lambda: mpmath.pslq(powers, tol=TOLERANCE, maxcoeff=MAXCOEFF, maxsteps=MAXSTEPS)),
    ]


def check(name, kx_f, mp_f):
    """kx and mpmath agree on every argument (to 60 digits), or on the relation."""
    for _ in range(64):
        a, b = kx_f(), mp_f()
        if isinstance(b, list):
            ok = all(list(r) in (POLYNOMIAL, [-c for c in POLYNOMIAL]) for r in (a, b))
        else:
            ok = same(a, b)
        if not ok:
            raise SystemExit("%s: kx and mpmath disagree: %s, %s" % (name, a, b))
        if isinstance(b, list):
            return


def main():
    rows = []
    for name, kx_f, mp_f in cases():
        check(name, kx_f, mp_f)
        search = name.startswith("relation")
        t_kx = per_call(kx_f, runs=7)
        t_mp = per_call(mp_f, seconds=1.0 if search else 0.3, runs=5 if search else 7)
        rows.append((name, t_kx, t_mp))
    cpu = next((line.split(":", 1)[1].strip() for line in open("/proc/cpuinfo") if line.startswith("model name")),
               platform.processor())
    print("Machine: %s, %s, Python %s, mpmath %s; %s" % (
        cpu, platform.machine(), platform.python_version(), mpmath.__version__,
        datetime.datetime.now(datetime.timezone.utc).strftime("%Y-%m-%d")))
    print()
    print("| per call | kx | mpmath, mp.dps = 68 | mpmath / kx |")
    print("|---|---:|---:|---:|")
    for name, t_kx, t_mp in rows:
        print("| %s | %s | %s | %.2g |" % (name, shown(t_kx), shown(t_mp), t_mp / t_kx))


def shown(seconds):
    if seconds >= 0.1:
        return "%.2f s" % seconds
    if seconds >= 1e-4:
        return "%.2f ms" % (seconds * 1e3)
    return "%.1f us" % (seconds * 1e6)


if __name__ == "__main__":
    main()
