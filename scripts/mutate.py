#!/usr/bin/env python3
"""Mutation testing: plants one small fault at a time in the C and C++ sources of the folders
given, rebuilds, runs the tests, and reports how many faults the tests caught.

A mutant is one of:
  operator   a binary operator written with spaces around it swapped for another
             (+ -, * /, < <=, > >=, == !=, && ||, & |, ^, << >>);
  constant   a number literal changed (an integer by one, a floating-point value by a factor
             of 1.0001 or from 0 to 1);
  statement  a one-line expression statement (an assignment, a call, an increment) replaced
             by (void)0.
Comments, string and character literals and preprocessor lines are never touched.

For each mutant the build command runs, then the test command (each in the repository root,
through the shell, within --timeout seconds). A mutant is "killed" when the tests fail or time
out, "survived" when they pass, and "not compiled" when the build fails; the score is killed /
(killed + survived). The unmutated tree must build and pass first.

Every file is restored after each mutant, and on Ctrl-C, SIGTERM or SIGHUP. A copy of the
file being mutated is kept in .mutate-backup/ while the mutant runs, so that even a run that
was killed outright is undone by the next start of this script (or by --restore).

examples (from any worktree; folders are relative to its root):
  scripts/mutate.py --build 'cmake --build build/mutate' \\
      --test 'build/mutate/geometry/tests/test_geometry --gtest_brief=1' --count 100 geometry/src
  scripts/mutate.py --list plugin             # the candidate mutants, without running anything
"""
import argparse
import json
import os
import random
import re
import signal
import subprocess
import sys
import time

ROOT = os.path.abspath(os.path.join(os.path.dirname(os.path.abspath(__file__)), ".."))
BACKUP = os.path.join(ROOT, ".mutate-backup")
EXTENSIONS = (".c", ".cc", ".cpp", ".cxx", ".h", ".hh", ".hpp")

OPERATORS = {
    "+": ["-", "*"], "-": ["+", "/"], "*": ["/", "+"], "/": ["*", "-"],
    "<": ["<=", ">"], "<=": ["<", ">"], ">": [">=", "<"], ">=": [">", "<"],
    "==": ["!="], "!=": ["=="], "&&": ["||"], "||": ["&&"],
    "&": ["|", "^"], "|": ["&", "^"], "^": ["&", "|"], "<<": [">>"], ">>": ["<<"],
}
# A binary operator with white space on both sides (the sources' own style), so that pointer
# and reference declarations, template brackets, unary signs and stream operators inside
# longer tokens are left alone.
OPERATOR_RE = re.compile(r"(?<=\s)(<<|>>|<=|>=|==|!=|&&|\|\||[-+*/<>&|^])(?=\s)")
NUMBER_RE = re.compile(
    r"(?<![\w.])(0[xX][0-9a-fA-F]*\.?[0-9a-fA-F]*[pP][+-]?\d+[fFlL]?"   # hexadecimal float
    r"|0[xX][0-9a-fA-F]+[uUlL]*"                                        # hexadecimal integer
    r"|(?:\d+\.\d*|\.\d+|\d+)(?:[eE][+-]?\d+)?[fFuUlL]*)(?![\w.])")     # decimal
STATEMENT_RE = re.compile(
    r"^(\s*)((?:\+\+|--)?[A-Za-z_][\w.\[\]\->:]*(?:\([^;]*\))?\s*"
    r"(?:=|\+=|-=|\*=|/=|\|=|&=|\^=|<<=|>>=|\+\+|--|\()[^;]*;)\s*$")
DECLARATION_RE = re.compile(
    r"^\s*(?:const|constexpr|static|auto|return|using|typedef|template|unsigned|signed|struct|class|enum|"
    r"bool|char|short|int|long|float|double|void|size_t|u?int\d+_t|std::|case|default|goto|throw|delete|new)\b")


def code_mask(text):
    """A list of booleans: True where text is code (not a comment, literal or directive)."""
    mask = [True] * len(text)
    offset, continued = 0, False
    for line in text.splitlines(keepends=True):  # preprocessor lines, with their continuations
        if continued or line.lstrip(" \t").startswith("#"):
            mask[offset:offset + len(line)] = [False] * len(line)
            continued = line.rstrip("\r\n").endswith("\\")
        offset += len(line)
    i, n = 0, len(text)
    while i < n:
        c = text[i]
        if not mask[i]:
            i += 1
            continue
        if text.startswith("//", i):
            j = text.find("\n", i)
            j = n if j < 0 else j
        elif text.startswith("/*", i):
            j = text.find("*/", i + 2)
            j = n if j < 0 else j + 2
        elif c == '"' and i > 0 and text[i - 1] == "R" and re.match(r'"([^(\s]*)\(', text[i:]):
            delimiter = re.match(r'"([^(\s]*)\(', text[i:]).group(1)
            end = text.find(")" + delimiter + '"', i)
            j = n if end < 0 else end + len(delimiter) + 2
        elif c in "\"'" and not (c == "'" and i > 0 and text[i - 1].isalnum()):  # not a digit separator
            j = i + 1
            while j < n and text[j] != c and text[j] != "\n":
                j += 2 if text[j] == "\\" else 1
            j += 1
        else:
            i += 1
            continue
        mask[i:min(j, n)] = [False] * (min(j, n) - i)
        i = j
    return mask


def mutated_number(literal, rng):
    suffix = re.search(r"[fFuUlL]*$", literal).group(0) if not literal.lower().startswith("0x") or "p" in literal.lower() \
        else re.search(r"[uUlL]*$", literal).group(0)
    body = literal[: len(literal) - len(suffix)] if suffix else literal
    low = body.lower()
    if low.startswith("0x") and "p" in low:
        value = float.fromhex(body)
        return (value * 1.0001 if value else 1.0).hex() + suffix
    if low.startswith("0x"):
        return hex(int(body, 16) + 1) + suffix
    if re.fullmatch(r"\d+", body) and "f" not in suffix.lower():
        value = int(body)
        return str(value + 1 if value == 0 or rng.random() < 0.5 else value - 1) + suffix
    value = float(body)
    new = repr(value * 1.0001) if value else "1.0"
    if "f" in suffix.lower() and "." not in new and "e" not in new:
        new += ".0"
    return new + suffix


def candidates(path, rng):
    """Every mutant of one file: (kind, offset, length, replacement)."""
    with open(path, encoding="utf-8") as f:
        text = f.read()
    mask = code_mask(text)
    # Compile-time checks only turn a mutant into a build failure: left alone.
    for m in re.finditer(r"static_assert\s*\([^;]*;", text):
        mask[m.start():m.end()] = [False] * (m.end() - m.start())
    found = []
    for m in OPERATOR_RE.finditer(text):
        if all(mask[m.start():m.end()]):
            for new in OPERATORS[m.group(1)]:
                found.append(("operator", m.start(), len(m.group(1)), new))
    for m in NUMBER_RE.finditer(text):
        if all(mask[m.start():m.end()]):
            found.append(("constant", m.start(), len(m.group(1)), mutated_number(m.group(1), rng)))
    offset, previous = 0, ";"
    for line in text.splitlines(keepends=True):
        m = STATEMENT_RE.match(line)
        # A statement starts a line after the end of another (not inside a declaration's
        # continuation) and keeps its parentheses on that line.
        starts = previous.endswith((";", "{", "}", ")", "else", ":"))
        if m and starts and not DECLARATION_RE.match(line) and all(mask[offset + m.start(2):offset + m.end(2)]) \
                and m.group(2).count("(") == m.group(2).count(")"):
            found.append(("statement", offset + m.start(2), len(m.group(2)), "(void)0;"))
        code = "".join(ch for ch, keep in zip(line, mask[offset:offset + len(line)]) if keep).strip()
        if code:
            previous = code
        offset += len(line)
    return text, found


def source_files(folders):
    files = []
    for folder in folders:
        top = os.path.join(ROOT, folder)
        if os.path.isfile(top):
            files.append(os.path.relpath(top, ROOT))
            continue
        if not os.path.isdir(top):
            sys.exit(f"mutate: no folder {folder} in {ROOT}")
        for base, _, names in os.walk(top):
            for name in sorted(names):
                if name.endswith(EXTENSIONS):
                    files.append(os.path.relpath(os.path.join(base, name), ROOT))
    return sorted(files)


def write(path, text):
    with open(os.path.join(ROOT, path), "w", encoding="utf-8") as f:
        f.write(text)


def restore_backup():
    """Puts back any file that a run which was killed outright left mutated."""
    index = os.path.join(BACKUP, "index.json")
    if not os.path.exists(index):
        return
    with open(index, encoding="utf-8") as f:
        saved = json.load(f)
    for path, text in saved.items():
        write(path, text)
        print(f"mutate: restored {path} from an interrupted run", file=sys.stderr)
    os.remove(index)
    os.rmdir(BACKUP)


def clear_backup():
    index = os.path.join(BACKUP, "index.json")
    if os.path.exists(index):
        os.remove(index)
        os.rmdir(BACKUP)


def save_backup(path, text):
    os.makedirs(BACKUP, exist_ok=True)
    tmp = os.path.join(BACKUP, "index.json.tmp")
    with open(tmp, "w", encoding="utf-8") as f:
        json.dump({path: text}, f)
    os.replace(tmp, os.path.join(BACKUP, "index.json"))


def run(command, timeout):
    """Runs command in its own process group; returns 'ok', 'failed' or 'timeout'."""
    p = subprocess.Popen(command, shell=True, cwd=ROOT, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL,
                         start_new_session=True)
    try:
        return "ok" if p.wait(timeout=timeout) == 0 else "failed"
    except subprocess.TimeoutExpired:
        os.killpg(p.pid, signal.SIGKILL)
        p.wait()
        return "timeout"
    except BaseException:
        os.killpg(p.pid, signal.SIGKILL)
        p.wait()
        raise


def describe(text, offset, length, new):
    start = text.rfind("\n", 0, offset) + 1
    end = text.find("\n", offset)
    end = len(text) if end < 0 else end
    line_no = text.count("\n", 0, offset) + 1
    before = text[start:end].strip()
    after = (text[start:offset] + new + text[offset + length:end]).strip()
    return line_no, before, after


def interrupted(signum, frame):
    raise KeyboardInterrupt(f"signal {signum}")


def main():
    p = argparse.ArgumentParser(description=__doc__.split("\n\n")[0],
                                formatter_class=argparse.RawDescriptionHelpFormatter, epilog=__doc__.split("\n\n", 1)[1])
    p.add_argument("folders", nargs="+", help="folders (or files) to mutate, relative to the repository root")
    p.add_argument("--build", help="build command, run in the repository root")
    p.add_argument("--test", help="test command, run in the repository root; a non-zero status kills the mutant")
    p.add_argument("--seed", type=int, default=1)
    p.add_argument("--count", type=int, default=50, help="mutants to try (drawn at random from all candidates)")
    p.add_argument("--kinds", default="operator,constant,statement")
    p.add_argument("--timeout", type=float, default=600, help="seconds each build and each test run may take")
    p.add_argument("--list", action="store_true", help="print the candidate mutants and stop")
    p.add_argument("--json", help="write every mutant's outcome to this file")
    p.add_argument("--restore", action="store_true", help="undo an interrupted run and stop")
    args = p.parse_args()

    for s in (signal.SIGINT, signal.SIGTERM, signal.SIGHUP):
        signal.signal(s, interrupted)
    restore_backup()
    if args.restore:
        return 0

    rng = random.Random(args.seed)
    kinds = set(args.kinds.split(","))
    pool = []
    texts = {}
    for path in source_files(args.folders):
        text, found = candidates(os.path.join(ROOT, path), rng)
        texts[path] = text
        pool += [(path,) + m for m in found if m[0] in kinds]
    if args.list:
        for path, kind, offset, length, new in pool:
            line_no, before, after = describe(texts[path], offset, length, new)
            print(f"{path}:{line_no}: {kind}: {before}  ->  {after}")
        print(f"{len(pool)} candidates")
        return 0
    if not args.build or not args.test:
        p.error("--build and --test are needed (or --list)")

    chosen = rng.sample(pool, min(args.count, len(pool)))
    print(f"mutate: {len(pool)} candidates in {len(texts)} files; trying {len(chosen)} (seed {args.seed})", flush=True)
    print("mutate: the unmutated tree first", flush=True)
    if run(args.build, args.timeout) != "ok" or run(args.test, args.timeout) != "ok":
        sys.exit("mutate: the unmutated tree does not build or does not pass its tests")

    results = []
    start = time.time()
    current = None
    try:
        for n, (path, kind, offset, length, new) in enumerate(chosen, 1):
            text = texts[path]
            save_backup(path, text)
            current = path
            write(path, text[:offset] + new + text[offset + length:])
            outcome = "not compiled"
            if run(args.build, args.timeout) == "ok":
                outcome = {"ok": "survived", "failed": "killed", "timeout": "killed (timeout)"}[run(args.test, args.timeout)]
            write(path, text)
            current = None
            clear_backup()
            line_no, before, after = describe(text, offset, length, new)
            results.append({"file": path, "line": line_no, "kind": kind, "before": before, "after": after, "outcome": outcome})
            print(f"[{n}/{len(chosen)}] {outcome:16} {path}:{line_no}: {after}", flush=True)
    except KeyboardInterrupt:
        print("mutate: interrupted", file=sys.stderr)
    finally:
        if current is not None:
            write(current, texts[current])
        clear_backup()

    killed = sum(r["outcome"].startswith("killed") for r in results)
    survived = [r for r in results if r["outcome"] == "survived"]
    uncompiled = sum(r["outcome"] == "not compiled" for r in results)
    print()
    print(f"mutants tried: {len(results)}; not compiled: {uncompiled}; killed: {killed}; survived: {len(survived)}")
    if killed + len(survived):
        print(f"score: {killed}/{killed + len(survived)} = {100.0 * killed / (killed + len(survived)):.1f}% "
              f"({time.time() - start:.0f} s)")
    if survived:
        print("survivors:")
        for r in survived:
            print(f"  {r['file']}:{r['line']} ({r['kind']})\n    was: {r['before']}\n    now: {r['after']}")
    if args.json:
        with open(args.json, "w", encoding="utf-8") as f:
            json.dump({"seed": args.seed, "folders": args.folders, "build": args.build, "test": args.test,
                       "results": results}, f, indent=1)
    print("mutate: every file restored; rebuilding the unmutated tree", flush=True)
    if run(args.build, args.timeout) != "ok":
        print("mutate: the rebuild failed; rebuild before using the build folder", file=sys.stderr)
    return 0


if __name__ == "__main__":
    sys.exit(main())
