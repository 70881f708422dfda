#!/usr/bin/env python3
"""Checks a release folder (scripts/release.sh) as its users meet it.

- Every file name carries the project's version, read from the top-level CMakeLists.txt, and
  the folder's SHA256SUMS holds.
- Each archive: its entries in name order inside one folder named like the archive, dated
  SOURCE_DATE_EPOCH, mode 0644, no owner; no file names a source folder of either build.
- The module's zip, unpacked into an empty folder: exactly the module, INSTALL.txt, LICENSE,
  CHANGELOG.md and SHA256SUMS, whose sums hold; the module's version resource (read back from
  the file by windres) and PE header; the Windows taverin-host.exe loads it from there under
  Wine: activation result 0 and the demo's focal distances.
- The geometry packages: their version header, pkg-config file and CMake package carry the
  version; a program built against each with pkg-config's flags prints the same digest as the
  library's own build on that platform.
- The Linux taverin-host's --version (also with --json) and its --json results carry the version.
"""
import argparse
import calendar
import hashlib
import json
import os
import re
import shutil
import subprocess
import sys
import tarfile
import zipfile

FAILURES = []
# The demo's focal distance after each step (metres): the clicks on the ball and the crate.
DEMO_FOCAL_DISTANCES = [5, 5, 7.14311, 16.970987, 16.970987, 16.970987, 16.970987, 16.970987, 16.970987, 16.970987]
RESOURCE_STRINGS = {"ProductName": "orvik Taverin", "OriginalFilename": "orvik_taverin_64.p",
                    "InternalName": "orvik_taverin", "CompanyName": "the orvik Taverin authors"}


def fail(what, detail):
    FAILURES.append(what)
    print(f"FAIL {what}: {detail}")


def run(cmd, **kw):
    return subprocess.run(cmd, capture_output=True, timeout=300, **kw)


def read_archive(path):
    """(name, date in seconds or None, mode, owner) and the bytes of every entry, in stored order."""
    entries = []
    if path.endswith(".zip"):
        with zipfile.ZipFile(path) as z:
            for i in z.infolist():
                when = calendar.timegm(i.date_time)
                entries.append((i.filename, when, i.external_attr >> 16, None, z.read(i)))
    else:
        with tarfile.open(path) as t:
            for i in t.getmembers():
                owner = (i.uid, i.gid, i.uname, i.gname)
                entries.append((i.name, i.mtime, i.mode | 0o100000, owner, t.extractfile(i).read()))
    return entries


def check_archive(path, root, epoch, forbidden):
    entries = read_archive(path)
    names = [e[0] for e in entries]
    if names != sorted(names):
        fail("entry_order", f"{path}: not in name order")
    for name, when, mode, owner, data in entries:
        if not name.startswith(root + "/"):
            fail("entry_folder", f"{path}: {name} is not in {root}/")
        # A zip entry's date holds even seconds (written in UTC).
        if when is None or abs(when - epoch) > 1 or (owner is not None and when != epoch):
            fail("entry_date", f"{path}: {name} is dated {when}, not {epoch}")
        if mode != 0o100644 or (owner is not None and owner != (0, 0, "", "")):
            fail("entry_mode", f"{path}: {name} mode {oct(mode)} owner {owner}")
        for f in forbidden:
            if f.encode() in data:
                fail("build_path", f"{path}: {name} holds {f}")
    return {n[len(root) + 1:]: d for n, _, _, _, d in entries}


def check_sums(text, files, what):
    listed = {}
    for line in text.splitlines():
        digest, _, name = line.partition("  ")
        listed[name] = digest
    if set(listed) != set(files):
        fail(f"{what}_listing", f"SHA256SUMS lists {sorted(listed)}, the folder holds {sorted(files)}")
    for name, data in files.items():
        if listed.get(name) != hashlib.sha256(data).hexdigest():
            fail(f"{what}_sum", f"{name}: its sum does not match SHA256SUMS")


def check_module_file(path, version, copyright_line):
    with open(path, "rb") as f:
        data = f.read()
    pe = int.from_bytes(data[0x3C:0x40], "little")
    if data[pe:pe + 4] != b"PE\0\0" or int.from_bytes(data[pe + 8:pe + 12], "little") != 0:
        fail("pe_time_stamp", "the PE header holds a time stamp (or is no PE header)")
    rc = run(["x86_64-w64-mingw32-windres", "-J", "coff", "-O", "rc", "-i", path]).stdout.decode()
    numbers = ", ".join(version.split(".") + ["0"])
    for key in ("FILEVERSION", "PRODUCTVERSION"):
        if not re.search(rf"^\s*{key} {numbers}$", rc, re.M):
            fail("resource_version", f"{key} is not {numbers}")
    values = dict(re.findall(r'VALUE "(\w+)", "([^"]*)"', rc))
    expected = dict(RESOURCE_STRINGS, FileVersion=version, ProductVersion=version, LegalCopyright=copyright_line)
    for key, want in expected.items():
        if values.get(key) != want:
            fail("resource_string", f"{key} is {values.get(key)!r}, not {want!r}")
    if not values.get("FileDescription"):
        fail("resource_string", "no FileDescription")


def run_windows_host(module, version):
    cmd = [ARGS.emulator, ARGS.windows_host, "--module", "Z:" + module, "--json", "--no-pictures"]
    r = run(cmd, cwd=ARGS.work)
    try:
        doc = json.loads(r.stdout)
    except json.JSONDecodeError:
        return fail("windows_host", f"exit status {r.returncode}: {r.stderr.decode()[-400:]}")
    got = [s["focal_distance_after_m"] for s in doc["steps"]]
    if r.returncode != 0 or doc["module"]["activation"] != 0 or doc["program"]["version"] != version:
        fail("windows_host", f"exit status {r.returncode}, {doc['module']}, {doc['program']}")
    if len(got) != len(DEMO_FOCAL_DISTANCES) or any(abs(a - b) > 1e-9 for a, b in zip(got, DEMO_FOCAL_DISTANCES)):
        fail("windows_host_focus", f"focal distances {got}")


def check_geometry(files, root_dir, version, platform):
    wanted = {"include/taverin/geometry/version.h": f'#define TAVERIN_GEOMETRY_VERSION_STRING "{version}"',
              "lib/pkgconfig/taverin-geometry.pc": f"\nVersion: {version}\n",
              "lib/cmake/TaverinGeometry/TaverinGeometryConfigVersion.cmake": f'set(PACKAGE_VERSION "{version}")',
              "share/doc/taverin-geometry/LICENSE": "BSD 3-Clause License"}
    for name, text in wanted.items():
        if text not in files.get(name, b"").decode():
            fail(f"geometry_{platform}_files", f"{name} does not hold {text.strip()!r}")
    top = os.path.join(ARGS.repo, "geometry/include/taverin/geometry")
    headers = sorted(os.path.relpath(os.path.join(d, f), top) for d, _, fs in os.walk(top) for f in fs)
    for h in headers:
        if f"include/taverin/geometry/{h}" not in files:
            fail(f"geometry_{platform}_files", f"{h} is missing")
    # A user's program built with pkg-config's flags against the unpacked package.
    env = dict(os.environ, PKG_CONFIG_PATH=os.path.join(root_dir, "lib/pkgconfig"))
    flags = run(["pkg-config", "--cflags", "--libs", "taverin-geometry"], env=env).stdout.decode().split()
    digest_src = os.path.join(ARGS.repo, "geometry/tests/consumer/digest.cpp")
    if platform == "linux":
        program, cxx, prefix, reference = os.path.join(ARGS.work, "digest"), "g++", [], [ARGS.linux_digest]
    else:
        program, cxx, prefix = os.path.join(ARGS.work, "digest.exe"), "x86_64-w64-mingw32-g++-posix", [ARGS.emulator]
        reference = prefix + [ARGS.windows_digest]
        flags += ["-static"]
    build = run([cxx, "-O2", digest_src, *flags, "-o", program])
    if build.returncode != 0:
        return fail(f"geometry_{platform}_build", build.stderr.decode()[-600:])
    mine, theirs = run(prefix + [program]).stdout, run(reference).stdout
    if not mine or mine != theirs:
        fail(f"geometry_{platform}_digest", "a program built against the package gets other bits than the library's own build")


def main():
    with open(os.path.join(ARGS.repo, "CMakeLists.txt")) as f:
        version = re.search(r"^project\(orvik_taverin VERSION (\d+\.\d+\.\d+)", f.read(), re.M).group(1)
    with open(os.path.join(ARGS.repo, "LICENSE")) as f:
        copyright_line = next(line.strip() for line in f if line.startswith("Copyright "))
    epoch = int(os.environ["SOURCE_DATE_EPOCH"])
    tool, geo_win, geo_linux = (f"orvik-taverin-{version}-win64", f"taverin-geometry-{version}-win64-mingw",
                                f"taverin-geometry-{version}-linux-x86_64")
    archives = {tool: ".zip", geo_win: ".zip", geo_linux: ".tar.gz"}
    dist = {}
    for name in sorted(os.listdir(ARGS.dist)):
        with open(os.path.join(ARGS.dist, name), "rb") as f:
            dist[name] = f.read()
    check_sums(dist.pop("SHA256SUMS", b"").decode(), dist, "dist")
    if set(dist) != {a + ext for a, ext in archives.items()}:
        fail("dist_names", f"{sorted(dist)} (version {version})")
        return
    contents = {a: check_archive(os.path.join(ARGS.dist, a + ext), a, epoch, ARGS.forbidden) for a, ext in archives.items()}

    # The module's zip, unpacked into an empty folder as a user does.
    shutil.rmtree(ARGS.work, ignore_errors=True)
    unpacked = os.path.join(ARGS.work, "unpacked")
    os.makedirs(unpacked)
    with zipfile.ZipFile(os.path.join(ARGS.dist, tool + ".zip")) as z:
        z.extractall(unpacked)
    folder = os.path.join(unpacked, tool)
    files = {}
    for name in sorted(os.listdir(folder)):
        with open(os.path.join(folder, name), "rb") as f:
            files[name] = f.read()
    print(f"{tool}.zip:")
    for name, data in files.items():
        print(f"  {len(data):8d}  {tool}/{name}")
    if sorted(files) != ["CHANGELOG.md", "INSTALL.txt", "LICENSE", "SHA256SUMS", "orvik_taverin_64.p"]:
        fail("zip_listing", sorted(files))
    check_sums(files.pop("SHA256SUMS", b"").decode(), files, "zip")
    for name in ("LICENSE", "CHANGELOG.md"):
        with open(os.path.join(ARGS.repo, name), "rb") as f:
            if files.get(name) != f.read():
                fail("zip_texts", f"{name} is not the repository's")
    install = files.get("INSTALL.txt", b"").decode()
    if version not in install or "@" in install:
        fail("zip_texts", "INSTALL.txt does not name the version")
    module = os.path.join(folder, "orvik_taverin_64.p")
    check_module_file(module, version, copyright_line)
    pe = run(["sh", os.path.join(ARGS.repo, "tests/check_pe_tables.sh"), "x86_64-w64-mingw32-objdump", module])
    if pe.returncode != 0:
        fail("pe_tables", pe.stdout.decode())
    run_windows_host(module, version)

    # The geometry packages, unpacked.
    for archive, platform in ((geo_linux, "linux"), (geo_win, "windows")):
        root_dir = os.path.join(ARGS.work, archive)
        for name, data in contents[archive].items():
            os.makedirs(os.path.dirname(os.path.join(root_dir, name)), exist_ok=True)
            with open(os.path.join(root_dir, name), "wb") as f:
                f.write(data)
        check_geometry(contents[archive], root_dir, version, platform)

    # The stand-in host built with the project.
    r = run([ARGS.linux_host, "--version"])
    if not r.stdout.decode().startswith(f"taverin-host {version} "):
        fail("host_version", r.stdout)
    r = run([ARGS.linux_host, "--version", "--json"])
    if r.returncode != 0 or json.loads(r.stdout)["version"] != version:
        fail("host_version_json", r.stdout)
    r = run([ARGS.linux_host, "--json", "--no-pictures"], cwd=ARGS.work)
    if r.returncode != 0 or json.loads(r.stdout)["program"]["version"] != version:
        fail("host_json_version", r.stderr)


if __name__ == "__main__":
    p = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    p.add_argument("--repo", required=True)
    p.add_argument("--dist", required=True)
    p.add_argument("--work", required=True)
    p.add_argument("--forbidden", action="append", default=[], help="a path no packaged file may hold")
    p.add_argument("--windows-host", required=True)
    p.add_argument("--linux-host", required=True)
    p.add_argument("--windows-digest", required=True)
    p.add_argument("--linux-digest", required=True)
    p.add_argument("--emulator", required=True)
    ARGS = p.parse_args()
    for a in ("repo", "dist", "work", "windows_host", "linux_host", "windows_digest", "linux_digest", "emulator"):
        setattr(ARGS, a, os.path.abspath(getattr(ARGS, a)))
    main()
    if FAILURES:
        print(f"release package: {len(FAILURES)} checks failed")
        sys.exit(1)
    print("release package: every check passed")
