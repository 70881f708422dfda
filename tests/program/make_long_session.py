#!/usr/bin/env python3
"""Writes FOLDER/long.json: the demo's viewports, SPHERES spheres scattered in front of the
camera and a session of CLICKS clicks at random pixels of the camera view (the same every time).

usage: make_long_session.py FOLDER CLICKS SPHERES
"""
import json
import os
import random
import sys


def long_session(clicks, spheres):
    rng = random.Random(1)
    objects = [{"type": "sphere", "name": f"S{i}", "center": [rng.uniform(-20, 20), rng.uniform(0, 3), rng.uniform(2, 60)],
                "radius": rng.uniform(0.2, 1.5)} for i in range(spheres)]
    session = [{"do": "click", "viewport": "Camera View", "pixel": [rng.uniform(0, 639), rng.uniform(0, 479)]}
               for _ in range(clicks)]
    return {"objects": objects, "session": session}


def main():
    folder, clicks, spheres = sys.argv[1], int(sys.argv[2]), int(sys.argv[3])
    os.makedirs(folder, exist_ok=True)
    with open(os.path.join(folder, "long.json"), "w") as f:
        json.dump(long_session(clicks, spheres), f)


if __name__ == "__main__":
    main()
