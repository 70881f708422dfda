#!/usr/bin/env python3
"""Writes into OUT_DIR the copies of library code that variants.h compiles beside the library:
the SSE2 4x4 inverses (detail/matrix_ops.h) to be built without the product barrier, and the
sine and cosine (src/fast_trig*) with the three-angle evaluation in its two-lane (SSE2) form
and two switches, TRIG_SHORT (two terms fewer in each polynomial) and TRIG_NOCHECK (no
rounding check). Only for timing: the copies with a switch on do not give the library's bits,
and the copies never take the four-lane form (AVX2 and FMA) that the library picks where the
processor has it.

usage: extract.py GEOMETRY_DIR OUT_DIR"""
import pathlib
import sys


def between(text, start, end):
    a = text.index(start)
    return text[a:text.index(end, a)]


def main():
    geo, out = pathlib.Path(sys.argv[1]), pathlib.Path(sys.argv[2])
    out.mkdir(parents=True, exist_ok=True)
    ops = (geo / "include/taverin/geometry/detail/matrix_ops.h").read_text()
    (out / "inverse_copy.inc").write_text(between(ops, "inline float lane0", "#endif  // TAVERIN_GEOMETRY_SSE2"))

    src = geo / "src"
    trig = "".join((src / name).read_text() for name in ("fast_trig_kernel.h", "fast_trig.cpp", "fast_trig_lanes.cpp"))
    for line in ("#pragma once\n", '#include "fast_trig.h"\n', '#include "fast_trig_kernel.h"\n'):
        trig = trig.replace(line, "")
    trig = trig.replace("namespace geometry::trig", "namespace geometry::TRIGNS")
    trig = "#define TAVERIN_GEOMETRY_NO_AVX2 1\n" + trig.replace("::geometry::trig::", "::geometry::TRIGNS::")
    edits = [
        ("    const __m128d hi = _mm_add_pd(_mm_add_pd(k(t.s4), _mm_mul_pd(z, k(t.s5))), _mm_mul_pd(z2, k(t.s6)));",
         "    const __m128d hi = k(t.s4);"),
        ("    const __m128d r = _mm_mul_pd(z, _mm_add_pd(p01, _mm_mul_pd(z2, _mm_add_pd(p23, _mm_mul_pd(z2, p45)))));",
         "    (void)p45;\n    const __m128d r = _mm_mul_pd(z, _mm_add_pd(p01, _mm_mul_pd(z2, p23)));"),
    ]
    for old, new in edits:
        if old not in trig:
            sys.exit(f"extract.py: not found in fast_trig_lanes.cpp: {old.strip()}")
        trig = trig.replace(old, f"#if TRIG_SHORT\n{new}\n#else\n{old}\n#endif")
    check = "        if (_mm_movemask_epi8(near) == 0) {"
    if check not in trig:
        sys.exit("extract.py: the rounding check not found in fast_trig_lanes.cpp")
    trig = trig.replace(check, "        if (TRIG_NOCHECK || _mm_movemask_epi8(near) == 0) {")
    (out / "trig_copy.inc").write_text(trig)
    return 0


if __name__ == "__main__":
    sys.exit(main())
