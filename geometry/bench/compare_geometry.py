#!/usr/bin/env python3
"""Runs geometry benchmarks pinned to one core and prints, per operation and precision, the
median time of the library and of glm and Eigen, and the library's ratio to the faster of the
two, with the spread (the lowest and highest repetition); beside it glm's arithmetic behind a
function call that is not inlined.

Every benchmark's repetitions are interleaved at random with the others' (so the library and its
peers share the machine's slow and quiet moments), and when several benchmark programs are given
(LABEL=PATH, for instance the in-tree build and the same source built as a separate project at
-O2), they take turns, a few repetitions each, round after round; each gets its own ratio column.

The figures are processor time (--time cpu, the default): on a shared machine a pinned thread
still loses the core to others now and then, which shows in the wall-clock time (--time real)
but is not the operation's cost.

usage: compare_geometry.py [LABEL=]BENCH... [--core N] [--rounds N] [--repetitions N] [--min-time S]
                           [--time cpu|real] [--filter REGEX]
"""
import argparse
import json
import statistics
import subprocess
import sys


def run_once(bench, args, repetitions):
    cmd = ["taskset", "-c", args.core, bench, f"--benchmark_repetitions={repetitions}",
           "--benchmark_enable_random_interleaving=true", f"--benchmark_min_time={args.min_time}",
           f"--benchmark_filter={args.filter}", "--benchmark_format=json"]
    out = subprocess.run(cmd, capture_output=True, text=True, check=True).stdout
    return cmd, [b for b in json.loads(out)["benchmarks"] if b.get("run_type") == "iteration"]


def main():
    p = argparse.ArgumentParser()
    p.add_argument("benches", nargs="*", default=["in-tree=build/default/geometry/bench/bench_geometry"])
    p.add_argument("--core", default="1")
    p.add_argument("--rounds", type=int, default=1, help="turns each program takes (with several programs)")
    p.add_argument("--repetitions", type=int, default=15, help="repetitions per program and round")
    p.add_argument("--min-time", default="0.05")
    p.add_argument("--filter", default=".")
    p.add_argument("--time", choices=["cpu", "real"], default="cpu")
    args = p.parse_args()
    programs = [(b.split("=", 1) if "=" in b else (b, b)) for b in args.benches]

    times = {}  # (label, op, precision, who) -> [ns]
    commands = {}
    for _ in range(args.rounds):
        for label, bench in programs:
            cmd, runs = run_once(bench, args, args.repetitions)
            commands[label] = " ".join(cmd[:-1])
            for b in runs:
                op, precision, who = b["run_name"].split("/")
                times.setdefault((label, op, precision, who), []).append(b[f"{args.time}_time"])

    for label, _ in programs:
        print(f"{label}: {commands[label]} ({args.rounds} rounds, {args.time} time)")
    print()
    header = "| operation | precision |"
    rule = "|---|---|"
    for label, _ in programs:
        header += f" {label}: ours (median, range) | glm | Eigen | ours / faster peer (median, range) | glm called out of line |"
        rule += "---|---|---|---|---|"
    print(header)
    print(rule)
    worst = {label: 0.0 for label, _ in programs}
    rows = sorted({(op, precision) for (_, op, precision, _) in times}, key=lambda r: list(times).index(
        next(k for k in times if k[1:3] == r)))
    for op, precision in rows:
        line = f"| {op} | {precision} |"
        for label, _ in programs:
            who = {w: t for (l, o, pr, w), t in times.items() if (l, o, pr) == (label, op, precision)}
            if "ours" not in who:
                line += " | | | | |"
                continue
            med = {k: statistics.median(v) for k, v in who.items()}
            faster = "glm" if med["glm"] <= med["eigen"] else "eigen"
            # The ratio per repetition, against the faster peer's median, gives the spread.
            ratios = sorted(t / med[faster] for t in who["ours"])
            ratio = med["ours"] / med[faster]
            worst[label] = max(worst[label], ratio)
            line += (f" {med['ours']:.2f} ns ({min(who['ours']):.2f} to {max(who['ours']):.2f}) | {med['glm']:.2f} ns |"
                     f" {med['eigen']:.2f} ns | {ratio:.2f} ({ratios[0]:.2f} to {ratios[-1]:.2f}) | {med['glm_call']:.2f} ns |")
        print(line)
    print()
    for label, _ in programs:
        print(f"{label}: worst ratio {worst[label]:.2f}")
    return 0


if __name__ == "__main__":
    sys.exit(main())
