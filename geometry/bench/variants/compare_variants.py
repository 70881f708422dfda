#!/usr/bin/env python3
"""Runs variant benchmark programs (LABEL=PATH) pinned to one core, every benchmark's repetitions
interleaved at random with the others', several rounds with the programs taking turns; prints a
table with, for each operation, precision and variant, every program's median processor time
and its ratio to the faster of glm's and Eigen's medians in the same program (median, and the
lowest to highest repetition). Operations without glm or Eigen (Trig3) show times only.

usage: compare_variants.py LABEL=PATH... [--core N] [--rounds N] [--repetitions N] [--min-time S]
                           [--filter REGEX]"""
import argparse
import json
import statistics
import subprocess

p = argparse.ArgumentParser()
p.add_argument("benches", nargs="+")
p.add_argument("--core", default="1")
p.add_argument("--rounds", type=int, default=3)
p.add_argument("--repetitions", type=int, default=5)
p.add_argument("--min-time", default="0.05")
p.add_argument("--filter", default=".")
a = p.parse_args()
progs = [b.split("=", 1) for b in a.benches]
t = {}  # (op, precision, who) -> {label: [ns]}, in the programs' order
for _ in range(a.rounds):
    for label, path in progs:
        cmd = ["taskset", "-c", a.core, path, f"--benchmark_repetitions={a.repetitions}",
               "--benchmark_enable_random_interleaving=true", f"--benchmark_min_time={a.min_time}",
               f"--benchmark_filter={a.filter}", "--benchmark_format=json"]
        out = json.loads(subprocess.run(cmd, capture_output=True, text=True, check=True).stdout)
        for b in out["benchmarks"]:
            if b.get("run_type") == "iteration":
                t.setdefault(tuple(b["run_name"].split("/")), {}).setdefault(label, []).append(b["cpu_time"])

print(f"{a.rounds} rounds of {a.repetitions} repetitions per program, taskset -c {a.core}, processor time\n")
print("| operation | precision | variant | " + " | ".join(f"{l}: ns | {l}: / faster peer (range)" for l, _ in progs) + " |")
print("|---|---|---|" + "---|---|" * len(progs))
order = ["Mul4", "Inv4", "Euler", "Trig3"]  # operations in this order, others after
for op, prec in sorted(dict.fromkeys((o, pr) for o, pr, _ in t), key=lambda k: (order.index(k[0]) if k[0] in order else 9, k)):
    who = [w for o, pr, w in t if (o, pr) == (op, prec)]
    who.sort(key=lambda w: (w in ("glm", "eigen"), w != "lib"))  # the library, its variants, the peers
    for w in who:
        cells = []
        for label, _ in progs:
            v = t[(op, prec, w)].get(label)
            if not v:
                cells += ["", ""]
                continue
            peers = [statistics.median(t[(op, prec, k)][label]) for k in ("glm", "eigen") if (op, prec, k) in t]
            cells.append(f"{statistics.median(v):.2f} ({min(v):.2f} to {max(v):.2f})" if not peers else f"{statistics.median(v):.2f}")
            if peers:
                f = min(peers)
                cells.append(f"{statistics.median(v) / f:.2f} ({min(v) / f:.2f} to {max(v) / f:.2f})")
            else:
                cells.append("")
        print(f"| {op} | {prec} | {w} | " + " | ".join(cells) + " |")
