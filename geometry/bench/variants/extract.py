#!/usr/bin/env python3
"""Writes into OUT_DIR the copies of library code that variants.h compiles beside the library:
the SSE2 4x4 inverses (detail/matrix_ops.h) to be built without the product barrier, and the
three-angle sine and cosine (src/fast_trig.cpp) with two switches, TRIG_SHORT (two terms fewer
in each polynomial) and TRIG_NOCHECK (no rounding check). Only for timing: the copies with a
switch on do not give the library's bits.

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

    trig = (geo / "src/fast_trig.cpp").read_text().replace('#include "fast_trig.h"\n', "")
    trig = trig.replace("namespace geometry::trig {", "namespace geometry::TRIGNS {")
    trig = trig.replace("}  // namespace geometry::trig", "}  // namespace")
    edits = [
        ("    const __m128d hi = _mm_add_pd(_mm_add_pd(_mm_set1_pd(kS4), _mm_mul_pd(z, _mm_set1_pd(kS5))), "
         "_mm_mul_pd(z2, _mm_set1_pd(kS6)));",
         "    const __m128d hi = _mm_set1_pd(kS4);"),
        ("    const __m128d r = _mm_mul_pd(z, _mm_add_pd(p01, _mm_mul_pd(z2, _mm_add_pd(p23, _mm_mul_pd(z2, p45)))));",
         "    (void)p45;\n    const __m128d r = _mm_mul_pd(z, _mm_add_pd(p01, _mm_mul_pd(z2, p23)));"),
    ]
    for old, new in edits:
        if old not in trig:
            sys.exit(f"extract.py: not found in fast_trig.cpp: {old.strip()}")
        trig = trig.replace(old, f"#if TRIG_SHORT\n{new}\n#else\n{old}\n#endif")
    check = "        if (_mm_movemask_epi8(near) == 0) {"
    if check not in trig:
        sys.exit("extract.py: the rounding check not found in fast_trig.cpp")
    trig = trig.replace(check, "        if (TRIG_NOCHECK || _mm_movemask_epi8(near) == 0) {")
    (out / "trig_copy.inc").write_text(trig)
    return 0


if __name__ == "__main__":
    sys.exit(main())
