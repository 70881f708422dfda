#!/usr/bin/env python3
"""Writes a scene with one tessellated sphere of about N triangles (default 100,000) and a
session of clicks on it, for timing the stand-in host's load and pick.

usage: make_big_scene.py OUT_DIR [TRIANGLES]
"""
import math
import os
import sys

out = sys.argv[1]
target = int(sys.argv[2]) if len(sys.argv) > 2 else 100000
os.makedirs(out, exist_ok=True)
rings = max(2, int(math.sqrt(target / 2)))
segments = max(3, target // (2 * rings))
with open(os.path.join(out, "sphere.obj"), "w") as f:
    f.write("# tessellated sphere, radius 2\n")
    for i in range(rings + 1):
        th = math.pi * i / rings
        for j in range(segments):
            ph = 2 * math.pi * j / segments
            f.write("v %.9f %.9f %.9f\n" % (2 * math.sin(th) * math.cos(ph), 2 * math.cos(th), 2 * math.sin(th) * math.sin(ph)))
    for i in range(rings):
        for j in range(segments):
            a = i * segments + j + 1
            b = i * segments + (j + 1) % segments + 1
            c = a + segments
            d = b + segments
            f.write("f %d %d %d\nf %d %d %d\n" % (a, c, b, b, c, d))
clicks = ",\n    ".join(
    '{"do": "click", "viewport": "Camera View", "pixel": [%d, %d]}' % (200 + 24 * k, 180 + 12 * k) for k in range(10))
with open(os.path.join(out, "big.json"), "w") as f:
    f.write("""{
  "camera": {"position": [0, 0, -10], "focal_length": 50, "f_stop": 2.8, "focal_distance": 5},
  "objects": [{"type": "mesh", "name": "Sphere", "file": "sphere.obj", "position": [0, 0, 0]}],
  "viewports": [{"name": "Camera View", "type": "camera", "width": 640, "height": 480}],
  "session": [
    %s
  ]
}
""" % clicks)
print("wrote %s with %d triangles" % (os.path.join(out, "big.json"), 2 * rings * segments))
