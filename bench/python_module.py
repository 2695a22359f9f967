#!/usr/bin/env python3
"""Peer runs of python_module.cpp: times kelview.load + rates() of the large
zipped profile, the concentration series of its 100 compounds, and
"results --format json" against "window" (ppb mode) in CPU seconds, and
prints the ratios to the C++ time given as the third argument.
Usage: python_module.py FOLDER KELVIEW_CLI CPP_LOAD_AND_RATES_SECONDS"""
import os
import resource
import statistics
import subprocess
import sys
import time

import kelview


def cpu_median(work, runs):
    times = []
    for _ in range(runs):
        start = time.process_time()
        work()
        times.append(time.process_time() - start)
    return statistics.median(times)


def child_cpu_median(command, runs):
    times = []
    for _ in range(runs):
        before = resource.getrusage(resource.RUSAGE_CHILDREN)
        subprocess.run(command, check=True, stdout=subprocess.DEVNULL)
        after = resource.getrusage(resource.RUSAGE_CHILDREN)
        times.append(after.ru_utime + after.ru_stime - before.ru_utime - before.ru_stime)
    return statistics.median(times)


def main():
    folder, cli, cpp_seconds = sys.argv[1], sys.argv[2], float(sys.argv[3])
    profile_path = os.path.join(folder, "large.kel")
    kinetics = os.path.join(folder, "kinetics.txt")

    load_rates = cpu_median(lambda: kelview.load(profile_path).rates(), 5)
    print(f"kelview.load + rates(): {load_rates * 1e3:.1f} ms CPU, C++ load and rates: {cpp_seconds * 1e3:.1f} ms, "
          f"ratio {load_rates / cpp_seconds:.2f}")

    profile = kelview.load(profile_path)
    library = kelview.Library(kinetics)
    series = profile.concentrations(library)
    concentrations = cpu_median(lambda: profile.concentrations(library), 3)
    print(f"concentrations of {len(series)} compounds over {profile.meta['njm']} points: "
          f"{concentrations * 1e3:.1f} ms CPU (compare kinetics_concentration's numpy peer)")

    common = [profile_path, "--mode", "ppb", "--kinetics", kinetics]
    results = child_cpu_median([cli, "results", *common], 3)
    window = child_cpu_median([cli, "window", *common, "--json"], 3)
    print(f"results --format json: {results * 1e3:.1f} ms CPU, window --json: {window * 1e3:.1f} ms, "
          f"ratio {results / window:.2f}")


if __name__ == "__main__":
    main()
