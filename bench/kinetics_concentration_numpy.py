#!/usr/bin/env python3
"""Peer of kinetics_concentration.cpp: the concentration series of every
compound, each point a window of its own, with the same formulas vectorised
over the points with numpy. Reads the inputs the C++ benchmark wrote into the
folder given as the argument, checks the result against the C++ series and
prints "seconds <median CPU seconds per run>" and "max_relative_difference <x>".
"""
import json
import statistics
import sys
import time

import numpy as np

HYDRATES = (37, 55, 73)
DIFFUSION = {19: 421, 30: 416, 32: 409, 37: 307, 48: 326, 55: 239, 73: 202}


def safe_power(base, exponent):
    if base <= 0:
        return 0.0
    x = exponent * np.log(base)
    return np.exp(44) if x >= 44 else 0.0 if x <= -44 else np.exp(x)


def flow_factor(k):
    if k["fc"] == 0:
        return k["f8"]
    return (k["fc"] + k["f1"]) / k["p"] * k["Tg"] / 293.15


def reaction_time(k):
    if k["fc"] == 0:
        return k["f7"]
    return k["lr"] / (flow_factor(k) * 1000 / k["Aft"]) / 1.5


def ion_diffusion(m):
    r = int(np.round(m))
    return DIFFUSION[r] if r in DIFFUSION else 140 * np.log(383 / m)


def quadratic(m, mr200):
    dm = m - 19
    return 1 + (mr200 - 1) / 32761 * (dm * dm)


def correction(k, m):
    """(factor, scale, divisor): corrected x = ((x * factor) * scale) / divisor."""
    if not k["Correct"]:
        return 1.0, 1.0, 1.0
    r = int(np.round(m))
    if k["De200"] != 0:
        dm = m - 19
        if r in (19, 30, 32):
            return quadratic(m, k["Mr200"]), 1.0, 1.0
        if r in HYDRATES:
            w = (2.7 * k["Df73"] - 1) / 2916
            return 1 + w * (dm * dm), 1.0, {37: 1.36, 55: 1.81, 73: 2.7}[r]
        return quadratic(m, k["Mr200"]), 1.0, 1 + (k["De200"] - 1) / 181 * dm
    d_ion = ion_diffusion(m) / k["p"]
    d_ref = ion_diffusion(19) / k["p"]
    a = reaction_time(k) * 18.7 / k["Aft"]
    f = 1.0
    if d_ion != d_ref:
        g = (d_ref - d_ion) * a
        f = 1.0 if g == 0 else np.expm1(g) / g
    return quadratic(m, k["Mr200"]), 1.1 if r in HYDRATES else 1.0, f


def channel_of(k, m):
    masses = k["IonMass"]
    for c in range(len(masses) - 1, -1, -1):
        if abs(m - masses[c]) < 0.5:
            return c
    return -1


def filtered(k, counts, c):
    """Counts of channel c in storage order, through the outlier filter."""
    x = counts[2 * c + 1]
    njm = k["njm"]
    if k["OutlierFilter"] > 0:
        s = np.arange(njm)
        a = np.roll(x, 1)
        b = np.roll(x, -1)
        m = (a + b) / 2
        power = k["OutlierPower"]
        spread = abs(power)
        e = np.sqrt(np.maximum(m, 0)) + np.abs(a - m)
        high = np.where(x > m + spread * e, m, np.where((power > 0) & (x < m - spread * e), m, x))
        low = np.where((x == 0) & (spread < 2), m, x)
        if spread < 1.5:
            low = (m + low) / 2
        replaced = np.where(m > 25, high, low)
        x = np.where((s > 0) & (s < njm - 1) & (s < k["jm"] - 2), replaced, x)
    return x


def rates(k, counts, c, chronological):
    """Dead-time corrected, filtered count rates of channel c at every point."""
    rate = filtered(k, counts, c) * k["FScan"] / k["Cntm"][2 * c + 1]
    d = rate * k["DeadTime"]
    rate = np.where(d < 0.5, rate / (1 - d), rate * (2 * d + 1))
    return rate[chronological]


def densities(k, counts, compound, chronological, channel_rates=None):
    """Number density of the compound at every point, each a window of its own.
    channel_rates(c) gives the rates of channel c at every point (rates() when None)."""
    njm = k["njm"]
    zero = np.zeros(njm)
    first_product_37 = compound["ProductMass"][0] == 37
    if channel_rates is None:
        def channel_rates(c):
            return rates(k, counts, c, chronological)

    def window_mean(mass):
        c = channel_of(k, mass)
        total = 0.5 * channel_rates(c) if c != -1 else zero
        factor, scale, divisor = correction(k, mass)
        return total / 0.5 * factor * scale / divisor

    P = [window_mean(m) for m in compound["PrecursorMass"]]
    kk = []
    for m, coefficient in zip(compound["PrecursorMass"], compound["RateCoefficient"]):
        if first_product_37 and m == 19:
            coefficient = safe_power(300 / k["Tg"], 3) * k["p"] * coefficient / 0.7
        kk.append(coefficient)
    b = compound["PrecursorWeight"]
    I = [window_mean(m) for m in compound["ProductMass"]]

    with np.errstate(divide="ignore", invalid="ignore"):
        N = zero
        for w, rate in zip(compound["ProductWeight"], I):
            effective = w if w > -100 else (w + 100) * P[-1] / P[0]
            N = N + effective * rate
        D = kk[0] * P[0] * b[0]
        for i in range(1, len(P)):
            D = D + (kk[0] + kk[i]) / 2 * P[i] * b[i]
        x = kk[0] * N / D
        usable = (P[0] != 0) & (D != 0) & (x > -1)
        density = np.where(usable, np.log1p(np.where(usable, x, 0)) / (reaction_time(k) * kk[0]), 0)
    return np.where(density > 0, density, 0)


def to_ppb(k, density):
    return flow_factor(k) / k["f1"] * density / 3.28e16 * 1e9


def series(k, counts, compound, chronological):
    return to_ppb(k, densities(k, counts, compound, chronological))


def main():
    folder = sys.argv[1]
    with open(f"{folder}/inputs.json") as f:
        k = json.load(f)
    counts = np.fromfile(f"{folder}/counts.bin", dtype="<i4").reshape(k["nim"], k["njm"]).astype(np.float64)
    ours = np.fromfile(f"{folder}/ours.bin", dtype="<f8").reshape(len(k["compounds"]), k["njm"])
    chronological = (np.arange(k["njm"]) + k["jm"]) % k["njm"]

    times = []
    for _ in range(7):
        start = time.process_time()
        result = np.array([series(k, counts, c, chronological) for c in k["compounds"]])
        times.append(time.process_time() - start)
    difference = np.abs(result - ours) / np.maximum(np.abs(ours), 1e-300)
    difference[(result == 0) & (ours == 0)] = 0
    print("seconds", statistics.median(times))
    print("max_relative_difference", float(difference.max()))


if __name__ == "__main__":
    main()
