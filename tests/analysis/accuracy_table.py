#!/usr/bin/env python3
"""Regenerates the expected values of tests/analysis/analysis_accuracy_test.cpp.

Everything is derived here in high-precision arithmetic (mpmath), never from
the program's output:
  - critical points: roots of P' (or P'Q - PQ') and the multiple poles;
  - fixed points: roots of P - z (or zQ - P);
  - the non-repelling cycles: every critical orbit (the orbit of infinity
    included, where infinity is critical) is followed at 60 digits; a tail
    that repeats is refined by Newton's method on f^p(z) - z and classified
    by its multiplier with the engine's thresholds (|l|^2 <= 1e-32
    superattracting, < 1 - 2e-16 attracting); an orbit that lands exactly on
    a repelling cycle is counted as such; an orbit that creeps must approach
    one of the row's parabolic cycles, given by hand algebra and checked
    here to have a multiplier that is a root of unity. Since every
    attracting or parabolic cycle attracts a critical orbit and every
    critical orbit is accounted for, the list of cycles is complete.

Usage: python3 tests/analysis/accuracy_table.py   (rewrites the table block
between the GENERATED markers of the test file in place).
"""
import os
import re

import mpmath as mp

mp.mp.dps = 60
ZERO_TOL = mp.mpf("1e-16")
STEPS = 3000
TEST_FILE = os.path.join(os.path.dirname(os.path.abspath(__file__)), "analysis_accuracy_test.cpp")

# name, numerator (ascending powers), denominator (ascending; [1] = polynomial),
# check critical and fixed points, parabolic cycles by hand: (period, point).
MAPS = [
    ("Newton map of z^5 - 1", [1, 0, 0, 0, 0, 4], [0, 0, 0, 0, 5], False, []),
    ("Newton map of z^3 - 1", [1, 0, 0, 2], [0, 0, 3], True, []),
    ("Newton map of z^3 - 2z + 2", [-2, 0, 0, 2], [-2, 0, 3], True, []),
    ("z^10 - 1", [-1] + [0] * 9 + [1], [1], False, []),
    ("z^2 + i (Misiurewicz)", [1j, 0, 1], [1], True, []),
    ("z^2 - 2 (Misiurewicz)", [-2, 0, 1], [1], True, []),
    ("z^2 + 1/4 (parabolic, lambda 1)", [0.25, 0, 1], [1], False, [(1, mp.mpf("0.5"))]),
    ("z^2 - 3/4 (parabolic, lambda -1)", [-0.75, 0, 1], [1], True, [(1, mp.mpf("-0.5"))]),
    ("z^2 - 5/4 (parabolic 2-cycle)", [-1.25, 0, 1], [1], True, [(2, (mp.sqrt(2) - 1) / 2)]),
    ("z^2 - 7/4 (parabolic 3-cycle)", [-1.75, 0, 1], [1], False, [(3, None)]),
    ("z^2 + 1/4 + i/2 (parabolic, lambda i)", [0.25 + 0.5j, 0, 1], [1], True, [(1, mp.mpc(0, 0.5))]),
    ("(0.5z^7 + z)/(z^10 + z^2 + 1) (parabolic 0)", [0, 1, 0, 0, 0, 0, 0, 0.5],
     [1, 0, 1] + [0] * 7 + [1], False, [(1, mp.mpc(0))]),
    ("1e-300 z^2", [0, 0, 1e-300], [1], True, []),
    ("1e300 z^2", [0, 0, 1e300], [1], True, []),
    ("z^3 + 1e-170 z^2", [0, 0, 1e-170, 1], [1], True, []),
    ("(z^2 + 1)/(z^2 - 1/4)", [1, 0, 1], [-0.25, 0, 1], True, []),
]


def horner(c, z):
    v = mp.mpc(0)
    for a in reversed(c):
        v = v * z + a
    return v


def deriv(c):
    return [k * c[k] for k in range(1, len(c))]


def strip(c):
    c = list(c)
    while len(c) > 1 and c[-1] == 0:
        c.pop()
    return c


def mul(a, b):
    out = [mp.mpc(0)] * (len(a) + len(b) - 1)
    for i, x in enumerate(a):
        for j, y in enumerate(b):
            out[i + j] += x * y
    return out


def sub(a, b):
    n = max(len(a), len(b))
    return [(a[i] if i < len(a) else 0) - (b[i] if i < len(b) else 0) for i in range(n)]


def roots(c):
    """Roots of a polynomial (ascending coefficients), zero roots split off first."""
    c = strip([mp.mpc(x) for x in c])
    zeros = 0
    while len(c) > 1 and c[0] == 0:
        c.pop(0)
        zeros += 1
    found = [mp.mpc(0)] * zeros
    if len(c) > 1:
        # on w = z / s with s the size of the largest roots, so that the
        # iteration's absolute tolerance suits roots of any size
        n = len(c) - 1
        s = max(abs(c[k] / c[n]) ** (mp.mpf(1) / (n - k)) for k in range(n) if c[k] != 0)
        w = mp.polyroots([c[k] * s**k for k in reversed(range(n + 1))], maxsteps=400, extraprec=400)
        found += [s * r for r in w]
    return found


class Map:
    def __init__(self, num, den):
        self.p = [mp.mpc(x) for x in num]
        self.q = [mp.mpc(x) for x in den]
        self.rational = len(strip(self.q)) > 1

    def __call__(self, z):
        if z is None:
            return None
        qz = horner(self.q, z)
        return None if qz == 0 else horner(self.p, z) / qz

    def derivative(self, z):
        qz = horner(self.q, z)
        return (horner(deriv(self.p), z) * qz - horner(self.p, z) * horner(deriv(self.q), z)) / qz**2

    def iterate(self, z, k):
        for _ in range(k):
            z = self(z)
        return z

    def multiplier(self, z, k):
        lam = mp.mpc(1)
        for _ in range(k):
            lam *= self.derivative(z)
            z = self(z)
        return lam


def kind(lam):
    s = abs(lam) ** 2
    if s > 1 + 2 * ZERO_TOL:
        return "Repelling"
    if s <= ZERO_TOL**2:
        return "SuperAttracting"
    return "Attracting" if s < 1 - 2 * ZERO_TOL else "Indifferent"


def critical_points(f, num, den):
    if not f.rational:
        return roots(deriv(num))
    n = strip(sub(mul(deriv(num), den), mul(num, deriv(den))))
    found = roots(n)
    poles = roots(den)
    for i, p in enumerate(poles):  # multiple poles, once each
        if any(abs(p - r) < mp.mpf("1e-20") for r in poles[:i]):
            continue
        if sum(abs(p - r) < mp.mpf("1e-20") for r in poles) > 1:
            found.append(p)
    return found


def infinity_image(num, den):
    """R(infinity) when infinity is critical and maps into the plane, else None."""
    p, q = strip(num), strip(den)
    dp, dq = len(p) - 1, len(q) - 1
    if dp > dq:
        return None
    return mp.mpc(p[-1]) / q[-1] if dp == dq else mp.mpc(0)


def parabolic_cycle(f, period, point):
    if point is None:  # the double root of f^p(z) - z: a root of (f^p)' - 1 on the real line
        point = mp.findroot(lambda x: f.multiplier(x, period) - 1, mp.mpf("-0.05"))
    lam = f.multiplier(point, period)
    assert any(abs(lam**q - 1) < mp.mpf("1e-40") for q in range(1, 25)), "not parabolic"
    assert abs(f.iterate(point, period) - point) < mp.mpf("1e-40")
    return period, mp.mpc(point), "Indifferent"


def follow(f, c, scale, parabolic):
    """('cycle', (period, point, kind)) / ('repelling', period) / ('escape',) / ('parabolic',)."""
    orbit = [mp.mpc(c)]
    for _ in range(STEPS):
        z = f(orbit[-1])
        if z is None or abs(z) > mp.mpf("1e20") * scale:
            return ("escape",)
        orbit.append(z)
    tail = orbit[-1]
    for p in range(1, 21):
        if abs(orbit[-1 - p] - tail) <= mp.mpf("1e-25") * scale:
            z = mp.findroot(lambda w: f.iterate(w, p) - w, tail)
            lam = f.multiplier(z, p)
            k = kind(lam)
            if k == "Repelling":
                return ("repelling", p)
            return ("cycle", (p, z, k))
    for period, point, _ in parabolic:
        cycle = [f.iterate(point, j) for j in range(period)]
        if min(abs(tail - q) for q in cycle) < mp.mpf("0.15") * scale:
            return ("parabolic",)
    raise RuntimeError("critical orbit of %s undetermined: tail %s" % (c, orbit[-3:]))


def same_cycle(f, a, b, scale):
    return a[0] == b[0] and any(abs(f.iterate(a[1], j) - b[1]) < mp.mpf("1e-20") * scale for j in range(a[0]))


def cpp_complex(z):
    z = mp.mpc(z)
    return "cd(%r, %r)" % (float(z.real), float(z.imag))  # repr: the nearest double, exactly


def cpp_list(points):
    return "{" + ", ".join(cpp_complex(z) for z in points) + "}"


def row(name, num, den, check_points, parabolic_hints):
    f = Map(num, den)
    crit = critical_points(f, num, den)
    fixed = roots(strip(sub(mul([0, 1], den), num)) if f.rational else sub(num, [0, 1]))
    scale = max([abs(z) for z in fixed] + [mp.mpf("1e-300")])
    parabolic = [parabolic_cycle(f, p, z) for p, z in parabolic_hints]
    cycles = list(parabolic)
    landings = 0
    starts = list(crit)
    inf = infinity_image(num, den) if f.rational else None
    for i, c in enumerate(starts + ([inf] if inf is not None else [])):
        fate = follow(f, c, scale, parabolic)
        if fate[0] == "repelling" and i < len(starts):
            landings += 1
        if fate[0] == "cycle" and not any(same_cycle(f, fate[1], c2, scale) for c2 in cycles):
            cycles.append(fate[1])
    degree = max(len(strip(num)), len(strip(den))) - 1
    searched = max(k for k in range(1, 11) if degree**k <= 1024)
    if len(cycles) >= 2 * degree - 2:
        searched = -1  # the list fills up; where the search ends is not derived here
    cycle_list = ", ".join("{%d, PointKind::%s, %s}" % (p, k, cpp_complex(z)) for p, z, k in cycles)
    lines = ['    {"%s", %s, %s, %s, %s, %s,' % (name, cpp_list(num), cpp_list(den), "true" if check_points else "false",
                                           cpp_list(crit) if check_points else "{}",
                                           cpp_list(fixed) if check_points else "{}"),
             "     {%s}, %d, %d, %r}," % (cycle_list, landings, searched, float(scale))]
    return "\n".join(lines)


def main():
    table = "\n".join(row(*m) for m in MAPS)
    text = open(TEST_FILE, encoding="utf-8").read()
    begin, end = "// BEGIN GENERATED TABLE (accuracy_table.py)\n", "    // END GENERATED TABLE\n"
    text = re.sub(re.escape(begin) + ".*?" + re.escape(end), lambda _: begin + table + "\n" + end, text, flags=re.S)
    open(TEST_FILE, "w", encoding="utf-8").write(text)


if __name__ == "__main__":
    main()
