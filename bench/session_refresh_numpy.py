#!/usr/bin/env python3
"""Peer of session_refresh.cpp: what one refresh of the plot computes, with
the formulas of kinetics_concentration_numpy.py vectorised over the points.
In ppb mode the curve of every compound and its window results (mean
density, scatter, ppb, weighted product rate, counting error, product counts,
amount); in count-rate mode every channel's corrected rates, their total and
the channel window means; in both the auxiliary means. As in the kinetics
peer, every compound computes the rates of its own lines; its curve and its
window share them.

Reads the inputs the C++ benchmark wrote into the folder given as the
argument, checks the curves and means against ours (the other figures of
the result lines are computed, not compared) and prints
"seconds <median CPU seconds per refresh>" and "max_relative_difference <x>".
"""
import json
import statistics
import sys
import time

import numpy as np

from kinetics_concentration_numpy import channel_of, correction, densities, filtered, rates, to_ppb


class Channels:
    """Rates and filtered counts of each channel at every point, made on first use."""

    def __init__(self, k, counts, chronological):
        self.k, self.counts, self.chronological = k, counts, chronological
        self._rates, self._counts = {}, {}

    def rates(self, c):
        if c not in self._rates:
            self._rates[c] = rates(self.k, self.counts, c, self.chronological)
        return self._rates[c]

    def counts_of(self, c):
        if c not in self._counts:
            self._counts[c] = filtered(self.k, self.counts, c)[self.chronological]
        return self._counts[c]


def corrected(k, mass, x):
    factor, scale, divisor = correction(k, mass)
    return x * factor * scale / divisor


def relative_standard_error(u, q, n):
    if n < 2:
        return 0.0
    about_mean = q - u * u / n
    if not about_mean > 0:
        return 0.0
    return np.sqrt(about_mean / ((n - 1.0) * n)) * 100 / (u / n)


def half_weights(k, c, start, end):
    """Channels of the cycle's first half weigh half at the start, the others at the end."""
    w = np.ones(end - start + 1)
    w[0 if c < k["nim"] // 4 else -1] = 0.5
    return w


def line_window(k, channels, mass, start, end):
    """(corrected weighted mean rate, weighted count sum) of the line of mass over the window."""
    c = channel_of(k, mass)
    if c == -1:
        return corrected(k, mass, 0.0), 0.0
    w = half_weights(k, c, start, end)
    rate = np.dot(w, channels.rates(c)[start:end + 1]) / ((end - start) + 0.5)
    return corrected(k, mass, rate), np.dot(w, channels.counts_of(c)[start:end + 1])


def cycle_time(k):
    return sum(k["Cntm"][:k["nim"]]) / k["FScan"]


def auxiliary_means(k, counts, chronological, start, end):
    return [counts[r][chronological[start:end + 1]].mean() for r in range(18, 27, 2) if "(" not in k["Name"][r]]


def compound_window(k, channels, compound, density, start, end):
    n = end - start + 1
    window = density[start:end + 1]
    u, q = window.sum(), np.dot(window, window)
    mean = u / n
    result = [mean, relative_standard_error(u, q, n), 0.0, 0.0, 0.0, 0.0, 0.0]
    if not mean > 0:
        return result
    ppb = to_ppb(k, mean)
    P = [line_window(k, channels, m, start, end)[0] for m in compound["PrecursorMass"]]
    products = [line_window(k, channels, m, start, end) for m in compound["ProductMass"]]
    weighted = 0.0
    for w, (rate, _) in zip(compound["ProductWeight"], products):
        weighted += (w if w > -100 else (w + 100) * P[-1] / P[0]) * rate
    positive = sum(count for w, (_, count) in zip(compound["ProductWeight"], products) if w > 0)
    error = 1.0 if positive == 0 else np.sqrt(positive) / positive
    mol = ppb * 1e-9 * cycle_time(k) * (end - start) * k["f1"] / 760 / 24.4
    result[2:] = [ppb, error, weighted, sum(count for _, count in products), mol]
    return result


def refresh_ppb(k, counts, chronological, start, end):
    curves, means = [], []
    for compound in k["compounds"]:
        channels = Channels(k, counts, chronological)
        density = densities(k, counts, compound, chronological, channels.rates)
        curves.append(to_ppb(k, density))
        means.extend(compound_window(k, channels, compound, density, start, end))
    return curves, means, auxiliary_means(k, counts, chronological, start, end)


def refresh_rates(k, counts, chronological, start, end):
    channels = Channels(k, counts, chronological)
    n = end - start + 1
    curves, means, shown = [], [], []
    total_curve, total = np.zeros(k["njm"]), 0.0
    for c in range(k["nim"] // 2):
        mass = k["IonMass"][c]
        rate = channels.rates(c)
        curve = corrected(k, mass, rate)
        curves.append(curve)
        total_curve = total_curve + curve
        window = rate[start:end + 1]
        w = half_weights(k, c, start, end)
        mean = corrected(k, mass, np.dot(w, window) / ((end - start) + 0.5))
        count = np.dot(w, channels.counts_of(c)[start:end + 1])
        # What the channel's result line shows besides the mean: counting
        # error, scatter and dwell in the window.
        shown.append((np.sqrt(count) * 100 / (count + 0.001),
                      relative_standard_error(window.sum(), np.dot(window, window), n),
                      k["Cntm"][2 * c + 1] * n / k["FScan"]))
        means.append(mean)
        total += mean
    curves.append(total_curve)
    means.append(total)
    shown.append(auxiliary_means(k, counts, chronological, start, end))
    return curves, means, shown


def largest_relative_difference(result, ours):
    difference = np.abs(result - ours) / np.maximum(np.abs(ours), 1e-300)
    difference[(result == 0) & (ours == 0)] = 0
    return float(difference.max())


def main():
    folder = sys.argv[1]
    with open(f"{folder}/inputs.json") as f:
        k = json.load(f)
    counts = np.fromfile(f"{folder}/counts.bin", dtype="<i4").reshape(k["nim"], k["njm"]).astype(np.float64)
    our_curves = np.fromfile(f"{folder}/curves.bin", dtype="<f8")
    our_means = np.fromfile(f"{folder}/means.bin", dtype="<f8")
    chronological = (np.arange(k["njm"]) + k["jm"]) % k["njm"]
    refresh = refresh_ppb if k["mode"] == "ppb" else refresh_rates

    times = []
    for _ in range(7):
        start = time.process_time()
        curves, means, _ = refresh(k, counts, chronological, k["start"], k["end"])
        times.append(time.process_time() - start)
    difference = max(largest_relative_difference(np.concatenate(curves), our_curves),
                     largest_relative_difference(np.array(means, dtype=np.float64), our_means))
    print("seconds", statistics.median(times))
    print("max_relative_difference", difference)


if __name__ == "__main__":
    main()
