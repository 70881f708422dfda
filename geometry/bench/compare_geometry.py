#!/usr/bin/env python3
"""Runs bench_geometry pinned to one core, with every benchmark's repetitions interleaved with
the others' (so the library and its peers share the machine's slow and quiet moments), and
prints, per operation and precision, the median time of each and the library's ratio to the
faster of glm and Eigen, with the spread (the lowest and highest repetition); and beside it
glm's arithmetic behind a function call that is not inlined, which shows what the call into
the library costs by itself.

usage: compare_geometry.py [BENCH] [--core N] [--repetitions N] [--min-time SECONDS]
"""
import argparse
import json
import statistics
import subprocess
import sys


def main():
    p = argparse.ArgumentParser()
    p.add_argument("bench", nargs="?", default="build/default/bench/bench_geometry")
    p.add_argument("--core", default="1")
    p.add_argument("--repetitions", type=int, default=15)
    p.add_argument("--min-time", default="0.05")
    p.add_argument("--filter", default=".")
    args = p.parse_args()
    cmd = ["taskset", "-c", args.core, args.bench, f"--benchmark_repetitions={args.repetitions}",
           "--benchmark_enable_random_interleaving=true", f"--benchmark_min_time={args.min_time}",
           f"--benchmark_filter={args.filter}", "--benchmark_format=json"]
    out = subprocess.run(cmd, capture_output=True, text=True, check=True).stdout
    runs = {}
    for b in json.loads(out)["benchmarks"]:
        if b.get("run_type") != "iteration":
            continue
        runs.setdefault(b["run_name"], []).append(b["real_time"])
    rows = {}
    for name, times in runs.items():
        op, precision, who = name.split("/")
        rows.setdefault((op, precision), {})[who] = times
    print(f"command: {' '.join(cmd[:-1])}")
    print()
    print("| operation | precision | ours (median, range) | glm | Eigen | ours / faster peer (median, range) "
          "| glm called out of line | ours / glm called out of line |")
    print("|---|---|---|---|---|---|---|---|")
    worst = 0
    for (op, precision), who in rows.items():
        ours = who["ours"]
        med = {k: statistics.median(v) for k, v in who.items()}
        faster = "glm" if med["glm"] <= med["eigen"] else "eigen"
        # The ratio per repetition, against the faster peer's median, gives the spread.
        ratios = sorted(t / med[faster] for t in ours)
        ratio = med["ours"] / med[faster]
        worst = max(worst, ratio)
        print(f"| {op} | {precision} | {med['ours']:.2f} ns ({min(ours):.2f} to {max(ours):.2f}) | "
              f"{med['glm']:.2f} ns | {med['eigen']:.2f} ns | {ratio:.2f} ({ratios[0]:.2f} to {ratios[-1]:.2f}) | "
              f"{med['glm_call']:.2f} ns | {med['ours'] / med['glm_call']:.2f} |")
    print()
    print(f"worst ratio {worst:.2f}")
    return 0


if __name__ == "__main__":
    sys.exit(main())
